#pragma once
// One entry that scrolls across the bar: a quoted symbol or a link item.
#include <climits>
#include <cstdint>
#include <string>

#include "platform/platform.h"
#include "platform/scoped.h"
#include "quotes/quote_fields.h"

namespace quotes {

inline constexpr std::int32_t kItemStartX = -2000;
inline constexpr const char* kItemFace = "Arial Bold";
inline constexpr int kSymbolPointTenths = 120;
inline constexpr int kDataPointTenths = 100;
// Width per character when the text cannot be measured.
inline constexpr std::int32_t kFallbackCharacterWidth = 10;
inline constexpr const char* kLabelGap = " ";
inline constexpr const char* kDataTrail = "      ";  // wipes the tail of the previous drawing

// The part of the bar on show, in client x: an item wholly outside it is
// measured but not drawn.
struct VisibleSpan {
    std::int32_t left = INT32_MIN;
    std::int32_t right = INT32_MAX;
};

class QuoteItem : public QuoteFields {
public:
    // `entry` arrives trimmed; `source` is the quote source for it.
    QuoteItem(platform::Platform& platform, const std::string& entry, platform::DcHandle dc,
              const std::string& source);
    QuoteItem(const QuoteItem&) = delete;
    QuoteItem& operator=(const QuoteItem&) = delete;

    std::int32_t Right() const { return x + width; }

    // Moves by delta, rebuilds the data text when stale, measures, and draws
    // when the item shows within `visible`. A text is measured once: its
    // width is kept until the text changes.
    void DrawStep(std::int32_t delta, std::uint32_t mask, const VisibleSpan& visible = VisibleSpan{});
    // Shows the click in black and opens the item's detail page.
    void Click();
    // Shows the click in black and returns the detail page, for a caller
    // that opens it after letting go of the bar lock.
    std::string ShowClick();
    // The detail page Click opens.
    std::string DetailPageAddress() const;
    // The item's side of reading a quote. The download and the parse run
    // on a worker without the bar lock and touch nothing of the item; the
    // item is read before and written after, each under the lock:
    //   url = item.sourceUrl;                               (lock held)
    //   body = HttpGetText(url);                            (no lock)
    //   QuoteFields values = item.BeginParse();             (lock held)
    //   ApplyQuoteLine(url, body, values);                  (no lock)
    //   item.EndParse(std::move(values));                   (lock held)
    // So a drawing never sees half a quote, nor a label being replaced.
    // BeginParse sets `parsing` and gives a copy of the values to parse over,
    // so a field the answer does not reach keeps its value.
    QuoteFields BeginParse();
    // Takes the parsed values whole and clears `parsing`.
    void EndParse(QuoteFields&& parsed);

    bool textStale = true;
    std::string linkUrl;
    std::int32_t x = kItemStartX;
    std::int32_t width = 0;
    std::string sourceUrl;
    std::string dataText;
    platform::DcHandle hdc;
    platform::ScopedGdiObject symbolFont;
    platform::ScopedGdiObject dataFont;
    bool parsing = false;  // the text stays as it is while a quote is being parsed

private:
    // A text and the width it was measured at.
    struct Measured {
        std::string text;
        std::int32_t width = -1;  // not measured
    };
    std::int32_t Measure(const std::string& text, platform::GdiObject font, Measured& cache);
    void Draw(const std::string& text, std::int32_t left, std::int32_t top);

    Measured labelMeasured_;
    Measured dataMeasured_;

    platform::Platform& platform_;
};

// A font of `face` at `pointTenths` tenths of a point for the context `dc`.
platform::GdiObject CreatePointFont(platform::Gdi& gdi, platform::DcHandle dc, const char* face, int pointTenths);

}  // namespace quotes
