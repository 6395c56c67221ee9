#include "service/windows/system_places.h"

#include <windows.h>
#include <shlobj.h>

#include <cstdio>

namespace service {

namespace {

const char* const kConfigInProgramData = "\\Velmoria\\velmoria-service.conf";

bool LeadsSomewhere(DWORD which) {
    const HANDLE handle = ::GetStdHandle(which);
    return handle != nullptr && handle != INVALID_HANDLE_VALUE;
}

}  // namespace

std::string DefaultConfigPath() {
    wchar_t folder[MAX_PATH];
    if (::SHGetFolderPathW(nullptr, CSIDL_COMMON_APPDATA, nullptr, SHGFP_TYPE_CURRENT, folder) != S_OK) return "";
    const int size = ::WideCharToMultiByte(CP_ACP, 0, folder, -1, nullptr, 0, nullptr, nullptr);
    if (size <= 1) return "";
    std::string path(static_cast<std::size_t>(size - 1), '\0');
    ::WideCharToMultiByte(CP_ACP, 0, folder, -1, path.data(), size, nullptr, nullptr);
    return path + kConfigInProgramData;
}

void UseParentConsole() {
    if (LeadsSomewhere(STD_OUTPUT_HANDLE) && LeadsSomewhere(STD_ERROR_HANDLE)) return;
    if (!::AttachConsole(ATTACH_PARENT_PROCESS)) return;
    if (!LeadsSomewhere(STD_OUTPUT_HANDLE)) std::freopen("CONOUT$", "w", stdout);
    if (!LeadsSomewhere(STD_ERROR_HANDLE)) std::freopen("CONOUT$", "w", stderr);
}

}  // namespace service
