#pragma once

#include <vector>

#include "ui/controls/PaintRun.h"
#include "ui/controls/PixelRect.h"

namespace arvestra {

struct ButtonLookInput {
    int width = 0;
    int height = 0;
    bool pressed = false;  // shown pressed (held momentary button or latched button)
    bool focused = false;  // has the keyboard focus
    bool enabled = true;
};

struct ButtonLook {
    PaintRuns runs;       // face, black outline and bevel, in painting order
    PixelRect focusRect;  // dotted focus rectangle; empty when the button has no focus
    PixelRect textRect;   // the label is centred in here
    PixelRect textClip;   // the label never paints outside this (the face inside the bevel)
};

// The picture of a colour button of the given size: a face inside a black outline, raised
// (light top-left, dark inner bottom-right) or pressed (dark inner top-left, light outer
// bottom-right), a focus rectangle 3 pixels inside, and the label shifted 1 pixel right and
// down while pressed.
ButtonLook ComputeButtonLook(const ButtonLookInput& input);

// The pixels of a dotted focus rectangle: every other pixel of its edges, in a checkerboard
// pattern anchored at its top-left corner, so the dots look the same at any position.
std::vector<PixelPoint> FocusDots(const PixelRect& rect);

}  // namespace arvestra
