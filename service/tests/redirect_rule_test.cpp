#include "service/sources/redirect_rule.h"

#include <gtest/gtest.h>

namespace service_test {
namespace {

using service::MayFollowRedirect;
using service::RedirectTarget;

TEST(RedirectRule, AKeyGoesOnlyToItsOwnHostOverHttps) {
    struct Case {
        const char* from;
        const char* to;
        bool carriesKey;
        bool follows;
    };
    const Case cases[] = {
        {"https://finnhub.io/api/v1/quote?symbol=IBM", "https://finnhub.io/api/v2/quote?symbol=IBM", true, true},
        {"https://finnhub.io/x", "https://FINNHUB.IO:443/y", true, true},
        {"https://finnhub.io/x", "https://finnhub.io:8443/y", true, false},
        {"https://finnhub.io/x", "http://finnhub.io/y", true, false},
        {"https://finnhub.io/x", "https://evil.example/y", true, false},
        {"https://finnhub.io/x", "https://finnhub.io.evil.example/y", true, false},
        {"https://finnhub.io/x", "https://finnhub.io@evil.example/y", true, false},
        {"https://finnhub.io/x", "ftp://finnhub.io/y", true, false},
        {"http://127.0.0.1:9100/x", "http://127.0.0.1:9100/y", true, false},
        {"http://127.0.0.1:9100/x", "http://127.0.0.1:9101/y", true, false},
        {"http://127.0.0.1:9100/x", "https://127.0.0.1:9100/y", true, true},
        {"https://query1.example/x", "http://elsewhere.example/y", false, true},
        {"https://query1.example/x", "https://elsewhere.example:8443/y", false, true},
        {"https://query1.example/x", "file:///etc/passwd", false, false},
        {"https://query1.example/x", "https://:443/y", false, false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(MayFollowRedirect(c.from, c.to, c.carriesKey), c.follows)
            << c.from << " -> " << c.to << (c.carriesKey ? " with a key" : "");
    }
}

TEST(RedirectRule, ReadsTheLocationFromWhereItCame) {
    struct Case {
        const char* location;
        const char* target;  // nullptr: none
    };
    const Case cases[] = {
        {"https://other.example/a?b=1", "https://other.example/a?b=1"},
        {"/v2/quote?symbol=IBM", "https://finnhub.io:8443/v2/quote?symbol=IBM"},
        {"//other.example/a", "https://other.example/a"},
        {"quote?symbol=IBM", nullptr},
        {"javascript:alert(1)", nullptr},
    };
    for (const Case& c : cases) {
        const auto target = RedirectTarget("https://finnhub.io:8443/api/v1/quote?symbol=X", c.location);
        if (c.target == nullptr) {
            EXPECT_FALSE(target) << c.location;
        } else {
            EXPECT_EQ(target.value_or("none"), c.target) << c.location;
        }
    }
}

}  // namespace
}  // namespace service_test
