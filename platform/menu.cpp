#include "platform/menu.h"

#include "platform/constants.h"

namespace platform {

ScopedMenu CreateNativeMenu(WindowManager& windows, const MenuTree& entries) {
    ScopedMenu menu(windows, windows.CreatePopupMenu());
    if (!menu) return menu;
    for (const MenuEntry& entry : entries) {
        switch (entry.kind) {
        case MenuEntryKind::Plain:
            windows.AppendMenu(menu.get(), kMfString, entry.command, entry.label.c_str());
            break;
        case MenuEntryKind::Check:
            windows.AppendMenu(menu.get(), entry.checked ? kMfChecked : kMfString, entry.command, entry.label.c_str());
            break;
        case MenuEntryKind::Separator:
            windows.AppendMenu(menu.get(), kMfSeparator, 0, nullptr);
            break;
        case MenuEntryKind::Submenu: {
            ScopedMenu submenu = CreateNativeMenu(windows, entry.submenu);
            if (submenu && windows.AppendMenu(menu.get(), kMfPopup, reinterpret_cast<std::uintptr_t>(submenu.get()),
                                              entry.label.c_str())) {
                submenu.release();  // the menu destroys it now
            }
            break;
        }
        }
    }
    return menu;
}

}  // namespace platform
