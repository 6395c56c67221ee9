// The bar's item list: built from the server message and the symbols,
// rebuilt whole, never under a running quote pass.
#include <gtest/gtest.h>

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

TEST_F(ItemListTest, RebuildWaitsForARunningPassWhilePumpingMessages) {
    Run([&] {
        window->symbols = "IBM";
        window->RebuildItems();
        const quotes::QuoteItem* before = window->itemList.front().get();
        window->updating = true;
        int peeks = 0;
        fake.queue.push_back({bar, platform::kWmTimer, 12345, 0, 0, {}});
        fake.onPeekMessage = [&](FakePlatform&) {
            EXPECT_EQ(window->itemList.front().get(), before) << "no item is deleted while the pass runs";
            if (++peeks == 4) window->updating = false;
        };
        fake.calls.clear();
        window->RebuildItems();
        fake.onPeekMessage = nullptr;
        EXPECT_GE(peeks, 4);
        EXPECT_GE(fake.IndexOf("DispatchMessage(w1, 275)"), 0) << "the queued timer message was dispatched";
        EXPECT_GE(fake.IndexOf("WaitMessage("), 0) << "the wait does not spin";
        EXPECT_EQ(window->itemList.size(), 1u);
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

}  // namespace
