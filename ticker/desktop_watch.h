#pragma once
// How the bar shares the desktop: it steps back behind a full-screen
// program on its monitor, rests while nobody can see it (session locked or
// switched away, screen off) and, after the computer wakes from sleep or
// the network comes back, fetches quotes as soon as the network answers.
#include <cstdint>

#include "platform/constants.h"
#include "platform/desktop.h"
#include "platform/types.h"

namespace ticker {

// Looks once a second whether a full-screen program is in front: cheap, and
// it also sees a program leave full screen without losing the foreground.
inline constexpr std::uintptr_t FULL_SCREEN_TIMER = 33040;
inline constexpr std::uint32_t kFullScreenCheckMs = 1000;

// After a wake from sleep: one cycle at once, then one every few seconds
// until the server answers, for about a minute.
inline constexpr std::uintptr_t WAKE_TIMER = 33041;
inline constexpr std::uint32_t kWakeTryMs = 5000;
inline constexpr int kWakeRetries = 12;

// The notices of the shell to the bar as an application desktop toolbar.
inline constexpr std::uint32_t kWmAppBarNotice = platform::kWmApp + 2;
// A network interface changed (posted from a thread of the system's).
inline constexpr std::uint32_t kWmNetworkChange = platform::kWmApp + 3;

// The edge of its monitor a bar stands at (platform::kAbeTop or kAbeBottom):
// at or beyond the top or bottom of the monitor's free part; kNoDockEdge
// between them.
inline constexpr std::uint32_t kNoDockEdge = 0xFFFFFFFF;
std::uint32_t DockEdge(const platform::Rect& bar, const platform::Rect& monitor, const platform::Rect& workArea);

// A window covers a monitor when it reaches all four of its edges.
bool CoversMonitor(const platform::Rect& window, const platform::Rect& monitor);

// The display state a power-setting notice carries, when it carries one.
bool DisplayStateOf(platform::LongParam notice, std::uint32_t& state);

// What the bar knows of the desktop around it; the bar's thread only.
struct DesktopWatch {
    bool locked = false;
    bool switchedAway = false;  // another session has the console, or a remote one went
    bool screenOff = false;
    // The update timer expired while nobody looked: one cycle when they do.
    bool cycleOwed = false;
    // A topmost bar moved out of the topmost band for a full-screen program.
    bool steppedBack = false;
    // Cycles still to try after a wake before giving up on the network.
    int wakeRetriesLeft = 0;
    // The home site's message could not be fetched in the last cycle: the
    // network (or the site) is away, and a change of network may bring it
    // back.
    bool networkDown = false;

    bool NobodyLooks() const { return locked || switchedAway || screenOff; }
};

// The session, display-state and network-change notices of one window,
// taken for as long as the bar runs.
class DesktopNotices {
public:
    explicit DesktopNotices(platform::Desktop& desktop) : desktop_(desktop) {}
    ~DesktopNotices() { Stop(); }
    DesktopNotices(const DesktopNotices&) = delete;
    DesktopNotices& operator=(const DesktopNotices&) = delete;

    void Start(platform::WindowHandle window);
    void Stop();

private:
    platform::Desktop& desktop_;
    platform::WindowHandle sessionWindow_ = nullptr;
    platform::NotificationHandle display_ = nullptr;
    platform::NetworkWatchHandle network_ = nullptr;
};

}  // namespace ticker
