// The left mouse button: grips and cursors, moving, resizing, snapping to
// the screen's edges, and clicks on items and the logo.
#include <chrono>
#include <optional>
#include <string>
#include <vector>

#include "quotes/endpoints.h"
#include "tests/unit/bar_fixture.h"
#include "ticker/drag.h"

namespace platform {
inline void PrintTo(const Rect& r, std::ostream* out) {
    *out << "{" << r.left << ", " << r.top << ", " << r.right << ", " << r.bottom << "}";
}
}  // namespace platform

namespace {

using bar_test::BarTest;
using platform::Rect;
using platform::fake::FakePlatform;
using platform::kWmLButtonDown;
using platform::kWmLButtonUp;
using platform::kWmMouseMove;
using ticker::Grip;
namespace command = ticker::command;

// ---- Decisions ---------------------------------------------------------------

TEST(Drag, GripZones) {
    struct Case {
        std::int16_t x;
        std::int32_t clientRight;
        Grip grip;
    };
    const Case cases[] = {
        {5, 423, Grip::Left},     {6, 423, Grip::None},   {0, 423, Grip::Left},    {-40, 423, Grip::Left},
        {417, 423, Grip::None},   {418, 423, Grip::Right}, {423, 423, Grip::Right}, {32767, 423, Grip::Right},
        {5, 10, Grip::Left},      {6, 10, Grip::Right},   {5, 11, Grip::Left},     {6, 12, Grip::None},
        {4, 8, Grip::Left},  // in both zones: the left grip is tested first
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ticker::GripAt(c.x, c.clientRight), c.grip) << c.x << " on a bar " << c.clientRight << " wide";
    }
}

TEST(Drag, DeltasAreSixteenBitAndTheToleranceIsTwoPixels) {
    struct Case {
        std::int16_t pointer;
        std::int16_t origin;
        std::int16_t delta;
    };
    const Case cases[] = {{53, 50, 3}, {48, 50, -2}, {-5, 10, -15}, {-32768, 1, 32767}, {32767, -1, -32768}};
    for (const Case& c : cases) EXPECT_EQ(ticker::DragDelta(c.pointer, c.origin), c.delta) << c.pointer;

    struct Tolerance {
        std::int16_t dx;
        std::int16_t dy;
        bool beyond;
    };
    const Tolerance tolerances[] = {{0, 0, false}, {2, 2, false},  {-2, -2, false}, {3, 0, true},
                                    {0, -3, true}, {-3, 1, true}, {-32768, 0, true}};
    for (const Tolerance& t : tolerances) {
        EXPECT_EQ(ticker::BeyondClickTolerance(t.dx, t.dy), t.beyond) << t.dx << ", " << t.dy;
    }
}

TEST(Drag, ResizesKeepTheBarWiderThanOneHundredPixels) {
    const Rect bar{100, 40, 300, 58};
    struct Case {
        const char* name;
        std::optional<Rect> resized;
        std::optional<Rect> expected;
    };
    const Case cases[] = {
        {"left grip outwards", ticker::ResizedLeft(bar, -10), Rect{90, 40, 300, 58}},
        {"left grip to 101 wide", ticker::ResizedLeft(bar, 99), Rect{199, 40, 300, 58}},
        {"left grip to 100 wide", ticker::ResizedLeft(bar, 100), std::nullopt},
        {"left grip past the right edge", ticker::ResizedLeft(bar, 300), std::nullopt},
        {"right edge jumps to the pointer", ticker::ResizedRight(bar, 196, 0), Rect{100, 40, 296, 58}},
        {"right grip outwards", ticker::ResizedRight(bar, 198, 50), Rect{100, 40, 348, 58}},
        {"right grip to 101 wide", ticker::ResizedRight(bar, 198, -97), Rect{100, 40, 201, 58}},
        {"right grip to 100 wide", ticker::ResizedRight(bar, 198, -98), std::nullopt},
        {"right grip left of the left edge", ticker::ResizedRight(bar, 198, -400), std::nullopt},
    };
    for (const Case& c : cases) {
        ASSERT_EQ(c.resized.has_value(), c.expected.has_value()) << c.name;
        if (c.expected) {
            EXPECT_EQ(*c.resized, *c.expected) << c.name;
        }
    }
    EXPECT_EQ(ticker::MovedBy(bar, -7, 3), (Rect{93, 43, 293, 61}));
}

TEST(SnapToEdges, PullsToTheEdgesWithinTheBarsHeight) {
    const Rect screen{0, 0, 1280, 1024};
    struct Case {
        const char* name;
        Rect workArea;
        Rect before;
        Rect after;
    };
    const Case cases[] = {
        {"far from every edge", screen, {200, 300, 600, 318}, {200, 300, 600, 318}},
        {"top 10 snaps to 0", screen, {200, 10, 600, 28}, {200, 0, 600, 18}},
        {"top -5 snaps to 0", screen, {200, -5, 600, 13}, {200, 0, 600, 18}},
        {"top 17 snaps", screen, {200, 17, 600, 35}, {200, 0, 600, 18}},
        {"top 18 stays", screen, {200, 18, 600, 36}, {200, 18, 600, 36}},
        {"bottom within its height snaps down", screen, {200, 990, 600, 1008}, {200, 1006, 600, 1024}},
        {"bottom exactly its height away stays", screen, {200, 988, 600, 1006}, {200, 988, 600, 1006}},
        {"left 17 snaps to 0", screen, {17, 300, 417, 318}, {0, 300, 400, 318}},
        {"left 18 stays", screen, {18, 300, 418, 318}, {18, 300, 418, 318}},
        {"partly off the left snaps to 0", screen, {-100, 300, 300, 318}, {0, 300, 400, 318}},
        {"right within its height snaps", screen, {863, 300, 1263, 318}, {880, 300, 1280, 318}},
        {"right exactly its height away stays", screen, {862, 300, 1262, 318}, {862, 300, 1262, 318}},
        {"corner: both axes", screen, {1, 1, 401, 19}, {0, 0, 400, 18}},
        {"wholly left of the screen", screen, {-400, 10, 0, 28}, {-400, 10, 0, 28}},
        {"wholly above the screen", screen, {10, -18, 410, 0}, {10, -18, 410, 0}},
        {"wholly right of the work area", screen, {1280, 10, 1680, 28}, {1280, 10, 1680, 28}},
        {"wholly below the work area", screen, {10, 1024, 410, 1042}, {10, 1024, 410, 1042}},
        {"task bar at the bottom: stops at it", {0, 0, 1280, 994}, {200, 970, 600, 988}, {200, 976, 600, 994}},
        {"task bar at the right: stops at it", {0, 0, 1200, 1024}, {790, 300, 1190, 318}, {800, 300, 1200, 318}},
        {"task bar at the top: still to 0", {0, 30, 1280, 1024}, {200, 10, 600, 28}, {200, 0, 600, 18}},
        {"task bar at the left: still to 0", {60, 0, 1280, 1024}, {70, 300, 470, 318}, {70, 300, 470, 318}},
        {"task bar at the left, near 0", {60, 0, 1280, 1024}, {10, 300, 410, 318}, {0, 300, 400, 318}},
        {"a tall bar snaps from further", screen, {200, 40, 600, 90}, {200, 0, 600, 50}},
    };
    for (const Case& c : cases) EXPECT_EQ(ticker::SnapToEdges(c.before, c.workArea), c.after) << c.name;
}

// ---- The handler ---------------------------------------------------------------

// The bar stands at kPlace, away from every edge.
constexpr Rect kPlace{200, 300, 623, 318};
constexpr std::int32_t kClientRight = 423;

class MouseTest : public BarTest {
protected:
    void PlaceBar(const Rect& rect = kPlace) { fake.window(bar).rect = rect; }
    Rect BarRect() { return fake.window(bar).rect; }
    std::vector<std::string> MovesSince(std::size_t from) const {
        std::vector<std::string> moves;
        for (const std::string& call : CallsSince(from)) {
            if (call.rfind("MoveWindow(", 0) == 0 || call.rfind("InvalidateRect(", 0) == 0) moves.push_back(call);
        }
        return moves;
    }
};

TEST_F(MouseTest, ThePointerChoosesCursorAndGripUntilAPressHoldsThem) {
    struct Case {
        std::int16_t x;
        bool left;
        bool right;
        int cursor;
    };
    const Case cases[] = {
        {5, true, false, platform::kIdcSizeWe},    {6, false, false, platform::kIdcArrow},
        {200, false, false, platform::kIdcArrow},  {417, false, false, platform::kIdcArrow},
        {418, false, true, platform::kIdcSizeWe},  {-3, true, false, platform::kIdcSizeWe},
    };
    Run([&] {
        PlaceBar();
        for (const Case& c : cases) {
            // Moving over the bar: the cursor follows, nothing moves.
            const std::size_t from = fake.Calls().size();
            EXPECT_EQ(Mouse(kWmMouseMove, c.x), 1);
            EXPECT_EQ(fake.cursorShown, c.cursor) << c.x;
            EXPECT_EQ(window->resizingLeft, c.left) << c.x;
            EXPECT_EQ(window->resizingRight, c.right) << c.x;
            EXPECT_TRUE(MovesSince(from).empty()) << c.x;

            // A press keeps them for the drag, wherever the pointer goes.
            Mouse(kWmLButtonDown, c.x, 7);
            EXPECT_TRUE(window->dragging);
            EXPECT_FALSE(window->dragMoved);
            EXPECT_EQ(fake.capture, bar);
            EXPECT_EQ(window->dragOrigin.x, c.x);
            EXPECT_EQ(window->dragOrigin.y, 7);
            fake.window(bar).rect = kPlace;
            Mouse(kWmMouseMove, 200, 7);
            EXPECT_EQ(window->resizingLeft, c.left) << c.x;
            EXPECT_EQ(window->resizingRight, c.right) << c.x;
            EXPECT_EQ(fake.cursorShown, c.cursor) << c.x;

            Mouse(kWmLButtonUp, 200, 7);
            EXPECT_FALSE(window->dragging);
            EXPECT_EQ(fake.capture, nullptr);
            EXPECT_FALSE(window->resizingLeft || window->resizingRight) << "cleared at every release";
        }
    });
}

struct DragCase {
    const char* name;
    bool snapping;
    std::int16_t pressX;
    std::vector<std::pair<std::int16_t, std::int16_t>> steps;  // client points of the moves
    Rect after;
    bool moved;  // dragMoved at the end
};

class Dragging : public MouseTest, public ::testing::WithParamInterface<DragCase> {};

TEST_P(Dragging, MovesOrResizesTheBar) {
    const DragCase& c = GetParam();
    Run([&] {
        PlaceBar();
        window->snapping = c.snapping;
        const std::size_t saves = Saves();
        Mouse(kWmLButtonDown, c.pressX);
        for (const auto& [x, y] : c.steps) Mouse(kWmMouseMove, x, y);
        EXPECT_EQ(BarRect(), c.after);
        EXPECT_EQ(window->dragMoved, c.moved);
        Mouse(kWmLButtonUp, c.steps.empty() ? c.pressX : c.steps.back().first);
        EXPECT_EQ(Saves(), saves) << "a drag saves nothing by itself";
    });
}

INSTANTIATE_TEST_SUITE_P(
    Table, Dragging,
    ::testing::Values(
        // In a move the bar follows the pointer: the pointer keeps its client
        // point, and each step is the movement since the last.
        DragCase{"move", false, 50, {{60, 9}, {40, 2}}, {200, 293, 623, 311}, true},
        DragCase{"small steps move the bar but stay a click", false, 50, {{52, 9}, {52, 11}, {48, 7}},
                 {202, 300, 625, 318}, false},
        DragCase{"one step of three makes it a move", false, 50, {{51, 9}, {53, 9}}, {204, 300, 627, 318}, true},
        DragCase{"a step of three upwards too", false, 50, {{50, 6}}, {200, 297, 623, 315}, true},
        DragCase{"left grip outwards", false, 3, {{-7, 9}, {-7, 9}}, {180, 300, 623, 318}, true},
        DragCase{"left grip to 101 wide", false, 3, {{325, 9}}, {522, 300, 623, 318}, true},
        DragCase{"left grip to 100 wide is ignored", false, 3, {{326, 9}}, kPlace, true},
        DragCase{"left grip resumes once back in range", false, 3, {{400, 9}, {200, 9}}, {397, 300, 623, 318},
                 true},
        DragCase{"right grip follows the pointer", false, 420, {{500, 9}}, {200, 300, 700, 318}, true},
        DragCase{"right edge jumps to the pointer pressed left of it", false, 418, {{419, 9}},
                 {200, 300, 619, 318}, false},
        DragCase{"right grip to 101 wide", false, 420, {{101, 9}}, {200, 300, 301, 318}, true},
        DragCase{"right grip to 100 wide is ignored", false, 420, {{100, 9}}, kPlace, true},
        DragCase{"a move with snapping pulls to the top", true, 50, {{50, -281}}, {200, 0, 623, 18}, true},
        DragCase{"a move with snapping pulls to the right", true, 50, {{700, 9}}, {857, 300, 1280, 318}, true},
        DragCase{"a move wholly off the left does not snap", true, 50, {{-573, 9}}, {-423, 300, 0, 318}, true},
        DragCase{"without snapping the top stays", false, 50, {{50, -281}}, {200, 10, 623, 28}, true},
        DragCase{"a resize never snaps", true, 3, {{-183, 9}}, {14, 300, 623, 318}, true}),
    [](const ::testing::TestParamInfo<DragCase>& info) { return "case" + std::to_string(info.index); });

TEST_F(MouseTest, AResizeRepaintsTheOldRightGripAndAMoveDoesNot) {
    Run([&] {
        PlaceBar();
        std::size_t from = fake.Calls().size();
        Mouse(kWmLButtonDown, 3);
        Mouse(kWmMouseMove, -7);
        EXPECT_EQ(MovesSince(from), (std::vector<std::string>{"MoveWindow(w1, 190, 300, 433, 18, repaint)",
                                                             "InvalidateRect(w1, 418, 0, 423, 18, erase)"}));
        // The strip is where the grip stood before this step's resize.
        from = fake.Calls().size();
        Mouse(kWmMouseMove, -7);
        EXPECT_EQ(MovesSince(from), (std::vector<std::string>{"MoveWindow(w1, 180, 300, 443, 18, repaint)",
                                                             "InvalidateRect(w1, 428, 0, 433, 18, erase)"}));
        from = fake.Calls().size();
        Mouse(kWmMouseMove, 400);  // too narrow: neither move nor repaint
        EXPECT_TRUE(MovesSince(from).empty());
        Mouse(kWmLButtonUp, 400);

        from = fake.Calls().size();
        Mouse(kWmLButtonDown, 50);
        Mouse(kWmMouseMove, 60);
        EXPECT_EQ(MovesSince(from), std::vector<std::string>{"MoveWindow(w1, 190, 300, 443, 18, repaint)"});
        Mouse(kWmLButtonUp, 60);
    });
}

// ---- A drag without the mouse ------------------------------------------------------

// How the bar loses the mouse in the middle of a drag, its release going
// elsewhere.
struct LossCase {
    const char* name;
    std::int16_t pressX;  // on the left grip, in the middle, on the right grip
    enum class Loss { RightPress, OtherWindow, MoveWithoutButton } loss;
};

class LosingTheMouse : public MouseTest, public ::testing::WithParamInterface<LossCase> {
protected:
    void Lose(LossCase::Loss loss) {
        switch (loss) {
        case LossCase::Loss::RightPress:
            // The menu takes the mouse and swallows the left release.
            Mouse(platform::kWmRButtonDown, 200);
            break;
        case LossCase::Loss::OtherWindow:
            // A switch to another program, a locked screen.
            fake.SetCapture(fake.AddWindow("Other"));
            break;
        case LossCase::Loss::MoveWithoutButton:
            // The release was lost on the way, and nothing said so.
            break;
        }
        LeftUpElsewhere();
    }
};

TEST_P(LosingTheMouse, EndsTheDragWithoutAClickAndTheNextPressDecidesAfresh) {
    const LossCase& c = GetParam();
    Run([&] {
        PlaceBar();
        window->AddItemsFromList("IBM");
        window->itemList[0]->x = 0;
        window->itemList[0]->width = 423;  // under every press
        Mouse(kWmLButtonDown, c.pressX);
        Lose(c.loss);

        // The pointer wanders with no button held: the bar stays put.
        Mouse(kWmMouseMove, c.pressX + 40, 30);
        Mouse(kWmMouseMove, 200, -50);
        EXPECT_EQ(BarRect(), kPlace) << c.name;
        EXPECT_FALSE(window->dragging) << c.name;
        EXPECT_NE(fake.capture, bar) << c.name;
        EXPECT_TRUE(fake.opened.empty()) << c.name << ": the lost release clicks nothing";
        EXPECT_FALSE(window->resizingLeft || window->resizingRight) << c.name << ": the grips follow the pointer";

        // A press in the middle moves the bar, whatever the first press was on.
        Mouse(kWmLButtonDown, 200);
        Mouse(kWmMouseMove, 210, 12);
        EXPECT_EQ(BarRect(), (Rect{210, 303, 633, 321})) << c.name;
        Mouse(kWmLButtonUp, 210, 12);
        EXPECT_TRUE(fake.opened.empty()) << c.name;
    });
}

INSTANTIATE_TEST_SUITE_P(Table, LosingTheMouse,
                         ::testing::Values(LossCase{"right press, middle", 200, LossCase::Loss::RightPress},
                                           LossCase{"right press, left grip", 3, LossCase::Loss::RightPress},
                                           LossCase{"right press, right grip", 420, LossCase::Loss::RightPress},
                                           LossCase{"other window, middle", 200, LossCase::Loss::OtherWindow},
                                           LossCase{"other window, left grip", 3, LossCase::Loss::OtherWindow},
                                           LossCase{"move without button, middle", 200,
                                                    LossCase::Loss::MoveWithoutButton},
                                           LossCase{"move without button, right grip", 420,
                                                    LossCase::Loss::MoveWithoutButton}),
                         [](const ::testing::TestParamInfo<LossCase>& info) {
                             return "case" + std::to_string(info.index);
                         });

TEST_F(MouseTest, ReleasingTheMouseAtTheEndOfADragKeepsItsResize) {
    // Releasing the capture itself tells the bar that it lost the mouse; the
    // release that ends a resize still clicks nothing.
    Run([&] {
        PlaceBar();
        window->AddItemsFromList("IBM");
        window->itemList[0]->x = 0;
        window->itemList[0]->width = 423;
        for (const std::int16_t grip : {std::int16_t{3}, std::int16_t{420}}) {
            Mouse(kWmLButtonDown, grip);
            Mouse(kWmLButtonUp, grip);
            EXPECT_TRUE(fake.opened.empty()) << grip;
        }
    });
}

// ---- Clicks --------------------------------------------------------------------

class Clicking : public MouseTest {
protected:
    void SetUpItems() {
        window->AddItemsFromList("IBM, News<news.test/today>, MSFT");
        Place(0, 100, 70);
        Place(1, 150, 70);  // overlaps IBM from 150 to 170
        Place(2, 300, 50);
        window->itemList[0]->last = 10.5;  // quoted; MSFT has no price yet
        window->logoX = 20;
    }
    void Place(std::size_t index, std::int32_t x, std::int32_t width) {
        window->itemList[index]->x = x;
        window->itemList[index]->width = width;
    }
    // Press and release at x; what the shell was asked to open.
    std::vector<std::string> ClickAt(std::int16_t x, std::int16_t y = 9) {
        const std::size_t opened = fake.opened.size();
        Mouse(kWmLButtonDown, x, y);
        Mouse(kWmLButtonUp, x, y);
        return {fake.opened.begin() + static_cast<std::ptrdiff_t>(opened), fake.opened.end()};
    }
};

TEST_F(Clicking, OpensThePageOfTheFirstItemStrictlyUnderThePointerOrTheHomeSite) {
    const std::string site = quotes::HomeSite();
    const std::string ibm = site + "/orvo.html?s=IBM&v=5.6&ban=21";
    const std::string news = site + "/orvo.html?url=http://news.test/today&v=5.6&ban=21";
    const std::string msft = site + "/orvo.html?url=" + site + "&v=5.6&ban=21";
    struct Case {
        std::int16_t x;
        std::vector<std::string> opened;
    };
    const Case cases[] = {
        {100, {}},        {101, {ibm}},     {160, {ibm}},  // overlap: the earlier item wins
        {169, {ibm}},     {170, {news}},    {219, {news}},  {220, {}},      {301, {msft}},
        {20, {}},         {21, {site}},     {37, {site}},   {38, {}},       {400, {}},
    };
    Run([&] {
        PlaceBar();
        SetUpItems();
        for (const Case& c : cases) EXPECT_EQ(ClickAt(c.x), c.opened) << c.x;
    });
}

TEST_F(Clicking, TheReleasePointDecidesAndYIsNotLookedAt) {
    Run([&] {
        PlaceBar();
        SetUpItems();
        Mouse(kWmLButtonDown, 50);
        Mouse(kWmMouseMove, 52);  // the bar moves 2 pixels; still a click
        EXPECT_TRUE(fake.opened.empty());
        Mouse(kWmLButtonUp, 120, -300);
        ASSERT_EQ(fake.opened.size(), 1u);
        EXPECT_NE(fake.opened[0].find("s=IBM"), std::string::npos);
    });
}

TEST_F(Clicking, TheClickedLabelShowsInBlack) {
    Run([&] {
        PlaceBar();
        SetUpItems();
        ClickAt(120);
        const auto& drawn = fake.textsDrawn.back();
        EXPECT_EQ(drawn.text, "IBM");
        EXPECT_EQ(drawn.x, 100);
        EXPECT_EQ(drawn.y, 0);
        EXPECT_EQ(drawn.color, 0u);
        EXPECT_EQ(drawn.font, window->itemList[0]->fonts->symbolFont.get());
    });
}

TEST_F(Clicking, NoClickAfterAMoveOrAResizeAndNoneOnAnEmptyEntry) {
    Run([&] {
        PlaceBar();
        SetUpItems();
        window->itemList.insert(window->itemList.begin(), nullptr);
        EXPECT_EQ(ClickAt(120).size(), 1u) << "the empty entry is skipped";

        Mouse(kWmLButtonDown, 120);
        Mouse(kWmMouseMove, 123);
        Mouse(kWmLButtonUp, 123);
        EXPECT_EQ(fake.opened.size(), 1u) << "a drag of three pixels clicks nothing";

        // On a grip, with no movement at all.
        for (const std::int16_t grip : {std::int16_t{3}, std::int16_t{420}}) {
            PlaceBar();
            Place(1, 0, 500);  // an item under both grips
            EXPECT_TRUE(ClickAt(grip).empty()) << grip;
        }
    });
}

TEST_F(Clicking, OnlyAReleaseThatEndsAPressOnTheBarClicks) {
    Run([&] {
        PlaceBar();
        SetUpItems();
        // A press elsewhere, released over the bar.
        Mouse(kWmLButtonUp, 120);
        EXPECT_TRUE(fake.opened.empty());
        EXPECT_EQ(fake.CallsNamed("ReleaseCapture").size(), 1u);
        // A double-click: the second press comes as WM_LBUTTONDBLCLK, which
        // the bar does not handle; its release clicks nothing more.
        constexpr std::uint32_t kWmLButtonDblClk = 0x0203;
        EXPECT_EQ(ClickAt(120).size(), 1u);
        EXPECT_EQ(Mouse(kWmLButtonDblClk, 120), 0);
        Mouse(kWmLButtonUp, 120);
        EXPECT_EQ(fake.opened.size(), 1u);
    });
}

// ---- The snapping command ---------------------------------------------------------

TEST_F(MouseTest, SnappingCommandTogglesSnapsWhenTurnedOnAndSavesEitherWay) {
    struct Case {
        const char* name;
        bool before;
        Rect place;
        Rect after;
        bool moveCalled;
    };
    const Case cases[] = {
        {"off leaves the bar near the edge", true, {200, 10, 623, 28}, {200, 10, 623, 28}, false},
        {"on snaps at once", false, {200, 10, 623, 28}, {200, 0, 623, 18}, true},
        {"on far from the edges moves it where it is", false, kPlace, kPlace, true},
    };
    Run([&] {
        for (const Case& c : cases) {
            window->snapping = c.before;
            PlaceBar(c.place);
            const std::size_t saves = Saves();
            const std::size_t from = fake.Calls().size();
            EXPECT_EQ(Command(command::kSnapping), 1);
            EXPECT_EQ(window->snapping, !c.before) << c.name;
            EXPECT_EQ(BarRect(), c.after) << c.name;
            EXPECT_EQ(!MovesSince(from).empty(), c.moveCalled) << c.name;
            EXPECT_EQ(Saves(), saves + 1) << c.name;
            EXPECT_EQ(Saved("Snapping"), c.before ? 0u : 1u) << c.name;
            EXPECT_EQ(Saved("Top"), static_cast<std::uint32_t>(c.after.top)) << c.name;
        }
    });
}

}  // namespace
