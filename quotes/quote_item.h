#pragma once
// One entry that scrolls across the bar: a quoted symbol or a link item.
#include <climits>
#include <cstdint>
#include <memory>
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

// The two fonts the items draw with: the same face and sizes for all, so
// every item of a list shares one pair, and a list of any length costs two
// drawing objects (a process may hold only so many).
// They are made for one DPI: a bar moved to a monitor of another scaling
// makes a new pair and hands it to every item (UseFonts).
struct ItemFonts {
    // At the context's own DPI (LOGPIXELSY).
    ItemFonts(platform::Gdi& gdi, platform::DcHandle dc);
    // At `dpi`, the DPI of the monitor the bar stands on.
    ItemFonts(platform::Gdi& gdi, platform::DcHandle dc, std::uint32_t dpi);
    platform::ScopedGdiObject symbolFont;
    platform::ScopedGdiObject dataFont;
    // The data text stands this far below the label's top.
    std::int32_t dataTop;
};

class QuoteItem : public QuoteFields {
public:
    // `entry` arrives trimmed; `source` is the quote source for it. The
    // fonts live as long as any item that draws with them.
    QuoteItem(platform::Platform& platform, const std::string& entry, platform::DcHandle dc,
              const std::string& source, std::shared_ptr<const ItemFonts> fonts);
    QuoteItem(const QuoteItem&) = delete;
    QuoteItem& operator=(const QuoteItem&) = delete;

    std::int32_t Right() const { return x + width; }

    // Moves by delta, rebuilds the data text when stale, measures, and draws
    // when the item shows within `visible`. A text is measured once: its
    // width is kept until the text changes, so an item off the bar costs a
    // few additions per step.
    void DrawStep(std::int32_t delta, std::uint32_t mask, const VisibleSpan& visible = VisibleSpan{});
    // Shows the click in black and opens the item's detail page.
    void Click();
    // Draws from now on with `fonts`; the texts are measured again.
    void UseFonts(std::shared_ptr<const ItemFonts> newFonts);
    // The detail page Click opens.
    std::string DetailPageAddress() const;
    // A quote is read on a worker, on a copy of the values, and handed to
    // the bar's thread, which alone writes the item: EndParse takes the
    // parsed values whole, so a drawing never sees half a quote, and marks
    // the text stale.
    void EndParse(QuoteFields&& parsed);

    // What a step looks at first stands together, so a step over an item
    // whose text stands reads one cache line of it: a list of thousands
    // scrolls at the cost of the few items on show.
    std::int32_t x = kItemStartX;
    std::int32_t width = 0;
    bool textStale = true;
    bool parsing = false;  // the text stays as it is while a quote is being written

private:
    // Text and widths are as the next step needs them: it only moves.
    bool steady_ = false;

public:
    std::string linkUrl;
    std::string sourceUrl;
    std::string dataText;
    platform::DcHandle hdc;
    std::shared_ptr<const ItemFonts> fonts;

private:
    // A text as drawn and the width it was measured at.
    struct Measured {
        std::string text;
        std::int32_t width = -1;  // not measured
    };
    // The width of a shown text, measured when it changed or its last
    // measuring failed.
    std::int32_t Measure(platform::GdiObject font, Measured& shown);
    // Rebuilds a stale data text and the shown texts, measures what changed.
    void Refresh(std::uint32_t mask);
    void Draw(const std::string& text, std::int32_t left, std::int32_t top);

    Measured labelMeasured_;
    Measured dataMeasured_;
    // Whether each shown text was made from label or dataText as they
    // stand: cleared when that changes, so a step otherwise builds no text.
    // The label changes only with a quote (EndParse).
    bool labelShown_ = false;
    bool dataShown_ = false;

    platform::Platform& platform_;
};

// A font of `face` at `pointTenths` tenths of a point for the context `dc`,
// at the context's DPI or at `dpi`.
platform::GdiObject CreatePointFont(platform::Gdi& gdi, platform::DcHandle dc, const char* face, int pointTenths);
platform::GdiObject CreatePointFont(platform::Gdi& gdi, platform::DcHandle dc, const char* face, int pointTenths,
                                    std::uint32_t dpi);

}  // namespace quotes
