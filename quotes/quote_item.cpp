#include "quotes/quote_item.h"

#include <algorithm>
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

std::int32_t QuoteItem::Measure(const std::string& text, platform::GdiObject font, Measured& cache) {
    if (cache.width >= 0 && cache.text == text) return cache.width;
    platform::Gdi& gdi = platform_.gdi;
    const platform::ScopedSelection selected(gdi, hdc, font);
    const int length = static_cast<int>(text.size());
    platform::Size extent;
    if (gdi.GetTextExtentPoint32(hdc, text.c_str(), length, extent) != 1) {
        return kFallbackCharacterWidth * length;  // measured again next time
    }
    cache.text = text;
    cache.width = extent.cx;
    return extent.cx;
}

void QuoteItem::Draw(const std::string& text, std::int32_t left, std::int32_t top) {
    platform_.gdi.TextOut(hdc, left, top, text.c_str(), static_cast<int>(text.size()));
}

void QuoteItem::DrawStep(std::int32_t delta, std::uint32_t mask, const VisibleSpan& visible) {
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

    const std::string labelShown = label + kLabelGap;
    const std::string dataShown = dataText + kDataTrail;
    const std::int32_t labelWidth = Measure(labelShown, symbolFont.get(), labelMeasured_);
    width = labelWidth + Measure(dataShown, dataFont.get(), dataMeasured_);
    // Drawn when the new place or the last one shows: the opaque background
    // of the trailing spaces wipes what the last drawing left behind.
    const std::int32_t reachLeft = std::min(x, x - delta);
    const std::int32_t reachRight = std::max(x, x - delta) + width;
    if (reachRight <= visible.left || reachLeft >= visible.right) return;
    platform::Gdi& gdi = platform_.gdi;
    gdi.SetTextColor(hdc, ColorForChange(change));
    platform::ScopedSelection fonts(gdi, hdc, symbolFont.get());
    Draw(labelShown, x, 0);
    fonts.Select(dataFont.get());
    Draw(dataShown, x + labelWidth, kDataTop);
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
