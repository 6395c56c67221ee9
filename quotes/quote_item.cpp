#include "quotes/quote_item.h"

#include <cstdlib>
#include <cstring>

#include "platform/constants.h"
#include "quotes/browser.h"
#include "quotes/data_text.h"
#include "quotes/endpoints.h"
#include "quotes/entry_list.h"
#include "quotes/http_get_text.h"
#include "quotes/quote_line.h"
#include "quotes/text.h"

namespace quotes {

namespace {

constexpr int kTenthsPerInch = 720;
constexpr platform::ColorRef kClickColor = 0x00000000;
constexpr int kDataTop = 1;

}  // namespace

platform::GdiObject CreatePointFont(platform::Gdi& gdi, platform::DcHandle dc, const char* face, int pointTenths) {
    platform::LogFont font;
    platform::Point size{0, gdi.GetDeviceCaps(dc, platform::kLogPixelsY) * pointTenths / kTenthsPerInch};
    gdi.DPtoLP(dc, &size, 1);
    platform::Point origin{0, 0};
    gdi.DPtoLP(dc, &origin, 1);
    font.height = -std::abs(size.y - origin.y);
    font.charSet = platform::kDefaultCharset;
    std::strncpy(font.faceName, face, sizeof font.faceName - 1);
    return gdi.CreateFontIndirect(font);
}

QuoteItem::QuoteItem(platform::Platform& platform, const std::string& entry, platform::DcHandle dc,
                     const std::string& source)
    : hdc(dc), symbolFont(platform.gdi), dataFont(platform.gdi), platform_(platform) {
    const ParsedEntry parsed = ParseEntry(entry);
    label = parsed.label;
    linkUrl = parsed.linkUrl;
    sourceUrl = SymbolQuoteAddress(source, label);
    if (sourceUrl.empty()) {
        sourceUrl = source;
        // Plain text without a quote of its own links to the home page.
        if (linkUrl.empty()) linkUrl = HomeSite();
    }
    symbolFont.reset(CreatePointFont(platform.gdi, hdc, kItemFace, kSymbolPointTenths));
    dataFont.reset(CreatePointFont(platform.gdi, hdc, kItemFace, kDataPointTenths));
}

std::int32_t QuoteItem::DrawText(const std::string& text, std::int32_t left, std::int32_t top) {
    platform::Gdi& gdi = platform_.gdi;
    const int length = static_cast<int>(text.size());
    platform::Size extent;
    const std::int32_t measured =
        gdi.GetTextExtentPoint32(hdc, text.c_str(), length, extent) == 1 ? extent.cx : kFallbackCharacterWidth * length;
    gdi.TextOut(hdc, left, top, text.c_str(), length);
    return measured;
}

void QuoteItem::DrawStep(std::int32_t delta, std::uint32_t mask) {
    // While a quote is being written the old text stays on show.
    if (!parsing) {
        if (last == 0 || !linkUrl.empty()) {
            dataText.clear();
        } else if (textStale) {
            dataText = BuildDataText(*this, mask);
            textStale = false;
        }
    }
    x += delta;

    platform::Gdi& gdi = platform_.gdi;
    gdi.SetTextColor(hdc, ColorForChange(change));
    platform::ScopedSelection fonts(gdi, hdc, symbolFont.get());
    const std::int32_t labelWidth = DrawText(label + kLabelGap, x, 0);
    width = labelWidth;
    fonts.Select(dataFont.get());
    width += DrawText(dataText + kDataTrail, x + labelWidth, kDataTop);
}

std::string QuoteItem::DetailPageAddress() const {
    if (!linkUrl.empty()) return LinkDetailPage(linkUrl);
    if (last != 0) return SymbolDetailPage(label);
    return LinkDetailPage(HomeSite());
}

QuoteFields QuoteItem::BeginParse() {
    parsing = true;
    return *this;
}

void QuoteItem::EndParse(QuoteFields&& parsed) {
    static_cast<QuoteFields&>(*this) = std::move(parsed);
    parsing = false;
}

std::string QuoteItem::ShowClick() {
    platform::Gdi& gdi = platform_.gdi;
    {
        const platform::ScopedSelection font(gdi, hdc, symbolFont.get());
        gdi.SetTextColor(hdc, kClickColor);
        gdi.TextOut(hdc, x, 0, label.c_str(), static_cast<int>(label.size()));
    }
    return DetailPageAddress();
}

void QuoteItem::Click() { OpenInBrowser(platform_.shell, ShowClick()); }

}  // namespace quotes
