// How far the bar's picture moved between two frames.
#include "frame_shift.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <random>
#include <vector>

namespace {

constexpr int kWidth = 423;
constexpr int kHeight = 18;
constexpr std::uint32_t kBackground = 0xF5F5F5;
constexpr std::uint32_t kGrip = 0x990099;

// A frame that owns its pixels.
struct OwnedFrame {
    std::vector<std::uint32_t> pixels;
    Frame frame{};

    OwnedFrame(int width, int height) : pixels(static_cast<std::size_t>(width) * height, kBackground) {
        frame = Frame{width, height, pixels.data()};
    }
    std::uint32_t& at(int x, int y) { return pixels[static_cast<std::size_t>(y) * frame.width + x]; }
};

// Text-like content: runs of ink on the background, from a seeded source.
// `column(x)` gives the content of column x of the ring; each frame shows a
// window of it.
using Ring = std::function<std::uint32_t(int x, int y)>;

Ring TextRing(unsigned seed) {
    auto ink = std::make_shared<std::vector<std::uint32_t>>();
    std::mt19937 random(seed);
    for (int i = 0; i < (kWidth + 200) * kHeight; ++i) {
        ink->push_back(random() % 3 == 0 ? (random() % 2 ? 0x006600 : 0xDD0000) : kBackground);
    }
    return [ink](int x, int y) { return (*ink)[static_cast<std::size_t>(y) * (kWidth + 200) + x]; };
}

// The bar showing the ring from `offset` on, with the grips at both ends.
OwnedFrame Show(const Ring& ring, int offset) {
    OwnedFrame shown(kWidth, kHeight);
    for (int y = 0; y < kHeight; ++y) {
        for (int x = 0; x < kWidth; ++x) {
            const bool grip = x < 5 || x >= kWidth - 5;
            shown.at(x, y) = grip ? kGrip : ring(x + offset, y);
        }
    }
    return shown;
}

struct ShiftCase {
    const char* name;
    std::function<int()> measure;  // FrameShift over the case's two frames
    int expected;
};

void PrintTo(const ShiftCase& c, std::ostream* out) { *out << c.name; }

class FrameShiftTest : public ::testing::TestWithParam<ShiftCase> {};

TEST_P(FrameShiftTest, TellsTheMoveOrThatItCannot) { EXPECT_EQ(GetParam().measure(), GetParam().expected); }

int Moved(int by) {
    const Ring ring = TextRing(7);
    OwnedFrame before = Show(ring, 20);
    OwnedFrame after = Show(ring, 20 + by);
    return FrameShift(&before.frame, &after.frame);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, FrameShiftTest,
    ::testing::Values(
        ShiftCase{"still", [] { return Moved(0); }, 0},
        ShiftCase{"one pixel", [] { return Moved(1); }, 1},
        ShiftCase{"one step at full speed", [] { return Moved(5); }, 5},
        ShiftCase{"three steps merged", [] { return Moved(15); }, 15},
        ShiftCase{"the largest move looked for", [] { return Moved(kFrameShiftMax); }, kFrameShiftMax},
        ShiftCase{"beyond the search range", [] { return Moved(kFrameShiftMax + 40); }, -1},
        ShiftCase{"a tenth of the pixels changed as well",
                  [] {
                      const Ring ring = TextRing(3);
                      OwnedFrame before = Show(ring, 0);
                      OwnedFrame after = Show(ring, 5);
                      for (int x = 100; x < 140; ++x) {
                          for (int y = 0; y < kHeight; ++y) after.at(x, y) = 0x0000CC;
                      }
                      return FrameShift(&before.frame, &after.frame);
                  },
                  5},
        ShiftCase{"everything changed",
                  [] {
                      OwnedFrame before = Show(TextRing(1), 0);
                      OwnedFrame after = Show(TextRing(2), 0);
                      return FrameShift(&before.frame, &after.frame);
                  },
                  -1},
        ShiftCase{"an empty bar matches every shift",
                  [] {
                      OwnedFrame before = Show([](int, int) { return kBackground; }, 0);
                      OwnedFrame after = Show([](int, int) { return kBackground; }, 0);
                      return FrameShift(&before.frame, &after.frame);
                  },
                  -1},
        ShiftCase{"a pattern that repeats every 10 pixels",
                  [] {
                      const Ring stripes = [](int x, int) { return x % 10 < 3 ? 0x006600u : kBackground; };
                      OwnedFrame before = Show(stripes, 0);
                      OwnedFrame after = Show(stripes, 4);
                      return FrameShift(&before.frame, &after.frame);
                  },
                  -1},
        ShiftCase{"frames of different sizes",
                  [] {
                      OwnedFrame before = Show(TextRing(4), 0);
                      OwnedFrame after(kWidth - 1, kHeight);
                      return FrameShift(&before.frame, &after.frame);
                  },
                  -1},
        ShiftCase{"a frame too narrow to compare",
                  [] {
                      OwnedFrame before(30, kHeight);
                      OwnedFrame after(30, kHeight);
                      before.at(10, 3) = 0x006600;
                      after.at(10, 3) = 0x006600;
                      return FrameShift(&before.frame, &after.frame);
                  },
                  -1}),
    [](const ::testing::TestParamInfo<ShiftCase>& info) {
        std::string name;
        for (const char* c = info.param.name; *c != '\0'; ++c) name += std::isalnum(static_cast<unsigned char>(*c)) ? *c : '_';
        return name;
    });

TEST(FrameResize, KeepsTheBufferForTheSameSizeAndFreesIt) {
    Frame frame{};
    ASSERT_EQ(FrameResize(&frame, kWidth, kHeight), 1);
    std::uint32_t* first = frame.pixels;
    ASSERT_EQ(FrameResize(&frame, kHeight, kWidth), 1);  // same count, other shape
    EXPECT_EQ(frame.pixels, first);
    EXPECT_EQ(frame.width, kHeight);
    ASSERT_EQ(FrameResize(&frame, 2 * kWidth, kHeight), 1);
    EXPECT_EQ(frame.width, 2 * kWidth);
    frame.pixels[2 * kWidth * kHeight - 1] = 1;  // the whole new size is there
    FrameFree(&frame);
    EXPECT_EQ(frame.pixels, nullptr);
    EXPECT_EQ(frame.width, 0);
}

}  // namespace
