// The program itself, started the way a test of the ticker starts it.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <regex>
#include <stdexcept>
#include <thread>

#include "log_lines.h"
#include "raw_http.h"

extern char** environ;

namespace service_test {
namespace {

constexpr int kReadyPatienceMs = 10000;
constexpr auto kExitPatience = std::chrono::seconds(10);

class Pipe {
public:
    Pipe() {
        if (::pipe(ends_) != 0) throw std::runtime_error("pipe failed");
    }
    ~Pipe() {
        CloseRead();
        CloseWrite();
    }
    Pipe(const Pipe&) = delete;
    Pipe& operator=(const Pipe&) = delete;
    int read() const { return ends_[0]; }
    int write() const { return ends_[1]; }
    void CloseRead() { Close(ends_[0]); }
    void CloseWrite() { Close(ends_[1]); }

private:
    static void Close(int& fd) {
        if (fd >= 0) ::close(fd);
        fd = -1;
    }
    int ends_[2] = {-1, -1};
};

// velmoria-service as a child process with its standard output and error
// in pipes; killed if a test leaves it running.
class ServiceProcess {
public:
    explicit ServiceProcess(const std::vector<std::string>& arguments) {
        std::vector<std::string> argv = {VELMORIA_SERVICE_BINARY};
        argv.insert(argv.end(), arguments.begin(), arguments.end());
        std::vector<char*> pointers;
        for (std::string& argument : argv) pointers.push_back(argument.data());
        pointers.push_back(nullptr);

        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, out_.write(), STDOUT_FILENO);
        posix_spawn_file_actions_adddup2(&actions, err_.write(), STDERR_FILENO);
        const int failed = posix_spawn(&pid_, pointers[0], &actions, nullptr, pointers.data(), environ);
        posix_spawn_file_actions_destroy(&actions);
        if (failed != 0) throw std::runtime_error("cannot start " + argv[0]);
        out_.CloseWrite();
        err_.CloseWrite();
    }
    ~ServiceProcess() {
        if (pid_ > 0) {
            ::kill(pid_, SIGKILL);
            ::waitpid(pid_, nullptr, 0);
        }
    }
    ServiceProcess(const ServiceProcess&) = delete;
    ServiceProcess& operator=(const ServiceProcess&) = delete;

    // The next line of standard output, without its line feed; "" if none
    // comes in time.
    std::string ReadLine() {
        for (;;) {
            const std::size_t end = pending_.find('\n');
            if (end != std::string::npos) {
                const std::string line = pending_.substr(0, end);
                pending_.erase(0, end + 1);
                return line;
            }
            pollfd ready{out_.read(), POLLIN, 0};
            if (::poll(&ready, 1, kReadyPatienceMs) <= 0) return "";
            char buffer[4096];
            const ssize_t count = ::read(out_.read(), buffer, sizeof buffer);
            if (count <= 0) return "";
            pending_.append(buffer, static_cast<std::size_t>(count));
        }
    }

    // The port from the "listening on" line, or 0.
    int WaitUntilListening() {
        const std::string line = ReadLine();
        std::smatch match;
        if (!std::regex_match(line, match, std::regex("listening on 127\\.0\\.0\\.1:(\\d+)"))) return 0;
        return std::stoi(match[1]);
    }

    // Everything written to standard error; call it once the process has ended.
    std::string ErrorText() {
        std::string text;
        char buffer[4096];
        for (ssize_t count; (count = ::read(err_.read(), buffer, sizeof buffer)) > 0;)
            text.append(buffer, static_cast<std::size_t>(count));
        return text;
    }

    // The exit status once the process has ended; -1 if it does not end in
    // time or was killed by a signal.
    int WaitForExit() {
        const auto deadline = std::chrono::steady_clock::now() + kExitPatience;
        while (std::chrono::steady_clock::now() < deadline) {
            int status = 0;
            if (::waitpid(pid_, &status, WNOHANG) == pid_) {
                pid_ = -1;
                return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        return -1;
    }

    void Signal(int signal) { ::kill(pid_, signal); }

private:
    Pipe out_;
    Pipe err_;
    pid_t pid_ = -1;
    std::string pending_;
};

std::string TemporaryPath() {
    std::string path = "/tmp/velmoria-service-test-XXXXXX";
    const int fd = ::mkstemp(path.data());
    if (fd < 0) throw std::runtime_error("mkstemp failed");
    ::close(fd);
    return path;
}

std::vector<std::string> FileLines(const std::string& path) {
    std::ifstream in(path);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

TEST(ServiceProcess, StartsOnAFreePortWithItsOptionsAndStopsOnSigterm) {
    const std::string logPath = TemporaryPath();
    std::ofstream(logPath) << "left over from an earlier run\n";
    ServiceProcess process({"--port", "0", "--seed", "5", "--log", logPath, "--message", "Alerts<{host}/news.html>",
                            "--fault", "/d/quotes.csv=status:503"});
    const int port = process.WaitUntilListening();
    ASSERT_GT(port, 0);

    EXPECT_EQ(RawGet(port, "/getmessage.asp?ID=!VELMORIA!").body,
              "Alerts<127.0.0.1:" + std::to_string(port) + "/news.html>");
    EXPECT_EQ(RawGet(port, "/d/quotes.csv?f=sl1t1c1ghpv&s=IBM").status, 503);
    EXPECT_EQ(RawGet(port, "/uk/quotes.csv?f=sl1t1c1ghpvo&s=VOD.L").status, 200);

    const std::vector<std::string> lines = FileLines(logPath);
    EXPECT_EQ(RequestsOf(lines), (std::vector<std::string>{
                                     "GET\t/getmessage.asp?ID=!VELMORIA!\tHTTP/1.0\tORVO",
                                     "GET\t/d/quotes.csv?f=sl1t1c1ghpv&s=IBM\tHTTP/1.0\tORVO",
                                     "GET\t/uk/quotes.csv?f=sl1t1c1ghpvo&s=VOD.L\tHTTP/1.0\tORVO",
                                 }));
    ExpectOneConnectionEachInOrder(lines);
    EXPECT_EQ(ParseLogLine(lines.at(0)).connection, 1u);

    process.Signal(SIGTERM);
    EXPECT_EQ(process.WaitForExit(), 0);
    ::unlink(logPath.c_str());
}

TEST(ServiceProcess, TakesTheExchangeListPinsAndCountedSymbolFaults) {
    const std::string pinned = "\"IBM\",0.00,\"4:00PM\",0.00,0.00,0.00,0.00,0\r\n";
    ServiceProcess process({"--port", "0", "--exchanges", " , http://{host}/d/quotes.csv \r\nno comma\r\n", "--pin",
                            "ibm:" + pinned, "--fault", "/d/quotes.csv#XYZ=close:once", "--fault",
                            "*=status:503:2x"});
    const int port = process.WaitUntilListening();
    ASSERT_GT(port, 0);
    const std::string host = "127.0.0.1:" + std::to_string(port);

    EXPECT_EQ(RawGet(port, "/help.html").status, 503);
    EXPECT_EQ(RawGet(port, "/help.html").status, 503);
    EXPECT_EQ(RawGet(port, "/exchanges.html").body, " , http://" + host + "/d/quotes.csv \r\nno comma\r\n");
    EXPECT_EQ(RawGet(port, "/d/quotes.csv?s=IBM").body, pinned);
    EXPECT_EQ(RawAttempt(port, GetRequest("/d/quotes.csv?s=XYZ"), kExitPatience).end, RawEnd::Closed);
    EXPECT_EQ(RawGet(port, "/d/quotes.csv?s=XYZ").body.find("\"XYZ\","), 0u);

    process.Signal(SIGTERM);
    EXPECT_EQ(process.WaitForExit(), 0);
}

TEST(ServiceProcess, SameSeedGivesTheSameQuotesAcrossRuns) {
    std::vector<std::string> runs[2];
    for (auto& bodies : runs) {
        ServiceProcess process({"--port", "0", "--seed", "77"});
        const int port = process.WaitUntilListening();
        ASSERT_GT(port, 0);
        for (int i = 0; i < 3; ++i) bodies.push_back(RawGet(port, "/d/quotes.csv?f=sl1t1c1ghpv&s=IBM").body);
        process.Signal(SIGINT);
        EXPECT_EQ(process.WaitForExit(), 0);
    }
    EXPECT_EQ(runs[0], runs[1]);
}

TEST(ServiceProcess, LogsToStandardOutputAfterTheReadyLine) {
    ServiceProcess process({"--port", "0"});
    const int port = process.WaitUntilListening();
    ASSERT_GT(port, 0);
    RawGet(port, "/help.html", "Mozilla/4.0");
    EXPECT_EQ(ParseLogLine(process.ReadLine()).request, "GET\t/help.html\tHTTP/1.0\tMozilla/4.0");
    process.Signal(SIGTERM);
    EXPECT_EQ(process.WaitForExit(), 0);
}

TEST(ServiceProcess, RefusesABadCommandLine) {
    ServiceProcess process({"--fault", "/d/quotes.csv=explode"});
    ASSERT_EQ(process.WaitForExit(), 2);
    const std::string error = process.ErrorText();
    EXPECT_NE(error.find("--fault"), std::string::npos) << error;
    EXPECT_NE(error.find("usage:"), std::string::npos) << error;
}

TEST(ServiceProcess, FailsWhenThePortIsTaken) {
    ServiceProcess first({"--port", "0"});
    const int port = first.WaitUntilListening();
    ASSERT_GT(port, 0);
    ServiceProcess second({"--port", std::to_string(port)});
    ASSERT_EQ(second.WaitForExit(), 1);
    EXPECT_NE(second.ErrorText().find("cannot listen on 127.0.0.1:" + std::to_string(port)), std::string::npos);
    // The first one is unharmed.
    EXPECT_EQ(RawGet(port, "/exchanges.html").status, 200);
}

}  // namespace
}  // namespace service_test
