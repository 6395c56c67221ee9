#pragma once
// A popup menu as a tree of entries that logic can build without a single
// platform call, and the one step that turns such a tree into a native menu.
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "platform/window_manager.h"

namespace platform {

enum class MenuEntryKind { Plain, Check, Separator, Submenu };

struct MenuEntry {
    MenuEntryKind kind = MenuEntryKind::Plain;
    std::string label;           // empty for a separator
    std::uint16_t command = 0;   // plain and check items
    bool checked = false;        // check items
    std::vector<MenuEntry> submenu;
};

using MenuTree = std::vector<MenuEntry>;

// A menu this code created. Once appended to another menu as a submenu it
// belongs to that menu (release() it then), which destroys it with itself.
class ScopedMenu {
public:
    ScopedMenu(WindowManager& windows, MenuHandle menu) : windows_(&windows), menu_(menu) {}
    ~ScopedMenu() {
        if (menu_ != nullptr) windows_->DestroyMenu(menu_);
    }
    ScopedMenu(ScopedMenu&& other) noexcept : windows_(other.windows_), menu_(std::exchange(other.menu_, nullptr)) {}
    ScopedMenu& operator=(ScopedMenu&&) = delete;
    ScopedMenu(const ScopedMenu&) = delete;
    ScopedMenu& operator=(const ScopedMenu&) = delete;

    MenuHandle get() const { return menu_; }
    explicit operator bool() const { return menu_ != nullptr; }
    MenuHandle release() { return std::exchange(menu_, nullptr); }

private:
    WindowManager* windows_;
    MenuHandle menu_;
};

// A native popup menu holding `entries` in order, submenus included: a plain
// item with flags 0, a check item with MF_CHECKED when checked, a separator,
// a submenu with MF_POPUP under its label. Destroying the returned menu
// destroys every submenu with it, so each handle is destroyed exactly once.
ScopedMenu CreateNativeMenu(WindowManager& windows, const MenuTree& entries);

}  // namespace platform
