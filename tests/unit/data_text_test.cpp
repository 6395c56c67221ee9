// The data text that follows an item's label, and the item's colour.
#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <limits>
#include <string>

#include "quotes/data_mask.h"
#include "quotes/data_text.h"

namespace {

using quotes::QuoteFields;

constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

// A quote whose every field is distinct, so a field in the wrong row shows.
QuoteFields FullQuote() {
    QuoteFields q;
    q.label = "IBM";
    q.timeText = "4:00PM";
    q.last = 105.25;
    q.change = 1.5;
    q.prevClose = 103.75;
    q.open = 104;
    q.high = 106;
    q.low = 103;
    q.volume = 12345;
    return q;
}

struct DataTextCase {
    const char* name;
    std::uint32_t mask;
    std::function<void(QuoteFields&)> edit;  // applied to FullQuote()
    const char* text;
};

void PrintTo(const DataTextCase& c, std::ostream* out) { *out << c.name; }

class BuildDataText : public ::testing::TestWithParam<DataTextCase> {};

TEST_P(BuildDataText, AppendsTheMaskedFieldsInOrder) {
    QuoteFields fields = FullQuote();
    if (GetParam().edit) GetParam().edit(fields);
    EXPECT_EQ(quotes::BuildDataText(fields, GetParam().mask), GetParam().text);
}

std::function<void(QuoteFields&)> Last(double value) {
    return [value](QuoteFields& q) { q.last = value; };
}
std::function<void(QuoteFields&)> Change(double value) {
    return [value](QuoteFields& q) { q.change = value; };
}
std::function<void(QuoteFields&)> PrevClose(double value) {
    return [value](QuoteFields& q) { q.prevClose = value; };
}

constexpr std::uint32_t kAllDecimal = quotes::kShowPrice | quotes::kShowTime | quotes::kShowChange |
                                      quotes::kShowPercentChange | quotes::kShowPrevClose | quotes::kShowOpen |
                                      quotes::kShowHigh | quotes::kShowLow | quotes::kShowVolume;
constexpr std::uint32_t kAllFractions = kAllDecimal | quotes::kShowFractions;
constexpr std::uint32_t kChangeInFractions = quotes::kShowChange | quotes::kShowFractions;

INSTANTIATE_TEST_SUITE_P(
    Masks, BuildDataText,
    ::testing::Values(
        DataTextCase{"default mask", quotes::kDefaultDataMask, nullptr, "105 1/4 +1 1/2"},
        DataTextCase{"decimal price", quotes::kShowPrice, nullptr, "105.25"},
        DataTextCase{"large price in exponent form", quotes::kShowPrice, Last(1234567), "1.23457e+006"},
        DataTextCase{"zero change gets a plus", quotes::kShowChange, Change(0), "+0"},
        DataTextCase{"negative zero change keeps printf's minus", quotes::kShowChange, Change(-0.0), "-0"},
        DataTextCase{"negative decimal change", quotes::kShowChange, Change(-0.25), "-0.25"},
        DataTextCase{"fraction change below one", kChangeInFractions, Change(-0.25), "-1/4"},
        DataTextCase{"fraction change below minus one", kChangeInFractions, Change(-1.5), "-1 1/2"},
        DataTextCase{"fraction change of zero", kChangeInFractions, Change(0), "+0"},
        DataTextCase{"fraction change past the 32-bit range", kChangeInFractions, Change(-3e9), "-3e+009"},
        DataTextCase{"infinite change", quotes::kShowChange, Change(kInf), "+inf"},
        DataTextCase{"whole price keeps its space", quotes::kDefaultDataMask,
                     [](QuoteFields& q) {
                         q.last = 2;
                         q.change = 0.5;
                     },
                     "2  +1/2"},
        DataTextCase{"percentage", quotes::kShowPercentChange, nullptr, "+1.45%"},
        DataTextCase{"negative percentage", quotes::kShowPercentChange, Change(-1.5), "-1.45%"},
        DataTextCase{"percentage stays decimal with fractions",
                     quotes::kShowPercentChange | quotes::kShowFractions, nullptr, "+1.45%"},
        DataTextCase{"percentage left out for a zero close", quotes::kShowPercentChange, PrevClose(0), ""},
        DataTextCase{"percentage left out for a negative close", quotes::kShowPercentChange, PrevClose(-5), ""},
        DataTextCase{"percentage left out for a NaN close", quotes::kShowPercentChange, PrevClose(kNaN), ""},
        // Quotients on a .xx5 boundary in plain double arithmetic; both builds
        // must agree (x87 intermediates would give the other texts).
        DataTextCase{"percentage on a boundary, up", quotes::kShowPercentChange,
                     [](QuoteFields& q) {
                         q.change = 735.54;
                         q.prevClose = 24.96;
                     },
                     "+2946.88%"},
        DataTextCase{"percentage on a boundary, down", quotes::kShowPercentChange,
                     [](QuoteFields& q) {
                         q.change = 881.98;
                         q.prevClose = 16880;
                     },
                     "+5.22%"},
        DataTextCase{"negative percentage on a boundary", quotes::kShowPercentChange,
                     [](QuoteFields& q) {
                         q.change = -0.53;
                         q.prevClose = 40;
                     },
                     "-1.32%"},
        DataTextCase{"percentage of a tiny close", quotes::kShowPercentChange, PrevClose(1e-308), "+inf%"},
        DataTextCase{"volume", quotes::kShowVolume, nullptr, "v:12345"},
        DataTextCase{"negative volume has no plus", quotes::kShowVolume,
                     [](QuoteFields& q) { q.volume = -5; }, "v:-5"},
        DataTextCase{"time", quotes::kShowTime, nullptr, "4:00PM"},
        DataTextCase{"empty time alone trims to nothing", quotes::kShowTime,
                     [](QuoteFields& q) { q.timeText.clear(); }, ""},
        DataTextCase{"empty time still adds its space", quotes::kShowPrice | quotes::kShowTime | quotes::kShowChange,
                     [](QuoteFields& q) { q.timeText.clear(); }, "105.25  +1.5"},
        DataTextCase{"time text is not signed", quotes::kShowTime,
                     [](QuoteFields& q) { q.timeText = "1.25"; }, "1.25"},
        DataTextCase{"trailing white space of the last field goes", quotes::kShowTime,
                     [](QuoteFields& q) { q.timeText = "4:00PM \t\r\n"; }, "4:00PM"},
        DataTextCase{"leading white space stays", quotes::kShowTime,
                     [](QuoteFields& q) { q.timeText = " 4:00PM"; }, " 4:00PM"},
        DataTextCase{"empty mask", 0, nullptr, ""},
        DataTextCase{"only fractions", quotes::kShowFractions, nullptr, ""},
        DataTextCase{"bits outside the table are ignored", quotes::kShowPrice | 0x4 | 0x8 | 0x20000000 | 0x80000000,
                     nullptr, "105.25"},
        DataTextCase{"every field in decimals", kAllDecimal, nullptr,
                     "105.25 4:00PM +1.5 +1.45% c:103.75 o:104 h:106 l:103 v:12345"},
        DataTextCase{"every field in fractions", kAllFractions, nullptr,
                     "105 1/4 4:00PM +1 1/2 +1.45% c:103 3/4 o:104  h:106  l:103  v:12345"},
        DataTextCase{"select all leaves the opening price out", quotes::kSelectAllDataMask, nullptr,
                     "105 1/4 4:00PM +1 1/2 +1.45% c:103 3/4 h:106  l:103  v:12345"},
        DataTextCase{"prefixes on their own", quotes::kShowPrevClose | quotes::kShowLow,
                     [](QuoteFields& q) {
                         q.prevClose = -1;
                         q.low = 0;
                     },
                     "c:-1 l:0"}));

struct ColorCase {
    double change;
    std::uint32_t color;
};

void PrintTo(const ColorCase& c, std::ostream* out) { *out << c.change; }

class ColorForChange : public ::testing::TestWithParam<ColorCase> {};

TEST_P(ColorForChange, FollowsTheSign) { EXPECT_EQ(quotes::ColorForChange(GetParam().change), GetParam().color); }

INSTANTIATE_TEST_SUITE_P(Signs, ColorForChange,
                         ::testing::Values(ColorCase{-1.5, 0x000000DDu}, ColorCase{-1e-300, 0x000000DDu},
                                           ColorCase{-kInf, 0x000000DDu}, ColorCase{0, 0x00CC0000u},
                                           ColorCase{-0.0, 0x00CC0000u}, ColorCase{kNaN, 0x00CC0000u},
                                           ColorCase{std::numeric_limits<double>::denorm_min(), 0x00006600u},
                                           ColorCase{1.5, 0x00006600u}, ColorCase{kInf, 0x00006600u}));

}  // namespace
