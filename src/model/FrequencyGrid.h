#pragma once

#include <array>
#include <span>
#include <vector>

namespace arvestra {

// The frequencies at which every response curve is evaluated: the values of the frequency
// scale with n extra points in equal ratio steps between each neighbouring pair, kept in single
// precision as the device firmware keeps them. Alongside, the powers z^k = e^(-jkw) (k = 1..4)
// at every point, which depend only on the grid and so are computed once per grid.
class FrequencyGrid {
  public:
    static constexpr int kMinExtraPoints = 0;
    static constexpr int kMaxExtraPoints = 7;
    static constexpr int kDefaultExtraPoints = 3;
    static constexpr int kMaxPower = 4;

    // Builds the grid over scaleHz (ascending, at least one value) with extraPoints clamped to
    // 0..7 extra points per step.
    FrequencyGrid(std::span<const double> scaleHz, int extraPoints);

    // Number of points: (scale size - 1) * (n + 1) + 1, so 101 + 100 n for the frequency scale.
    static int PointCount(int scaleSize, int extraPoints);

    int ExtraPoints() const { return extraPoints_; }
    int Size() const { return static_cast<int>(frequencies_.size()); }
    std::span<const float> Frequencies() const { return frequencies_; }
    // Real part of z^power at every point, power 1..4.
    std::span<const double> PowerRe(int power) const { return powerRe_[Slot(power)]; }
    // Imaginary part of z^power at every point, power 1..4.
    std::span<const double> PowerIm(int power) const { return powerIm_[Slot(power)]; }

  private:
    static int Slot(int power);
    void BuildFrequencies(std::span<const double> scaleHz);
    void BuildPowers();

    int extraPoints_;
    std::vector<float> frequencies_;
    std::array<std::vector<double>, kMaxPower> powerRe_;
    std::array<std::vector<double>, kMaxPower> powerIm_;
};

}  // namespace arvestra
