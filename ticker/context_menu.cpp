#include "ticker/context_menu.h"

#include <utility>

#include "quotes/browser.h"
#include "ticker/ids.h"
#include "ticker/menu_choices.h"

namespace ticker {

namespace {

using platform::MenuEntry;
using platform::MenuEntryKind;
using platform::MenuTree;

constexpr const char* kHelpLabel = "Velmoria On-Line Help";
constexpr const char* kAddRemoveLabel = "Add/Remove Symbols...";
constexpr const char* kScrollSpeedLabel = "Scroll Speed";
constexpr const char* kUpdateFrequencyLabel = "Update Frequency";
constexpr const char* kDataLabel = "Data";
constexpr const char* kAlwaysOnTopLabel = "Always On Top";
constexpr const char* kSnapLabel = "Snap to Screen Edges";
constexpr const char* kReserveLabel = "Reserve Screen Space";
constexpr const char* kPoweredByLabel = "Powered by Velmoria...";
constexpr const char* kExitLabel = "Exit";

MenuEntry Plain(std::string label, std::uint16_t command) {
    return MenuEntry{MenuEntryKind::Plain, std::move(label), command, false, {}};
}

MenuEntry Check(std::string label, std::uint16_t command, bool checked) {
    return MenuEntry{MenuEntryKind::Check, std::move(label), command, checked, {}};
}

MenuEntry Separator() { return MenuEntry{MenuEntryKind::Separator, {}, 0, false, {}}; }

MenuEntry Submenu(std::string label, MenuTree entries) {
    return MenuEntry{MenuEntryKind::Submenu, std::move(label), 0, false, std::move(entries)};
}

std::string VisitLabel(const std::string& homeSiteName) { return "Visit " + homeSiteName + "..."; }

// "Send Velmoria v%s to a Friend..." with the program's version.
std::string SendToFriendLabel() { return std::string("Send Velmoria v") + quotes::kProgramVersion + " to a Friend..."; }

MenuTree SpeedMenu(std::int16_t speed) {
    MenuTree entries;
    for (const SpeedChoice& choice : kSpeedChoices) {
        entries.push_back(Check(choice.label, choice.command, speed == choice.speed));
    }
    return entries;
}

MenuTree UpdateMenu(std::uint32_t interval) {
    MenuTree entries;
    for (const UpdateChoice& choice : kUpdateChoices) {
        entries.push_back(Check(choice.label, choice.command, interval == choice.intervalMs));
    }
    entries.push_back(Plain(kUpdateNowLabel, command::kUpdateNow));
    return entries;
}

MenuTree DataMenu(std::uint32_t mask) {
    MenuTree entries;
    for (const DataFieldChoice& choice : kDataFieldChoices) {
        entries.push_back(Check(choice.label, choice.command, (mask & choice.bit) != 0));
    }
    entries.push_back(Separator());
    entries.push_back(Plain(kSelectAllLabel, command::kSelectAll));
    entries.push_back(Plain(kResetDefaultLabel, command::kResetDefault));
    return entries;
}

}  // namespace

MenuTree BuildContextMenu(const MenuSettings& settings, const std::string& homeSiteName,
                          const std::string& brandingId) {
    MenuTree menu;
    menu.push_back(Plain(VisitLabel(homeSiteName), command::kVisitHomeSite));
    menu.push_back(Plain(kHelpLabel, command::kHelp));
    menu.push_back(Separator());
    menu.push_back(Plain(kAddRemoveLabel, command::kAddRemoveSymbols));
    menu.push_back(Submenu(kScrollSpeedLabel, SpeedMenu(settings.speed)));
    menu.push_back(Submenu(kUpdateFrequencyLabel, UpdateMenu(settings.updateInterval)));
    menu.push_back(Submenu(kDataLabel, DataMenu(settings.dataMask)));
    menu.push_back(Check(kAlwaysOnTopLabel, command::kAlwaysOnTop, settings.alwaysOnTop));
    menu.push_back(Check(kSnapLabel, command::kSnapping, settings.snapping));
    menu.push_back(Check(kReserveLabel, command::kReserveScreenSpace, settings.reserveScreenSpace));
    menu.push_back(Separator());
    menu.push_back(Plain(SendToFriendLabel(), command::kSendToFriend));
    if (brandingId != kOwnBrandingId) menu.push_back(Plain(kPoweredByLabel, command::kSendToFriend));
    menu.push_back(Separator());
    menu.push_back(Plain(kExitLabel, command::kExit));
    return menu;
}

}  // namespace ticker
