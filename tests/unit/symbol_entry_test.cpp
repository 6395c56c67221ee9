// The symbol entry bar: its layout over or under the ticker, OK and Cancel,
// and the Add/Remove Symbols command that runs it, rebuilds and saves.
#include <string>
#include <vector>

#include "quotes/entry_list.h"
#include "symbols/entry_bar_layout.h"
#include "symbols/symbol_entry_bar.h"
#include "tests/unit/bar_fixture.h"

namespace {

using bar_test::BarTest;
using platform::Rect;
using platform::WindowHandle;
using platform::fake::FakePlatform;
using symbols::Placement;
namespace command = ticker::command;

// ---- Layout ----------------------------------------------------------------------

TEST(EntryBarLayout, BelowTheTickerOrAboveItWithoutRoom) {
    const Rect screen{0, 0, 1280, 1024};
    struct Case {
        const char* name;
        Rect ticker;
        Rect workArea;
        std::int32_t barY;
    };
    const Case cases[] = {
        {"room below", {100, 200, 523, 218}, screen, 218},
        {"bottom exactly work bottom - h: still below, touching the edge", {100, 988, 523, 1006}, screen, 1006},
        {"one pixel lower: above", {100, 989, 523, 1007}, screen, 971},
        {"at the bottom: above", {100, 1006, 523, 1024}, screen, 988},
        {"a task bar at the bottom counts", {100, 950, 523, 968}, {0, 0, 1280, 984}, 932},
        {"off the top: below", {100, -18, 523, 0}, screen, 0},
    };
    for (const Case& c : cases) {
        const symbols::EntryBarLayout layout = symbols::LayOutEntryBar(c.ticker, c.workArea, 44);
        EXPECT_EQ(layout.bar, (Placement{c.ticker.left, c.barY, 423, 18})) << c.name;
    }
}

TEST(EntryBarLayout, PromptEditOkAndCancelFromLeftToRight) {
    struct Case {
        const char* name;
        std::int32_t width;
        std::int32_t promptWidth;
        Placement prompt;
        Placement edit;
        Placement ok;
        Placement cancel;
    };
    const Case cases[] = {
        {"wide", 423, 44, {0, 0, 44, 18}, {44, 0, 309, 18}, {353, 0, 30, 18}, {383, 0, 40, 18}},
        {"no prompt", 423, 0, {0, 0, 0, 18}, {0, 0, 353, 18}, {353, 0, 30, 18}, {383, 0, 40, 18}},
        {"just room for the prompt", 114, 44, {0, 0, 44, 18}, {44, 0, 0, 18}, {44, 0, 30, 18}, {74, 0, 40, 18}},
        {"too narrow: the edit field gets 0", 101, 44, {0, 0, 44, 18}, {44, 0, 0, 18}, {31, 0, 30, 18},
         {61, 0, 40, 18}},
        {"narrower than the buttons", 50, 44, {0, 0, 44, 18}, {44, 0, 0, 18}, {-20, 0, 30, 18}, {10, 0, 40, 18}},
    };
    for (const Case& c : cases) {
        const symbols::EntryBarLayout layout =
            symbols::LayOutEntryBar({0, 100, c.width, 118}, {0, 0, 1280, 1024}, c.promptWidth);
        EXPECT_EQ(layout.prompt, c.prompt) << c.name;
        EXPECT_EQ(layout.edit, c.edit) << c.name;
        EXPECT_EQ(layout.ok, c.ok) << c.name;
        EXPECT_EQ(layout.cancel, c.cancel) << c.name;
    }
}

TEST(EntryBarLayout, PromptWidthScalesTheMeasure) {
    struct Case {
        std::int32_t extent;
        std::int32_t average;
        std::int32_t width;
    };
    const Case cases[] = {
        {56, 7, 44},  {56, 3, 224}, {57, 7, 45}, {56, 2, 0}, {56, 0, 0}, {56, -4, 0}, {0, 7, 0},
        {0x7FFFFFFF, 3, 0x7FFFFFFF},  // too wide to count: the widest there is
    };
    for (const Case& c : cases) {
        EXPECT_EQ(symbols::ScaledPromptWidth(c.extent, c.average), c.width) << c.extent << " / " << c.average;
    }
}

// ---- The command and the bar on the fake ----------------------------------------

constexpr int kEdit = symbols::kEditField;
constexpr int kPrompt = symbols::kPromptControl;
constexpr Rect kTicker{100, 200, 523, 218};

class SymbolEntryTest : public BarTest {
protected:
    void SetUp() override {
        BarTest::SetUp();
        fake.templateRects[symbols::kEntryBarTemplate] = {0, 0, 470, 22};
        fake.templateControls[symbols::kEntryBarTemplate] = {
            {kEdit, ""}, {platform::kIdOk, "OK"}, {platform::kIdCancel, "Cancel"}, {kPrompt, "Prompt:"}};
    }

    // Runs the command inside the bar's modal loop; `inBar` runs inside the
    // entry bar's own loop with its window.
    void AddRemove(const std::function<void(WindowHandle)>& inBar) {
        fake.modalScripts[symbols::kEntryBarTemplate] = [&](FakePlatform&, WindowHandle entryBar) {
            entry = entryBar;
            inBar(entryBar);
        };
        EXPECT_EQ(Command(command::kAddRemoveSymbols), 1);
    }
    WindowHandle Control(int id) { return fake.GetDlgItem(entry, id); }
    std::string Text(int id) { return fake.window(Control(id)).title; }
    void Type(const std::string& text) { fake.window(Control(kEdit)).title = text; }
    void Press(int id) { fake.Send(entry, platform::kWmCommand, static_cast<platform::MessageParam>(id), 0); }

    WindowHandle entry = nullptr;
};

TEST_F(SymbolEntryTest, OpensUnderTheTickerAsWideShowingTheList) {
    Run([&] {
        fake.window(bar).rect = kTicker;
        fake.activeWindow = bar;
        window->symbols = "IBM, MSFT";
        std::size_t from = 0;
        AddRemove([&](WindowHandle w) {
            EXPECT_EQ(fake.window(w).rect, (Rect{100, 218, 523, 236}));
            EXPECT_EQ(fake.window(w).parent, bar) << "owned by the active window, the ticker";
            EXPECT_EQ(Text(kPrompt), "Symbols:");
            EXPECT_EQ(Text(kEdit), "IBM, MSFT");
            EXPECT_EQ(fake.window(Control(kPrompt)).rect, (Rect{0, 0, 44, 18})) << "8 characters of 7 pixels";
            EXPECT_EQ(fake.window(Control(kEdit)).rect, (Rect{44, 0, 353, 18}));
            EXPECT_EQ(fake.window(Control(platform::kIdOk)).rect, (Rect{353, 0, 383, 18}));
            EXPECT_EQ(fake.window(Control(platform::kIdCancel)).rect, (Rect{383, 0, 423, 18}));
            from = fake.Calls().size();
            Press(platform::kIdCancel);
        });
        EXPECT_EQ(fake.CallsNamed("DialogBoxParam").back(), "DialogBoxParam(202, w1, 0)");
    });
    // The prompt was measured on a context of its own, released again.
    const std::vector<std::string> calls = fake.Calls();
    // w1 is the ticker, w2 the entry bar, w3 to w6 its controls in template
    // order: edit field, OK, Cancel, prompt.
    const int getDc = fake.IndexOf("GetDC(w6)");
    ASSERT_GE(getDc, 0);
    EXPECT_EQ(calls[static_cast<std::size_t>(getDc) + 1], "GetTextExtentPoint32(dc3, \"Symbols:\")");
    EXPECT_EQ(calls[static_cast<std::size_t>(getDc) + 2], "GetTextMetrics(dc3)");
    EXPECT_EQ(calls[static_cast<std::size_t>(getDc) + 3], "ReleaseDC(w6, dc3)");
}

TEST_F(SymbolEntryTest, OpensAboveATickerAtTheBottomOfTheWorkArea) {
    Run([&] {
        fake.window(bar).rect = {100, 1006, 523, 1024};
        fake.activeWindow = bar;
        AddRemove([&](WindowHandle w) {
            EXPECT_EQ(fake.window(w).rect, (Rect{100, 988, 523, 1006}));
            Press(platform::kIdCancel);
        });
    });
}

TEST_F(SymbolEntryTest, APromptThatCannotBeMeasuredGetsNoWidth) {
    struct Case {
        const char* name;
        bool measuringFails;
        bool metricsFail;
        int average;
    };
    const Case cases[] = {{"measuring fails", true, false, 7},
                          {"metrics fail", false, true, 7},
                          {"average width 2", false, false, 2}};
    for (const Case& c : cases) {
        fake.measuringFails = c.measuringFails;
        fake.metricsFail = c.metricsFail;
        fake.averageCharacterWidth = c.average;
        Run([&] {
            fake.window(bar).rect = kTicker;
            fake.activeWindow = bar;
            AddRemove([&](WindowHandle) {
                EXPECT_EQ(fake.window(Control(kPrompt)).rect, (Rect{0, 0, 0, 18})) << c.name;
                EXPECT_EQ(fake.window(Control(kEdit)).rect, (Rect{0, 0, 353, 18})) << c.name;
                Press(platform::kIdCancel);
            });
        });
        if (c.measuringFails) {
            EXPECT_TRUE(fake.CallsNamed("GetTextMetrics").empty()) << c.name;
        }
        window = std::make_unique<ticker::TickerWindow>(platform_, nullptr);
    }
}

TEST_F(SymbolEntryTest, WithNoWindowActiveTheTickerOwnsTheBar) {
    Run([&] {
        fake.window(bar).rect = kTicker;
        fake.activeWindow = nullptr;  // the command came while another program had the focus
        window->symbols = "IBM, MSFT";
        AddRemove([&](WindowHandle w) {
            EXPECT_EQ(fake.window(w).parent, bar);
            EXPECT_EQ(fake.window(w).rect, (Rect{100, 218, 523, 236})) << "under the ticker, as wide";
            EXPECT_EQ(Text(kPrompt), "Symbols:");
            EXPECT_EQ(Text(kEdit), "IBM, MSFT");
            Press(platform::kIdOk);
        });
        EXPECT_EQ(fake.CallsNamed("DialogBoxParam").back(), "DialogBoxParam(202, w1, 0)");
        EXPECT_EQ(window->symbols, "IBM, MSFT") << "OK keeps the list";
    });
    EXPECT_EQ(SavedText("Symbols"), "IBM, MSFT");
}

TEST_F(SymbolEntryTest, ABarWithoutAnOwnerKeepsTheTemplateLayout) {
    Run([&] {
        symbols::SymbolEntryBar entryBar(platform_, "IBM", symbols::kSymbolsPrompt);
        fake.modalScripts[symbols::kEntryBarTemplate] = [&](FakePlatform&, WindowHandle w) {
            entry = w;
            EXPECT_EQ(fake.window(w).rect, (Rect{0, 0, 470, 22}));
            EXPECT_EQ(Text(kPrompt), "Prompt:");
            EXPECT_EQ(Text(kEdit), "");
            Press(platform::kIdOk);
        };
        entryBar.RunModal(nullptr, 0);
        EXPECT_EQ(entryBar.entryText, "") << "OK hands back what the field holds";
    });
}

struct FlowCase {
    const char* name;
    const char* before;
    const char* typed;  // nullptr: leave the field as it opened
    int button;
    const char* after;
    bool rebuilt;
};

class EntryFlow : public SymbolEntryTest, public ::testing::WithParamInterface<FlowCase> {};

TEST_P(EntryFlow, RebuildsOnlyOnAChangeAndAlwaysSaves) {
    const FlowCase& c = GetParam();
    Run([&] {
        fake.activeWindow = bar;
        window->symbols = c.before;
        window->AddItemsFromList(c.before);
        const std::vector<const quotes::QuoteItem*> itemsBefore = [&] {
            std::vector<const quotes::QuoteItem*> items;
            for (const auto& item : window->itemList) items.push_back(item.get());
            return items;
        }();
        for (const auto& item : window->itemList) item->x = 1234;
        window->logoX = 250;
        fake.window(bar).rect = {300, 400, 800, 418};  // moved by the mouse, not yet saved
        fake.window(bar).timers.erase(ticker::UPDATE_TIMER);
        const std::size_t saves = Saves();
        AddRemove([&](WindowHandle) {
            if (c.typed != nullptr) Type(c.typed);
            Press(c.button);
        });
        EXPECT_EQ(window->symbols, c.after) << c.name;
        EXPECT_EQ(Saves(), saves + 1) << c.name;
        EXPECT_EQ(SavedText("Symbols"), c.after) << c.name;
        EXPECT_EQ(Saved("Left"), 300u) << c.name << ": the ticker's place is stored too";
        EXPECT_EQ(Saved("Top"), 400u) << c.name;
        if (c.rebuilt) {
            EXPECT_EQ(window->itemList.size(), quotes::SplitEntries(c.after).size()) << c.name;
            for (const auto& item : window->itemList) EXPECT_EQ(item->x, -2000) << c.name << ": new items";
            EXPECT_EQ(window->logoX, -2000) << c.name << ": the scroll starts afresh from the right";
            EXPECT_EQ(fake.window(bar).timers.at(ticker::UPDATE_TIMER), 500u) << c.name << ": quotes soon";
        } else {
            std::vector<const quotes::QuoteItem*> itemsAfter;
            for (const auto& item : window->itemList) itemsAfter.push_back(item.get());
            EXPECT_EQ(itemsAfter, itemsBefore) << c.name << ": the items stay";
            EXPECT_EQ(window->logoX, 250) << c.name;
            EXPECT_EQ(fake.window(bar).timers.count(ticker::UPDATE_TIMER), 0u) << c.name;
        }
    });
}

INSTANTIATE_TEST_SUITE_P(
    Table, EntryFlow,
    ::testing::Values(
        FlowCase{"OK with a new list", "IBM, MSFT", "IBM , ,msft, VOD.L", platform::kIdOk, "IBM, msft, VOD.L", true},
        FlowCase{"OK unchanged", "IBM, MSFT", nullptr, platform::kIdOk, "IBM, MSFT", false},
        FlowCase{"Cancel after typing", "IBM, MSFT", "XOM", platform::kIdCancel, "IBM, MSFT", false},
        FlowCase{"Cancel unchanged", "IBM, MSFT", nullptr, platform::kIdCancel, "IBM, MSFT", false},
        FlowCase{"only spaces differ: a change", "IBM, MSFT", "IBM,MSFT", platform::kIdOk, "IBM, MSFT", true},
        FlowCase{"an empty field empties the list", "IBM, MSFT", "", platform::kIdOk, "", true},
        FlowCase{"links and odd brackets", "IBM", "News<n.test/a>tail, <X>, A>B<C>, X<>, <", platform::kIdOk,
                 "News<n.test/a>tail, <X>, A>B<C>, X<>, <", true}),
    [](const ::testing::TestParamInfo<FlowCase>& info) { return "case" + std::to_string(info.index); });

TEST_F(SymbolEntryTest, OkReadsTheFieldWithRoomForItsTerminator) {
    Run([&] {
        fake.activeWindow = bar;
        AddRemove([&](WindowHandle) {
            Type("IBM, XOM");
            Press(platform::kIdOk);
        });
    });
    EXPECT_EQ(fake.CallsNamed("GetWindowText").back(), "GetWindowText(w3, 9)");
    EXPECT_EQ(fake.CallsNamed("EndDialog").front(), "EndDialog(w2, 1)");
}

TEST_F(SymbolEntryTest, AnyListTypedIsTakenWholeAndKeepsTheOtherSettings) {
    std::string thousands;
    for (int i = 0; i < 3000; ++i) thousands += (i == 0 ? "" : ",") + std::string("S") + std::to_string(i);
    std::string control;
    for (int c = 1; c < 32; ++c) control += static_cast<char>(c);
    const std::string lists[] = {
        thousands,
        "A\x01" "B, \x7f, <\x02>, " + control,
        "<<<>>>, >, <, <>, a<b<c>>d, " + std::string(5000, '<'),
        std::string(40000, 'X'),
        ",,,,, , ,\t,\r\n,",
    };
    for (const std::string& list : lists) {
        Run([&] {
            fake.activeWindow = bar;
            window->dataMask = 0x11111113;
            window->speed = 3;
            AddRemove([&](WindowHandle) {
                Type(list);
                Press(platform::kIdOk);
            });
            const std::string normal = quotes::JoinEntries(quotes::SplitEntries(list));
            EXPECT_EQ(window->symbols, normal);
            EXPECT_EQ(window->itemList.size(), quotes::SplitEntries(list).size());
            EXPECT_EQ(SavedText("Symbols"), normal);
            EXPECT_EQ(Saved("DataMask"), 0x11111113u);
            EXPECT_EQ(Saved("Speed"), 3u);
            Timer(ticker::SCROLL_TIMER);  // and the bar scrolls on
        });
        window = std::make_unique<ticker::TickerWindow>(platform_, nullptr);
    }
}

TEST_F(SymbolEntryTest, ExitWhileTheBarIsOpenRebuildsNothingAndSavesNoMore) {
    Run([&] {
        fake.activeWindow = nullptr;  // the ticker owns the bar all the same
        window->symbols = "IBM";
        window->AddItemsFromList("IBM");
        std::size_t savesAtExit = 0;
        AddRemove([&](WindowHandle) {
            fake.Send(bar, platform::kWmCommand, command::kExit, 0);
            savesAtExit = Saves();
            Type("XOM, GE");
            Press(platform::kIdOk);
        });
        EXPECT_TRUE(window->Exited());
        EXPECT_EQ(Saves(), savesAtExit) << "Exit saved; nothing after it";
        EXPECT_EQ(Labels(), std::vector<std::string>{"IBM"});
        EXPECT_TRUE(fake.window(bar).timers.empty());
    });
    EXPECT_EQ(SavedText("Symbols"), "IBM");
}

TEST_F(SymbolEntryTest, ABarThatCannotOpenChangesNothingButSaves) {
    Run([&] {
        fake.activeWindow = bar;
        window->symbols = "IBM";
        fake.dialogsFail = true;
        const std::size_t saves = Saves();
        EXPECT_EQ(Command(command::kAddRemoveSymbols), 1);
        fake.dialogsFail = false;
        EXPECT_EQ(window->symbols, "IBM");
        EXPECT_EQ(Saves(), saves + 1);
        EXPECT_EQ(app::Module().pendingHead, nullptr) << "no entry left pointing into the gone bar";
    });
}

}  // namespace
