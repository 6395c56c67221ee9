// The bar on scaled screens and on several monitors: its sizes at each DPI,
// snapping on the monitor it stands on, a drag from one monitor to another
// of a different DPI, the stored rectangle in 96-DPI units, and a bar whose
// monitor is gone brought back.
#include <string>
#include <vector>

#include "app/dpi_scale.h"
#include "symbols/entry_bar_layout.h"
#include "symbols/symbol_entry_bar.h"
#include "tests/unit/bar_fixture.h"
#include "ticker/drag.h"
#include "ticker/placement.h"

namespace platform {
inline void PrintTo(const Rect& r, std::ostream* out) {
    *out << "{" << r.left << ", " << r.top << ", " << r.right << ", " << r.bottom << "}";
}
}  // namespace platform

namespace {

using bar_test::BarTest;
using bar_test::kSettingsKey;
using platform::Rect;
using platform::fake::FakePlatform;
using platform::kWmLButtonDown;
using platform::kWmLButtonUp;
using platform::kWmMouseMove;

// ---- Decisions -----------------------------------------------------------------

TEST(DpiScale, RoundsAsMulDivAndComesBack) {
    struct Case {
        std::int32_t value;
        std::uint32_t dpi;
        std::int32_t scaled;
    };
    const Case cases[] = {{18, 96, 18},  {18, 120, 23}, {18, 144, 27},  {18, 192, 36}, {5, 120, 6},
                          {5, 144, 8},   {2, 120, 3},   {1, 144, 2},    {1, 120, 1},   {-18, 144, -27},
                          {-3, 120, -4}, {75, 144, 113}, {423, 144, 635}, {0, 192, 0}};
    for (const Case& c : cases) {
        EXPECT_EQ(app::ScaleForDpi(c.value, c.dpi), c.scaled) << c.value << " at " << c.dpi;
    }
    EXPECT_EQ(app::UnscaleForDpi(27, 144), 18);
    EXPECT_EQ(app::UnscaleForDpi(635, 144), 423);
    EXPECT_EQ(app::UnscaleForDpi(-150, 144), -100);
}

TEST(DpiScale, RectanglesScaleFromTheirMonitorsCorner) {
    // A monitor right of the primary, at 150 %.
    const platform::Point origin{1280, 0};
    const Rect units{1380, 100, 1780, 118};
    const Rect pixels = app::RectToPixels(units, origin, 144);
    EXPECT_EQ(pixels, (Rect{1430, 150, 2030, 177}));
    EXPECT_EQ(app::RectToUnits(pixels, origin, 144), units);
    // At 96 nothing moves, wherever the monitor is.
    EXPECT_EQ(app::RectToPixels(units, {-1920, 0}, 96), units);
    EXPECT_EQ(app::RectToUnits(units, {-1920, 0}, 96), units);
}

TEST(Placement, ABarShowsEnoughWithAPieceAsLongAsItIsHigh) {
    const Rect monitor{0, 0, 1280, 1024};
    struct Case {
        const char* name;
        Rect bar;
        bool enough;
    };
    const Case cases[] = {
        {"wholly on it", {200, 100, 700, 118}, true},
        {"18 pixels left on the right", {1262, 100, 1762, 118}, true},
        {"17 pixels left on the right", {1263, 100, 1763, 118}, false},
        {"18 pixels left on the left", {-482, 100, 18, 118}, true},
        {"all but its last row above the top", {200, -17, 700, 1}, true},
        {"wholly above the top", {200, -18, 700, 0}, false},
        {"below the bottom", {200, 1024, 700, 1042}, false},
        {"far away", {3000, 2000, 3500, 2018}, false},
    };
    for (const Case& c : cases) EXPECT_EQ(ticker::ShowsEnough(c.bar, monitor), c.enough) << c.name;
}

TEST(Placement, TheLogoComesFromTheSmallestArtAtLeastAsLarge) {
    struct Case {
        std::int32_t size;
        int resource;
    };
    const Case cases[] = {{18, 206}, {16, 206}, {19, 208}, {23, 208}, {27, 209},
                          {28, 210}, {36, 211}, {54, 213}, {72, 213}};
    for (const Case& c : cases) EXPECT_EQ(ticker::LogoResourceFor(c.size), c.resource) << c.size;
}

TEST(Snap, OnAMonitorOfSeveralToItsOwnEdges) {
    // A monitor right of the primary, with a task bar along its bottom.
    const Rect monitor{1280, 0, 3200, 1080};
    const Rect work{1280, 0, 3200, 1040};
    struct Case {
        const char* name;
        Rect r;
        Rect snapped;
    };
    const Case cases[] = {
        {"near its top-left corner", {1290, 20, 1890, 47}, {1280, 0, 1880, 27}},
        {"near its bottom: the task bar's top", {1500, 1000, 2100, 1027}, {1500, 1013, 2100, 1040}},
        {"near its right edge", {2590, 500, 3190, 527}, {2600, 500, 3200, 527}},
        {"in the middle", {2000, 500, 2600, 527}, {2000, 500, 2600, 527}},
        {"wholly left of it", {600, 500, 1200, 527}, {600, 500, 1200, 527}},
    };
    for (const Case& c : cases) EXPECT_EQ(ticker::SnapToEdges(c.r, monitor, work), c.snapped) << c.name;
}

TEST(EntryBarLayout, ButtonsScaleWithTheTickersDpi) {
    const symbols::EntryBarLayout layout =
        symbols::LayOutEntryBar({1280, 100, 1915, 127}, {1280, 0, 3200, 1040}, 66, 144);
    EXPECT_EQ(layout.bar, (symbols::Placement{1280, 127, 635, 27}));
    EXPECT_EQ(layout.cancel, (symbols::Placement{575, 0, 60, 27}));
    EXPECT_EQ(layout.ok, (symbols::Placement{530, 0, 45, 27}));
    EXPECT_EQ(layout.edit, (symbols::Placement{66, 0, 464, 27}));
}

// ---- The bar on the fake -----------------------------------------------------------

// The fake's DPtoLP leaves points as they are, so a font's height is minus
// its pixel size.
struct DpiCase {
    std::uint32_t dpi;
    std::int32_t height;
    std::int32_t width;  // of the stored 423 units
    int logoResource;
    std::int32_t symbolFont;
    std::int32_t dataFont;
    std::int32_t dataTop;
    std::int32_t grip;
    std::int32_t clickTolerance;
};

class ScaledBar : public BarTest, public ::testing::WithParamInterface<DpiCase> {};

TEST_P(ScaledBar, SizesFollowTheMonitorsDpi) {
    const DpiCase& c = GetParam();
    fake.logPixelsY = static_cast<int>(c.dpi);
    Run([&] {
        EXPECT_EQ(window->dpi, c.dpi);
        EXPECT_EQ(fake.window(bar).rect, (Rect{0, 0, c.width, c.height}));
        EXPECT_EQ(window->logoSize, c.height);
        EXPECT_EQ(fake.CallsNamed("LoadImage").at(0).rfind("LoadImage(" + std::to_string(c.logoResource) + ", 0, " +
                                                               std::to_string(c.height) + ", " +
                                                               std::to_string(c.height) + ", 4128)",
                                                           0),
                  0u)
            << fake.CallsNamed("LoadImage").at(0);

        fake.fontsMade.clear();
        window->AddItemsFromList("IBM");
        ASSERT_EQ(fake.fontsMade.size(), 2u);
        EXPECT_EQ(fake.fontsMade[0].description.height, -c.symbolFont);
        EXPECT_EQ(fake.fontsMade[1].description.height, -c.dataFont);

        // The first step brings the ring in from the right; a few more show IBM.
        window->speed = 5;
        fake.textsDrawn.clear();
        for (int step = 0; step < 60; ++step) Timer(ticker::SCROLL_TIMER);
        bool dataSeen = false;
        for (const auto& text : fake.textsDrawn) {
            if (text.text.rfind("      ", 0) == 0 || text.text.find("      ") != std::string::npos) {
                EXPECT_EQ(text.y, c.dataTop) << text.text;
                dataSeen = true;
            }
        }
        EXPECT_TRUE(dataSeen);
        const std::vector<std::string> grips = fake.CallsNamed("Rectangle");
        ASSERT_GE(grips.size(), 2u);
        const std::string at = "Rectangle(" + fake.NameOf(window->windowDC.get()) + ", ";
        EXPECT_EQ(grips[grips.size() - 2].rfind(at + "0, 0, " + std::to_string(c.grip) + ", " +
                                                    std::to_string(c.height) + ",",
                                                0),
                  0u)
            << grips[grips.size() - 2];
        EXPECT_EQ(grips.back().rfind(at + std::to_string(c.width - c.grip) + ", 0, " + std::to_string(c.width) +
                                         ", " + std::to_string(c.height) + ",",
                                     0),
                  0u)
            << grips.back();

        // The grip zones are as wide as the painted grips.
        Mouse(kWmMouseMove, static_cast<std::int16_t>(c.grip), 2);
        EXPECT_EQ(fake.cursorShown, platform::kIdcSizeWe);
        Mouse(kWmMouseMove, static_cast<std::int16_t>(c.grip + 1), 2);
        EXPECT_EQ(fake.cursorShown, platform::kIdcArrow);
        Mouse(kWmMouseMove, static_cast<std::int16_t>(c.width - c.grip), 2);
        EXPECT_EQ(fake.cursorShown, platform::kIdcSizeWe);

        // A drag within the click tolerance still clicks; one pixel more moves.
        const std::int16_t middle = static_cast<std::int16_t>(c.width / 2);
        const std::int16_t tolerance = static_cast<std::int16_t>(c.clickTolerance);
        Mouse(kWmLButtonDown, middle, 2);
        Mouse(kWmMouseMove, static_cast<std::int16_t>(middle + tolerance), 2);
        EXPECT_FALSE(window->dragMoved);
        Mouse(kWmMouseMove, static_cast<std::int16_t>(middle + tolerance + 1), 2);
        EXPECT_TRUE(window->dragMoved);
        Mouse(kWmLButtonUp, static_cast<std::int16_t>(middle + tolerance + 1), 2);
    });
}

INSTANTIATE_TEST_SUITE_P(Dpis, ScaledBar,
                         ::testing::Values(DpiCase{96, 18, 423, 206, 16, 13, 1, 5, 2},
                                           DpiCase{120, 23, 529, 208, 20, 16, 1, 6, 3},
                                           DpiCase{144, 27, 635, 209, 24, 20, 2, 8, 3},
                                           DpiCase{192, 36, 846, 211, 32, 26, 2, 10, 4}),
                         [](const ::testing::TestParamInfo<DpiCase>& info) {
                             return "dpi" + std::to_string(info.param.dpi);
                         });

// Two monitors: the primary at 96 DPI with a task bar along its bottom, and
// a larger one right of it at 144 DPI with its own.
class TwoMonitors : public BarTest {
protected:
    void SetUp() override {
        BarTest::SetUp();
        fake.monitors = {{{0, 0, 1280, 1024}, {0, 0, 1280, 994}, 96}, {{1280, 0, 3200, 1080}, {1280, 0, 3200, 1040}, 144}};
    }
    void Store(std::int32_t top, std::int32_t left, std::int32_t right) {
        fake.SetDword(kSettingsKey, "Top", static_cast<std::uint32_t>(top));
        fake.SetDword(kSettingsKey, "Left", static_cast<std::uint32_t>(left));
        fake.SetDword(kSettingsKey, "Right", static_cast<std::uint32_t>(right));
    }
    // A drag of the bar by dx, dy from a press at client (50, 9).
    void Drag(std::int16_t dx, std::int16_t dy) {
        Mouse(kWmLButtonDown, 50, 9);
        Mouse(kWmMouseMove, static_cast<std::int16_t>(50 + dx), static_cast<std::int16_t>(9 + dy));
        Mouse(kWmLButtonUp, static_cast<std::int16_t>(50 + dx), static_cast<std::int16_t>(9 + dy));
    }
    Rect BarRect() { return fake.window(bar).rect; }
};

TEST_F(TwoMonitors, AStoredBarOnTheSecondMonitorStandsThereAtItsDpiAndSnapsToItsEdges) {
    Store(100, 1380, 1780);
    Run([&] {
        EXPECT_EQ(BarRect(), (Rect{1430, 150, 2030, 177})) << "100 units from the monitor's corner are 150 pixels";
        EXPECT_EQ(window->dpi, 144u);
        EXPECT_EQ(window->logoSize, 27);

        Drag(-140, -130);
        EXPECT_EQ(BarRect(), (Rect{1280, 0, 1880, 27})) << "to the second monitor's own top-left corner";
        Drag(0, 1000);
        EXPECT_EQ(BarRect(), (Rect{1280, 1013, 1880, 1040})) << "to the top of its task bar";
        Drag(1300, -500);
        EXPECT_EQ(BarRect(), (Rect{2600, 513, 3200, 540})) << "to its right edge";

        // The entry bar opens on the same monitor at its DPI: above the
        // ticker when the ticker is near that monitor's task bar.
        Drag(-1300, 500);
        EXPECT_EQ(BarRect(), (Rect{1280, 1013, 1880, 1040}));
        fake.activeWindow = bar;
        fake.templateRects[symbols::kEntryBarTemplate] = {0, 0, 470, 22};
        fake.templateControls[symbols::kEntryBarTemplate] = {{symbols::kEditField, ""},
                                                              {platform::kIdOk, "OK"},
                                                              {platform::kIdCancel, "Cancel"},
                                                              {symbols::kPromptControl, "Prompt:"}};
        fake.modalScripts[symbols::kEntryBarTemplate] = [&](FakePlatform& f, platform::WindowHandle entry) {
            EXPECT_EQ(f.window(entry).rect, (Rect{1280, 986, 1880, 1013}));
            EXPECT_EQ(f.window(f.GetDlgItem(entry, platform::kIdCancel)).rect, (Rect{540, 0, 600, 27}));
            EXPECT_EQ(f.window(f.GetDlgItem(entry, platform::kIdOk)).rect, (Rect{495, 0, 540, 27}));
            EXPECT_EQ(f.window(f.GetDlgItem(entry, symbols::kEditField)).title, window->symbols)
                << "the moves to another DPI keep the text";
            f.Send(entry, platform::kWmCommand, platform::kIdCancel, 0);
        };
        Command(ticker::command::kAddRemoveSymbols);
    });
    // Stored in 96-DPI units from the second monitor's corner.
    EXPECT_EQ(static_cast<std::int32_t>(Saved("Left")), 1280);
    EXPECT_EQ(static_cast<std::int32_t>(Saved("Right")), 1680);
    EXPECT_EQ(static_cast<std::int32_t>(Saved("Top")), 675);
}

TEST_F(TwoMonitors, ADragOntoTheOtherMonitorTakesItsDpi) {
    Store(100, 200, 700);
    Run([&] {
        window->AddItemsFromList("IBM");
        EXPECT_EQ(BarRect(), (Rect{200, 100, 700, 118}));
        EXPECT_EQ(window->dpi, 96u);
        fake.fontsMade.clear();
        const std::size_t loadsBefore = fake.CallsNamed("LoadImage").size();

        // Mostly over the second monitor: it snaps to that monitor's left
        // edge, and the platform tells it the new DPI with a suggested
        // rectangle, which it takes.
        Drag(1000, 0);
        EXPECT_EQ(window->dpi, 144u);
        EXPECT_EQ(BarRect(), (Rect{1280, 100, 2030, 127}));
        EXPECT_EQ(window->logoSize, 27);
        const std::vector<std::string> loads = fake.CallsNamed("LoadImage");
        ASSERT_EQ(loads.size(), loadsBefore + 1);
        EXPECT_EQ(loads.back().rfind("LoadImage(209, 0, 27, 27, 4128)", 0), 0u) << loads.back();
        ASSERT_EQ(fake.fontsMade.size(), 2u) << "a new pair of fonts for the new DPI";
        EXPECT_EQ(fake.fontsMade[0].description.height, -24);
        EXPECT_EQ(fake.fontsMade[1].description.height, -20);
        EXPECT_EQ(window->itemList.at(0)->fonts->symbolFont.get(), fake.fontsMade[0].font);

        // And back: the first monitor's DPI again, the old fonts gone.
        Drag(-1000, 0);
        EXPECT_EQ(window->dpi, 96u);
        EXPECT_EQ(BarRect().bottom - BarRect().top, 18);
        EXPECT_EQ(window->logoSize, 18);
        EXPECT_EQ(fake.LiveCounts()["font"], 2u) << "only the current pair lives";
        EXPECT_EQ(fake.LiveCounts()["bitmap"], 1u) << "only the current logo lives";
    });
}

TEST_F(TwoMonitors, ABarWhoseMonitorIsGoneStartsAtTheDefaultPlace) {
    // Stored on the second monitor; it has been unplugged since.
    Store(100, 1380, 1780);
    fake.monitors.resize(1);
    Run([&] {
        EXPECT_EQ(BarRect(), (Rect{805, 0, 1205, 18}));
        EXPECT_EQ(window->dpi, 96u);
    });
}

TEST_F(TwoMonitors, ABarWhoseMonitorGoesComesBackAndOneOnScreenStays) {
    Store(100, 1380, 1780);
    Run([&] {
        const Rect onSecond = BarRect();
        // A change that leaves the bar on screen moves nothing.
        const std::size_t movesBefore = fake.CallsNamed("MoveWindow").size();
        fake.Send(bar, platform::kWmDisplayChange, 32, 0);
        EXPECT_EQ(fake.CallsNamed("MoveWindow").size(), movesBefore);
        EXPECT_EQ(BarRect(), onSecond);

        // The second monitor goes: back to the default place on the
        // primary, at its DPI, as long as it was.
        fake.monitors.resize(1);
        fake.Send(bar, platform::kWmDisplayChange, 32, 0);
        EXPECT_EQ(BarRect(), (Rect{805, 0, 1205, 18}));
        EXPECT_EQ(window->dpi, 96u);
        EXPECT_EQ(window->logoSize, 18);
    });
}

TEST_F(TwoMonitors, ThePrimaryAtItsOwnDpiTakesTheDefaultPlace) {
    // No settings: the template's size, on the primary, 75 units from its right.
    fake.registry.clear();
    fake.monitors = {{{0, 0, 1920, 1080}, {0, 0, 1920, 1040}, 144}};
    fake.screenWidth = 1920;
    fake.templateRects[ticker::kTickerTemplate] = {0, 0, 635, 27};
    Run([&] {
        EXPECT_EQ(BarRect(), (Rect{1920 - 113 - 635, 0, 1920 - 113, 27}));
        EXPECT_EQ(window->dpi, 144u);
    });
}

}  // namespace
