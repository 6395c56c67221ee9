#include "quotes/quote_item.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "app/dpi_scale.h"
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
    return CreatePointFont(gdi, dc, face, pointTenths,
                           static_cast<std::uint32_t>(gdi.GetDeviceCaps(dc, platform::kLogPixelsY)));
}

platform::GdiObject CreatePointFont(platform::Gdi& gdi, platform::DcHandle dc, const char* face, int pointTenths,
                                    std::uint32_t dpi) {
    platform::LogFont font;
    platform::Point size{0, static_cast<std::int32_t>(dpi) * pointTenths / kTenthsPerInch};
    gdi.DPtoLP(dc, &size, 1);
    platform::Point origin{0, 0};
    gdi.DPtoLP(dc, &origin, 1);
    font.height = -std::abs(size.y - origin.y);
    font.charSet = platform::kDefaultCharset;
    std::strncpy(font.faceName, face, sizeof font.faceName - 1);
    return gdi.CreateFontIndirect(font);
}

ItemFonts::ItemFonts(platform::Gdi& gdi, platform::DcHandle dc)
    : symbolFont(gdi, CreatePointFont(gdi, dc, kItemFace, kSymbolPointTenths)),
      dataFont(gdi, CreatePointFont(gdi, dc, kItemFace, kDataPointTenths)),
      dataTop(kDataTop) {}

ItemFonts::ItemFonts(platform::Gdi& gdi, platform::DcHandle dc, std::uint32_t dpi)
    : symbolFont(gdi, CreatePointFont(gdi, dc, kItemFace, kSymbolPointTenths, dpi)),
      dataFont(gdi, CreatePointFont(gdi, dc, kItemFace, kDataPointTenths, dpi)),
      dataTop(app::ScaleForDpi(kDataTop, dpi)) {}

QuoteItem::QuoteItem(platform::Platform& platform, const std::string& entry, platform::DcHandle dc,
                     const std::string& source, std::shared_ptr<const ItemFonts> itemFonts)
    : hdc(dc), fonts(std::move(itemFonts)), platform_(platform) {
    const ParsedEntry parsed = ParseEntry(entry);
    label = parsed.label;
    linkUrl = parsed.linkUrl;
    sourceUrl = SymbolQuoteAddress(source, label);
    if (sourceUrl.empty()) {
        sourceUrl = source;
        // Plain text without a quote of its own links to the home page.
        if (linkUrl.empty()) linkUrl = HomeSite();
    }
}

std::int32_t QuoteItem::Measure(platform::GdiObject font, Measured& shown) {
    if (shown.width >= 0) return shown.width;
    platform::Gdi& gdi = platform_.gdi;
    const platform::ScopedSelection selected(gdi, hdc, font);
    const int length = static_cast<int>(shown.text.size());
    platform::Size extent;
    if (gdi.GetTextExtentPoint32(hdc, shown.text.c_str(), length, extent) != 1) {
        return kFallbackCharacterWidth * length;  // measured again next time
    }
    shown.width = extent.cx;
    return extent.cx;
}

void QuoteItem::Draw(const std::string& text, std::int32_t left, std::int32_t top) {
    platform_.gdi.TextOut(hdc, left, top, text.c_str(), static_cast<int>(text.size()));
}

void QuoteItem::Refresh(std::uint32_t mask) {
    // While a quote is being written the old text stays on show.
    if (!parsing) {
        if (last == 0 || !linkUrl.empty()) {
            if (!dataText.empty()) {
                dataText.clear();
                dataShown_ = false;
            }
        } else if (textStale) {
            std::string text = BuildDataText(*this, mask);
            if (text != dataText) {
                dataText = std::move(text);
                dataShown_ = false;
            }
            textStale = false;
        }
    }
    if (!labelShown_) {
        labelMeasured_ = Measured{label + kLabelGap};
        labelShown_ = true;
    }
    if (!dataShown_) {
        dataMeasured_ = Measured{dataText + kDataTrail};
        dataShown_ = true;
    }
    width = Measure(fonts->symbolFont.get(), labelMeasured_) + Measure(fonts->dataFont.get(), dataMeasured_);
    // A failed measuring is tried again at the next step.
    steady_ = !parsing && !textStale && labelMeasured_.width >= 0 && dataMeasured_.width >= 0;
}

void QuoteItem::DrawStep(std::int32_t delta, std::uint32_t mask, const VisibleSpan& visible) {
    if (!steady_ || textStale) Refresh(mask);
    x += delta;
    // Drawn when the new place or the last one shows: the opaque background
    // of the trailing spaces wipes what the last drawing left behind.
    const std::int32_t reachLeft = std::min(x, x - delta);
    const std::int32_t reachRight = std::max(x, x - delta) + width;
    if (reachRight <= visible.left || reachLeft >= visible.right) return;
    platform::Gdi& gdi = platform_.gdi;
    const std::int32_t labelWidth = Measure(fonts->symbolFont.get(), labelMeasured_);
    gdi.SetTextColor(hdc, ColorForChange(change));
    platform::ScopedSelection selected(gdi, hdc, fonts->symbolFont.get());
    Draw(labelMeasured_.text, x, 0);
    selected.Select(fonts->dataFont.get());
    Draw(dataMeasured_.text, x + labelWidth, fonts->dataTop);
}

std::string QuoteItem::DetailPageAddress() const {
    if (!linkUrl.empty()) return LinkDetailPage(linkUrl);
    if (last != 0) return SymbolDetailPage(label);
    return LinkDetailPage(HomeSite());
}

void QuoteItem::EndParse(QuoteFields&& parsed) {
    static_cast<QuoteFields&>(*this) = std::move(parsed);
    parsing = false;
    textStale = true;
    labelShown_ = false;  // the quote may bring the label in another case
    steady_ = false;
}

void QuoteItem::UseFonts(std::shared_ptr<const ItemFonts> newFonts) {
    fonts = std::move(newFonts);
    labelMeasured_.width = -1;
    dataMeasured_.width = -1;
    steady_ = false;
}

void QuoteItem::Click() {
    platform::Gdi& gdi = platform_.gdi;
    {
        const platform::ScopedSelection font(gdi, hdc, fonts->symbolFont.get());
        gdi.SetTextColor(hdc, kClickColor);
        gdi.TextOut(hdc, x, 0, label.c_str(), static_cast<int>(label.size()));
    }
    OpenInBrowser(platform_.shell, DetailPageAddress());
}

}  // namespace quotes
