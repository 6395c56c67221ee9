// The right-click menu: the tree of entries and its check marks, the native
// menu made from it, and the handler that shows it.
#include <string>
#include <vector>

#include "platform/menu.h"
#include "quotes/endpoints.h"
#include "tests/unit/bar_fixture.h"
#include "ticker/context_menu.h"

namespace {

using platform::MenuEntry;
using platform::MenuEntryKind;
using platform::MenuTree;
using platform::fake::FakePlatform;
using ticker::BuildContextMenu;
using ticker::MenuSettings;
namespace command = ticker::command;

constexpr MenuEntryKind kPlain = MenuEntryKind::Plain;
constexpr MenuEntryKind kCheck = MenuEntryKind::Check;
constexpr MenuEntryKind kSeparator = MenuEntryKind::Separator;
constexpr MenuEntryKind kSubmenu = MenuEntryKind::Submenu;

const std::string kSiteName = "quotes.test:8642";
const MenuSettings kDefaults{1, 300000, 0x10000101, true, true};

struct Row {
    MenuEntryKind kind;
    std::string label;
    std::uint16_t command;
};

void ExpectRows(const MenuTree& entries, const std::vector<Row>& rows, const std::string& where) {
    ASSERT_EQ(entries.size(), rows.size()) << where;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        EXPECT_EQ(entries[i].kind, rows[i].kind) << where << " entry " << i;
        EXPECT_EQ(entries[i].label, rows[i].label) << where << " entry " << i;
        EXPECT_EQ(entries[i].command, rows[i].command) << where << " entry " << i;
        if (rows[i].kind != kSubmenu) {
            EXPECT_TRUE(entries[i].submenu.empty()) << where << " entry " << i;
        }
    }
}

// The labels of the checked entries of a menu, in order.
std::vector<std::string> Checked(const MenuTree& entries) {
    std::vector<std::string> checked;
    for (const MenuEntry& entry : entries) {
        if (entry.checked) checked.push_back(entry.label);
        EXPECT_FALSE(entry.checked && entry.kind != kCheck) << entry.label << " is no check item";
    }
    return checked;
}

const MenuTree& SubmenuOf(const MenuTree& menu, const std::string& label) {
    for (const MenuEntry& entry : menu) {
        if (entry.kind == kSubmenu && entry.label == label) return entry.submenu;
    }
    throw std::logic_error("no submenu " + label);
}

TEST(ContextMenu, MainMenuOfTheDefaultBuild) {
    const MenuTree menu = BuildContextMenu(kDefaults, kSiteName, "!VELMORIA!");
    ExpectRows(menu,
               {
                   {kPlain, "Visit quotes.test:8642...", command::kVisitHomeSite},
                   {kPlain, "Velmoria On-Line Help", command::kHelp},
                   {kSeparator, "", 0},
                   {kPlain, "Add/Remove Symbols...", command::kAddRemoveSymbols},
                   {kSubmenu, "Scroll Speed", 0},
                   {kSubmenu, "Update Frequency", 0},
                   {kSubmenu, "Data", 0},
                   {kCheck, "Always On Top", command::kAlwaysOnTop},
                   {kCheck, "Snap to Screen Edges", command::kSnapping},
                   {kCheck, "Reserve Screen Space", command::kReserveScreenSpace},
                   {kSeparator, "", 0},
                   {kPlain, "Send Velmoria v5.6 to a Friend...", command::kSendToFriend},
                   {kSeparator, "", 0},
                   {kPlain, "Exit", command::kExit},
               },
               "main menu");
}

TEST(ContextMenu, SubmenusInMenuOrder) {
    const MenuTree menu = BuildContextMenu(kDefaults, kSiteName, "!VELMORIA!");
    ExpectRows(SubmenuOf(menu, "Scroll Speed"),
               {
                   {kCheck, "Stop", 33006},
                   {kCheck, "Slow", 33007},
                   {kCheck, "Medium", 33008},
                   {kCheck, "Fast", 33009},
               },
               "Scroll Speed");
    ExpectRows(SubmenuOf(menu, "Update Frequency"),
               {
                   {kCheck, "Off", 33010},
                   {kCheck, "2 minutes", 33011},
                   {kCheck, "5 minutes", 33012},
                   {kCheck, "10 minutes", 33013},
                   {kCheck, "30 minutes", 33014},
                   {kPlain, "Update Now", 33015},
               },
               "Update Frequency");
    ExpectRows(SubmenuOf(menu, "Data"),
               {
                   {kCheck, "Current Price", 33016},
                   {kCheck, "Time", 33017},
                   {kCheck, "Day's Change", 33018},
                   {kCheck, "Day's % Change", 33019},
                   {kCheck, "Last Day's Close", 33020},
                   {kCheck, "Opening Price", 33031},
                   {kCheck, "Day's High", 33021},
                   {kCheck, "Day's Low", 33022},
                   {kCheck, "Day's Volume", 33023},
                   {kCheck, "Show Fractions", 33024},
                   {kSeparator, "", 0},
                   {kPlain, "Select All", 33025},
                   {kPlain, "Reset Default", 33026},
               },
               "Data");
}

TEST(ContextMenu, PoweredByItemOnlyWhenTheBrandingDiffersExactly) {
    struct Case {
        const char* brandingId;
        bool poweredBy;
    };
    const Case cases[] = {
        {"!VELMORIA!", false}, {"!velmoria!", true}, {"PARTNER21", true}, {"", true}, {"!VELMORIA! ", true},
    };
    for (const Case& c : cases) {
        const MenuTree menu = BuildContextMenu(kDefaults, kSiteName, c.brandingId);
        ASSERT_EQ(menu.size(), c.poweredBy ? 15u : 14u) << '"' << c.brandingId << '"';
        if (!c.poweredBy) continue;
        // Directly after the send-to-a-friend item, before the last separator.
        EXPECT_EQ(menu[11].label, "Send Velmoria v5.6 to a Friend...");
        EXPECT_EQ(menu[12].kind, kPlain);
        EXPECT_EQ(menu[12].label, "Powered by Velmoria...");
        EXPECT_EQ(menu[12].command, command::kSendToFriend);
        EXPECT_EQ(menu[13].kind, kSeparator);
        EXPECT_EQ(menu[14].label, "Exit");
    }
}

TEST(ContextMenu, ScrollSpeedMarksOnlyItsOwnValues) {
    struct Case {
        std::int16_t speed;
        std::vector<std::string> checked;
    };
    const Case cases[] = {
        {0, {"Stop"}}, {1, {"Slow"}}, {3, {"Medium"}}, {5, {"Fast"}}, {2, {}}, {4, {}}, {-1, {}}, {6, {}},
    };
    for (const Case& c : cases) {
        MenuSettings settings = kDefaults;
        settings.speed = c.speed;
        EXPECT_EQ(Checked(SubmenuOf(BuildContextMenu(settings, kSiteName, "!VELMORIA!"), "Scroll Speed")), c.checked)
            << c.speed;
    }
}

TEST(ContextMenu, UpdateFrequencyMarksOnlyItsOwnValues) {
    struct Case {
        std::uint32_t interval;
        std::vector<std::string> checked;
    };
    const Case cases[] = {
        {0, {"Off"}},           {120000, {"2 minutes"}},   {300000, {"5 minutes"}}, {600000, {"10 minutes"}},
        {1800000, {"30 minutes"}}, {1, {}}, {300001, {}}, {0xFFFFFFFF, {}},
    };
    for (const Case& c : cases) {
        MenuSettings settings = kDefaults;
        settings.updateInterval = c.interval;
        EXPECT_EQ(Checked(SubmenuOf(BuildContextMenu(settings, kSiteName, "!VELMORIA!"), "Update Frequency")),
                  c.checked)
            << c.interval;
    }
}

TEST(ContextMenu, DataItemsMarkTheirBits) {
    const std::vector<std::string> allButOpening = {"Current Price", "Time",       "Day's Change",   "Day's % Change",
                                                    "Last Day's Close", "Day's High", "Day's Low", "Day's Volume",
                                                    "Show Fractions"};
    std::vector<std::string> all = allButOpening;
    all.insert(all.begin() + 5, "Opening Price");
    struct Case {
        std::uint32_t mask;
        std::vector<std::string> checked;
    };
    const Case cases[] = {
        {0x10000101, {"Current Price", "Day's Change", "Show Fractions"}},
        {0x00000001, {"Current Price"}},
        {0x00000010, {"Time"}},
        {0x00000100, {"Day's Change"}},
        {0x00000002, {"Day's % Change"}},
        {0x00001000, {"Last Day's Close"}},
        {0x00002000, {"Opening Price"}},
        {0x00010000, {"Day's High"}},
        {0x00100000, {"Day's Low"}},
        {0x01000000, {"Day's Volume"}},
        {0x10000000, {"Show Fractions"}},
        {0x11111113, allButOpening},
        {0xFFFFFFFF, all},
        {0, {}},
        {0xEEEECCCC, {}},  // only bits that mean nothing
    };
    for (const Case& c : cases) {
        MenuSettings settings = kDefaults;
        settings.dataMask = c.mask;
        EXPECT_EQ(Checked(SubmenuOf(BuildContextMenu(settings, kSiteName, "!VELMORIA!"), "Data")), c.checked)
            << std::hex << c.mask;
    }
}

TEST(ContextMenu, AlwaysOnTopAndSnappingMarks) {
    for (const bool onTop : {false, true}) {
        for (const bool snapping : {false, true}) {
            MenuSettings settings = kDefaults;
            settings.alwaysOnTop = onTop;
            settings.snapping = snapping;
            const MenuTree menu = BuildContextMenu(settings, kSiteName, "!VELMORIA!");
            EXPECT_EQ(menu[7].checked, onTop);
            EXPECT_EQ(menu[8].checked, snapping);
            EXPECT_EQ(Checked(menu).size(), static_cast<std::size_t>(onTop) + static_cast<std::size_t>(snapping));
        }
    }
}

// ---- The native menu ---------------------------------------------------------

TEST(NativeMenu, EachKindBecomesItsItemAndEveryMenuIsDestroyedOnce) {
    FakePlatform fake;
    const MenuTree tree = {
        {kPlain, "Plain", 1, false, {}},
        {kCheck, "Unchecked", 2, false, {}},
        {kCheck, "Checked", 3, true, {}},
        {kSeparator, "", 0, false, {}},
        {kSubmenu, "Sub", 0, false, {{kCheck, "Inner", 4, true, {}}, {kSubmenu, "Deeper", 0, false, {{kPlain, "X", 5, false, {}}}}}},
    };
    {
        const platform::ScopedMenu menu = platform::CreateNativeMenu(fake, tree);
        ASSERT_TRUE(menu);
        fake.TrackPopupMenu(menu.get(), platform::kTpmRightButton, 0, 0, nullptr);
        EXPECT_EQ(fake.liveMenus.size(), 3u);
    }
    ASSERT_EQ(fake.trackedMenus.size(), 1u);
    const auto& lines = fake.trackedMenus[0].lines;
    struct Expected {
        std::uint32_t flags;
        std::uintptr_t id;
        const char* text;
    };
    const Expected expected[] = {{0, 1, "Plain"}, {0, 2, "Unchecked"}, {8, 3, "Checked"}, {0x800, 0, ""}, {0x10, 0, "Sub"}};
    ASSERT_EQ(lines.size(), std::size(expected));
    for (std::size_t i = 0; i < lines.size(); ++i) {
        EXPECT_EQ(lines[i].flags, expected[i].flags) << i;
        EXPECT_EQ(lines[i].id, expected[i].id) << i;
        EXPECT_EQ(lines[i].text, expected[i].text) << i;
    }
    ASSERT_EQ(lines[4].submenu.size(), 2u);
    EXPECT_EQ(lines[4].submenu[0].flags, 8u);
    EXPECT_EQ(lines[4].submenu[1].submenu.size(), 1u);
    EXPECT_EQ(fake.CallsNamed("AppendMenu")[3], "AppendMenu(m1, 2048, 0, null)") << "a separator has no text";

    EXPECT_TRUE(fake.liveMenus.empty()) << "the submenus go with the menu that holds them";
    EXPECT_EQ(fake.CallsNamed("DestroyMenu"), std::vector<std::string>{"DestroyMenu(m1)"});
    for (const std::string& call : fake.Calls()) EXPECT_EQ(call.find("refused"), std::string::npos) << call;
}

// ---- The right-button handler ------------------------------------------------

class RightClick : public bar_test::BarTest {
protected:
    void PressRight(std::int16_t x, std::int16_t y) {
        EXPECT_EQ(Mouse(platform::kWmRButtonDown, x, y), 1) << "handled";
        EXPECT_EQ(fake.window(bar).msgResult, 0);
    }
};

TEST_F(RightClick, ShowsTheMenuAtTheScreenPointWithTheRightButtonFlag) {
    struct Case {
        std::int16_t x;
        std::int16_t y;
        platform::Point screen;  // the bar's top left is (100, 200)
    };
    const Case cases[] = {{50, 9, {150, 209}}, {0, 0, {100, 200}}, {-1, 9, {100 + 65535, 209}}};
    Run([&] {
        fake.window(bar).rect = {100, 200, 523, 218};
        for (const Case& c : cases) {
            PressRight(c.x, c.y);
            const auto& shown = fake.trackedMenus.back();
            EXPECT_EQ(shown.point.x, c.screen.x) << c.x;
            EXPECT_EQ(shown.point.y, c.screen.y) << c.y;
            EXPECT_EQ(shown.flags, platform::kTpmRightButton);
            EXPECT_EQ(shown.owner, bar);
        }
    });
    EXPECT_EQ(fake.trackedMenus.size(), std::size(cases));
    EXPECT_TRUE(fake.liveMenus.empty()) << "nothing of a menu survives its press";
    for (const std::string& call : fake.Calls()) EXPECT_EQ(call.find("refused"), std::string::npos) << call;
}

TEST_F(RightClick, TheMenuShowsTheLiveSettingsAndTheHomeSiteName) {
    Run([&] {
        window->speed = 5;
        window->updateInterval = 0;
        window->dataMask = 0x2000;
        window->alwaysOnTop = false;
        PressRight(10, 5);
    });
    ASSERT_EQ(fake.trackedMenus.size(), 1u);
    const auto& lines = fake.trackedMenus[0].lines;
    ASSERT_EQ(lines.size(), 14u);
    EXPECT_EQ(lines[0].text, "Visit " + quotes::HomeSiteHost() + "...");
    const auto checkedTexts = [](const std::vector<FakePlatform::MenuLine>& menu) {
        std::vector<std::string> texts;
        for (const auto& line : menu) {
            if (line.flags & platform::kMfChecked) texts.push_back(line.text);
        }
        return texts;
    };
    EXPECT_EQ(checkedTexts(lines), std::vector<std::string>{"Snap to Screen Edges"});
    EXPECT_EQ(checkedTexts(lines[4].submenu), std::vector<std::string>{"Fast"});
    EXPECT_EQ(checkedTexts(lines[5].submenu), std::vector<std::string>{"Off"});
    EXPECT_EQ(checkedTexts(lines[6].submenu), std::vector<std::string>{"Opening Price"});
}

TEST_F(RightClick, AChosenItemArrivesAsItsCommandAndADismissedMenuChangesNothing) {
    Run([&] {
        const std::size_t saves = Saves();
        fake.menuChoice = 0;
        PressRight(10, 5);
        EXPECT_EQ(fake.DeliverPosted(), 0u);
        EXPECT_EQ(Saves(), saves);

        fake.menuChoice = command::kSpeedFast;
        PressRight(10, 5);
        EXPECT_EQ(window->speed, 1) << "not before the menu has closed";
        EXPECT_EQ(fake.DeliverPosted(), 1u);
        EXPECT_EQ(window->speed, 5);
        EXPECT_EQ(Saves(), saves + 1);
    });
}

}  // namespace
