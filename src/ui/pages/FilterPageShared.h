#pragma once

#include <array>

#include "model/FilterResponse.h"
#include "ui/pages/MeasurementOverlay.h"

namespace arvestra {

// What the graphic and the parametric EQ page of one view have in common: the channel whose
// output the graphs show, whether the response curve is drawn, and the response itself (its
// frequency grid, the per-channel curves and the combined levels) and the measurement shown
// under each output's curve. The first EQ page made under
// a view creates it; the other finds it there.
struct FilterPageShared {
    int displayedChannel = 0;  // 0 shows the path of output 1, 1 that of output 2
    bool curveSwitch = true;   // false: neither page recomputes nor draws the curve
    FilterResponse response;   // grid with 3 extra points per step until changed
    int gridGeneration = 0;    // counts grid rebuilds, so each page knows to redo its pixels
    // The measurement shown under each output's curve, restored from the settings at start.
    std::array<MeasurementOverlay, 2> overlays = RestoreMeasurementOverlays();
};

}  // namespace arvestra
