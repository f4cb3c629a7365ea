// Geometry of the parametric EQ page as plain functions: where each band's caption, "Bypass"
// button and three sliders stand, and the range a band's dot may be dragged in.
#pragma once

#include <array>

#include "model/GraphMapping.h"
#include "ui/dialogs/DialogUnits.h"
#include "ui/pages/FilterPageGeometry.h"

namespace arvestra {

// What the mouse is doing on the page: nothing, or dragging one band's dot.
enum class ParametricEqDrag { Idle, Dragging };

// The graph (+20.1 to -50.5 dB), its grid and captions every 10 dB.
inline constexpr EqPageTraits kParametricEqTraits{10,   kParametricEqGraph,    10.0,
                                                  10.0, CurveKind::Parametric, 1};

// Per band a caption, a "Bypass" button and three sliders (frequency, bandwidth, gain) with
// their captions.
struct ParametricBandPlaces {
    DialogRect caption;
    DialogRect bypass;
    std::array<DialogRect, 3> sliders;
    std::array<DialogRect, 3> sliderCaptions;
};
ParametricBandPlaces ParametricBandPlacesOf(int band);

// The range a dot centre may take, the graph inset by 5 pixels.
struct DotLimits {
    int left;
    int top;
    int right;
    int bottom;
};
DotLimits ParametricDotLimits(const GraphRect& graph);

}  // namespace arvestra
