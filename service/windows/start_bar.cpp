#include "service/windows/start_bar.h"

#include <windows.h>

#include <string>

#include "service/windows/owned_handle.h"

namespace service {

const char* const kStartBarOption = "--start-bar";

namespace {

const wchar_t* const kBarFileName = L"velmoria.exe";
// Long enough for any folder Windows lets a program run from.
constexpr DWORD kLongestPath = 32768;

std::wstring ThisProgramsFolder() {
    std::wstring path(kLongestPath, L'\0');
    const DWORD length = ::GetModuleFileNameW(nullptr, path.data(), kLongestPath);
    if (length == 0 || length >= kLongestPath) return L"";
    path.resize(length);
    const auto slash = path.find_last_of(L"\\/");
    return slash == std::wstring::npos ? L"" : path.substr(0, slash);
}

}  // namespace

bool StartBarBesideThisProgram() {
    const std::wstring folder = ThisProgramsFolder();
    if (folder.empty()) return false;
    const std::wstring application = folder + L"\\" + kBarFileName;
    // CreateProcessW may write into the command line, so it gets its own copy.
    std::wstring commandLine = L"\"" + application + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION started{};
    if (!::CreateProcessW(application.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                          folder.c_str(), &startup, &started)) {
        return false;
    }
    const OwnedHandle process(started.hProcess);
    const OwnedHandle thread(started.hThread);
    return true;
}

}  // namespace service
