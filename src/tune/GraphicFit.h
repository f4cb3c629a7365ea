#pragma once

#include <array>
#include <vector>

#include "tune/EqCodes.h"
#include "tune/FitProblem.h"

namespace arvestra {

// The 31 graphic gain codes chosen for a problem, and the residual error before and after.
struct GraphicFitResult {
    GraphicGainCodes gains{};
    ResponseError before;
    ResponseError after;
    std::vector<double> eqDb;  // the EQ's level at the problem's points
};

// The graphic EQ's response at a problem's points as a function of its 31 gain codes, with the
// band width (graphic Q code) fixed. Each band is its band-pass shape scaled by (A - 1), one
// shape for boosts and one for cuts, so the shapes are evaluated once and every set of codes
// costs only sums and products.
class GraphicEqModel {
  public:
    GraphicEqModel(const TunePoints& points, int qCode);

    // The EQ's level in dB at every point for the given codes.
    void LevelsDb(const GraphicGainCodes& gains, std::vector<double>& outDb) const;

    // Incremental use by the search: the group responses for a set of codes, then the levels
    // with one band changed.
    void SetCodes(const GraphicGainCodes& gains);
    void LevelsWithBand(int band, int code, std::vector<double>& outDb) const;

  private:
    static constexpr int kGroups = 4;
    struct Shape {
        std::vector<double> re, im;
    };
    void AddBand(int band, int code, std::vector<double>& re, std::vector<double>& im) const;

    std::size_t size_;
    std::array<Shape, kGraphicBandCount> boost_;
    std::array<Shape, kGraphicBandCount> cut_;
    std::array<std::vector<double>, kGroups> groupRe_, groupIm_;
    // For each group, the product of the other three groups.
    std::array<std::vector<double>, kGroups> otherRe_, otherIm_;
    GraphicGainCodes codes_{};
};

// Chooses the graphic gain codes, within the limits, so that measurement + EQ comes closest to
// the target over the problem's range; qCode is the channel's graphic Q code, kept as set.
GraphicFitResult FitGraphic(const FitProblem& problem, int qCode);

}  // namespace arvestra
