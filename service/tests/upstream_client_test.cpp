// The upstream client against local sources that answer, fail, stall,
// flood and drop the connection.
#include "service/sources/upstream_client.h"

#include <gtest/gtest.h>
#include <httplib.h>

#include <cstdlib>
#include <filesystem>

#include <unistd.h>

#include "fake_source.h"
#include "running_service.h"

namespace service_test {
namespace {

using service::FetchUpstream;
using service::Transfer;
using service::UpstreamLimits;
using service::UpstreamRequest;

UpstreamLimits Quick() {
    UpstreamLimits limits;
    limits.connectTimeout = std::chrono::milliseconds(1000);
    limits.totalTimeout = std::chrono::milliseconds(1500);
    limits.maxBodyBytes = 64 * 1024;
    return limits;
}

TEST(UpstreamClient, SendsTheHeadersAndAgentAndReadsTheAnswer) {
    FakeSource source;
    source.AnswerAlways({429, "slow down", "text/plain", {{"Retry-After", "42"}}});
    const auto response =
        FetchUpstream({source.Base() + "/x?symbol=IBM", {"X-Finnhub-Token: K1"}, "Mozilla/5.0 test"}, Quick());
    EXPECT_EQ(response.transfer, Transfer::Complete);
    EXPECT_EQ(response.status, 429);
    EXPECT_EQ(response.body, "slow down");
    EXPECT_EQ(response.retryAfter, "42");
    EXPECT_EQ(response.contentType, "text/plain");
    const auto requests = source.Requests();
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].target, "/x?symbol=IBM");
    EXPECT_EQ(requests[0].headers.at("X-Finnhub-Token"), "K1");
    EXPECT_EQ(requests[0].headers.at("User-Agent"), "Mozilla/5.0 test");
}

TEST(UpstreamClient, GivesUpOnASlowSourceInTime) {
    FakeSource source;
    source.AnswerAlways({200, "{}", "application/json", {}, std::chrono::milliseconds(5000)});
    const auto started = std::chrono::steady_clock::now();
    const auto response = FetchUpstream({source.Base() + "/slow", {}, ""}, Quick());
    EXPECT_EQ(response.transfer, Transfer::TimedOut);
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::milliseconds(4000));
}

TEST(UpstreamClient, StopsAtTheBodyCap) {
    FakeSource source;
    source.AnswerAlways({200, std::string(200 * 1024, 'x')});
    const auto response = FetchUpstream({source.Base() + "/huge", {}, ""}, Quick());
    EXPECT_EQ(response.transfer, Transfer::TooLarge);
    EXPECT_LE(response.body.size(), 64u * 1024);
}

TEST(UpstreamClient, FollowsFewRedirects) {
    FakeSource source;
    source.SetAnswerer([&](const FakeRequest& request) -> FakeAnswer {
        if (request.path == "/moved") return {302, "", "text/plain", {{"Location", "/here"}}};
        if (request.path == "/here") return {200, "arrived"};
        return {302, "", "text/plain", {{"Location", "/loop"}}};
    });
    EXPECT_EQ(FetchUpstream({source.Base() + "/moved", {}, ""}, Quick()).body, "arrived");
    const auto loop = FetchUpstream({source.Base() + "/loop", {}, ""}, Quick());
    EXPECT_EQ(loop.transfer, Transfer::Failed);
    EXPECT_LE(source.RequestsFor("/loop"), 4u) << "the first and three redirects at most";
}

TEST(UpstreamClient, AKeyFollowsNoRedirectAwayFromItsHostOrToPlainHttp) {
    FakeSource elsewhere;
    elsewhere.AnswerAlways({200, "{}"});
    FakeSource source;
    source.SetAnswerer([&](const FakeRequest& request) -> FakeAnswer {
        if (request.path == "/other-port") return {302, "", "text/plain", {{"Location", elsewhere.Base() + "/took"}}};
        if (request.path == "/same-host-http") return {302, "", "text/plain", {{"Location", "/here"}}};
        if (request.path == "/here") return {200, "arrived"};
        return {404, ""};
    });
    for (const char* path : {"/other-port", "/same-host-http"}) {
        UpstreamRequest keyed{source.Base() + path, {"X-Finnhub-Token: SECRET-REDIRECTED"}, "", true};
        const auto response = FetchUpstream(keyed, Quick());
        EXPECT_EQ(response.transfer, Transfer::Failed) << path;
        EXPECT_NE(response.body, "arrived") << path;
    }
    EXPECT_EQ(elsewhere.RequestCount(), 0u) << "the key never reached another port";
    EXPECT_EQ(source.RequestsFor("/here"), 0u) << "nor went over plain http again";
    // Without a key a redirect is followed as before.
    EXPECT_EQ(FetchUpstream({source.Base() + "/other-port", {}, ""}, Quick()).transfer, Transfer::Complete);
    EXPECT_EQ(elsewhere.RequestCount(), 1u);
}

TEST(UpstreamClient, FailsOnWhatIsNoAnswer) {
    // The stand-in service's own faults: the connection closed or reset
    // without a byte, and plain http spoken where https is asked.
    for (const char* mode : {"close", "reset"}) {
        service::ServiceOptions options;
        options.faults.push_back(*service::ParsePathFault(std::string("*=") + mode));
        RunningService hostile(options);
        const auto response = FetchUpstream({hostile.Url("/v8/finance/chart/IBM"), {}, ""}, Quick());
        EXPECT_EQ(response.transfer, Transfer::Failed) << mode;
        EXPECT_FALSE(response.failure.empty()) << mode;
    }
    RunningService plain;
    const std::string https = "https://127.0.0.1:" + std::to_string(plain.port()) + "/";
    EXPECT_NE(FetchUpstream({https, {}, ""}, Quick()).transfer, Transfer::Complete) << "no TLS there";
    EXPECT_EQ(FetchUpstream({"ftp://127.0.0.1/x", {}, ""}, Quick()).transfer, Transfer::Failed)
        << "only http and https";
}

// A TLS server on 127.0.0.1 with a certificate of its own making, which no
// authority has signed.
class SelfSignedServer {
public:
    SelfSignedServer() : dir_(std::filesystem::temp_directory_path() / ("velmoria-tls-" + std::to_string(::getpid()))) {
        std::filesystem::create_directories(dir_);
        const std::string command = "openssl req -x509 -newkey rsa:2048 -nodes -days 1 -subj /CN=127.0.0.1 -keyout '" +
                                    Key() + "' -out '" + Certificate() + "' >/dev/null 2>&1";
        made_ = std::system(command.c_str()) == 0;
        if (!made_) return;
        server_ = std::make_unique<httplib::SSLServer>(Certificate().c_str(), Key().c_str());
        server_->Get("/", [](const httplib::Request&, httplib::Response& response) {
            response.set_content("{}", "application/json");
        });
        port_ = server_->bind_to_any_port("127.0.0.1");
        thread_ = std::thread([this] { server_->listen_after_bind(); });
        while (!server_->is_running()) std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    ~SelfSignedServer() {
        if (server_) server_->stop();
        if (thread_.joinable()) thread_.join();
        std::filesystem::remove_all(dir_);
    }
    bool made() const { return made_; }
    int port() const { return port_; }

private:
    std::string Key() const { return (dir_ / "key.pem").string(); }
    std::string Certificate() const { return (dir_ / "certificate.pem").string(); }

    std::filesystem::path dir_;
    bool made_ = false;
    std::unique_ptr<httplib::SSLServer> server_;
    int port_ = 0;
    std::thread thread_;
};

TEST(UpstreamClient, RefusesACertificateItCannotVerify) {
    SelfSignedServer server;
    if (!server.made()) GTEST_SKIP() << "openssl could not make a certificate";
    // The server does answer over TLS, to a client that does not check.
    httplib::SSLClient trusting("127.0.0.1", server.port());
    trusting.enable_server_certificate_verification(false);
    const auto answer = trusting.Get("/");
    ASSERT_TRUE(answer);
    EXPECT_EQ(answer->status, 200);

    const auto response = FetchUpstream({"https://127.0.0.1:" + std::to_string(server.port()) + "/", {}, ""}, Quick());
    EXPECT_EQ(response.transfer, Transfer::Failed);
    EXPECT_EQ(response.status, 0) << "no answer read from a peer it could not verify";
    EXPECT_TRUE(response.body.empty());
}

TEST(UpstreamClient, AStopEndsATransferAtOnce) {
    FakeSource source;
    source.AnswerAlways({200, "{}", "application/json", {}, std::chrono::milliseconds(5000)});
    std::atomic<bool> stop{true};
    UpstreamLimits limits = Quick();
    limits.totalTimeout = std::chrono::milliseconds(10000);
    const auto started = std::chrono::steady_clock::now();
    EXPECT_EQ(FetchUpstream({source.Base() + "/", {}, ""}, limits, &stop).transfer, Transfer::Stopped);
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::milliseconds(3000));
}

}  // namespace
}  // namespace service_test
