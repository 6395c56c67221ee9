#pragma once
// One entry that scrolls across the bar: a quoted symbol or a link item.
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

class QuoteItem : public QuoteFields {
public:
    // `entry` arrives trimmed; `source` is the quote source for it.
    QuoteItem(platform::Platform& platform, const std::string& entry, platform::DcHandle dc,
              const std::string& source);
    QuoteItem(const QuoteItem&) = delete;
    QuoteItem& operator=(const QuoteItem&) = delete;

    std::int32_t Right() const { return x + width; }

    // Moves by delta, rebuilds the data text when stale, draws and measures.
    void DrawStep(std::int32_t delta, std::uint32_t mask);
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
    std::int32_t DrawText(const std::string& text, std::int32_t left, std::int32_t top);

    platform::Platform& platform_;
};

// A font of `face` at `pointTenths` tenths of a point for the context `dc`.
platform::GdiObject CreatePointFont(platform::Gdi& gdi, platform::DcHandle dc, const char* face, int pointTenths);

}  // namespace quotes
