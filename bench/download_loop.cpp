// Resident memory of downloads under Wine, without the bar: rounds of quote
// downloads from the stand-in service, each round on a new thread of the
// lowest priority as the bar's update workers are, or all on the main
// thread. Used by bench/download_memory.sh, which watches the process.
//
//   download_loop.exe ROUNDS REQUESTS PAUSE_MS worker|main|raw|one-session|sessions
//
// worker: each round's downloads through the bar's own HttpGetText on a new
// thread; main: the same on the main thread; raw: WinINet called directly,
// without any of the bar's code, on a new thread; one-session: the same,
// but all the round's downloads in one session; sessions: only a session
// opened and closed for each, no download.
#define WIN32_LEAN_AND_MEAN
#include <windows.h>
#include <wininet.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "platform/win32/win32_platform.h"
#include "quotes/http_get_text.h"

namespace {

constexpr char kHost[] = "127.0.0.1";
constexpr INTERNET_PORT kPort = 8642;
constexpr char kQuotePath[] = "/d/quotes.csv?f=sl1t1c1ghpv&s=S";

enum class Mode { Bar, Raw, OneSession, Sessions };

struct Round {
    int requests;
    Mode mode;
};

std::string Address(int n) { return "http://127.0.0.1:8642" + std::string(kQuotePath) + std::to_string(n % 200); }

HINTERNET OpenSession() { return InternetOpenA("ORVO", INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0); }

void RawDownload(HINTERNET session, int n) {
    HINTERNET connection = InternetConnectA(session, kHost, kPort, nullptr, nullptr, INTERNET_SERVICE_HTTP, 0, 1);
    const std::string object = std::string(kQuotePath) + std::to_string(n % 200);
    HINTERNET request = HttpOpenRequestA(connection, "GET", object.c_str(), "HTTP/1.0", nullptr, nullptr,
                                         INTERNET_FLAG_RELOAD | INTERNET_FLAG_DONT_CACHE, 1);
    if (HttpSendRequestA(request, nullptr, 0, nullptr, 0)) {
        char buffer[1024];
        DWORD read = 0;
        while (InternetReadFile(request, buffer, sizeof buffer, &read) && read > 0) {
        }
    }
    InternetCloseHandle(request);
    InternetCloseHandle(connection);
}

DWORD WINAPI RunRound(void* argument) {
    static platform::win32::Win32Platform* const win32 = new platform::win32::Win32Platform;
    static platform::Platform platform = win32->AsPlatform();
    const Round& round = *static_cast<const Round*>(argument);
    HINTERNET shared = round.mode == Mode::OneSession ? OpenSession() : nullptr;
    for (int n = 0; n < round.requests; ++n) {
        switch (round.mode) {
        case Mode::Bar:
            quotes::HttpGetText(platform.internet, Address(n));
            break;
        case Mode::OneSession:
            RawDownload(shared, n);
            break;
        case Mode::Raw:
        case Mode::Sessions: {
            HINTERNET session = OpenSession();
            if (round.mode == Mode::Raw) RawDownload(session, n);
            InternetCloseHandle(session);
            break;
        }
        }
    }
    if (shared != nullptr) InternetCloseHandle(shared);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 5) {
        std::fprintf(stderr, "usage: download_loop ROUNDS REQUESTS PAUSE_MS worker|main|raw|one-session|sessions\n");
        return 2;
    }
    const int rounds = std::atoi(argv[1]);
    const std::string mode = argv[4];
    const Round round{std::atoi(argv[2]), mode == "raw"           ? Mode::Raw
                                          : mode == "one-session" ? Mode::OneSession
                                          : mode == "sessions"    ? Mode::Sessions
                                                                  : Mode::Bar};
    const DWORD pause = static_cast<DWORD>(std::atoi(argv[3]));
    const bool onMain = mode == "main";
    for (int r = 0; r < rounds; ++r) {
        if (onMain) {
            RunRound(const_cast<Round*>(&round));
        } else {
            HANDLE thread = CreateThread(nullptr, 0, RunRound, const_cast<Round*>(&round), CREATE_SUSPENDED, nullptr);
            SetThreadPriority(thread, THREAD_PRIORITY_LOWEST);
            ResumeThread(thread);
            WaitForSingleObject(thread, INFINITE);
            CloseHandle(thread);
        }
        std::printf("round %d\n", r + 1);
        std::fflush(stdout);
        Sleep(pause);
    }
    return 0;
}
