#pragma once
// The bar: a borderless, caption-less tool window run as a modal dialog,
// across which the logo and the quote items scroll.
#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "app/dialog_object.h"
#include "app/message_table.h"
#include "app/settings.h"
#include "platform/platform.h"
#include "platform/scoped.h"
#include "quotes/entry_list.h"
#include "quotes/quote_item.h"
#include "ticker/bar_link.h"
#include "ticker/desktop_watch.h"
#include "ticker/placement.h"

namespace ticker {

inline constexpr int kTickerTemplate = 201;
inline constexpr const char* kTickerTitle = "VELMORIA";  // also the single-instance marker
// Without a stored rectangle the bar's right edge stands this far left of
// the screen's right edge.
inline constexpr std::int32_t kDefaultRightMargin = 75;
inline constexpr std::int32_t kOffBarStart = -2000;

// Posted by a worker to the bar after it handed over the end of a phase
// (its server message, or the end of its quote pass): the bar's thread
// takes its inbox at once. Quotes wait for the next scroll step, so those
// that arrive within one step cost one re-layout.
inline constexpr std::uint32_t kWmHandover = platform::kWmApp + 1;

// The most entries the server message may add to the bar: a server cannot
// grow the bar, its passes or its memory without end. The user's own list
// is not bounded.
inline constexpr std::size_t kMaxServerMessageEntries = 200;

struct DragOrigin {
    std::int16_t x = 0;
    std::int16_t y = 0;
};

std::string DefaultSymbolList();

// Folds a default hit code so the bar can be sized only sideways.
platform::ProcResult FoldHitCode(platform::ProcResult code);

class TickerWindow final : public app::DialogObject {
public:
    TickerWindow(platform::Platform& platform, platform::InstanceHandle instance);
    ~TickerWindow() override;

    bool HandleMessage(const app::Message& message, platform::ProcResult& result, int table) override;

    platform::ProcResult ExitTicker(const app::Message& message);

    // Persisted settings: read once at creation, written whole after every
    // change and at exit.
    platform::Rect LoadSettings();
    void SaveSettings();

    // The item list: rebuilt from the server message and the symbol list.
    // AddItemsFromList takes at most `limit` entries.
    std::string AddItemsFromList(const std::string& text, std::size_t limit = SIZE_MAX);
    // On the bar's thread; cancels a running quote pass and asks for a
    // cycle on the new items half a second later.
    void RebuildItems();
    std::string QuoteSourceFor(const std::string& symbol) const;

    // Scrolling and painting.
    std::int32_t NextFreeRight(std::int32_t edge) const;
    // Re-formats every item for dataMask, draws it where it stands and packs
    // the ring.
    void Relayout();
    // The same for the items whose values changed since they last drew.
    void RelayoutUpdated();

    // True once Exit has run: nothing may start, draw or arm a timer then.
    bool Exited() const { return !link_->open.load(std::memory_order_relaxed); }
    // Applies whatever the workers handed over so far (the bar's thread).
    void TakeHandovers();
    // Where workers hand their work over, and the generation of the item
    // list their quotes must name.
    BarLink& link() { return *link_; }
    std::uint64_t itemsGeneration() const { return itemsGeneration_; }
    // The desktop around the bar, as the bar last heard of it.
    const DesktopWatch& desktopWatch() const { return desktopWatch_; }

    // The state record.
    //
    // Threads. Everything below belongs to the bar's thread: only it reads
    // or writes the items, their values and positions, logoX,
    // serverMessage, updating, exchangeMap, the timers and windowDC. An
    // update worker (one per expiry of UPDATE_TIMER, never joined, several
    // may be alive) gets copies of what it needs when it starts, downloads
    // and parses on them, and hands each finished piece to the bar through
    // BarLink's lock-free inbox (handover.h): the server message, each
    // item's parsed values, the end of its pass. The bar's thread takes the
    // inbox at every scroll step and when a worker posts kWmHandover, and
    // applies the pieces in the order they were handed over. So the bar's
    // thread never waits for a worker, which runs at the lowest priority
    // and might not be scheduled for seconds on a busy machine.
    //
    // The quote pass: when a worker's message has been taken (and the items
    // rebuilt if it changed), the bar sets `updating` and starts the pass on
    // a worker of its own with the item list's sourceUrl and values, tagged
    // with the list's generation; a quote for an older generation is
    // dropped. A rebuild never waits for a pass: it makes a new generation,
    // which cancels the pass (BarLink::generation, looked at before each
    // download), clears `updating` and arms the short delay, so the new
    // items' pass starts with the next cycle whatever the old pass is still
    // downloading. The end of a pass (invalidate, arm UPDATE_TIMER with
    // updateInterval, clear `updating`) runs on the bar's thread when it is
    // taken, and only for the current generation.
    //
    // The exchange list, too, is downloaded by a worker; the bar keeps its
    // notice and stops scrolling until it is in, and answers meanwhile.
    //
    // Exit clears BarLink::open; the bar then handles no further message,
    // workers stop before their next download, and what they hand over
    // later is freed with the link,
    // which outlives the bar (std::shared_ptr); the platform objects outlive
    // every worker (the entry keeps them until the process ends).
    platform::InstanceHandle hInstance;
    std::vector<std::unique_ptr<quotes::QuoteItem>> itemList;  // scroll order; owned
    std::string serverMessage;
    bool updating = false;
    std::string symbols;
    DragOrigin dragOrigin;
    bool dragging = false;
    bool dragMoved = false;
    bool resizingLeft = false;
    bool resizingRight = false;
    std::int16_t speed = 1;
    std::uint32_t scrollInterval = 40;
    std::uint32_t updateInterval = 300000;
    std::uint32_t updateDelay = 500;
    std::uint32_t dataMask = 0x10000101;
    bool alwaysOnTop = true;
    bool snapping = true;
    bool reserveScreenSpace = false;  // an application desktop toolbar when at an edge
    std::int32_t logoX = kOffBarStart;
    std::int32_t logoSize = 0;
    // The DPI of the monitor the bar stands on, which every size in pixels
    // is scaled for: its height, the logo, the grips, the mouse's
    // tolerances and the fonts. Set when the bar is placed and whenever it
    // moves to a monitor of another DPI.
    std::uint32_t dpi = platform::kBaseDpi;
    platform::ScopedWindowDc windowDC;
    platform::ScopedGdiObject logoBitmap;
    platform::ScopedMemoryDc memoryDC;  // holds logoBitmap; remembers savedBitmap
    platform::ScopedGdiObject backgroundBrush;
    quotes::ExchangeMap exchangeMap;

private:
    using Row = app::MessageRow<TickerWindow>;
    static const Row kMessageTable[];

    platform::ProcResult OnInitDialog(const app::Message& message);
    platform::ProcResult OnHitTest(const app::Message& message);
    platform::ProcResult OnTimer(const app::Message& message);
    platform::ProcResult OnRightButtonDown(const app::Message& message);
    platform::ProcResult OnMouse(const app::Message& message);
    platform::ProcResult OnAddRemoveSymbols(const app::Message& message);
    platform::ProcResult OnScrollSpeed(const app::Message& message);
    platform::ProcResult OnVisitHomeSite(const app::Message& message);
    platform::ProcResult OnHelp(const app::Message& message);
    platform::ProcResult OnSendToFriend(const app::Message& message);
    platform::ProcResult OnAlwaysOnTop(const app::Message& message);
    platform::ProcResult OnSnapping(const app::Message& message);
    platform::ProcResult OnUpdateFrequency(const app::Message& message);
    platform::ProcResult OnDataField(const app::Message& message);
    platform::ProcResult OnDpiChanged(const app::Message& message);
    platform::ProcResult OnDisplayChange(const app::Message& message);

    // The desktop around the bar (desktop_watch.cpp).
    platform::ProcResult OnSessionChange(const app::Message& message);
    platform::ProcResult OnPowerBroadcast(const app::Message& message);
    platform::ProcResult OnNetworkChange(const app::Message& message);
    platform::ProcResult OnFullScreenTimer();
    platform::ProcResult OnWakeTimer();
    void WatchDesktop();
    void LeaveDesktop();
    void FollowLookers(bool nobodyLookedBefore);
    // True while nobody can see the bar: the update timer's cycle is owed.
    bool RestWhileNobodyLooks();
    void StartWakeTries();
    void NoteServerAnswer(const std::string& message);
    platform::WindowHandle FullScreenInFront();
    void FollowAlwaysOnTop();

    // "Reserve Screen Space" (screen_space.cpp).
    platform::ProcResult OnReserveScreenSpace(const app::Message& message);
    platform::ProcResult OnAppBarNotice(const app::Message& message);
    void WatchShell();
    bool OnShellRestarted(const app::Message& message);
    // At the edge the bar stands at, or at `knownEdge`.
    void DockAppBar(std::uint32_t knownEdge = kNoDockEdge);
    void UndockAppBar();
    void UndockForDrag();
    void RedockAfterDrag();

    // The mouse (the bar's thread only).
    void FollowGrip(std::int16_t x, std::int32_t clientRight);
    void BeginDrag(std::int16_t x, std::int16_t y);
    void DragStep(std::int16_t x, std::int16_t y, const platform::Rect& client);
    void EndDrag(std::int16_t x);
    void AbandonDrag();
    void ClickAt(std::int16_t x);
    void ResizeTo(const platform::Rect& window, const platform::Rect& client);
    platform::Rect SnappedToWorkArea(const platform::Rect& window);

    app::TickerSettings SettingsFields() const;
    void DeleteItems();
    void PlaceWindow(const platform::Rect& stored);
    // The default place on the primary monitor for a bar of this size in
    // 96-DPI units; the template's size when none is given.
    void PlaceByDefault(const platform::Rect* units);
    // Moves the bar to `target`, laid out for `targetDpi` first, so that the
    // platform's notice of a new DPI after the move finds nothing to do.
    void MoveForDpi(const platform::Rect& target, std::uint32_t targetDpi);
    // After a change of DPI: the logo, the fonts and the ring for it.
    void RescaleDrawing();
    void LoadLogo();
    // A size written for 96 DPI, in pixels at the bar's DPI.
    std::int32_t Scaled(std::int32_t value96) const;
    void PrepareDrawing();

    // Scrolling and painting.
    platform::ProcResult ScrollStep();
    void DrawLogo();
    void DrawGrips(const platform::Rect& client);

    // The update cycle.
    platform::ProcResult OnUpdateTimer();
    platform::ProcResult OnHandover(const app::Message& message);
    void LoadExchangeMap();
    void DrawLoadingNotice();
    void StartUpdateWorker();
    struct WorkerStart;
    struct PassStart;
    static std::uint32_t ExchangeListWorker(void* start);
    static std::uint32_t UpdateWorker(void* start);
    static std::uint32_t PassWorker(void* start);
    static void RunPass(PassStart& start);
    static void HandOver(WorkerStart& start);
    // The bar's side of the handovers.
    void TakeHandover(Handover& handover);
    void TakeExchangeList(std::string body);
    void TakeServerMessage(std::string* message);
    void StartPass();
    void FinishPass();
    bool ApplyQuote(Handover& quote);
    void RelayoutQuietly() noexcept;
    // The rebuild itself, with UPDATE_TIMER killed.
    void RebuildItemsNow();
    // Scrolling: the right end of everything, wherever it stands.
    std::int32_t RingRightEnd() const;

    std::shared_ptr<BarLink> link_;
    // The item list's generation: a rebuild makes a new one, and quotes
    // asked for an older one are dropped.
    std::uint64_t itemsGeneration_ = 0;
    // A worker is downloading the exchange list: the notice shows and the
    // bar does not scroll until it is in.
    bool loadingExchanges_ = false;
    // A failed exchange list may be asked for again with updates Off: set
    // at creation and whenever the user asks for an update.
    bool exchangeListAsked_ = true;
    // "Update Now" came during a pass: a cycle follows the pass at once.
    bool nextCycleAsked_ = false;
    // The two fonts of the current items, shared by all of them.
    std::shared_ptr<const quotes::ItemFonts> itemFonts_;
    // Scratch space of the scroll step, kept so a step allocates nothing.
    std::vector<std::int32_t> laterRightEnds_;
    DesktopWatch desktopWatch_;
    DesktopNotices desktopNotices_;
    // "ReserveScreenSpace" exists in the registry, or was chosen this run.
    bool reserveScreenSpaceStored_ = false;
    bool appBarDocked_ = false;
    bool redockAfterDrag_ = false;
    std::uint32_t appBarEdge_ = kNoDockEdge;  // where the strip was last held
    std::uint32_t taskbarCreated_ = 0;  // the shell's message when it starts
};

}  // namespace ticker
