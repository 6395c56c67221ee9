#include "frame_shift.h"

#include <stdlib.h>

// The best shift must leave no more than this share of pixels different
// (texts that changed between the frames), and every shift that is not its
// neighbour must do clearly worse, or the answer is a guess.
static const double kMostDifferent = 0.25;
static const double kClearlyWorse = 0.02;
// Fewer columns than this compared: too little to tell.
enum { kFewestColumns = 40 };

int FrameResize(Frame* frame, int width, int height) {
    const size_t count = (size_t)width * (size_t)height;
    if (frame->pixels == NULL || (size_t)frame->width * (size_t)frame->height != count) {
        uint32_t* pixels = realloc(frame->pixels, count > 0 ? count * sizeof *pixels : 1);
        if (pixels == NULL) return 0;
        frame->pixels = pixels;
    }
    frame->width = width;
    frame->height = height;
    return 1;
}

void FrameFree(Frame* frame) {
    free(frame->pixels);
    frame->pixels = NULL;
    frame->width = frame->height = 0;
}

// Share of differing pixels when after[x] is compared with before[x + shift].
static double Mismatch(const Frame* before, const Frame* after, int shift) {
    const int first = kFrameShiftMargin;
    const int end = after->width - kFrameShiftMargin - shift;
    size_t differ = 0, compared = 0;
    for (int y = 0; y < after->height; ++y) {
        const uint32_t* a = after->pixels + (size_t)y * (size_t)after->width;
        const uint32_t* b = before->pixels + (size_t)y * (size_t)before->width;
        for (int x = first; x < end; ++x) {
            differ += a[x] != b[x + shift];
            ++compared;
        }
    }
    return compared > 0 ? (double)differ / (double)compared : 1.0;
}

int FrameShift(const Frame* before, const Frame* after) {
    if (before->width != after->width || before->height != after->height || after->height <= 0) return -1;
    double scores[kFrameShiftMax + 1];
    int tried = 0;
    int best = -1;
    for (int shift = 0; shift <= kFrameShiftMax; ++shift) {
        if (after->width - 2 * kFrameShiftMargin - shift < kFewestColumns) break;
        scores[shift] = Mismatch(before, after, shift);
        if (best < 0 || scores[shift] < scores[best]) best = shift;
        tried = shift + 1;
    }
    if (best < 0 || scores[best] > kMostDifferent) return -1;
    for (int shift = 0; shift < tried; ++shift) {
        if (abs(shift - best) > 1 && scores[shift] <= scores[best] + kClearlyWorse) return -1;
    }
    return best;
}
