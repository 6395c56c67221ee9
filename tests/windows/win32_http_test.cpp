// HttpGetText over WinINet under Wine, against the stand-in service whose
// port is in VELMORIA_SERVICE_PORT (and, when VELMORIA_SERVICE_LOG names
// its request log, what reached it). The tests set the server message and
// switch faults on for it, and reset the service when they end.
#include <gtest/gtest.h>

#include <winsock2.h>
// After winsock2.h, which must come before windows.h.
#include <windows.h>
#include <shlobj.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "platform/win32/internet_win32.h"
#include "quotes/http_get_text.h"
#include "tests/unit/http_fault_cases.h"
#include "tests/unit/http_hostile_cases.h"

namespace {

using quotes::HttpGetText;

const std::string kError = "Velmoria Error";
const std::string kControlDone = "ok\n";
const std::string kMessageEncoded = "Alpha%2CBeta%0AGamma%2CDelta%0A";
using http_fault_cases::kMessage;
using http_fault_cases::kMessagePath;
using http_fault_cases::kMessageTarget;
using http_fault_cases::LoggedRequest;

std::string Environment(const char* name) {
    const char* value = std::getenv(name);
    return value == nullptr ? "" : value;
}

// The log file of the Linux side, seen through Wine's drive Z:.
std::vector<std::string> ServiceLogLines() {
    std::string path = "Z:" + Environment("VELMORIA_SERVICE_LOG");
    for (char& c : path) {
        if (c == '/') c = '\\';
    }
    std::ifstream in(path);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

// A port on 127.0.0.1 where nothing listens.
int UnusedPort() {
    WSADATA data{};
    if (::WSAStartup(MAKEWORD(2, 2), &data) != 0) return 0;
    const SOCKET socket = ::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    int length = sizeof address;
    int port = 0;
    if (socket != INVALID_SOCKET && ::bind(socket, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
        ::getsockname(socket, reinterpret_cast<sockaddr*>(&address), &length) == 0) {
        port = ntohs(address.sin_port);
    }
    if (socket != INVALID_SOCKET) ::closesocket(socket);
    ::WSACleanup();
    return port;
}

// Every file under the folder, with its path.
void CollectFiles(const std::string& folder, std::set<std::string>& files) {
    WIN32_FIND_DATAA found{};
    const HANDLE search = ::FindFirstFileA((folder + "\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return;
    do {
        const std::string name = found.cFileName;
        if (name == "." || name == "..") continue;
        const std::string path = folder + "\\" + name;
        if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
            CollectFiles(path, files);
        } else {
            files.insert(path);
        }
    } while (::FindNextFileA(search, &found) != FALSE);
    ::FindClose(search);
}

std::string InternetCacheFolder() {
    char folder[MAX_PATH] = {};
    if (::SHGetFolderPathA(nullptr, CSIDL_INTERNET_CACHE, nullptr, SHGFP_TYPE_CURRENT, folder) != S_OK) return "";
    return folder;
}

class Win32Http : public ::testing::Test {
protected:
    void SetUp() override {
        const std::string port = Environment("VELMORIA_SERVICE_PORT");
        if (port.empty()) GTEST_SKIP() << "VELMORIA_SERVICE_PORT is not set: no stand-in service to talk to";
        base_ = "http://127.0.0.1:" + port;
        ASSERT_EQ(Get(base_ + "/control/reset"), kControlDone);
        ASSERT_EQ(Get(base_ + "/control/message?text=" + kMessageEncoded), kControlDone);
    }
    void TearDown() override {
        if (!base_.empty()) Get(base_ + "/control/reset");
    }

    std::string Get(const std::string& url) { return HttpGetText(internet_, url); }
    std::string Url(const std::string& target) const { return base_ + target; }

    void SetFault(const std::string& mode, const std::string& arg) {
        std::string control = "/control/fault?path=" + kMessagePath + "&mode=" + mode;
        if (!arg.empty()) control += "&arg=" + arg;
        ASSERT_EQ(Get(Url(control)), kControlDone) << control;
    }

    platform::win32::Win32Internet internet_;
    std::string base_;
};

TEST_F(Win32Http, SendsAnHttp10GetWithTheAgentOrvo) {
    if (Environment("VELMORIA_SERVICE_LOG").empty()) GTEST_SKIP() << "VELMORIA_SERVICE_LOG is not set";
    const std::size_t before = ServiceLogLines().size();
    EXPECT_EQ(Get(Url(kMessageTarget)), kMessage);
    const std::string target = "/d/quotes.csv?f=sl1t1c1ghpv&s=IBM";
    EXPECT_NE(Get(Url(target)).find("\"IBM\","), std::string::npos);

    const std::vector<std::string> lines = ServiceLogLines();
    ASSERT_EQ(lines.size(), before + 2);
    EXPECT_EQ(LoggedRequest(lines[before]), "GET\t" + kMessageTarget + "\tHTTP/1.0\tORVO");
    EXPECT_EQ(LoggedRequest(lines[before + 1]), "GET\t" + target + "\tHTTP/1.0\tORVO");
}

TEST_F(Win32Http, RemovesCarriageReturnsFromTheExchangeList) {
    const std::string list = Get(Url("/exchanges.html"));
    EXPECT_EQ(list.find('\r'), std::string::npos) << list;
    EXPECT_EQ(list.rfind("," + base_ + "/d/quotes.csv?f=", 0), 0u) << list;
    EXPECT_NE(list.find("\nL," + base_ + "/uk/quotes.csv?f="), std::string::npos) << list;
}

// Every fault mode of the service, switched on for the server message.
TEST_F(Win32Http, YieldsWhatEachFaultLeavesOfTheBody) {
    for (const http_fault_cases::FaultCase& c : http_fault_cases::FaultCases()) {
        SetFault(c.mode, c.arg);
        const std::string text = Get(Url(kMessageTarget));
        EXPECT_EQ(text.size(), c.text.size()) << c.mode << " " << c.arg;
        EXPECT_TRUE(text == c.text) << c.mode << " " << c.arg << ": " << text.substr(0, 200);
    }
}

TEST_F(Win32Http, ABrokenTransferKeepsWhatArrived) {
    // Without an argument the service breaks off in the middle of the last
    // line: the first line arrives whole and part of the second.
    SetFault("truncate", "");
    const std::string text = Get(Url(kMessageTarget));
    EXPECT_EQ(text.rfind("Alpha,Beta\nGa", 0), 0u) << text;
    EXPECT_LT(text.size(), kMessage.size()) << text;
}

TEST_F(Win32Http, AnErrorStatusYieldsTheErrorPage) {
    const std::string statuses[] = {"500", "404", "503"};
    for (const std::string& status : statuses) {
        SetFault("status", status);
        const std::string text = Get(Url(kMessageTarget));
        EXPECT_NE(text.find("<title>" + status + " "), std::string::npos) << text;
        EXPECT_EQ(text.find('\r'), std::string::npos) << text;
    }
}

TEST_F(Win32Http, RefusedAddressesSendNothing) {
    const std::string hostAndPort = base_.substr(std::string("http://").size());
    const std::string refused[] = {
        "https://" + hostAndPort + kMessageTarget,
        hostAndPort + kMessageTarget,
        "",
        "ftp://" + hostAndPort + kMessageTarget,
    };
    const bool logged = !Environment("VELMORIA_SERVICE_LOG").empty();
    const std::size_t before = logged ? ServiceLogLines().size() : 0;
    for (const std::string& url : refused) EXPECT_EQ(Get(url), kError) << url;
    if (!logged) return;
    // The one request after them is the first the service sees.
    EXPECT_EQ(Get(Url(kMessageTarget)), kMessage);
    const std::vector<std::string> lines = ServiceLogLines();
    ASSERT_EQ(lines.size(), before + 1);
    EXPECT_EQ(LoggedRequest(lines.back()), "GET\t" + kMessageTarget + "\tHTTP/1.0\tORVO");
}

TEST_F(Win32Http, NoServerYieldsTheErrorText) {
    const int port = UnusedPort();
    ASSERT_NE(port, 0);
    EXPECT_EQ(Get("http://127.0.0.1:" + std::to_string(port) + kMessageTarget), kError);
}

TEST_F(Win32Http, WritesNothingToTheInternetCache) {
    const std::string cache = InternetCacheFolder();
    ASSERT_FALSE(cache.empty());
    // WinINet may set up its cache folders the first time it is used.
    EXPECT_EQ(Get(Url(kMessageTarget)), kMessage);
    std::set<std::string> before;
    CollectFiles(cache, before);

    EXPECT_EQ(Get(Url(kMessageTarget)), kMessage);
    EXPECT_FALSE(Get(Url("/exchanges.html")).empty());
    EXPECT_NE(Get(Url("/d/quotes.csv?f=sl1t1c1ghpv&s=IBM")).find("IBM"), std::string::npos);

    std::set<std::string> after;
    CollectFiles(cache, after);
    for (const std::string& file : after) EXPECT_EQ(before.count(file), 1u) << "cached: " << file;
}

TEST_F(Win32Http, DownloadsOnTwoThreadsDoNotMeet) {
    constexpr int kRounds = 25;
    const std::string listUrl = Url("/exchanges.html");
    const std::string messageUrl = Url(kMessageTarget);
    const std::string list = Get(listUrl);
    ASSERT_FALSE(list.empty());
    int messageMismatches = 0;
    int listMismatches = 0;
    std::thread worker([&] {
        for (int i = 0; i < kRounds; ++i) messageMismatches += Get(messageUrl) != kMessage;
    });
    for (int i = 0; i < kRounds; ++i) listMismatches += Get(listUrl) != list;
    worker.join();
    EXPECT_EQ(messageMismatches, 0);
    EXPECT_EQ(listMismatches, 0);
}

// The hostile servers of the shared table, each started by the test itself.
TEST(Win32HttpHostile, YieldsWhatEachHostileServerLeaves) {
    platform::win32::Win32Internet internet;
    for (const http_hostile_cases::HostileCase& c : http_hostile_cases::HostileCases()) {
        hostile::HostileServer server(c.answer);
        ASSERT_TRUE(server.listening()) << c.name;
        const auto start = std::chrono::steady_clock::now();
        const std::string text =
            HttpGetText(internet, server.Url(kMessageTarget), http_hostile_cases::ShortLimits());
        http_hostile_cases::PrintFigures("WinINet", c, text,
                                         std::chrono::duration_cast<std::chrono::milliseconds>(
                                             std::chrono::steady_clock::now() - start)
                                             .count(),
                                         server.connections());
        const std::string& expected = c.wine.text ? *c.wine.text : c.text;
        EXPECT_EQ(text.size(), expected.size()) << c.name;
        EXPECT_TRUE(text == expected) << c.name << ": " << text.substr(0, 200);
        EXPECT_GE(server.connections(), 1) << c.name;
        EXPECT_LE(server.connections(), c.mostConnections) << c.name;
    }
}

// The deadline ends what the receive time-out never does: a body that
// keeps trickling in. A read of a whole block would wait for all of it.
TEST(Win32HttpHostile, ATrickleIsCutAtTheDeadline) {
    platform::win32::Win32Internet internet;
    hostile::HostileServer server(http_hostile_cases::TricklePastTheDeadline);
    ASSERT_TRUE(server.listening());
    const auto start = std::chrono::steady_clock::now();
    const std::string text = HttpGetText(internet, server.Url(kMessageTarget), http_hostile_cases::ShortLimits());
    const long long took =
        std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start).count();
    std::string why;
    EXPECT_TRUE(http_hostile_cases::EndedAtTheDeadline(text, took, why)) << why;
}

// Nor does it end a send whose answer never finishes its headers: the
// watchdog closes the request at the deadline, which ends the blocked send.
TEST(Win32HttpHostile, HeadersThatNeverEndAreCutAtTheDeadline) {
    platform::win32::Win32Internet internet;
    for (const http_hostile_cases::DeadlineCase& c : http_hostile_cases::HeadersPastTheDeadline()) {
        hostile::HostileServer server(c.answer);
        ASSERT_TRUE(server.listening()) << c.name;
        const auto start = std::chrono::steady_clock::now();
        const std::string text =
            HttpGetText(internet, server.Url(kMessageTarget), http_hostile_cases::ShortLimits());
        const long long took =
            std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start).count();
        std::string why;
        EXPECT_TRUE(http_hostile_cases::EndedByTheDeadline(text, took, why)) << c.name << ": " << why;
    }
}

// Wine's WinINet has no receive time-out of its own: without the one the
// download sets, a server that never answers would hold it for ever.
TEST(Win32HttpHostile, ASilentServerIsGivenUpAfterWindowsReceiveTimeOut) {
    platform::win32::Win32Internet internet;
    hostile::HostileServer server([](hostile::Peer& p) { p.Hang(); });
    ASSERT_TRUE(server.listening());
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(HttpGetText(internet, server.Url(kMessageTarget)), kError);
    const auto waited =
        std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start).count();
    EXPECT_GE(waited, platform::kWindowsReceiveTimeoutMs);
    EXPECT_LT(waited, 2 * platform::kWindowsReceiveTimeoutMs);
}

}  // namespace
