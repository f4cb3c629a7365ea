#pragma once

#include <optional>
#include <span>
#include <string>
#include <vector>

#include "tune/Measurement.h"
#include "tune/ResponseError.h"
#include "tune/TunePoints.h"

namespace arvestra {

// The largest boost and the largest cut (both as positive dB) an EQ fit may use, for every band
// and for the EQ's whole response over the range.
struct FitLimits {
    double maxBoostDb = 6.0;
    double maxCutDb = 15.0;
};

// What to fit: a measurement (made with the EQ flat), the response wanted, the range and limits.
struct FitRequest {
    Measurement measurement;
    std::optional<Measurement> target;  // a target curve; without it flat, tilted by tilt
    double tiltDbPerOctave = 0.0;       // slope of the flat target around 1 kHz
    double lowHz = 40.0;
    double highHz = 16000.0;
    FitLimits limits;
};

// A fit request turned into numbers on the editor's grid points within the range: the EQ
// response wanted at each point (target - measurement). Levels are compared after removing
// their mean, since the overall level is the output level's business, not the EQ's.
class FitProblem {
  public:
    struct MakeResult;

    // Checks the request (limits, range, coverage) and builds the problem; the range is cut to
    // the part the measurement covers.
    static MakeResult Make(const FitRequest& request);

    const TunePoints& Points() const { return points_; }
    std::span<const double> Desired() const { return desired_; }
    const FitLimits& Limits() const { return limits_; }
    double LowHz() const { return lowHz_; }
    double HighHz() const { return highHz_; }

    // How far measurement + eqDb lies from the target (after removing the mean level).
    ResponseError Residual(std::span<const double> eqDb) const;
    // What the searches minimise: the squared shape error, plus a small cost for the EQ's mean
    // level so that, of two equal shapes, the one nearer 0 dB is kept.
    double Cost(std::span<const double> eqDb) const;
    // Cost(others + band), or infinity when that sum leaves the limits anywhere: one pass over
    // the points for the searches' inner loops.
    double CostOfSum(std::span<const double> others, std::span<const double> band) const;
    // True when eqDb stays within the limits at every point.
    bool WithinLimits(std::span<const double> eqDb) const;

  private:
    FitProblem(TunePoints points, std::vector<double> desired, FitLimits limits, double lowHz,
               double highHz);

    TunePoints points_;
    std::vector<double> desired_;
    FitLimits limits_;
    double lowHz_;
    double highHz_;
};

struct FitProblem::MakeResult {
    std::optional<FitProblem> problem;
    std::string error;
};

}  // namespace arvestra
