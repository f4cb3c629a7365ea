#pragma once

#include <cstdint>

#include "ui/controls/PaintRun.h"
#include "ui/controls/PixelRect.h"

namespace arvestra {

// A slider lies along its long side: it is vertical when its height exceeds its width.
enum class SliderAxis : std::uint8_t { Horizontal, Vertical };

// The value range of a slider. Without inversion the minimum sits at the left end of a
// horizontal slider and at the top end of a vertical one.
struct SliderRange {
    int minimum = 0;
    int maximum = 0;
    bool inverted = false;  // true: the maximum sits at the left or top end
};

// Where the painted thumb can travel along the axis. The thumb is a square that spans the short
// side less one pixel on each side; its leading edge (left or top) moves from travelStart to
// travelStart + travelLength, so the whole thumb stays inside the body outline.
struct SliderTrack {
    SliderAxis axis = SliderAxis::Horizontal;
    int width = 0;
    int height = 0;
    int thumbSize = 0;     // side of the square thumb in pixels
    int crossStart = 0;    // first pixel of the thumb across the axis
    int travelStart = 0;   // leading edge of the thumb at the start end
    int travelLength = 0;  // pixels between the two end positions of the leading edge
};

struct SliderLookInput {
    int width = 0;
    int height = 0;
    SliderRange range;
    int position = 0;
    bool focused = false;
    bool enabled = true;
};

struct SliderLook {
    PixelRect thumb;    // the painted thumb
    PixelRect channel;  // the slot the thumb runs in
    PaintRuns runs;     // body, channel and thumb in painting order
};

// Vertical when height > width, else horizontal.
SliderAxis SliderAxisFor(int width, int height);

// The thumb's travel for a slider of this size.
SliderTrack ComputeSliderTrack(int width, int height);

// Leading edge (x or y) of the thumb for a position; out-of-range positions are clamped first.
int ThumbStartForPosition(const SliderTrack& track, const SliderRange& range, int position);

// The position whose thumb lies nearest to a leading edge; edges past the ends give the ends.
int PositionForThumbStart(const SliderTrack& track, const SliderRange& range, int thumbStart);

// The painted thumb whose leading edge is thumbStart.
PixelRect ThumbRectAt(const SliderTrack& track, int thumbStart);

// The 4-pixel slot along the centre line, 6 pixels in from each end; empty on tiny sliders.
PixelRect ChannelRect(int width, int height);

// Where a pointer at pointerAlong (x or y) lies against the thumb along the axis: -1 before it
// (towards the left or top end), +1 after it, 0 on it.
int SideOfThumb(const SliderTrack& track, const PixelRect& thumb, int pointerAlong);

// The whole picture of a slider in a given state.
SliderLook ComputeSliderLook(const SliderLookInput& input);

}  // namespace arvestra
