#include "service/http/query.h"

#include <gtest/gtest.h>

namespace service {
namespace {

TEST(SplitTarget, DecodesThePathAndKeepsTheQueryRaw) {
    const Target target = SplitTarget("/a%20b/quotes.csv?f=sl1&s=A%26B+C");
    EXPECT_EQ(target.path, "/a b/quotes.csv");
    EXPECT_EQ(target.query, "f=sl1&s=A%26B+C");
    EXPECT_EQ(SplitTarget("/help.html").query, "");
}

struct DecodeCase {
    const char* text;
    PlusSign plus;
    const char* decoded;
};

TEST(PercentDecode, DecodesOnlyCompleteEscapes) {
    const DecodeCase cases[] = {
        {"%41%62c", PlusSign::Space, "Abc"},   {"a+b", PlusSign::Space, "a b"}, {"a+b", PlusSign::Literal, "a+b"},
        {"100%", PlusSign::Space, "100%"},     {"%4", PlusSign::Space, "%4"},   {"%zz1", PlusSign::Space, "%zz1"},
        {"%3Cb%3e", PlusSign::Literal, "<b>"}, {"", PlusSign::Space, ""},
    };
    for (const DecodeCase& c : cases) EXPECT_EQ(PercentDecode(c.text, c.plus), c.decoded) << c.text;
}

TEST(QueryValue, FindsTheFirstValueOfAName) {
    const std::string query = "f=sl1t1c1ghpv&s=IBM+MSFT&s=X&flag&%73ym=%5EDJI";
    EXPECT_EQ(QueryValue(query, "f"), "sl1t1c1ghpv");
    EXPECT_EQ(QueryValue(query, "s"), "IBM MSFT");
    EXPECT_EQ(QueryValue(query, "flag"), "");
    EXPECT_EQ(QueryValue(query, "sym"), "^DJI");
    EXPECT_EQ(QueryValue(query, "v"), std::nullopt);
    EXPECT_EQ(QueryValue("", "s"), std::nullopt);
    EXPECT_EQ(QueryValue("xs=1", "s"), std::nullopt);
}

struct DetailCase {
    const char* query;
    const char* name;
    std::optional<std::string> value;
};

TEST(DetailParameter, RunsToTheLastVersionParameter) {
    const DetailCase cases[] = {
        {"s=IBM&v=5.6&ban=21", "s", "IBM"},
        {"s=AT&T&v=5.6&ban=21", "s", "AT&T"},
        {"url=http://x/p?a=1&b=2&v=5.6&ban=21", "url", "http://x/p?a=1&b=2"},
        {"url=http://x/p?v=1&v=5.6&ban=21", "url", "http://x/p?v=1"},
        {"s=A%20B&v=5.6&ban=21", "s", "A B"},
        {"s=A+B&v=5.6&ban=21", "s", "A+B"},
        {"s=IBM&x=1", "s", "IBM"},
        {"s=IBM", "s", "IBM"},
        {"v=5.6&s=IBM", "s", "IBM"},
        {"xs=IBM&v=5.6", "s", std::nullopt},
        {"url=a&v=5.6", "s", std::nullopt},
    };
    for (const DetailCase& c : cases) EXPECT_EQ(DetailParameter(c.query, c.name), c.value) << c.query;
}

TEST(DetailTail, IsWhatFollowsTheLastVersionMarker) {
    EXPECT_EQ(DetailTail("url=http://x/?v=1&v=5.6&ban=21"), "v=5.6&ban=21");
    EXPECT_EQ(DetailTail("s=IBM"), "s=IBM");
}

TEST(OriginForm, DropsTheSchemeAndHostOfAnAbsoluteTarget) {
    const struct {
        const char* target;
        const char* origin;
    } cases[] = {
        {"/d/quotes.csv?s=IBM", "/d/quotes.csv?s=IBM"},
        {"http://velmoria.invalid/getmessage.asp?ID=1", "/getmessage.asp?ID=1"},
        {"HTTP://127.0.0.1:8642/help.html", "/help.html"},
        {"http://host", "/"},
        {"http://host?x=1", "/?x=1"},
        {"https://host/a", "https://host/a"},  // not served: left to answer 404
        {"*", "*"},
        {"", ""},
    };
    for (const auto& c : cases) EXPECT_EQ(OriginForm(c.target), c.origin) << c.target;
}

TEST(EncodePath, EscapesOnlyWhatCannotStandInAPath) {
    const struct {
        std::string path;
        const char* encoded;
    } cases[] = {
        {"/d/quotes.csv", "/d/quotes.csv"},
        {"/a b", "/a%20b"},
        {"/50%?#", "/50%25%3F%23"},
        {"/^x-y=z.~_", "/%5Ex-y=z.~_"},
        {std::string("/\x01\x7f\xff", 4), "/%01%7F%FF"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(EncodePath(c.path), c.encoded) << c.path;
        EXPECT_EQ(PercentDecode(EncodePath(c.path), PlusSign::Literal), c.path) << c.path;
    }
}

}  // namespace
}  // namespace service
