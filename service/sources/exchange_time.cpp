#include "service/sources/exchange_time.h"

#include <cstdio>

namespace service {

namespace {

constexpr std::int64_t kSecondsPerDay = 86400;
constexpr std::int64_t kSecondsPerHour = 3600;
constexpr int kMinutesPerHour = 60;
constexpr int kHoursPerHalfDay = 12;
constexpr int kDaysPerWeek = 7;
constexpr int kThursday = 4;  // 1970-01-01; Sunday is 0
constexpr int kMarch = 3;
constexpr int kOctober = 10;
constexpr int kNovember = 11;
constexpr int kDaysInMarchAndOctober = 31;
constexpr int kUsChangeHourLocal = 2;
constexpr int kEuChangeHourUtc = 1;

int Weekday(std::int64_t days) {
    const std::int64_t weekday = (days + kThursday) % kDaysPerWeek;
    return static_cast<int>(weekday < 0 ? weekday + kDaysPerWeek : weekday);
}

// The day of the n-th Sunday (1-based) of a month.
std::int64_t NthSunday(int year, int month, int n) {
    const std::int64_t first = DaysFromCivil({year, month, 1});
    return first + (kDaysPerWeek - Weekday(first)) % kDaysPerWeek + (n - 1) * kDaysPerWeek;
}

std::int64_t LastSunday(int year, int month, int daysInMonth) {
    const std::int64_t last = DaysFromCivil({year, month, daysInMonth});
    return last - Weekday(last);
}

std::int64_t FloorDiv(std::int64_t a, std::int64_t b) { return a / b - ((a % b != 0) && ((a < 0) != (b < 0))); }

bool InDaylightTime(const ExchangeZone& zone, std::int64_t epoch) {
    const int year = CivilFromDays(FloorDiv(epoch, kSecondsPerDay)).year;
    switch (zone.daylight) {
    case DaylightRule::UnitedStates: {
        // 2:00 standard time in March, 2:00 daylight time (1:00 standard) in November.
        const std::int64_t start = NthSunday(year, kMarch, 2) * kSecondsPerDay + kUsChangeHourLocal * kSecondsPerHour -
                                   zone.standardOffsetSeconds;
        const std::int64_t end = NthSunday(year, kNovember, 1) * kSecondsPerDay +
                                 (kUsChangeHourLocal - 1) * kSecondsPerHour - zone.standardOffsetSeconds;
        return epoch >= start && epoch < end;
    }
    case DaylightRule::EuropeanUnion: {
        const std::int64_t start =
            LastSunday(year, kMarch, kDaysInMarchAndOctober) * kSecondsPerDay + kEuChangeHourUtc * kSecondsPerHour;
        const std::int64_t end =
            LastSunday(year, kOctober, kDaysInMarchAndOctober) * kSecondsPerDay + kEuChangeHourUtc * kSecondsPerHour;
        return epoch >= start && epoch < end;
    }
    case DaylightRule::None: break;
    }
    return false;
}

struct ExchangeName {
    const char* name;
    const ExchangeZone* zone;
};

const ExchangeName kExchanges[] = {
    {"NYSE", &kNewYorkZone},  {"NASDAQ", &kNewYorkZone}, {"AMEX", &kNewYorkZone},
    {"NYSE AMERICAN", &kNewYorkZone}, {"NYSE ARCA", &kNewYorkZone}, {"ARCA", &kNewYorkZone},
    {"BATS", &kNewYorkZone},  {"CBOE", &kNewYorkZone},   {"OTC", &kNewYorkZone},
    {"LSE", &kLondonZone},
};

}  // namespace

const ExchangeZone kNewYorkZone{"America/New_York", -5 * 3600, DaylightRule::UnitedStates};
const ExchangeZone kLondonZone{"Europe/London", 0, DaylightRule::EuropeanUnion};

// Howard Hinnant's days_from_civil and civil_from_days.
std::int64_t DaysFromCivil(const CivilDate& date) {
    const std::int64_t y = date.year - (date.month <= 2 ? 1 : 0);
    const std::int64_t era = FloorDiv(y, 400);
    const std::int64_t yearOfEra = y - era * 400;
    const std::int64_t m = date.month;
    const std::int64_t dayOfYear = (153 * (m > 2 ? m - 3 : m + 9) + 2) / 5 + date.day - 1;
    const std::int64_t dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + dayOfEra - 719468;
}

CivilDate CivilFromDays(std::int64_t days) {
    days += 719468;
    const std::int64_t era = FloorDiv(days, 146097);
    const std::int64_t dayOfEra = days - era * 146097;
    const std::int64_t yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    const std::int64_t dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    const std::int64_t mp = (5 * dayOfYear + 2) / 153;
    const int day = static_cast<int>(dayOfYear - (153 * mp + 2) / 5 + 1);
    const int month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    const std::int64_t year = yearOfEra + era * 400 + (month <= 2 ? 1 : 0);
    return {static_cast<int>(year), month, day};
}

int UtcOffsetAt(const ExchangeZone& zone, std::int64_t epochSeconds) {
    return zone.standardOffsetSeconds + (InDaylightTime(zone, epochSeconds) ? static_cast<int>(kSecondsPerHour) : 0);
}

const ExchangeZone* ZoneOfExchange(const std::string& exchange) {
    for (const ExchangeName& known : kExchanges) {
        if (exchange == known.name) return known.zone;
    }
    return nullptr;
}

std::string ClockText(std::int64_t epochSeconds, int utcOffsetSeconds) {
    const std::int64_t local = epochSeconds + utcOffsetSeconds;
    const std::int64_t secondOfDay = local - FloorDiv(local, kSecondsPerDay) * kSecondsPerDay;
    const int minuteOfDay = static_cast<int>(secondOfDay / kMinutesPerHour);
    const int hour24 = minuteOfDay / kMinutesPerHour;
    const int minute = minuteOfDay % kMinutesPerHour;
    const int hour12 = hour24 % kHoursPerHalfDay == 0 ? kHoursPerHalfDay : hour24 % kHoursPerHalfDay;
    char text[16];
    std::snprintf(text, sizeof text, "%d:%02d%s", hour12, minute, hour24 < kHoursPerHalfDay ? "AM" : "PM");
    return text;
}

}  // namespace service
