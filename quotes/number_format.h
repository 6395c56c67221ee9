#pragma once
// Numbers as the bar shows them and as quote lines carry them. The texts are
// built here rather than by printf so that they come out byte for byte the
// same on every C runtime and in every locale: '.' is always the decimal point.
#include <cstdint>
#include <string>
#include <string_view>

namespace quotes {

// printf "%g": six significant digits, trailing zeros removed, the exponent
// form for a decimal exponent below -4 or from 6 on, written with its sign and
// at least three digits ("1.23457e+006", "1e-005"). Infinities give "inf" and
// "-inf"; every NaN gives "nan" (its sign bit is not shown).
std::string FormatG(double value);

// printf "%d".
std::string FormatInteger(std::int32_t value);

// printf "%.2f", with the same texts for infinities and NaN as FormatG.
std::string FormatFixed2(double value);

// A price as a whole part and a reduced fraction in 64ths, cut toward zero to
// the 64th: "105 1/4", "-1 1/2", "-1/4", "2 " (whole prices keep the space
// after the whole part), "0". A value whose whole part does not fit a 32-bit
// signed integer, an infinity or a NaN has no such form: it is shown as
// FormatG gives it ("3e+009", "inf"), so a ticker shows the real magnitude
// rather than a clipped or invented price.
std::string FractionText(double value);

// The number at the start of `text`: white space skipped, then an optional
// sign, digits, an optional '.' with fraction digits and an optional exponent;
// reading stops at the first byte that cannot continue the number. Text that
// does not begin with a number ("N/A", ".", "inf", "") gives 0. A magnitude
// beyond the double range gives an infinity of the number's sign; one too
// small for it gives 0 or the nearest subnormal, as strtod does.
double ReadDecimal(std::string_view text);

// The integer at the start of `text`: white space skipped, an optional sign,
// then digits only. No digits give 0. A value beyond the signed 32-bit range
// is clipped to its nearest end (2147483647 or -2147483648).
std::int32_t ReadInteger32(std::string_view text);

}  // namespace quotes
