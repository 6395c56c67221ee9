#include "quotes/number_format.h"

#include <array>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <string_view>
#include <system_error>

namespace quotes {

namespace {

constexpr int kSignificantDigits = 6;
constexpr int kLowestFixedExponent = -4;
constexpr int kMinimumExponentDigits = 3;
constexpr int kFixedDecimals = 2;
constexpr int kFractionDenominator = 64;
constexpr int kSmallestDivisor = 2;

constexpr const char* kNanText = "nan";
constexpr const char* kInfinityText = "inf";
constexpr const char* kNegativeInfinityText = "-inf";

// Large enough for any double in fixed notation (309 integer digits at most).
using NumberBuffer = std::array<char, 400>;

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

bool IsSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

std::string NonFiniteText(double value) {
    if (std::isnan(value)) return kNanText;
    return value < 0 ? kNegativeInfinityText : kInfinityText;
}

std::string IntegerText(long long value) {
    std::array<char, 24> buffer{};
    const auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value);
    return std::string(buffer.data(), result.ptr);
}

void DropTrailingZeros(std::string& digits) {
    while (!digits.empty() && digits.back() == '0') digits.pop_back();
}

// A finite value rounded to six significant digits: its sign, the six digits
// and the decimal exponent of the first one.
struct ScientificParts {
    bool negative = false;
    std::string digits;
    int exponent = 0;
};

ScientificParts SplitScientific(double value) {
    NumberBuffer buffer{};
    const auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value,
                                      std::chars_format::scientific, kSignificantDigits - 1);
    // The text is "[-]d.ddddde(+|-)dd[d]".
    const std::string_view text(buffer.data(), static_cast<std::size_t>(result.ptr - buffer.data()));
    ScientificParts parts;
    std::size_t i = 0;
    if (text[i] == '-') {
        parts.negative = true;
        ++i;
    }
    for (; i < text.size() && text[i] != 'e'; ++i) {
        if (IsDigit(text[i])) parts.digits += text[i];
    }
    ++i;  // 'e'
    const bool negativeExponent = text[i] == '-';
    ++i;  // its sign
    int magnitude = 0;
    std::from_chars(text.data() + i, text.data() + text.size(), magnitude);
    parts.exponent = negativeExponent ? -magnitude : magnitude;
    return parts;
}

std::string ExponentText(int exponent) {
    std::string digits = IntegerText(std::abs(exponent));
    if (digits.size() < kMinimumExponentDigits) {
        digits.insert(0, kMinimumExponentDigits - digits.size(), '0');
    }
    return std::string("e") + (exponent < 0 ? '-' : '+') + digits;
}

// The smallest divisor that num and den share, searched from 2 up to den - 1;
// 0 when there is none.
int SmallestCommonDivisor(int num, int den) {
    for (int d = kSmallestDivisor; d < den; ++d) {
        if (num % d == 0 && den % d == 0) return d;
    }
    return 0;
}

// Decimal exponent of the first significant digit of a number written as
// integer digits, fraction digits and an exponent; only its sign matters, to
// tell an overflow from an underflow.
long long DecimalOrder(std::string_view integerDigits, std::string_view fractionDigits, long long exponent) {
    const std::size_t firstInteger = integerDigits.find_first_not_of('0');
    if (firstInteger != std::string_view::npos) {
        return static_cast<long long>(integerDigits.size() - firstInteger) - 1 + exponent;
    }
    const std::size_t firstFraction = fractionDigits.find_first_not_of('0');
    if (firstFraction == std::string_view::npos) return std::numeric_limits<long long>::min();  // zero
    return exponent - static_cast<long long>(firstFraction) - 1;
}

// Past this an exponent changes nothing: it only has to keep its sign and
// stay far beyond the double range with any number of digits in front of it.
constexpr long long kExponentCeiling = 1'000'000'000'000'000LL;

// More significant digits than the shortcut accepts (19).
constexpr std::string_view kExactPathPadding = "00000000000000000000";

std::size_t SkipSpace(std::string_view text, std::size_t i) {
    while (i < text.size() && IsSpace(text[i])) ++i;
    return i;
}

std::size_t SkipDigits(std::string_view text, std::size_t i) {
    while (i < text.size() && IsDigit(text[i])) ++i;
    return i;
}

}  // namespace

std::string FormatG(double value) {
    if (!std::isfinite(value)) return NonFiniteText(value);
    ScientificParts parts = SplitScientific(value);
    std::string text = parts.negative ? "-" : "";
    const int exponent = parts.exponent;
    if (exponent < kLowestFixedExponent || exponent >= kSignificantDigits) {
        std::string fraction = parts.digits.substr(1);
        DropTrailingZeros(fraction);
        text += parts.digits[0];
        if (!fraction.empty()) text += "." + fraction;
        return text + ExponentText(exponent);
    }
    if (exponent >= 0) {
        const std::size_t integerDigits = static_cast<std::size_t>(exponent) + 1;
        std::string fraction = parts.digits.substr(integerDigits);
        DropTrailingZeros(fraction);
        text += parts.digits.substr(0, integerDigits);
        if (!fraction.empty()) text += "." + fraction;
        return text;
    }
    DropTrailingZeros(parts.digits);
    return text + "0." + std::string(static_cast<std::size_t>(-exponent - 1), '0') + parts.digits;
}

std::string FormatInteger(std::int32_t value) { return IntegerText(value); }

std::string FormatFixed2(double value) {
    if (!std::isfinite(value)) return NonFiniteText(value);
    NumberBuffer buffer{};
    const auto result =
        std::to_chars(buffer.data(), buffer.data() + buffer.size(), value, std::chars_format::fixed, kFixedDecimals);
    return std::string(buffer.data(), result.ptr);
}

std::string FractionText(double value) {
    if (!std::isfinite(value)) return FormatG(value);
    const double wholePart = std::trunc(value);
    if (wholePart < std::numeric_limits<std::int32_t>::min() || wholePart > std::numeric_limits<std::int32_t>::max()) {
        return FormatG(value);
    }
    const auto whole = static_cast<std::int32_t>(wholePart);
    int den = kFractionDenominator;
    // |value - whole| < 1, so this stays within (-64, 64).
    int num = static_cast<int>((value - whole) * kFractionDenominator);
    // Below -1 the whole part carries the sign; between -1 and 0 num keeps it.
    if (whole < 0) num = std::abs(num);
    while (num != 0) {
        const int d = SmallestCommonDivisor(num, den);
        if (d == 0) break;
        num /= d;
        den /= d;
    }
    std::string text;
    if (whole != 0) text += IntegerText(whole) + " ";
    if (num != 0) text += IntegerText(num) + "/" + IntegerText(den);
    return text.empty() ? "0" : text;
}

double ReadDecimal(std::string_view text) {
    std::size_t i = SkipSpace(text, 0);
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    const std::size_t integerBegin = i;
    i = SkipDigits(text, i);
    const std::string_view integerDigits = text.substr(integerBegin, i - integerBegin);
    std::string_view fractionDigits;
    if (i < text.size() && text[i] == '.') {
        const std::size_t fractionBegin = i + 1;
        const std::size_t fractionEnd = SkipDigits(text, fractionBegin);
        fractionDigits = text.substr(fractionBegin, fractionEnd - fractionBegin);
        if (!integerDigits.empty() || !fractionDigits.empty()) i = fractionEnd;
    }
    if (integerDigits.empty() && fractionDigits.empty()) return 0;

    long long exponent = 0;
    std::string_view exponentText;
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        std::size_t j = i + 1;
        bool negativeExponent = false;
        if (j < text.size() && (text[j] == '+' || text[j] == '-')) {
            negativeExponent = text[j] == '-';
            ++j;
        }
        // An 'e' without digits after it is not part of the number.
        if (j < text.size() && IsDigit(text[j])) {
            for (; j < text.size() && IsDigit(text[j]); ++j) {
                if (exponent < kExponentCeiling) exponent = exponent * 10 + (text[j] - '0');
            }
            if (negativeExponent) exponent = -exponent;
            exponentText = text.substr(i, j - i);
        }
    }

    // libstdc++ converts a short mantissa with one floating-point multiply or
    // divide, which on the x87 unit of the 32-bit build rounds twice and can
    // miss by one unit in the last place. Zero digits that leave the value
    // alone make every mantissa too long for that shortcut, so both builds
    // take the exact integer path and agree bit for bit.
    std::string number;
    number.reserve(integerDigits.size() + fractionDigits.size() + kExactPathPadding.size() + exponentText.size() + 1);
    number.append(integerDigits).append(".").append(fractionDigits).append(kExactPathPadding).append(exponentText);

    double magnitude = 0;
    const auto result = std::from_chars(number.data(), number.data() + number.size(), magnitude);
    if (result.ec == std::errc::result_out_of_range) {
        magnitude = DecimalOrder(integerDigits, fractionDigits, exponent) > 0 ? std::numeric_limits<double>::infinity()
                                                                               : 0.0;
    } else if (result.ec != std::errc()) {
        magnitude = 0;
    }
    return negative ? -magnitude : magnitude;
}

std::int32_t ReadInteger32(std::string_view text) {
    constexpr long long kLargest = std::numeric_limits<std::int32_t>::max();
    constexpr long long kSmallest = std::numeric_limits<std::int32_t>::min();
    std::size_t i = SkipSpace(text, 0);
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    // Accumulate only while it can still matter; one past the largest value
    // is enough to know that it must be clipped.
    long long magnitude = 0;
    for (; i < text.size() && IsDigit(text[i]); ++i) {
        if (magnitude <= kLargest) magnitude = magnitude * 10 + (text[i] - '0');
    }
    const long long value = negative ? -magnitude : magnitude;
    if (value > kLargest) return static_cast<std::int32_t>(kLargest);
    if (value < kSmallest) return static_cast<std::int32_t>(kSmallest);
    return static_cast<std::int32_t>(value);
}

}  // namespace quotes
