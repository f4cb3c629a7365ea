#include "ui/view/StripValues.h"

#include <algorithm>

#include "model/ValueFormat.h"

namespace arvestra {

double LevelDecibels(int code) {
    return (code - kLevelCodeMin) * 0.5 - 20.0;
}

std::string LevelText(int code) {
    return FormatDecibels(LevelDecibels(code));
}

int ReductionMeterPosition(int reduction) {
    return std::clamp(kReductionMeterMax - reduction, 0, kReductionMeterMax);
}

std::array<int, 8> MeterPositions(const MeterReadings& r) {
    return {
        r.levelA,                                 // 1127 Ch 1 input
        r.levelB,                                 // 1128 Ch 2 input
        r.level2A,                                // 1129 Ch 1 output
        r.level2B,                                // 1130 Ch 2 output
        ReductionMeterPosition(r.reduction2[0]),  // 1131 Ch 1 row H
        ReductionMeterPosition(r.reduction1[0]),  // 1132 Ch 1 row L
        ReductionMeterPosition(r.reduction2[1]),  // 1133 Ch 2 row H
        ReductionMeterPosition(r.reduction1[1]),  // 1134 Ch 2 row L
    };
}

}  // namespace arvestra
