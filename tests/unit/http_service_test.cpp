// HttpGetText over the native HTTP client (libcurl) against the stand-in
// service on 127.0.0.1: what reaches the server, and what comes back for
// every way the service can misbehave.
#include <gtest/gtest.h>

#include <cstdlib>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "platform/native/internet_curl.h"
#include "quotes/http_get_text.h"
#include "proxy_environment.h"
#include "service_process.h"
#include "http_fault_cases.h"

namespace {

using quotes::HttpGetText;

const std::string kError = "Velmoria Error";
using http_fault_cases::kMessage;
using http_fault_cases::kMessagePath;
using http_fault_cases::kMessageTarget;
using http_fault_cases::LoggedRequest;
// What a control request of the service answers.
const std::string kControlDone = "ok\n";
class HttpServiceTest : public testing::Test {
protected:
    static void SetUpTestSuite() {
        noProxy_ = std::make_unique<test_support::ProxyEnvironment>(std::map<std::string, std::string>{});
        service_ = std::make_unique<test_support::ServiceProcess>(VELMORIA_SERVICE_BINARY,
                                                                  std::vector<std::string>{"--message", kMessage});
        internet_ = std::make_unique<platform::native::CurlInternet>();
    }
    static void TearDownTestSuite() {
        internet_.reset();
        service_.reset();
        noProxy_.reset();
    }

    void SetUp() override { ASSERT_EQ(Get(service_->Url("/control/reset")), kControlDone); }

    static std::string Get(const std::string& url) { return HttpGetText(*internet_, url); }

    static void SetFault(const std::string& mode, const std::string& arg) {
        std::string control = "/control/fault?path=" + kMessagePath + "&mode=" + mode;
        if (!arg.empty()) control += "&arg=" + arg;
        ASSERT_EQ(Get(service_->Url(control)), kControlDone) << control;
    }

    static std::unique_ptr<test_support::ProxyEnvironment> noProxy_;
    static std::unique_ptr<test_support::ServiceProcess> service_;
    static std::unique_ptr<platform::native::CurlInternet> internet_;
};

std::unique_ptr<test_support::ProxyEnvironment> HttpServiceTest::noProxy_;
std::unique_ptr<test_support::ServiceProcess> HttpServiceTest::service_;
std::unique_ptr<platform::native::CurlInternet> HttpServiceTest::internet_;

TEST_F(HttpServiceTest, SendsAnHttp10GetWithTheAgentOrvo) {
    const std::size_t before = service_->LogLines().size();
    EXPECT_EQ(Get(service_->Url(kMessageTarget)), kMessage);
    const std::string target = "/d/quotes.csv?f=sl1t1c1ghpv&s=IBM";
    EXPECT_NE(Get(service_->Url(target)).find("\"IBM\","), std::string::npos);

    const std::vector<std::string> lines = service_->LogLines();
    ASSERT_EQ(lines.size(), before + 2);
    EXPECT_EQ(LoggedRequest(lines[before]), "GET\t" + kMessageTarget + "\tHTTP/1.0\tORVO");
    EXPECT_EQ(LoggedRequest(lines[before + 1]), "GET\t" + target + "\tHTTP/1.0\tORVO");
}

TEST_F(HttpServiceTest, RemovesCarriageReturnsFromTheExchangeList) {
    const std::string list = Get(service_->Url("/exchanges.html"));
    const std::string base = service_->Url("");
    EXPECT_EQ(list.find('\r'), std::string::npos) << list;
    EXPECT_EQ(list.rfind("," + base + "/d/quotes.csv?f=", 0), 0u) << list;
    EXPECT_NE(list.find("\nL," + base + "/uk/quotes.csv?f="), std::string::npos) << list;
    EXPECT_EQ(list.back(), '\n');
}

// Every fault mode of the service, switched on for the server message.
TEST_F(HttpServiceTest, YieldsWhatEachFaultLeavesOfTheBody) {
    for (const http_fault_cases::FaultCase& c : http_fault_cases::FaultCases()) {
        SetFault(c.mode, c.arg);
        const std::string text = Get(service_->Url(kMessageTarget));
        EXPECT_EQ(text.size(), c.text.size()) << c.mode << " " << c.arg;
        EXPECT_TRUE(text == c.text) << c.mode << " " << c.arg << ": " << text.substr(0, 200);
    }
}

TEST_F(HttpServiceTest, ABrokenTransferKeepsWhatArrived) {
    // Without an argument the service breaks off in the middle of the last
    // line: the first line arrives whole and part of the second.
    SetFault("truncate", "");
    const std::string text = Get(service_->Url(kMessageTarget));
    EXPECT_EQ(text.rfind("Alpha,Beta\nGa", 0), 0u) << text;
    EXPECT_LT(text.size(), kMessage.size()) << text;
}

TEST_F(HttpServiceTest, AnErrorStatusYieldsTheErrorPage) {
    const std::string statuses[] = {"500", "404", "503"};
    for (const std::string& status : statuses) {
        SetFault("status", status);
        const std::string text = Get(service_->Url(kMessageTarget));
        EXPECT_NE(text.find("<title>" + status + " "), std::string::npos) << text;
        EXPECT_EQ(text.find('\r'), std::string::npos) << text;
    }
}

// Addresses that are not "http" ones are refused before anything is sent.
TEST_F(HttpServiceTest, RefusedAddressesSendNothing) {
    const std::string hostAndPort = "127.0.0.1:" + std::to_string(service_->port());
    const std::string refused[] = {
        "https://" + hostAndPort + kMessageTarget,
        hostAndPort + kMessageTarget,
        "",
        "ftp://" + hostAndPort + kMessageTarget,
    };
    const std::size_t before = service_->LogLines().size();
    for (const std::string& url : refused) EXPECT_EQ(Get(url), kError) << url;
    // The one request after them is the first the service sees.
    EXPECT_EQ(Get(service_->Url(kMessageTarget)), kMessage);
    const std::vector<std::string> lines = service_->LogLines();
    ASSERT_EQ(lines.size(), before + 1);
    EXPECT_EQ(LoggedRequest(lines.back()), "GET\t" + kMessageTarget + "\tHTTP/1.0\tORVO");
}

TEST_F(HttpServiceTest, NoServerYieldsTheErrorText) {
    const std::string url = "http://127.0.0.1:" + std::to_string(test_support::UnusedPort()) + kMessageTarget;
    EXPECT_EQ(Get(url), kError);
}

TEST_F(HttpServiceTest, GoesThroughTheProxyOfTheEnvironment) {
    const test_support::ProxyEnvironment proxy({{"http_proxy", service_->Url("")}});
    const std::size_t before = service_->LogLines().size();
    Get("http://velmoria.invalid" + kMessageTarget);
    const std::vector<std::string> lines = service_->LogLines();
    ASSERT_EQ(lines.size(), before + 1);
    EXPECT_EQ(LoggedRequest(lines.back()), "GET\thttp://velmoria.invalid" + kMessageTarget + "\tHTTP/1.0\tORVO");
}

TEST_F(HttpServiceTest, DownloadsOnTwoThreadsDoNotMeet) {
    constexpr int kRounds = 25;
    const std::string listUrl = service_->Url("/exchanges.html");
    const std::string list = Get(listUrl);
    ASSERT_FALSE(list.empty());
    int messageMismatches = 0;
    int listMismatches = 0;
    std::thread worker([&] {
        for (int i = 0; i < kRounds; ++i) messageMismatches += Get(service_->Url(kMessageTarget)) != kMessage;
    });
    for (int i = 0; i < kRounds; ++i) listMismatches += Get(listUrl) != list;
    worker.join();
    EXPECT_EQ(messageMismatches, 0);
    EXPECT_EQ(listMismatches, 0);
}

}  // namespace
