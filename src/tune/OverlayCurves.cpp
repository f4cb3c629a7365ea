#include "tune/OverlayCurves.h"

#include <limits>

namespace arvestra {

OverlayCurves OverlayOnGrid(const Measurement& shown, std::span<const float> gridHz,
                            std::span<const double> eqDb) {
    constexpr double kNone = std::numeric_limits<double>::quiet_NaN();
    OverlayCurves curves;
    curves.measuredDb.assign(gridHz.size(), kNone);
    curves.resultDb.assign(gridHz.size(), kNone);
    for (std::size_t i = 0; i < gridHz.size(); ++i) {
        const double hz = gridHz[i];
        if (shown.Empty() || hz < shown.LowestHz() || hz > shown.HighestHz()) continue;
        curves.measuredDb[i] = shown.LevelAt(hz);
        if (i < eqDb.size()) curves.resultDb[i] = curves.measuredDb[i] + eqDb[i];
    }
    return curves;
}

}  // namespace arvestra
