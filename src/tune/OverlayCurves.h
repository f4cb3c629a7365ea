#pragma once

#include <span>
#include <vector>

#include "tune/Measurement.h"

namespace arvestra {

// What the EQ pages draw under their curve: the measured level at every grid frequency and the
// result the EQ would give (measured + EQ level). Both are NaN where the measurement does not
// reach, so nothing is drawn there.
struct OverlayCurves {
    std::vector<double> measuredDb;
    std::vector<double> resultDb;
};

OverlayCurves OverlayOnGrid(const Measurement& shown, std::span<const float> gridHz,
                            std::span<const double> eqDb);

}  // namespace arvestra
