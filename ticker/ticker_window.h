#pragma once
// The bar: a borderless, caption-less tool window run as a modal dialog,
// across which the logo and the quote items scroll.
#include <atomic>
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

namespace ticker {

inline constexpr int kTickerTemplate = 201;
inline constexpr int kLogoBitmap = 206;
inline constexpr const char* kTickerTitle = "VELMORIA";  // also the single-instance marker
// Without a stored rectangle the bar's right edge stands this far left of
// the screen's right edge.
inline constexpr std::int32_t kDefaultRightMargin = 75;
inline constexpr std::int32_t kOffBarStart = -2000;

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
    std::string AddItemsFromList(const std::string& text);
    void RebuildItems();
    std::string QuoteSourceFor(const std::string& symbol) const;

    // The state record.
    platform::InstanceHandle hInstance;
    std::vector<std::unique_ptr<quotes::QuoteItem>> itemList;  // scroll order; owned
    std::string serverMessage;
    std::atomic<bool> updating{false};
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

    app::TickerSettings SettingsFields() const;
    void DeleteItems();
    void PlaceWindow(const platform::Rect& stored);
    void PrepareDrawing();
    platform::ProcResult ScrollStep();
    platform::ProcResult OnUpdateTimer();
};

}  // namespace ticker
