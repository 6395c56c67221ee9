// The bar's item list: built from the server message and the symbols,
// rebuilt whole, never under a running quote pass.
#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "app/module_record.h"
#include "platform/constants.h"
#include "platform/fake/fake_platform.h"
#include "ticker/ids.h"
#include "ticker/ticker_window.h"

namespace {

using platform::WindowHandle;
using platform::fake::FakePlatform;
using ticker::TickerWindow;

class ItemListTest : public ::testing::Test {
protected:
    void SetUp() override {
        app::InitModule(platform_, nullptr);
        fake.templateRects[ticker::kTickerTemplate] = {0, 0, 423, 18};
        fake.registry["HKLM\\Software\\Orvo"];
        window = std::make_unique<TickerWindow>(platform_, nullptr);
    }

    // Runs `during` inside the bar's modal loop.
    void Run(const std::function<void()>& during) {
        fake.modalScripts[ticker::kTickerTemplate] = [&](FakePlatform& f, WindowHandle w) {
            bar = w;
            during();
            f.EndDialog(w, 0);
        };
        window->RunModal(nullptr, 0);
    }

    std::vector<std::string> Labels() const {
        std::vector<std::string> labels;
        for (const auto& item : window->itemList) labels.push_back(item->label);
        return labels;
    }

    FakePlatform fake;
    platform::Platform platform_ = fake.AsPlatform();
    std::unique_ptr<TickerWindow> window;
    WindowHandle bar = nullptr;
};

TEST_F(ItemListTest, ServerMessageItemsComeFirstAndTheSymbolsAreNormalised) {
    Run([&] {
        window->serverMessage = "Market News<news.test/n>, Velmoria Error";
        window->symbols = " ibm ,, msft , ";
        window->RebuildItems();
        EXPECT_EQ(Labels(), (std::vector<std::string>{"Market News", "Velmoria Error", "ibm", "msft"}));
        EXPECT_EQ(window->symbols, "ibm, msft");
        EXPECT_EQ(window->serverMessage, "Market News<news.test/n>, Velmoria Error") << "left as received";
        EXPECT_EQ(window->itemList[2]->sourceUrl, quotes::DefaultQuoteSource() + "&s=IBM");
        for (const auto& item : window->itemList) EXPECT_EQ(item->hdc, window->windowDC.get());
    });
}

TEST_F(ItemListTest, RebuildStopsTheUpdateTimerInvalidatesAndSchedulesAnUpdate) {
    Run([&] {
        fake.calls.clear();
        window->RebuildItems();
        const int kill = fake.IndexOf("KillTimer(w1, 33005)");
        const int invalidate = fake.IndexOf("InvalidateRect(w1, all, erase)");
        const int arm = fake.IndexOf("SetTimer(w1, 33005, 500)");
        ASSERT_GE(kill, 0);
        EXPECT_GT(invalidate, kill);
        EXPECT_GT(arm, invalidate);
        EXPECT_EQ(fake.window(bar).timers.at(ticker::UPDATE_TIMER), 500u);
    });
}

TEST_F(ItemListTest, EmptyListsGiveNoItems) {
    Run([&] {
        window->symbols = "";
        window->RebuildItems();
        EXPECT_TRUE(window->itemList.empty());
        EXPECT_EQ(window->symbols, "");
    });
}

TEST_F(ItemListTest, QuoteSourcesComeFromTheExchangeMap) {
    Run([&] {
        window->exchangeMap = {{"L", "http://uk.test/q?f=x"}, {"", "http://default.test/q?f=y"}};
        window->symbols = "VOD.L, IBM, News<a.b.L>";
        window->RebuildItems();
        ASSERT_EQ(window->itemList.size(), 3u);
        EXPECT_EQ(window->itemList[0]->sourceUrl, "http://uk.test/q?f=x&s=VOD.L");
        EXPECT_EQ(window->itemList[1]->sourceUrl, "http://default.test/q?f=y&s=IBM");
        EXPECT_EQ(window->itemList[2]->sourceUrl, "http://default.test/q?f=y&s=NEWS")
            << "the whole entry's last '.' picks the source: 'L>' has no entry of its own";
    });
}

TEST_F(ItemListTest, ARebuildCancelsARunningPassInsteadOfWaitingForIt) {
    Run([&] {
        window->symbols = "IBM";
        window->RebuildItems();
        window->updating = true;  // a pass runs on these items
        const std::uint64_t generation = window->itemsGeneration();
        int waits = 0;
        fake.onWaitMessage = [&](FakePlatform&) {
            ++waits;
            window->updating = false;  // lets a rebuild that waits go on
        };
        fake.queue.push_back({bar, platform::kWmTimer, 12345, 0, 0, {}});
        fake.calls.clear();
        window->symbols = "MSFT";
        window->RebuildItems();
        EXPECT_EQ(waits, 0) << "the rebuild waited for the pass";
        EXPECT_LT(fake.IndexOf("PeekMessage("), 0) << "nothing is pumped";
        EXPECT_EQ(fake.queue.size(), 1u) << "the queued message waits for the bar's own loop";
        EXPECT_EQ(Labels(), std::vector<std::string>{"MSFT"});
        EXPECT_FALSE(window->updating) << "the pass is cancelled";
        EXPECT_EQ(window->itemsGeneration(), generation + 1);
        EXPECT_EQ(window->link().generation.load(), window->itemsGeneration())
            << "the pass sees the new generation before its next download";
    });
}

TEST_F(ItemListTest, ManyRebuildsLeakNoFonts) {
    Run([&] {
        window->symbols = "A, B, C, D<x/y>";
        window->RebuildItems();
        const std::size_t live = fake.liveObjects.size();
        for (int i = 0; i < 50; ++i) window->RebuildItems();
        EXPECT_EQ(fake.liveObjects.size(), live);
    });
    window.reset();
    EXPECT_TRUE(fake.liveObjects.empty()) << "destroying the bar deletes every item and its fonts";
}

TEST_F(ItemListTest, AListOfAnyLengthKeepsTheBarWithinTheDrawingObjectQuota) {
    // Windows gives a process 10,000 drawing objects by default; two fonts
    // an item put 16,000 symbols past it, and grips and items then drew
    // with whatever was left.
    constexpr std::size_t kSymbols = 16000;
    constexpr std::size_t kQuota = 10000;
    std::string list;
    for (std::size_t i = 0; i < kSymbols; ++i) list += std::string(1, static_cast<char>('A' + i % 26)) + ",";
    Run([&] {
        window->symbols = list;
        window->RebuildItems();
        ASSERT_EQ(window->itemList.size(), kSymbols) << "the user's list stays whole";
        window->RebuildItems();  // the old list's fonts go with it
        const std::map<std::string, std::size_t> live = fake.LiveCounts();
        EXPECT_EQ(live.at("font"), 2u) << "one pair for every item";
        std::size_t all = 0;
        for (const auto& [kind, count] : live) all += count;
        EXPECT_LT(all, kQuota / 100);
        for (const auto& item : window->itemList) {
            EXPECT_EQ(item->fonts, window->itemList.front()->fonts);
        }
        fake.Send(bar, platform::kWmTimer, ticker::SCROLL_TIMER, 0);
        EXPECT_EQ(fake.LiveCounts().at("font"), 2u);
    });
    window.reset();
    EXPECT_TRUE(fake.liveObjects.empty());
}

TEST_F(ItemListTest, ARebuildBringsALogoFarBeyondTheRightEdgeBackToIt) {
    // A long ring leaves the logo queued far right of the bar; the new items
    // wrap in behind it, so the bar would stay blank until it came round.
    struct Case {
        const char* name;
        std::int32_t fromRight;  // the logo's x from the right edge
        std::int32_t expected;   // and where it stands after the rebuild
    };
    const Case cases[] = {
        {"far beyond the right edge", 25000, 0},
        {"just beyond it", 1, 0},
        {"at the right edge", 0, 0},
        {"on show", -50, -50},
        {"leaving on the left", -140, -140},
        {"off the left, as at the start", -2100, -2100},
    };
    Run([&] {
        platform::Rect client;
        fake.GetClientRect(bar, client);
        window->symbols = "IBM, MSFT";
        for (const Case& c : cases) {
            window->logoX = client.right + c.fromRight;
            window->RebuildItems();
            EXPECT_EQ(window->logoX, client.right + c.expected) << c.name;
        }
        // The next step brings the new items in right behind it.
        window->logoX = client.right + 25000;
        window->RebuildItems();
        fake.Send(bar, platform::kWmTimer, ticker::SCROLL_TIMER, 0);
        EXPECT_EQ(window->itemList[0]->x, client.right - window->speed + 2 * window->logoSize)
            << "behind the logo's slot, no further";
    });
}

}  // namespace
