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

namespace ticker {

inline constexpr int kTickerTemplate = 201;
inline constexpr int kLogoBitmap = 206;
inline constexpr const char* kTickerTitle = "VELMORIA";  // also the single-instance marker
// Without a stored rectangle the bar's right edge stands this far left of
// the screen's right edge.
inline constexpr std::int32_t kDefaultRightMargin = 75;
inline constexpr std::int32_t kOffBarStart = -2000;

// Posted by a worker to the bar, whose thread alone may set its timers:
// wParam kArmUpdateTimer with the period in lParam, kKillUpdateTimer, or
// kArmNextCycle at the end of a pass (the bar arms updateInterval as it is
// by then, so an "Off" chosen during the pass holds).
inline constexpr std::uint32_t kWmUpdateTimerRequest = platform::kWmApp + 1;
inline constexpr platform::MessageParam kKillUpdateTimer = 0;
inline constexpr platform::MessageParam kArmUpdateTimer = 1;
inline constexpr platform::MessageParam kArmNextCycle = 2;

// The most entries the server message may add to the bar. Each item holds
// two fonts, and a process has only so many drawing objects; the user's own
// list is not bounded.
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
    // On the bar's thread; waits, pumping messages, while a quote pass runs.
    void RebuildItems();
    std::string QuoteSourceFor(const std::string& symbol) const;

    // Scrolling and painting. NextFreeRight and Relayout need the bar lock.
    std::int32_t NextFreeRight(std::int32_t edge) const;
    void Relayout();

    // True once Exit has run: nothing may start, draw or arm a timer then.
    bool Exited() const { return link_->window == nullptr; }
    // The lock and the way to the bar that the update workers share.
    BarLink& link() { return *link_; }

    // The state record.
    //
    // Shared state. The bar's thread and the update workers (one per expiry
    // of UPDATE_TIMER, never joined, several may be alive) share the items
    // (list, values, texts, positions), logoX, serverMessage, updating,
    // exchangeMap, updateInterval and drawing on windowDC. One lock guards
    // all of it: BarLink::lock, held on either thread around every read or
    // write of that state and around every drawing (a scroll step, a
    // Relayout, the loading notice, a rebuild). So a Relayout never runs
    // inside a ScrollStep or another Relayout, and the test-and-set of
    // `updating` is one step. A worker holds the lock only for short
    // stretches: it downloads and parses with the lock released, on copies,
    // and publishes the values whole (QuoteItem::BeginParse/EndParse). Fields
    // that only the bar's thread writes (speed, dataMask, exchangeMap, ...)
    // may be read there without the lock.
    //
    // A rebuild never deletes items under a running pass: it waits until
    // `updating` is clear and rebuilds in the same locked step that saw it
    // clear; a pass sets `updating` only under the lock. So a pass may keep
    // plain pointers to the items between its locked steps.
    //
    // Timers belong to the bar's thread (Windows refuses SetTimer and
    // KillTimer from another thread): a worker posts kWmUpdateTimerRequest.
    //
    // Exit: ExitTicker clears BarLink::window under the lock. A worker
    // reaches the bar only through BarAccess, which yields nothing after
    // that; a worker that is blocked in a download for minutes finds the bar
    // gone when the download ends and returns without touching the items,
    // the window or windowDC. BarLink is shared (std::shared_ptr) and so
    // outlives the bar; the platform objects outlive every worker (the entry
    // keeps them until the process ends).
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
    std::int32_t logoX = kOffBarStart;
    std::int32_t logoSize = 0;
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

    // The mouse (the bar's thread only).
    void FollowGrip(std::int16_t x, std::int32_t clientRight);
    void BeginDrag(std::int16_t x, std::int16_t y);
    void DragStep(std::int16_t x, std::int16_t y, const platform::Rect& client);
    void EndDrag(std::int16_t x);
    void ClickAt(std::int16_t x);
    void ResizeTo(const platform::Rect& window, const platform::Rect& client);
    platform::Rect SnappedToWorkArea(const platform::Rect& window);

    app::TickerSettings SettingsFields() const;
    void DeleteItems();
    void PlaceWindow(const platform::Rect& stored);
    void PrepareDrawing();
    platform::ProcResult OnUpdateTimerRequest(const app::Message& message);

    // Scrolling and painting (the bar lock held).
    platform::ProcResult ScrollStep();
    void DrawLogo();
    void DrawGrips(const platform::Rect& client);

    // The update cycle.
    platform::ProcResult OnUpdateTimer();
    void LoadExchangeMap();
    void DrawLoadingNotice();
    void StartUpdateWorker();
    static std::uint32_t UpdateWorker(void* start);
    struct WorkerStart;
    static void RunUpdateWorker(WorkerStart& start, bool& passStarted);
    static bool RebuildItemsFromWorker(WorkerStart& start);
    static void FinishPass(BarLink& link);
    // Arms UPDATE_TIMER with `period`, or kills it for 0: directly on the
    // bar's thread, through kWmUpdateTimerRequest from any other.
    void RequestUpdateTimer(std::uint32_t period);
    // At the end of a pass: arms UPDATE_TIMER with updateInterval when it
    // is above 0, on the bar's thread.
    void RequestNextCycle();
    // The rebuild itself, the bar lock held and no pass running.
    void RebuildItemsLocked();

    std::shared_ptr<BarLink> link_;
    std::uint32_t barThread_ = 0;  // the thread that created the window
};

}  // namespace ticker
