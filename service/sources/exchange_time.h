#pragma once
// Exchange clocks without the machine's time zone: the few zones the
// sources' exchanges keep, with their daylight-saving rules, and the trade
// time as the bar shows it ("4:00PM").
#include <cstdint>
#include <string>

namespace service {

enum class DaylightRule {
    None,
    UnitedStates,   // second Sunday of March 2:00 to first Sunday of November 2:00, local
    EuropeanUnion,  // last Sunday of March to last Sunday of October, 1:00 UTC
};

struct ExchangeZone {
    const char* name;  // as the tz database names it
    int standardOffsetSeconds;
    DaylightRule daylight;
};

extern const ExchangeZone kNewYorkZone;
extern const ExchangeZone kLondonZone;

struct CivilDate {
    int year;
    int month;  // 1-12
    int day;    // 1-31
};

// Days since 1970-01-01 and back, proleptic Gregorian.
std::int64_t DaysFromCivil(const CivilDate& date);
CivilDate CivilFromDays(std::int64_t days);

int UtcOffsetAt(const ExchangeZone& zone, std::int64_t epochSeconds);

// The zone of an exchange as a source names it ("NYSE", "NASDAQ", "LSE");
// nullptr for one it does not know.
const ExchangeZone* ZoneOfExchange(const std::string& exchange);

// "4:00PM", "9:35AM", "12:05PM": the time of day at that offset from UTC.
std::string ClockText(std::int64_t epochSeconds, int utcOffsetSeconds);

}  // namespace service
