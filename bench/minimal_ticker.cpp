// The yardstick for the bar's CPU share under Wine: the same drawing every
// 40 ms in the most direct way a Win32 program can do it. A topmost tool
// window of the bar's size; twenty items of label and data text in two
// fonts, moving left a pixel a step; the logo's slot wiped and a bitmap
// copied; the two grips with a brush and a pen made and deleted each step.
// It runs until it is closed or for the seconds given on its command line.
#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

constexpr int kWidth = 423;
constexpr int kHeight = 18;
constexpr int kItems = 20;
constexpr UINT kStepMs = 40;
constexpr UINT_PTR kStepTimer = 1;
constexpr UINT_PTR kEndTimer = 2;
constexpr COLORREF kColours[] = {0x006600, 0xCC0000, 0x0000DD};

struct Ticker {
    HDC dc = nullptr;
    HDC memory = nullptr;
    HBITMAP logo = nullptr;
    HBRUSH background = nullptr;
    HFONT symbolFont = nullptr;
    HFONT dataFont = nullptr;
    int logoX = kWidth;
    int x[kItems] = {};
    int width[kItems] = {};
    char label[kItems][16] = {};
    char data[kItems][40] = {};
};

Ticker ticker;

HFONT PointFont(int tenths) {
    LOGFONTA font{};
    font.lfHeight = -MulDiv(tenths, GetDeviceCaps(ticker.dc, LOGPIXELSY), 720);
    font.lfCharSet = DEFAULT_CHARSET;
    std::strcpy(font.lfFaceName, "Arial Bold");
    return CreateFontIndirectA(&font);
}

void Step(HWND window) {
    RECT client;
    GetClientRect(window, &client);
    ticker.logoX -= 1;
    if (ticker.logoX + 2 * kHeight <= 0) ticker.logoX = kWidth;
    RECT slot{ticker.logoX, 0, ticker.logoX + 2 * kHeight, kHeight + 1};
    FillRect(ticker.dc, &slot, ticker.background);
    BitBlt(ticker.dc, ticker.logoX, 0, kHeight, kHeight, ticker.memory, 0, 0, SRCCOPY);
    for (int i = 0; i < kItems; ++i) {
        ticker.x[i] -= 1;
        SetTextColor(ticker.dc, kColours[i % 3]);
        HGDIOBJ previous = SelectObject(ticker.dc, ticker.symbolFont);
        SIZE size{};
        const int labelLength = static_cast<int>(std::strlen(ticker.label[i]));
        GetTextExtentPoint32A(ticker.dc, ticker.label[i], labelLength, &size);
        TextOutA(ticker.dc, ticker.x[i], 0, ticker.label[i], labelLength);
        const int labelWidth = size.cx;
        SelectObject(ticker.dc, ticker.dataFont);
        const int dataLength = static_cast<int>(std::strlen(ticker.data[i]));
        GetTextExtentPoint32A(ticker.dc, ticker.data[i], dataLength, &size);
        TextOutA(ticker.dc, ticker.x[i] + labelWidth, 1, ticker.data[i], dataLength);
        SelectObject(ticker.dc, previous);
        ticker.width[i] = labelWidth + size.cx;
        if (ticker.x[i] + ticker.width[i] <= 0) {
            int right = kWidth;
            for (int j = 0; j < kItems; ++j) {
                if (ticker.x[j] + ticker.width[j] > right) right = ticker.x[j] + ticker.width[j];
            }
            ticker.x[i] = right;
        }
    }
    HBRUSH grip = CreateSolidBrush(0x990099);
    HGDIOBJ previousBrush = SelectObject(ticker.dc, grip);
    Rectangle(ticker.dc, 0, 0, 5, client.bottom);
    Rectangle(ticker.dc, client.right - 5, 0, client.right, client.bottom);
    SelectObject(ticker.dc, previousBrush);
    DeleteObject(grip);
    HPEN highlight = CreatePen(PS_SOLID, 0, GetSysColor(COLOR_BTNHIGHLIGHT));
    HGDIOBJ previousPen = SelectObject(ticker.dc, highlight);
    MoveToEx(ticker.dc, 3, 0, nullptr);
    LineTo(ticker.dc, 0, 0);
    LineTo(ticker.dc, 0, client.bottom - 1);
    MoveToEx(ticker.dc, client.right - 2, 0, nullptr);
    LineTo(ticker.dc, client.right - 5, 0);
    LineTo(ticker.dc, client.right - 5, client.bottom - 1);
    SelectObject(ticker.dc, previousPen);
    DeleteObject(highlight);
}

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_TIMER:
        if (wParam == kStepTimer) {
            KillTimer(window, kStepTimer);
            Step(window);
            SetTimer(window, kStepTimer, kStepMs, nullptr);
        } else {
            DestroyWindow(window);
        }
        return 0;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    default:
        return DefWindowProcA(window, message, wParam, lParam);
    }
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int) {
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = WindowProc;
    windowClass.hInstance = instance;
    windowClass.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
    windowClass.lpszClassName = "MinimalTicker";
    RegisterClassA(&windowClass);
    HWND window = CreateWindowExA(WS_EX_TOOLWINDOW | WS_EX_TOPMOST, "MinimalTicker", "MINIMAL", WS_POPUP | WS_VISIBLE,
                                  0, 100, kWidth, kHeight, nullptr, nullptr, instance, nullptr);
    ticker.dc = GetDC(window);
    ticker.memory = CreateCompatibleDC(ticker.dc);
    ticker.logo = CreateCompatibleBitmap(ticker.dc, kHeight, kHeight);
    SelectObject(ticker.memory, ticker.logo);
    ticker.background = CreateSolidBrush(GetSysColor(COLOR_BTNFACE));
    SetBkMode(ticker.dc, OPAQUE);
    SetBkColor(ticker.dc, GetSysColor(COLOR_BTNFACE));
    ticker.symbolFont = PointFont(120);
    ticker.dataFont = PointFont(100);
    int right = kWidth + 2 * kHeight;
    for (int i = 0; i < kItems; ++i) {
        std::snprintf(ticker.label[i], sizeof ticker.label[i], "SY%02d ", i);
        std::snprintf(ticker.data[i], sizeof ticker.data[i], "%d %d/4 %c%d 1/2      ", 100 + i, i % 4, i % 3 ? '+' : '-',
                      i % 5);
        ticker.x[i] = right;
        ticker.width[i] = 150;
        right += 150;
    }
    SetTimer(window, kStepTimer, kStepMs, nullptr);
    const int seconds = std::atoi(commandLine);
    if (seconds > 0) SetTimer(window, kEndTimer, static_cast<UINT>(seconds) * 1000, nullptr);
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) DispatchMessageA(&message);
    return 0;
}
