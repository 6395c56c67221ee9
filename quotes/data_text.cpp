#include "quotes/data_text.h"

#include <array>

#include "quotes/data_mask.h"
#include "quotes/number_format.h"
#include "quotes/text.h"

namespace quotes {

namespace {

constexpr double kPercent = 100;
constexpr const char* kFieldEnd = " ";
constexpr const char* kPercentSign = "%";
constexpr char kMinus = '-';
constexpr const char* kPlus = "+";

enum class FieldForm {
    Price,          // decimals or 64ths
    SignedPrice,    // the same, with the "+" rule
    PercentChange,  // always decimals, with the "+" rule; only with a positive previous close
    Time,           // the text as received, even when empty
    Volume,         // an integer
};

struct FieldRow {
    std::uint32_t bit;
    const char* prefix;
    FieldForm form;
    double QuoteFields::*price;  // for the two price forms
};

// In the order in which the fields are appended.
constexpr std::array<FieldRow, 9> kFieldRows{{
    {kShowPrice, "", FieldForm::Price, &QuoteFields::last},
    {kShowTime, "", FieldForm::Time, nullptr},
    {kShowChange, "", FieldForm::SignedPrice, &QuoteFields::change},
    {kShowPercentChange, "", FieldForm::PercentChange, nullptr},
    {kShowPrevClose, "c:", FieldForm::Price, &QuoteFields::prevClose},
    {kShowOpen, "o:", FieldForm::Price, &QuoteFields::open},
    {kShowHigh, "h:", FieldForm::Price, &QuoteFields::high},
    {kShowLow, "l:", FieldForm::Price, &QuoteFields::low},
    {kShowVolume, "v:", FieldForm::Volume, nullptr},
}};

// A rise is marked with "+"; a text that already begins with '-' keeps it.
std::string WithSign(const std::string& text) {
    return !text.empty() && text.front() == kMinus ? text : kPlus + text;
}

// Plain double arithmetic. Both builds do it in SSE2 registers (the Windows
// build is compiled for SSE2: x87 intermediates would round differently and,
// near a .xx5 boundary, change the text).
double PercentChange(double change, double prevClose) { return kPercent * change / prevClose; }

std::string PriceText(double value, bool fractions) { return fractions ? FractionText(value) : FormatG(value); }

// The field's text, or false when the field shows nothing at all.
bool FieldText(const FieldRow& row, const QuoteFields& fields, bool fractions, std::string& text) {
    switch (row.form) {
    case FieldForm::Price:
        text = PriceText(fields.*row.price, fractions);
        return true;
    case FieldForm::SignedPrice:
        text = WithSign(PriceText(fields.*row.price, fractions));
        return true;
    case FieldForm::PercentChange:
        // Also keeps a NaN previous close from dividing.
        if (!(fields.prevClose > 0)) return false;
        text = WithSign(FormatFixed2(PercentChange(fields.change, fields.prevClose)) + kPercentSign);
        return true;
    case FieldForm::Time:
        text = fields.timeText;
        return true;
    case FieldForm::Volume:
        text = FormatInteger(fields.volume);
        return true;
    }
    return false;
}

}  // namespace

std::string BuildDataText(const QuoteFields& fields, std::uint32_t mask) {
    const bool fractions = (mask & kShowFractions) != 0;
    std::string dataText;
    std::string text;
    for (const FieldRow& row : kFieldRows) {
        if ((mask & row.bit) == 0) continue;
        if (!FieldText(row, fields, fractions, text)) continue;
        dataText += row.prefix;
        dataText += text;
        dataText += kFieldEnd;
    }
    return TrimRight(dataText);
}

std::uint32_t ColorForChange(double change) {
    if (change < 0) return kFallingColor;
    if (change > 0) return kRisingColor;
    return kUnchangedColor;
}

}  // namespace quotes
