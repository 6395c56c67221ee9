// The scroll step, the next free place on the right, the re-layout of the
// ring and the end grips, driven through the recording fake.
#include <algorithm>
#include <set>

#include "tests/unit/bar_fixture.h"

namespace {

using bar_test::BarTest;
using bar_test::kBarRect;
using bar_test::kLogoSlot;

// With the fake's 7-pixel characters and no quote yet: "IBM " and the six
// trailing spaces.
constexpr std::int32_t kIbmWidth = 4 * 7 + 6 * 7;
constexpr std::int32_t kAWidth = 2 * 7 + 6 * 7;

class ScrollTest : public BarTest {};

TEST_F(ScrollTest, StepStopsItsTimerFirstAndArmsItAgainLast) {
    Run([&] {
        window->AddItemsFromList("IBM");
        const std::size_t from = fake.Calls().size();
        Timer(ticker::SCROLL_TIMER);
        const std::vector<std::string> calls = CallsSince(from);
        ASSERT_FALSE(calls.empty());
        EXPECT_EQ(calls.front(), "KillTimer(w1, 33004)");
        EXPECT_EQ(calls.back(), "SetTimer(w1, 33004, 40)");
        EXPECT_EQ(fake.window(bar).timers.at(ticker::SCROLL_TIMER), 40u);
    });
}

TEST_F(ScrollTest, FirstStepBringsTheRingInFromTheRightInListOrder) {
    Run([&] {
        window->AddItemsFromList("IBM, A, IBM");
        Timer(ticker::SCROLL_TIMER);
        // Everything stood at -2000: the logo goes to the right edge, each
        // item behind the one wrapped before it.
        EXPECT_EQ(window->logoX, kBarRect.right);
        const std::int32_t first = kBarRect.right + kLogoSlot;
        EXPECT_EQ(Positions(), (std::vector<std::int32_t>{first, first + kIbmWidth, first + kIbmWidth + kAWidth}));

        window->speed = 3;
        Timer(ticker::SCROLL_TIMER);
        EXPECT_EQ(window->logoX, kBarRect.right - 3);
        EXPECT_EQ(Positions(), (std::vector<std::int32_t>{first - 3, first + kIbmWidth - 3,
                                                          first + kIbmWidth + kAWidth - 3}));
    });
}

TEST_F(ScrollTest, WrapComesWhenTheRightEndReachesTheLeftEdge) {
    struct Case {
        std::int32_t itemX;  // before the step, speed 1
        bool wraps;
    };
    const Case cases[] = {
        {-kIbmWidth + 1, true},   // right end lands exactly on the edge
        {-kIbmWidth + 2, false},  // one pixel still shows
        {-kIbmWidth - 50, true},
    };
    for (const Case& c : cases) {
        Run([&] {
            window->AddItemsFromList("IBM, A");
            window->logoX = 100;
            window->itemList[0]->x = c.itemX;
            window->itemList[1]->x = 200;
            window->itemList[1]->width = kAWidth;
            Timer(ticker::SCROLL_TIMER);
            // A wrapped item goes behind the element furthest right, and not
            // inside the bar.
            const std::int32_t wrapped = std::max(kBarRect.right, 199 + kAWidth);
            EXPECT_EQ(window->itemList[0]->x, c.wraps ? wrapped : c.itemX - 1) << c.itemX;
        });
        window = std::make_unique<ticker::TickerWindow>(platform_, nullptr);
    }
}

TEST_F(ScrollTest, LogoWrapsOnlyWhenItsWholeSlotHasLeft) {
    struct Case {
        std::int32_t logoX;  // before the step, speed 1
        std::int32_t after;
    };
    const Case cases[] = {
        {-kLogoSlot + 1, kBarRect.right},  // slot end lands on the edge
        {-kLogoSlot + 2, -kLogoSlot + 1},  // the gap behind the logo still shows
        {-18, -19},                        // bitmap gone, gap still on the bar
    };
    for (const Case& c : cases) {
        Run([&] {
            window->logoX = c.logoX;
            Timer(ticker::SCROLL_TIMER);
            EXPECT_EQ(window->logoX, c.after) << c.logoX;
        });
        window = std::make_unique<ticker::TickerWindow>(platform_, nullptr);
    }
}

TEST_F(ScrollTest, SpeedZeroRedrawsInPlace) {
    Run([&] {
        window->AddItemsFromList("IBM");
        Timer(ticker::SCROLL_TIMER);
        window->speed = 0;
        window->itemList[0]->x = 100;  // on show
        const std::int32_t logo = window->logoX;
        const std::vector<std::int32_t> positions = Positions();
        const std::size_t texts = fake.textsDrawn.size();
        Timer(ticker::SCROLL_TIMER);
        EXPECT_EQ(window->logoX, logo);
        EXPECT_EQ(Positions(), positions);
        EXPECT_EQ(fake.textsDrawn.size(), texts + 2) << "label and data drawn again";
        EXPECT_EQ(fake.textsDrawn.back().x, positions[0] + 28);
    });
}

bool StartsWith(const std::string& text, const std::string& prefix) { return text.rfind(prefix, 0) == 0; }

TEST_F(ScrollTest, StepDrawsLogoItemsThenGripsAndHighlights) {
    Run([&] {
        window->AddItemsFromList("IBM");
        window->logoX = 51;
        window->itemList[0]->x = 101;
        const std::size_t from = fake.Calls().size();
        Timer(ticker::SCROLL_TIMER);
        std::vector<std::string> drawing;
        for (const std::string& call : CallsSince(from)) {
            for (const char* name : {"FillRect(", "BitBlt(", "TextOut(", "Rectangle(", "MoveTo(", "LineTo("}) {
                if (StartsWith(call, name)) drawing.push_back(call);
            }
        }
        const std::string brush = fake.NameOf(window->backgroundBrush.get());
        // Prefixes: the rest of a line names the brush or pen in use.
        const std::vector<std::string> expected = {
            "FillRect(dc1, 50, 0, 86, 19, " + brush + ")",  // wipes the logo's slot
            "BitBlt(dc1, 50, 0, 18, 18, dc2, 0, 0, 13369376)",
            "TextOut(dc1, 100, 0, \"IBM \")",
            "TextOut(dc1, 128, 1, \"      \")",
            "Rectangle(dc1, 0, 0, 5, 18, brush",
            "Rectangle(dc1, 418, 0, 423, 18, brush",
            "MoveTo(dc1, 3, 0)",
            "LineTo(dc1, 0, 0, pen",
            "LineTo(dc1, 0, 17, pen",
            "MoveTo(dc1, 421, 0)",
            "LineTo(dc1, 418, 0, pen",
            "LineTo(dc1, 418, 17, pen",
        };
        ASSERT_EQ(drawing.size(), expected.size());
        for (std::size_t i = 0; i < expected.size(); ++i) {
            EXPECT_TRUE(StartsWith(drawing[i], expected[i])) << drawing[i] << " should start " << expected[i];
        }
        EXPECT_NE(drawing[4].find("stock-pen"), std::string::npos) << "grips are outlined in the default pen";
    });
}

TEST_F(ScrollTest, EachStepMakesOneBrushAndOnePenAndLeavesNothingBehind) {
    Run([&] {
        window->AddItemsFromList("IBM, A");
        const platform::DcHandle dc = window->windowDC.get();
        const platform::GdiObject brushBefore = fake.SelectedObject(dc, "brush");
        const platform::GdiObject penBefore = fake.SelectedObject(dc, "pen");
        const platform::GdiObject fontBefore = fake.SelectedObject(dc, "font");
        const std::set<platform::GdiObject> liveBefore = fake.liveObjects;
        const std::size_t from = fake.Calls().size();
        Timer(ticker::SCROLL_TIMER);
        Timer(ticker::SCROLL_TIMER);
        int brushes = 0;
        int pens = 0;
        for (const std::string& call : CallsSince(from)) {
            if (StartsWith(call, "CreateSolidBrush(")) {
                ++brushes;
                EXPECT_TRUE(StartsWith(call, "CreateSolidBrush(10027161)")) << "0x990099: " << call;
            }
            if (StartsWith(call, "CreatePen(")) {
                ++pens;
                EXPECT_TRUE(StartsWith(call, "CreatePen(0, 0, 16777215)")) << "solid, one pixel, highlight: " << call;
            }
            EXPECT_FALSE(StartsWith(call, "CreateFontIndirect(")) << "no font per step";
        }
        EXPECT_EQ(brushes, 2);
        EXPECT_EQ(pens, 2);
        EXPECT_EQ(fake.liveObjects, liveBefore) << "every per-step object deleted";
        EXPECT_EQ(fake.SelectedObject(dc, "brush"), brushBefore);
        EXPECT_EQ(fake.SelectedObject(dc, "pen"), penBefore);
        EXPECT_EQ(fake.SelectedObject(dc, "font"), fontBefore);
    });
}

TEST_F(ScrollTest, NextFreeRightCountsEverythingWhereverItStands) {
    struct Case {
        const char* name;
        std::int32_t edge;
        std::int32_t logoX;
        std::vector<std::int32_t> itemXs;  // widths are kAWidth
        std::int32_t expected;
    };
    const Case cases[] = {
        {"edge wins", 423, -2000, {-2000, -2000}, 423},
        {"logo slot end", 423, 400, {-2000}, 400 + kLogoSlot},
        {"furthest item", 423, 0, {430, 500, 10}, 500 + kAWidth},
        {"left of the bar counts", -3000, -2500, {-2600}, -2500 + kLogoSlot},
    };
    for (const Case& c : cases) {
        Run([&] {
            std::string list;
            for (std::size_t i = 0; i < c.itemXs.size(); ++i) list += "A,";
            window->AddItemsFromList(list);
            window->logoX = c.logoX;
            for (std::size_t i = 0; i < c.itemXs.size(); ++i) {
                window->itemList[i]->x = c.itemXs[i];
                window->itemList[i]->width = kAWidth;
            }
            EXPECT_EQ(window->NextFreeRight(c.edge), c.expected) << c.name;
        });
        window = std::make_unique<ticker::TickerWindow>(platform_, nullptr);
    }
}

TEST_F(ScrollTest, RelayoutPacksEachRunAndKeepsTheWrap) {
    struct Case {
        const char* name;
        std::int32_t logoX;
        std::vector<std::int32_t> before;
        std::int32_t logoAfter;
        std::vector<std::int32_t> after;
    };
    const Case cases[] = {
        // All far left: the logo moves one pixel, the first item goes behind
        // its slot, the others do not stand right of their predecessors.
        {"all at the start", -2000, {-2000, -2000, -2000}, -2001, {-2001 + kLogoSlot, -2000, -2000}},
        // One run with gaps: closed up behind the logo (which moves one
        // pixel left in the first pass).
        {"gaps close", 100, {200, 400, 700}, 99, {99 + kLogoSlot, 99 + kLogoSlot + kAWidth,
                                                   99 + kLogoSlot + 2 * kAWidth}},
        // The ring wraps at the second item: it starts a new run, and the
        // second pass puts the logo behind the last item.
        {"wrap kept", 300, {340, -50, 100}, -50 + 2 * kAWidth, {-50 + 2 * kAWidth + kLogoSlot, -50, -50 + kAWidth}},
    };
    for (const Case& c : cases) {
        Run([&] {
            window->AddItemsFromList("A, A, A");
            window->logoX = c.logoX;
            for (std::size_t i = 0; i < c.before.size(); ++i) window->itemList[i]->x = c.before[i];
            window->Relayout();
            EXPECT_EQ(window->logoX, c.logoAfter) << c.name;
            EXPECT_EQ(Positions(), c.after) << c.name;
        });
        window = std::make_unique<ticker::TickerWindow>(platform_, nullptr);
    }
}

TEST_F(ScrollTest, RelayoutRebuildsEveryTextForTheMaskAndDrawsInPlace) {
    Run([&] {
        window->AddItemsFromList("IBM, MSFT");
        window->itemList[0]->last = 105.25;
        window->itemList[0]->change = 1.5;
        window->itemList[0]->textStale = false;  // as after an earlier drawing
        window->itemList[1]->last = 20;
        window->itemList[0]->x = 10;
        window->itemList[1]->x = 200;
        window->dataMask = 0x1;
        const std::size_t texts = fake.textsDrawn.size();
        window->Relayout();
        EXPECT_EQ(window->itemList[0]->dataText, "105.25");
        EXPECT_EQ(window->itemList[1]->dataText, "20");
        EXPECT_EQ(fake.textsDrawn.size(), texts + 4);
        EXPECT_EQ(window->itemList[0]->width, 4 * 7 + 12 * 7);
    });
}

TEST_F(ScrollTest, AFontThatCannotBeMadeNeverCostsTheContextItsFont) {
    fake.fontsFail = true;
    Run([&] {
        window->AddItemsFromList("IBM");
        const platform::DcHandle dc = window->windowDC.get();
        const platform::GdiObject original = fake.SelectedObject(dc, "font");
        Timer(ticker::SCROLL_TIMER);
        window->itemList[0]->Click();
        EXPECT_EQ(fake.SelectedObject(dc, "font"), original);
        EXPECT_EQ(window->itemList[0]->width, kIbmWidth) << "still measured and drawn";
    });
}

TEST_F(ScrollTest, WhenOnlyOneFontIsMadeItStillEndsUpDeleted) {
    // The label's font failed and the data font was made: the data font
    // must not stay selected in the context, where it could not be deleted.
    Run([&] {
        const platform::DcHandle dc = window->windowDC.get();
        auto fonts = std::make_shared<quotes::ItemFonts>(fake, dc);
        fonts->symbolFont.reset();
        const platform::GdiObject dataFont = fonts->dataFont.get();
        window->itemList.push_back(std::make_unique<quotes::QuoteItem>(platform_, "IBM", dc, "", std::move(fonts)));
        const platform::GdiObject original = fake.SelectedObject(dc, "font");
        Timer(ticker::SCROLL_TIMER);
        EXPECT_EQ(fake.SelectedObject(dc, "font"), original);
        window->itemList.clear();
        EXPECT_EQ(fake.liveObjects.count(dataFont), 0u) << "deleted with the last item";
    });
}

TEST_F(ScrollTest, ItemsOffTheBarAreMeasuredButNotDrawn) {
    Run([&] {
        window->AddItemsFromList("IBM, A, IBM");
        window->itemList[0]->x = -kIbmWidth - 40;  // wholly left of the bar
        window->itemList[1]->x = 200;              // on show
        window->itemList[2]->x = kBarRect.right;   // just right of it
        window->logoX = 1000;
        const std::size_t from = fake.textsDrawn.size();
        window->speed = 0;
        Timer(ticker::SCROLL_TIMER);
        ASSERT_EQ(fake.textsDrawn.size(), from + 2);
        EXPECT_EQ(fake.textsDrawn[from].x, 200);
        EXPECT_EQ(window->itemList[2]->width, kIbmWidth) << "measured all the same";

        // Moving off the left edge, an item is drawn once more where it
        // ends, so its spaces wipe what it left on the bar.
        window->speed = 30;
        window->itemList[1]->x = -kAWidth + 20;  // its last 20 pixels show
        const std::size_t before = fake.textsDrawn.size();
        Timer(ticker::SCROLL_TIMER);
        bool drawn = false;
        for (std::size_t i = before; i < fake.textsDrawn.size(); ++i) drawn |= fake.textsDrawn[i].x == -kAWidth - 10;
        EXPECT_TRUE(drawn) << "its last place showed";
    });
}

TEST_F(ScrollTest, ATextIsMeasuredOnceUntilItChanges) {
    Run([&] {
        window->AddItemsFromList("IBM");
        window->itemList[0]->x = 100;
        const auto measures = [&] { return fake.CallsNamed("GetTextExtentPoint32").size(); };
        Timer(ticker::SCROLL_TIMER);
        const std::size_t first = measures();
        Timer(ticker::SCROLL_TIMER);
        Timer(ticker::SCROLL_TIMER);
        EXPECT_EQ(measures(), first) << "unchanged texts keep their widths";

        window->itemList[0]->last = 12.5;
        window->Relayout();
        EXPECT_EQ(measures(), first + 1) << "only the new data text is measured";
        const std::int32_t dataWidth = static_cast<std::int32_t>(window->itemList[0]->dataText.size() + 6) * 7;
        EXPECT_EQ(window->itemList[0]->dataText, "12 1/2 +0");
        EXPECT_EQ(window->itemList[0]->width, 4 * 7 + dataWidth);

        // A failed measurement is not kept: the next step measures again.
        fake.measuringFails = true;
        quotes::QuoteFields values = *window->itemList[0];
        values.label = "MSFT";
        window->itemList[0]->EndParse(std::move(values));
        Timer(ticker::SCROLL_TIMER);
        EXPECT_EQ(window->itemList[0]->width, 5 * 10 + dataWidth) << "ten pixels a character for the new label";
        fake.measuringFails = false;
        Timer(ticker::SCROLL_TIMER);
        EXPECT_EQ(window->itemList[0]->width, 5 * 7 + dataWidth);
    });
}

TEST_F(ScrollTest, WrapsLandWhereTheNextFreePlaceOnTheRightIsAtThatMoment) {
    // The step keeps a running right edge instead of asking NextFreeRight at
    // every wrap; it must place every element exactly where the plain rule
    // would: right of everything, the elements before it already moved.
    struct Case {
        const char* name;
        std::int16_t speed;
        unsigned seed;
        int off;  // one item in `off` stands off the bar's left
    };
    const Case cases[] = {
        {"all off the bar, as after a rebuild", 1, 1, 1},
        {"scattered, some wrap", 3, 2, 3},
        {"scattered, fast", 5, 3, 2},
        {"few wrap", 2, 4, 7},
    };
    for (const Case& c : cases) {
        Run([&] {
            std::string list;
            for (int i = 0; i < 40; ++i) list += (i % 3 == 0 ? "IBM," : "A,");
            window->AddItemsFromList(list);
            window->speed = c.speed;
            window->Relayout();  // every width known before the step
            unsigned random = c.seed;
            const auto next = [&random] { return random = random * 1103515245u + 12345u, (random >> 16) & 0x7fff; };
            window->logoX = static_cast<std::int32_t>(next() % 900) - 400;
            for (const auto& item : window->itemList) {
                item->x = static_cast<int>(next() % static_cast<unsigned>(c.off)) == 0
                              ? -static_cast<std::int32_t>(next() % 300) - item->width
                              : static_cast<std::int32_t>(next() % 2000) - 100;
            }
            // The plain rule, on copies.
            std::int32_t logo = window->logoX - c.speed;
            std::vector<std::int32_t> x = Positions();
            std::vector<std::int32_t> width;
            for (const auto& item : window->itemList) width.push_back(item->width);
            const auto freeRight = [&] {
                std::int32_t right = std::max(kBarRect.right, logo + kLogoSlot);
                for (std::size_t j = 0; j < x.size(); ++j) right = std::max(right, x[j] + width[j]);
                return right;
            };
            if (logo + kLogoSlot <= kBarRect.left) logo = freeRight();
            for (std::size_t i = 0; i < x.size(); ++i) {
                x[i] -= c.speed;
                if (x[i] + width[i] <= kBarRect.left) x[i] = freeRight();
            }
            Timer(ticker::SCROLL_TIMER);
            EXPECT_EQ(window->logoX, logo) << c.name;
            EXPECT_EQ(Positions(), x) << c.name;
        });
        TearDown();
        SetUp();
    }
}

}  // namespace
