// --listen: the service binds the address it is given, 127.0.0.1 otherwise.
#include <gtest/gtest.h>
#include <httplib.h>

#include "raw_http.h"
#include "running_service.h"

namespace service_test {
namespace {

TEST(ListenAddress, BindsTheAddressGivenAndOnlyThat) {
    service::ServiceOptions options;
    options.listenAddress = "127.0.0.2";  // loopback too, but not 127.0.0.1
    RunningService service(options);
    httplib::Client client("127.0.0.2", service.port());
    const auto answer = client.Get("/status");
    ASSERT_TRUE(answer);
    EXPECT_EQ(answer->status, 200);
    EXPECT_TRUE(ConnectionRefused(service.port())) << "127.0.0.1 is not bound";
}

TEST(ListenAddress, DefaultsToLoopbackOnly) {
    RunningService service;
    EXPECT_FALSE(ConnectionRefused(service.port()));
    httplib::Client client("127.0.0.2", service.port());
    EXPECT_FALSE(client.Get("/status"));
}

}  // namespace
}  // namespace service_test
