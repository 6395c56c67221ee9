// The scroll step, the re-layout of the ring and the end grips: all the
// drawing of the bar, straight onto its own drawing context.
#include <algorithm>
#include <climits>

#include "platform/constants.h"
#include "ticker/grips.h"
#include "ticker/ids.h"
#include "ticker/ticker_window.h"

namespace ticker {

namespace {

constexpr platform::ColorRef kGripColor = 0x990099;
// The highlight runs along the top and the inner edge of each grip.
constexpr std::int32_t kLeftHighlightEnd = 3;
constexpr std::int32_t kRightHighlightEnd = 2;
constexpr int kHighlightPenWidth = 0;  // one pixel whatever the mapping

}  // namespace

platform::ProcResult TickerWindow::ScrollStep() {
    platform::WindowManager& windows = platform_.windows;
    windows.KillTimer(hwnd(), SCROLL_TIMER);
    if (Exited()) return 0;
    // Nobody can see it: it stands still until they can (the timer stays off).
    if (desktopWatch_.NobodyLooks()) return 0;
    // Quotes that arrived since the last step, with one re-layout.
    TakeHandovers();
    platform::Rect client;
    windows.GetClientRect(hwnd(), client);

    // Where the next wrapped element goes: right of everything, wherever it
    // stands, counting the elements already moved in this step at their new
    // places and the rest at their old ones. Kept as it goes rather than
    // looked for anew at every wrap, which made the first step after a
    // rebuild, when every item wraps, quadratic in the list's length.
    bool laterKnown = false;
    const auto laterRightEnd = [&](std::size_t index) {
        if (!laterKnown) {
            // The right end of the items from `index` on, before they move.
            laterRightEnds_.assign(itemList.size() + 1, INT32_MIN);
            for (std::size_t i = itemList.size(); i-- > 0;) {
                const auto& item = itemList[i];
                laterRightEnds_[i] = item ? std::max(laterRightEnds_[i + 1], item->Right()) : laterRightEnds_[i + 1];
            }
            laterKnown = true;
        }
        return laterRightEnds_[index];
    };

    logoX -= speed;
    if (logoX + 2 * logoSize <= client.left) logoX = std::max(client.right, laterRightEnd(0));
    DrawLogo();
    std::int32_t movedRightEnd = logoX + 2 * logoSize;

    // One after the other, so an item that wraps here already counts for
    // the next one's place.
    const quotes::VisibleSpan visible{client.left, client.right};
    for (std::size_t i = 0; i < itemList.size(); ++i) {
        quotes::QuoteItem* item = itemList[i].get();
        if (item == nullptr) continue;
        item->DrawStep(-speed, dataMask, visible);
        if (item->Right() <= client.left) {
            item->x = std::max({client.right, movedRightEnd, laterRightEnd(i + 1)});
        }
        movedRightEnd = std::max(movedRightEnd, item->Right());
    }
    DrawGrips(client);
    // The next step comes a full interval after this one ends.
    windows.SetTimer(hwnd(), SCROLL_TIMER, scrollInterval);
    return 0;
}

void TickerWindow::DrawLogo() {
    platform::Gdi& gdi = platform_.gdi;
    // Wipes the logo's old image and the gap behind it.
    gdi.FillRect(windowDC.get(), platform::Rect{logoX, 0, logoX + 2 * logoSize, logoSize + 1}, backgroundBrush.get());
    gdi.BitBlt(windowDC.get(), logoX, 0, logoSize, logoSize, memoryDC.get(), 0, 0, platform::kSrcCopy);
}

void TickerWindow::DrawGrips(const platform::Rect& client) {
    platform::Gdi& gdi = platform_.gdi;
    const platform::DcHandle dc = windowDC.get();
    const std::int32_t gripWidth = Scaled(kGripWidth);
    {
        const platform::ScopedGdiObject brush(gdi, gdi.CreateSolidBrush(kGripColor));
        const platform::ScopedSelection selected(gdi, dc, brush.get());
        gdi.Rectangle(dc, client.left, client.top, client.left + gripWidth, client.bottom);
        gdi.Rectangle(dc, client.right - gripWidth, client.top, client.right, client.bottom);
    }
    const platform::ScopedGdiObject pen(
        gdi, gdi.CreatePen(platform::kPsSolid, kHighlightPenWidth, gdi.GetSysColor(platform::kColorBtnHighlight)));
    const platform::ScopedSelection selected(gdi, dc, pen.get());
    gdi.MoveTo(dc, client.left + Scaled(kLeftHighlightEnd), client.top);
    gdi.LineTo(dc, client.left, client.top);
    gdi.LineTo(dc, client.left, client.bottom - 1);
    gdi.MoveTo(dc, client.right - Scaled(kRightHighlightEnd), client.top);
    gdi.LineTo(dc, client.right - gripWidth, client.top);
    gdi.LineTo(dc, client.right - gripWidth, client.bottom - 1);
}

std::int32_t TickerWindow::NextFreeRight(std::int32_t edge) const {
    // Everything counts, wherever it stands, even left of the bar.
    std::int32_t right = edge;
    if (logoX + 2 * logoSize > right) right = logoX + 2 * logoSize;
    for (const auto& item : itemList) {
        if (item && item->Right() > right) right = item->Right();
    }
    return right;
}

void TickerWindow::Relayout() {
    for (const auto& item : itemList) {
        if (item) item->textStale = true;
    }
    RelayoutUpdated();
}

void TickerWindow::RelayoutUpdated() {
    platform::Rect client;
    platform_.windows.GetClientRect(hwnd(), client);
    const quotes::VisibleSpan visible{client.left, client.right};
    // An item whose text stands as it was keeps its width and its drawing.
    for (const auto& item : itemList) {
        if (item && item->textStale) item->DrawStep(0, dataMask, visible);
    }
    // Each element that stood right of its predecessor in the ring moves to
    // where the predecessor now ends; one that stood at or left of it is
    // where the ring wraps and starts a new run. The second pass carries the
    // packing across the wrap.
    std::int32_t previous = logoX - 1;
    std::int32_t next = logoX - 1;
    constexpr int kPasses = 2;
    for (int pass = 0; pass < kPasses; ++pass) {
        const std::int32_t oldLogo = logoX;
        if (logoX > previous) logoX = next;
        previous = oldLogo;
        next = logoX + 2 * logoSize;
        for (const auto& item : itemList) {
            if (!item) continue;
            const std::int32_t old = item->x;
            if (item->x > previous) item->x = next;
            previous = old;
            next = item->Right();
        }
    }
}

}  // namespace ticker
