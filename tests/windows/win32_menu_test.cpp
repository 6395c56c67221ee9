// The bar's menu as the real window manager holds it, and the system
// cursors the mouse handler asks for.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/constants.h"
#include "platform/menu.h"
#include "platform/win32/win32_api.h"
#include "platform/win32/win32_platform.h"
#include "ticker/context_menu.h"

namespace {

std::string ItemText(HMENU menu, UINT position) {
    char text[256] = {};
    ::GetMenuStringA(menu, position, text, sizeof text, MF_BYPOSITION);
    return text;
}

struct Item {
    std::string text;
    UINT state;  // MF_SEPARATOR, MF_POPUP, MF_CHECKED bits
    UINT id;     // 0xFFFFFFFF for a submenu
};

std::vector<Item> Items(HMENU menu) {
    std::vector<Item> items;
    const int count = ::GetMenuItemCount(menu);
    for (int i = 0; i < count; ++i) {
        const UINT position = static_cast<UINT>(i);
        items.push_back(Item{ItemText(menu, position), ::GetMenuState(menu, position, MF_BYPOSITION),
                             ::GetMenuItemID(menu, i)});
    }
    return items;
}

std::vector<std::string> Checked(HMENU menu) {
    std::vector<std::string> checked;
    for (const Item& item : Items(menu)) {
        if (item.state & MF_CHECKED) checked.push_back(item.text);
    }
    return checked;
}

TEST(Win32Menu, TheContextMenuBecomesANativeMenuThatGoesWithAllItsSubmenus) {
    platform::win32::Win32Platform win32;
    const ticker::MenuSettings settings{5, 0, 0x10000101, false, true};
    HMENU main = nullptr;
    HMENU submenus[3] = {};
    {
        const platform::ScopedMenu menu =
            platform::CreateNativeMenu(win32, ticker::BuildContextMenu(settings, "quotes.test", "!VELMORIA!"));
        main = reinterpret_cast<HMENU>(menu.get());
        ASSERT_TRUE(::IsMenu(main));
        const std::vector<Item> items = Items(main);
        ASSERT_EQ(items.size(), 14u);
        const std::vector<std::string> texts = {"Visit quotes.test...", "Velmoria On-Line Help", "",
                                                "Add/Remove Symbols...", "Scroll Speed", "Update Frequency",
                                                "Data", "Always On Top", "Snap to Screen Edges",
                                                "Reserve Screen Space", "", "Send Velmoria v5.6 to a Friend...",
                                                "", "Exit"};
        for (std::size_t i = 0; i < items.size(); ++i) EXPECT_EQ(items[i].text, texts[i]) << i;
        for (const std::size_t separator : {2u, 10u, 12u}) EXPECT_TRUE(items[separator].state & MF_SEPARATOR);
        EXPECT_EQ(items[0].id, 33000u);
        EXPECT_EQ(items[9].id, 33033u);
        EXPECT_EQ(items[13].id, 33002u);
        EXPECT_EQ(Checked(main), std::vector<std::string>{"Snap to Screen Edges"});
        for (int i = 0; i < 3; ++i) {
            submenus[i] = ::GetSubMenu(main, 4 + i);
            ASSERT_TRUE(::IsMenu(submenus[i])) << i;
        }
        EXPECT_EQ(::GetMenuItemCount(submenus[0]), 4);
        EXPECT_EQ(::GetMenuItemCount(submenus[1]), 6);
        EXPECT_EQ(::GetMenuItemCount(submenus[2]), 13);
        EXPECT_EQ(Checked(submenus[0]), std::vector<std::string>{"Fast"});
        EXPECT_EQ(Checked(submenus[1]), std::vector<std::string>{"Off"});
        EXPECT_EQ(Checked(submenus[2]), (std::vector<std::string>{"Current Price", "Day's Change", "Show Fractions"}));
        EXPECT_EQ(ItemText(submenus[2], 5), "Opening Price");
        EXPECT_EQ(::GetMenuItemID(submenus[2], 5), 33031u);
        EXPECT_TRUE(::GetMenuState(submenus[2], 10, MF_BYPOSITION) & MF_SEPARATOR);
        // Separators count as disabled on this platform; no item does.
        for (HMENU menu : {main, submenus[0], submenus[1], submenus[2]}) {
            for (const Item& item : Items(menu)) {
                if (item.state & MF_SEPARATOR) continue;
                EXPECT_FALSE(item.state & (MF_GRAYED | MF_DISABLED)) << item.text << ": nothing is greyed";
            }
        }
    }
    EXPECT_FALSE(::IsMenu(main));
    for (HMENU submenu : submenus) EXPECT_FALSE(::IsMenu(submenu)) << "destroyed with the main menu";
}

TEST(Win32Menu, TheMouseAsksForTheSystemsSizingAndArrowCursors) {
    platform::win32::Win32Platform win32;
    EXPECT_EQ(reinterpret_cast<HCURSOR>(win32.LoadCursor(nullptr, platform::kIdcSizeWe)),
              ::LoadCursorA(nullptr, IDC_SIZEWE));
    EXPECT_EQ(reinterpret_cast<HCURSOR>(win32.LoadCursor(nullptr, platform::kIdcArrow)),
              ::LoadCursorA(nullptr, IDC_ARROW));
    EXPECT_NE(::LoadCursorA(nullptr, IDC_SIZEWE), nullptr);
}

}  // namespace
