#pragma once

#include <array>
#include <span>
#include <vector>

#include "model/ComplexResponse.h"
#include "model/CurveKind.h"
#include "model/CurveSet.h"
#include "model/FilterSection.h"
#include "model/FilterSettings.h"
#include "model/FrequencyGrid.h"

namespace arvestra {

// The combined frequency response of one output's signal path, as the equaliser pages draw it.
// Holds the frequency grid, the eight per-channel curves (low-pass, high-pass, graphic and
// parametric magnitude squared), the complex response of every equaliser band, and the combined
// level in dB. Its driver (an equaliser page or the command-line tool) says which curves lie in
// the path and which have changed; Update recomputes only those and composes the result.
class FilterResponse {
  public:
    static constexpr int kGraphicBands = GraphicEqSettings::kBands;
    static constexpr int kParametricBands = ParametricEqSettings::kBands;
    using ChannelSettings = std::array<ChannelFilterSettings, kCurveChannelCount>;

    // Builds the grid over the frequency scale with extraPoints (0..7) extra points per step.
    explicit FilterResponse(int extraPoints = FrequencyGrid::kDefaultExtraPoints);
    // Builds the grid over frequencyScaleHz instead of the frequency scale (for tests and tools).
    FilterResponse(std::span<const double> frequencyScaleHz, int extraPoints);

    // Centre frequency of graphic band 0..30 (20 Hz to 20 kHz); other indices are bounded.
    static double GraphicBandCentreHz(int band);
    // Width divisor of a graphic band: narrower for a Q above 4, narrower for boosts than cuts,
    // and the two top bands widened when cut at a low Q.
    static double GraphicWidthDivisor(int band, double gainDb, double q);

    // Rebuilds the grid with extraPoints clamped to 0..7 and requests a full recomputation.
    void SetExtraPoints(int extraPoints);
    int ExtraPoints() const { return grid_.ExtraPoints(); }
    const FrequencyGrid& Grid() const { return grid_; }

    // Notes that one curve's parameters changed, so it is recomputed when next in the path.
    void MarkDirty(int channel, CurveKind kind);
    // Notes that every curve and band must be evaluated afresh at the next update.
    void RequestFullRecompute();
    // True when the curve waits to be recomputed.
    bool IsDirty(int channel, CurveKind kind) const;
    // True when the next update will compose the levels whatever else happens.
    bool FullRecomputeRequested() const { return fullRecompute_; }

    // Recomputes the dirty curves that lie in path from settings, then, if anything was
    // recomputed, a full recomputation was requested or the path changed, composes the levels.
    // Curves outside the path stay dirty until they enter it. Returns true when the levels were
    // composed anew.
    bool Update(const CurveSet& path, const ChannelSettings& settings);

    // Combined level in dB at every grid point, as last composed (0 dB before the first update).
    std::span<const double> LevelsDb() const { return levelsDb_; }
    // Magnitude squared of one curve at every grid point, as last computed.
    std::span<const double> Curve(int channel, CurveKind kind) const;
    // Complex response of one graphic band (0..30) of one channel, as last evaluated.
    const ComplexResponse& GraphicBandResponse(int channel, int band) const;
    // Complex response of one parametric band (0..9) of one channel, as last evaluated.
    const ComplexResponse& ParametricBandResponse(int channel, int band) const;
    // Number of filter sections evaluated since construction (tells what an update redid).
    long long SectionsEvaluated() const { return sectionsEvaluated_; }

  private:
    struct BandStore {
        FilterSection section;
        ComplexResponse response;
        bool valid = false;
    };
    struct ChannelStore {
        std::array<std::vector<double>, kCurveKindCount> curves;
        std::array<BandStore, kGraphicBands> graphicBands;
        std::array<BandStore, kParametricBands> parametricBands;
    };

    void ResizeStores();
    void InvalidateBands();
    void RecomputeCurve(int channel, CurveKind kind, const ChannelFilterSettings& settings);
    void ComputePassCurve(std::vector<double>& curve, const FilterSection& section);
    void ComputeGraphicCurve(ChannelStore& store, const GraphicEqSettings& settings);
    void ComputeParametricCurve(ChannelStore& store, const ParametricEqSettings& settings);
    void EvaluateBand(BandStore& band, const FilterSection& section);
    void Compose(const CurveSet& path);

    std::vector<double> frequencyScaleHz_;
    FrequencyGrid grid_;
    std::array<ChannelStore, kCurveChannelCount> channels_;
    std::array<std::array<bool, kCurveKindCount>, kCurveChannelCount> dirty_{};
    bool fullRecompute_ = true;
    CurveSet composedPath_;
    ComplexResponse passScratch_;
    std::vector<double> accRe_;
    std::vector<double> accIm_;
    std::vector<double> groupRe_;
    std::vector<double> groupIm_;
    std::vector<double> product_;
    std::vector<double> levelsDb_;
    long long sectionsEvaluated_ = 0;
};

}  // namespace arvestra
