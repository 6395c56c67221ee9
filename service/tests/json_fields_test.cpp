#include "service/sources/json_fields.h"

#include <gtest/gtest.h>

namespace service_test {
namespace {

using service::JsonWithinBounds;
using service::kMaxJsonDepth;
using service::kMaxJsonValues;

std::string Nested(std::size_t depth) { return std::string(depth, '[') + std::string(depth, ']'); }

std::string Values(std::size_t count) {
    std::string array = "[0";
    for (std::size_t i = 1; i < count; ++i) array += ",0";
    return array + "]";
}

TEST(JsonFields, RefusesBodiesNestedDeeperOrHoldingMoreValuesThanAnyAnswer) {
    struct Case {
        const char* what;
        std::string body;
        bool within;
    };
    const Case cases[] = {
        {"as deep as allowed", Nested(kMaxJsonDepth), true},
        {"one deeper", Nested(kMaxJsonDepth + 1), false},
        {"objects count as deep as arrays", std::string(kMaxJsonDepth + 1, '{'), false},
        {"brackets in a string are text", "[\"" + std::string(1000, '[') + "\"]", true},
        {"an escaped quote does not end the string", "[\"\\\"" + std::string(1000, '[') + "\"]", true},
        {"as many values as allowed", Values(kMaxJsonValues - 1), true},
        {"more values than allowed", Values(kMaxJsonValues + 1), false},
        {"not JSON at all", "<html>[[[</html>", true},
    };
    for (const Case& c : cases) EXPECT_EQ(JsonWithinBounds(c.body), c.within) << c.what;
    EXPECT_FALSE(service::JsonObjectOf("{\"a\":" + Nested(kMaxJsonDepth) + "}")) << "the object's own level counts";
    EXPECT_TRUE(service::JsonObjectOf("{\"a\":" + Nested(kMaxJsonDepth - 1) + "}"));
}

}  // namespace
}  // namespace service_test
