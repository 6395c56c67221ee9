// The addresses the bar talks to outlive the runtime's own statics: an
// update worker that is still downloading when WinMain returns makes its
// next address while the runtime destroys them.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>

#include "quotes/endpoints.h"

namespace {

constexpr int kAddressesWhole = 0;
constexpr int kAddressesBroken = 3;
// Far longer than any configured address.
constexpr std::size_t kMostAddressBytes = 512;

// What the addresses read while the program ran, kept where nothing
// destroys it.
struct Remembered {
    char homeSite[kMostAddressBytes];
    char serverMessage[kMostAddressBytes];
    char exchangeList[kMostAddressBytes];
    char quoteService[kMostAddressBytes];
};
Remembered remembered;

void Remember(char (&into)[kMostAddressBytes], const std::string& address) {
    ASSERT_LT(address.size(), kMostAddressBytes);
    std::memcpy(into, address.c_str(), address.size() + 1);
}

// Runs at exit after everything made since it was registered is destroyed.
void ReadAddressesAtExit() {
    const bool whole = quotes::HomeSite() == remembered.homeSite &&
                       quotes::ServerMessageAddress() == remembered.serverMessage &&
                       quotes::ExchangeListAddress() == remembered.exchangeList &&
                       quotes::QuoteService() == remembered.quoteService;
    std::_Exit(whole ? kAddressesWhole : kAddressesBroken);
}

TEST(EndpointsDeathTest, TheAddressesAreWholeWhileTheRuntimeEnds) {
    // A fresh process, so that the addresses are first read after the
    // check is registered, as a worker reads them after the bar started.
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            std::atexit(ReadAddressesAtExit);
            Remember(remembered.homeSite, quotes::HomeSite());
            Remember(remembered.serverMessage, quotes::ServerMessageAddress());
            Remember(remembered.exchangeList, quotes::ExchangeListAddress());
            Remember(remembered.quoteService, quotes::QuoteService());
            std::exit(kAddressesWhole);
        },
        ::testing::ExitedWithCode(kAddressesWhole), "");
}

}  // namespace
