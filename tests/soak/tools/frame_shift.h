#pragma once
// How far the bar's picture moved left between two frames: the shift that
// makes the earlier frame match the later one best.
#include <stddef.h>
#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

typedef struct {
    int width;
    int height;
    uint32_t* pixels;  // row by row
} Frame;

// Columns left out at each end: the bar's grips do not move.
enum { kFrameShiftMargin = 6 };
// The largest shift looked for: a dozen scroll steps at the fastest speed.
enum { kFrameShiftMax = 64 };

// Makes `frame` width x height (contents undefined); 0 when out of memory.
int FrameResize(Frame* frame, int width, int height);
void FrameFree(Frame* frame);

// The shift in pixels (0..kFrameShiftMax) from `before` to `after`, or -1
// when it cannot be told: frames of different sizes, a picture without
// features that many shifts match equally well, or too much changed.
int FrameShift(const Frame* before, const Frame* after);

#ifdef __cplusplus
}
#endif
