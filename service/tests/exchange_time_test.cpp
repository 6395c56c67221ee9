#include "service/sources/exchange_time.h"

#include <gtest/gtest.h>

namespace service {
namespace {

// Epoch seconds of a UTC time.
std::int64_t Utc(int year, int month, int day, int hour, int minute) {
    return DaysFromCivil({year, month, day}) * 86400 + hour * 3600 + minute * 60;
}

TEST(ExchangeTime, CountsDaysBothWays) {
    EXPECT_EQ(DaysFromCivil({1970, 1, 1}), 0);
    EXPECT_EQ(DaysFromCivil({2000, 3, 1}), 11017);
    EXPECT_EQ(DaysFromCivil({1969, 12, 31}), -1);
    for (std::int64_t days : {-1000, -1, 0, 59, 60, 11016, 11017, 20000, 2932896}) {
        const CivilDate date = CivilFromDays(days);
        EXPECT_EQ(DaysFromCivil(date), days) << date.year << "-" << date.month << "-" << date.day;
    }
}

TEST(ExchangeTime, KeepsEachZonesDaylightRules) {
    struct Case {
        const ExchangeZone* zone;
        std::int64_t at;
        int offsetHours;
    };
    const Case cases[] = {
        {&kNewYorkZone, Utc(2026, 1, 15, 12, 0), -5},
        {&kNewYorkZone, Utc(2026, 7, 1, 12, 0), -4},
        // 2026: daylight time from 8 March 2:00 EST (7:00 UTC) to 1 November 2:00 EDT (6:00 UTC).
        {&kNewYorkZone, Utc(2026, 3, 8, 6, 59), -5},
        {&kNewYorkZone, Utc(2026, 3, 8, 7, 0), -4},
        {&kNewYorkZone, Utc(2026, 11, 1, 5, 59), -4},
        {&kNewYorkZone, Utc(2026, 11, 1, 6, 0), -5},
        // 2026: British Summer Time from 29 March to 25 October, 1:00 UTC.
        {&kLondonZone, Utc(2026, 3, 29, 0, 59), 0},
        {&kLondonZone, Utc(2026, 3, 29, 1, 0), 1},
        {&kLondonZone, Utc(2026, 10, 25, 0, 59), 1},
        {&kLondonZone, Utc(2026, 10, 25, 1, 0), 0},
        {&kLondonZone, Utc(2024, 3, 31, 1, 0), 1},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(UtcOffsetAt(*c.zone, c.at), c.offsetHours * 3600) << c.zone->name << " at " << c.at;
    }
}

TEST(ExchangeTime, WritesTheClockAsTheBarShowsIt) {
    struct Case {
        int hour;
        int minute;
        const char* text;
    };
    const Case cases[] = {
        {0, 5, "12:05AM"}, {9, 30, "9:30AM"}, {11, 59, "11:59AM"}, {12, 0, "12:00PM"}, {16, 0, "4:00PM"}, {23, 59, "11:59PM"},
    };
    for (const Case& c : cases) {
        // 21:00 UTC is 16:00 in New York in winter: the offset is applied.
        EXPECT_EQ(ClockText(Utc(2026, 12, 10, c.hour, c.minute) + 5 * 3600, -5 * 3600), c.text);
    }
    EXPECT_EQ(ClockText(Utc(2026, 12, 10, 2, 0), -5 * 3600), "9:00PM") << "the day before in New York";
}

TEST(ExchangeTime, KnowsTheZonesOfTheSourcesExchanges) {
    EXPECT_EQ(ZoneOfExchange("NASDAQ"), &kNewYorkZone);
    EXPECT_EQ(ZoneOfExchange("NYSE"), &kNewYorkZone);
    EXPECT_EQ(ZoneOfExchange("LSE"), &kLondonZone);
    EXPECT_EQ(ZoneOfExchange("XETR"), nullptr);
    EXPECT_EQ(ZoneOfExchange(""), nullptr);
}

}  // namespace
}  // namespace service
