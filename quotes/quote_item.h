#pragma once
// One entry that scrolls across the bar: a quoted symbol or a link item.
#include <atomic>
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
    // The detail page Click opens.
    std::string DetailPageAddress() const;
    // Downloads the item's quote line and takes its columns. Always true.
    bool ParseQuote();

    bool textStale = true;
    std::string linkUrl;
    std::int32_t x = kItemStartX;
    std::int32_t width = 0;
    std::string sourceUrl;
    std::string dataText;
    platform::DcHandle hdc;
    platform::ScopedGdiObject symbolFont;
    platform::ScopedGdiObject dataFont;
    std::atomic<bool> parsing{false};

private:
    std::int32_t DrawText(const std::string& text, std::int32_t left, std::int32_t top);

    platform::Platform& platform_;
};

// A font of `face` at `pointTenths` tenths of a point for the context `dc`.
platform::GdiObject CreatePointFont(platform::Gdi& gdi, platform::DcHandle dc, const char* face, int pointTenths);

}  // namespace quotes
