#include "ui/pages/ParametricEqPageGeometry.h"

#include <algorithm>

namespace arvestra {

namespace {

constexpr int kBandLeftDu = 31;
constexpr int kBandPitchDu = 48;
constexpr int kBandWidthDu = 46;

}  // namespace

ParametricBandPlaces ParametricBandPlacesOf(int band) {
    const int x = kBandLeftDu + std::clamp(band, 0, 9) * kBandPitchDu;
    ParametricBandPlaces places;
    places.caption = {x, 131, kBandWidthDu, 8};
    places.bypass = {x + 3, 140, kBandWidthDu - 6, 11};
    for (int i = 0; i < 3; ++i) {
        const auto k = static_cast<std::size_t>(i);
        places.sliders[k] = {x + 1 + 15 * i, 153, 14, 31};
        places.sliderCaptions[k] = {x + 1 + 15 * i, 184, 14, 8};
    }
    return places;
}

DotLimits ParametricDotLimits(const GraphRect& graph) {
    constexpr int kInset = 5;
    return {graph.left + kInset, graph.top + kInset, graph.right - kInset, graph.bottom - kInset};
}

}  // namespace arvestra
