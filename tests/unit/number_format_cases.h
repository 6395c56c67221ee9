#pragma once
// Expected number texts, shared by the native tests and the Windows-side
// tests: both C runtimes must give the same bytes for every row.
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <ostream>
#include <string>
#include <vector>

namespace number_format_cases {

inline constexpr double kInf = std::numeric_limits<double>::infinity();
inline constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
inline constexpr double kSmallestSubnormal = std::numeric_limits<double>::denorm_min();
inline constexpr double kLargest = std::numeric_limits<double>::max();

struct TextCase {
    double value;
    const char* text;
};

inline void PrintTo(const TextCase& c, std::ostream* out) { *out << c.value << " -> \"" << c.text << '"'; }

// printf "%g" with three exponent digits.
inline const std::vector<TextCase>& FormatGCases() {
    static const std::vector<TextCase> cases = {
        {0, "0"},
        {-0.0, "-0"},
        {105.25, "105.25"},
        {-1.25, "-1.25"},
        {120.0, "120"},
        {1.0 / 3, "0.333333"},
        {0.1 + 0.2, "0.3"},
        {123.456789, "123.457"},
        {12345.678, "12345.7"},
        {99999.95, "99999.9"},  // stored just below .95
        {123456, "123456"},
        {123456.5, "123456"},  // a tie goes to the even digit
        {123457.5, "123458"},
        {999999, "999999"},
        // Six digits and more: the exponent form, with three exponent digits.
        {999999.5, "1e+006"},  // rounds up into the exponent form
        {1e6, "1e+006"},
        {1234567, "1.23457e+006"},
        {-123456789, "-1.23457e+008"},
        {1e15, "1e+015"},
        {1e300, "1e+300"},
        {kLargest, "1.79769e+308"},
        // Exponent -4 is still fixed, -5 is not.
        {0.0001, "0.0001"},
        {0.000123456789, "0.000123457"},
        {0.00009999995, "0.0001"},  // rounds up to the fixed form
        {0.00001, "1e-005"},
        {2.5e-5, "2.5e-005"},
        {1e-300, "1e-300"},
        {kSmallestSubnormal, "4.94066e-324"},
        {kInf, "inf"},
        {-kInf, "-inf"},
        {kNaN, "nan"},
        {-kNaN, "nan"},
    };
    return cases;
}

// printf "%.2f".
inline const std::vector<TextCase>& FormatFixed2Cases() {
    static const std::vector<TextCase> cases = {
        {0, "0.00"},
        {1.5, "1.50"},
        {-1.5, "-1.50"},
        {100 * 1.5 / 103.75, "1.45"},
        {123.456789, "123.46"},
        {1.005, "1.00"},  // stored just below 1.005
        {2.675, "2.67"},
        {0.125, "0.12"},  // an exact tie goes to the even digit
        {0.375, "0.38"},
        {99.995, "100.00"},
        {-0.001, "-0.00"},
        {1e20, "100000000000000000000.00"},
        {kInf, "inf"},
        {-kInf, "-inf"},
        {kNaN, "nan"},
    };
    return cases;
}

// Whole part and 64ths, cut toward zero.
inline const std::vector<TextCase>& FractionTextCases() {
    static const std::vector<TextCase> cases = {
        {0, "0"},
        {-0.0, "0"},
        {0.5, "1/2"},
        {0.015625, "1/64"},
        {0.046875, "3/64"},
        {1.99, "1 63/64"},
        {3.125, "3 1/8"},
        {1.0625, "1 1/16"},
        {105.25, "105 1/4"},
        {2.0, "2 "},
        {-2.0, "-2 "},
        {0.01, "0"},  // below one 64th
        {-0.01, "0"},
        {0.999, "63/64"},
        // Between -1 and 0 the fraction carries the sign, below -1 the whole part.
        {-0.25, "-1/4"},
        {-0.999, "-63/64"},
        {-1.5, "-1 1/2"},
        {-7.75, "-7 3/4"},
        // The ends of the 32-bit whole part.
        {2147483647.5, "2147483647 1/2"},
        {-2147483648.0, "-2147483648 "},
        {-2147483648.5, "-2147483648 1/2"},
        // Past them, and for non-numbers, the "%g" form.
        {2147483648.0, "2.14748e+009"},
        {-2147483649.0, "-2.14748e+009"},
        {1e300, "1e+300"},
        {-1e300, "-1e+300"},
        {kInf, "inf"},
        {-kInf, "-inf"},
        {kNaN, "nan"},
    };
    return cases;
}

struct ReadCase {
    const char* text;
    double value;
};

inline void PrintTo(const ReadCase& c, std::ostream* out) { *out << '"' << c.text << "\" -> " << c.value; }

inline const std::vector<ReadCase>& ReadDecimalCases() {
    static const std::vector<ReadCase> cases = {
        {"123.5", 123.5},
        {"+1.25", 1.25},
        {"-0.25", -0.25},
        {" \t\n\v\f\r42", 42},
        {"+.5", 0.5},
        {"5.", 5},
        {"1234567\n", 1234567},
        {"120.0\"", 120},
        {"1e3", 1000},
        {"1E-2", 0.01},
        {"2.5e+3x", 2500},
        {"5.e1", 50},
        {"0.0001e5", 10},
        {"1.5.3", 1.5},
        // Long mantissas with large exponents, which a floating-point shortcut
        // on the x87 unit rounds twice.
        {"3.045534899301774e+21", 3.045534899301774e+21},
        {"9007199254740991e22", 9007199254740991e22},
        {"1,000", 1},
        // An 'e' that no exponent digits follow ends the number before it.
        {"1e", 1},
        {"1e+", 1},
        {"1ex5", 1},
        // No number at the start.
        {"", 0},
        {"N/A", 0},
        {".", 0},
        {"-", 0},
        {"+-1", 0},
        {".e3", 0},
        {"x1", 0},
        {"\"42", 0},
        {"inf", 0},
        {"nan", 0},
        {"0x1A", 0},
        // Beyond the double range.
        {"1e999", kInf},
        {"-1e999", -kInf},
        {"1e99999999999999999999999999", kInf},
        {"0.000000001e99999999999999999999", kInf},
        {"1e-999", 0},
        {"1e-99999999999999999999999999", 0},
        {"1000000000e-99999999999999999999", 0},
        {"0e99999999999999999999", 0},
        {"4.9406564584124654e-324", kSmallestSubnormal},
        {"1.7976931348623157e308", kLargest},
    };
    return cases;
}

struct IntegerCase {
    const char* text;
    std::int32_t value;
};

inline void PrintTo(const IntegerCase& c, std::ostream* out) { *out << '"' << c.text << "\" -> " << c.value; }

inline const std::vector<IntegerCase>& ReadInteger32Cases() {
    static const std::vector<IntegerCase> cases = {
        {"1234567", 1234567},
        {"1234567\n", 1234567},
        {" -42", -42},
        {"+7", 7},
        {"0000000000000000000000012", 12},
        {"12.9", 12},
        {"1e5", 1},
        {"", 0},
        {"   ", 0},
        {"N/A", 0},
        {"--5", 0},
        {"+", 0},
        // The ends of the range, and past them clipped to the nearest end.
        {"2147483647", 2147483647},
        {"-2147483648", std::numeric_limits<std::int32_t>::min()},
        {"2147483648", 2147483647},
        {"-2147483649", std::numeric_limits<std::int32_t>::min()},
        {"99999999999999999999999999999", 2147483647},
        {"-99999999999999999999999999999", std::numeric_limits<std::int32_t>::min()},
    };
    return cases;
}

// Finite doubles from random bit patterns, the same on every build.
inline std::vector<double> RandomBitDoubles(std::size_t count) {
    std::uint64_t state = 0x5EED5EED5EED5EEDull;
    std::vector<double> values;
    while (values.size() < count) {
        // splitmix64
        std::uint64_t bits = (state += 0x9E3779B97F4A7C15ull);
        bits = (bits ^ (bits >> 30)) * 0xBF58476D1CE4E5B9ull;
        bits = (bits ^ (bits >> 27)) * 0x94D049BB133111EBull;
        bits ^= bits >> 31;
        double value = 0;
        std::memcpy(&value, &bits, sizeof value);
        if (std::isfinite(value)) values.push_back(value);
    }
    return values;
}

// The shortest text that reads back as `value`, and its 17-digit form.
inline std::vector<std::string> RoundTripTexts(double value) {
    char buffer[64];
    const auto shortest = std::to_chars(buffer, buffer + sizeof buffer, value);
    std::string first(buffer, shortest.ptr);
    const auto full = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, 17);
    return {first, std::string(buffer, full.ptr)};
}

}  // namespace number_format_cases
