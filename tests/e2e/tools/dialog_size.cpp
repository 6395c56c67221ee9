#include "dialog_size.h"

#include "scoped.h"

#include <vector>

namespace e2e {
namespace {

constexpr WORD kDialogExVersion = 1;
constexpr WORD kDialogExSignature = 0xFFFF;
constexpr WORD kNone = 0;  // no menu, default class, empty title

void AppendDword(std::vector<WORD>& words, DWORD value) {
    words.push_back(LOWORD(value));
    words.push_back(HIWORD(value));
}

std::vector<WORD> PopupTemplate(short widthUnits, short heightUnits, WORD pointSize,
                                const std::string& faceName) {
    std::vector<WORD> words;
    words.push_back(kDialogExVersion);
    words.push_back(kDialogExSignature);
    AppendDword(words, 0);                        // help id
    AppendDword(words, WS_EX_TOOLWINDOW);
    AppendDword(words, WS_POPUP | DS_SETFONT);    // not visible
    words.push_back(0);                           // no controls
    words.push_back(0);                           // x
    words.push_back(0);                           // y
    words.push_back(static_cast<WORD>(widthUnits));
    words.push_back(static_cast<WORD>(heightUnits));
    words.push_back(kNone);
    words.push_back(kNone);
    words.push_back(kNone);
    words.push_back(pointSize);
    words.push_back(FW_DONTCARE);
    words.push_back(MAKEWORD(FALSE, DEFAULT_CHARSET));  // italic, charset
    for (unsigned char c : faceName) words.push_back(c);
    words.push_back(0);
    return words;
}

INT_PTR CALLBACK IgnoreMessages(HWND, UINT, WPARAM, LPARAM) { return FALSE; }

}  // namespace

bool MeasureDialogTemplate(short widthUnits, short heightUnits, WORD pointSize,
                           const std::string& faceName, SIZE* pixels) {
    const std::vector<WORD> words = PopupTemplate(widthUnits, heightUnits, pointSize, faceName);
    ScopedWindow dialog(CreateDialogIndirectParamA(
        GetModuleHandleA(nullptr), reinterpret_cast<LPCDLGTEMPLATEA>(words.data()), nullptr,
        IgnoreMessages, 0));
    if (!dialog.get()) return false;
    RECT rect;
    if (!GetWindowRect(dialog.get(), &rect)) return false;
    pixels->cx = rect.right - rect.left;
    pixels->cy = rect.bottom - rect.top;
    return true;
}

}  // namespace e2e
