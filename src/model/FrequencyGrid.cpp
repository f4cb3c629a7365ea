#include "model/FrequencyGrid.h"

#include <algorithm>
#include <cmath>

#include "model/FilterDesign.h"

namespace arvestra {

FrequencyGrid::FrequencyGrid(std::span<const double> scaleHz, int extraPoints)
    : extraPoints_(std::clamp(extraPoints, kMinExtraPoints, kMaxExtraPoints)) {
    BuildFrequencies(scaleHz);
    BuildPowers();
}

int FrequencyGrid::PointCount(int scaleSize, int extraPoints) {
    if (scaleSize <= 0) return 0;
    const int n = std::clamp(extraPoints, kMinExtraPoints, kMaxExtraPoints);
    return (scaleSize - 1) * (n + 1) + 1;
}

int FrequencyGrid::Slot(int power) {
    return std::clamp(power, 1, kMaxPower) - 1;
}

void FrequencyGrid::BuildFrequencies(std::span<const double> scaleHz) {
    frequencies_.clear();
    if (scaleHz.empty()) return;
    frequencies_.reserve(PointCount(static_cast<int>(scaleHz.size()), extraPoints_));
    frequencies_.push_back(static_cast<float>(scaleHz[0]));
    for (std::size_t i = 1; i < scaleHz.size(); ++i) {
        // Each extra point grows from the previous stored (single-precision) point, so rounding
        // carries along the step exactly as in the firmware's table.
        const double stepRatio = std::pow(scaleHz[i] / scaleHz[i - 1], 1.0 / (extraPoints_ + 1));
        for (int k = 0; k < extraPoints_; ++k) {
            frequencies_.push_back(static_cast<float>(frequencies_.back() * stepRatio));
        }
        frequencies_.push_back(static_cast<float>(scaleHz[i]));
    }
}

void FrequencyGrid::BuildPowers() {
    const std::size_t size = frequencies_.size();
    for (int power = 1; power <= kMaxPower; ++power) {
        std::vector<double>& re = powerRe_[Slot(power)];
        std::vector<double>& im = powerIm_[Slot(power)];
        re.resize(size);
        im.resize(size);
        for (std::size_t i = 0; i < size; ++i) {
            const double angle =
                power * static_cast<double>(frequencies_[i]) * FilterDesign::kRadiansPerHertz;
            re[i] = std::cos(angle);
            im[i] = -std::sin(angle);
        }
    }
}

}  // namespace arvestra
