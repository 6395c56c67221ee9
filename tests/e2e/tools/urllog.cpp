// urllog: stands in for the web browser in the end-to-end bench. The bench's
// Wine prefix points the http and https shell handlers at it, and it appends
// its raw command line, byte for byte, as one line to the log file named by
// VELMORIA_URLLOG_FILE, or to C:\velmoria-e2e\urls.txt.
#include <windows.h>

#include <string>

#include "scoped.h"

namespace {

constexpr char kLogVariable[] = "VELMORIA_URLLOG_FILE";
constexpr char kDefaultLog[] = "C:\\velmoria-e2e\\urls.txt";
constexpr DWORD kPathCapacity = MAX_PATH * 4;

std::string LogPath() {
    std::string path(kPathCapacity, '\0');
    const DWORD length = GetEnvironmentVariableA(kLogVariable, &path[0], kPathCapacity);
    if (length == 0 || length >= kPathCapacity) return kDefaultLog;
    path.resize(length);
    return path;
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    const std::string line = std::string(GetCommandLineA()) + "\n";
    e2e::ScopedFile log(CreateFileA(LogPath().c_str(), FILE_APPEND_DATA,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                                    FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!log.valid()) return 1;
    DWORD written = 0;
    const BOOL ok = WriteFile(log.get(), line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
    return ok && written == line.size() ? 0 : 1;
}
