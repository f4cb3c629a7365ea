#include "tune/FitProblem.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "tune/TextLines.h"

namespace arvestra {

namespace {

constexpr double kLowestHz = 20.0;
constexpr double kHighestHz = 20000.0;
constexpr int kMinPoints = 8;
constexpr double kLimitSlackDb = 1e-9;
// Weight of the mean EQ level against the shape error; small enough never to cost shape.
constexpr double kLevelWeight = 1e-3;

std::string RangeText(double lowHz, double highHz) {
    return FormatNumber(lowHz, 1) + "-" + FormatNumber(highHz, 1) + " Hz";
}

std::string CheckRequest(const FitRequest& request) {
    const FitLimits& limits = request.limits;
    if (!std::isfinite(limits.maxBoostDb) || limits.maxBoostDb < 0.0 ||
        !std::isfinite(limits.maxCutDb) || limits.maxCutDb < 0.0) {
        return "the largest boost and the largest cut must be 0 dB or more";
    }
    if (!std::isfinite(request.tiltDbPerOctave)) return "the tilt must be a number";
    if (!std::isfinite(request.lowHz) || !std::isfinite(request.highHz) ||
        !(request.lowHz < request.highHz)) {
        return "the range " + RangeText(request.lowHz, request.highHz) + " is empty";
    }
    if (request.measurement.Empty()) return "no measurement";
    return {};
}

}  // namespace

FitProblem::FitProblem(TunePoints points, std::vector<double> desired, FitLimits limits,
                       double lowHz, double highHz)
    : points_(std::move(points)),
      desired_(std::move(desired)),
      limits_(limits),
      lowHz_(lowHz),
      highHz_(highHz) {}

FitProblem::MakeResult FitProblem::Make(const FitRequest& request) {
    if (std::string error = CheckRequest(request); !error.empty()) return {{}, error};
    const Measurement& m = request.measurement;
    double low = std::max({request.lowHz, m.LowestHz(), kLowestHz});
    double high = std::min({request.highHz, m.HighestHz(), kHighestHz});
    if (request.target) {
        low = std::max(low, request.target->LowestHz());
        high = std::min(high, request.target->HighestHz());
    }
    TunePoints points = TunePoints::GridRange(low, high);
    if (!(low < high) || points.Size() < kMinPoints) {
        return {{},
                "the range " + RangeText(request.lowHz, request.highHz) +
                    " holds too little of the measurement (" +
                    RangeText(m.LowestHz(), m.HighestHz()) + ") within 20 Hz to 20 kHz"};
    }
    std::vector<double> desired = m.LevelsAt(points.Hz());
    for (std::size_t i = 0; i < desired.size(); ++i) {
        const double hz = points.Hz()[i];
        const double target = request.target ? request.target->LevelAt(hz)
                                             : request.tiltDbPerOctave * std::log2(hz / 1000.0);
        desired[i] = target - desired[i];
    }
    return {FitProblem(std::move(points), std::move(desired), request.limits, low, high), {}};
}

ResponseError FitProblem::Residual(std::span<const double> eqDb) const {
    return CompareDbShape(eqDb, desired_);
}

double FitProblem::Cost(std::span<const double> eqDb) const {
    const std::size_t size = desired_.size();
    double sum = 0.0;
    double sumSquares = 0.0;
    double eqSum = 0.0;
    for (std::size_t i = 0; i < size; ++i) {
        const double d = eqDb[i] - desired_[i];
        sum += d;
        sumSquares += d * d;
        eqSum += eqDb[i];
    }
    const double n = static_cast<double>(size);
    const double eqMean = eqSum / n;
    return sumSquares - sum * sum / n + kLevelWeight * n * eqMean * eqMean;
}

double FitProblem::CostOfSum(std::span<const double> others, std::span<const double> band) const {
    const std::size_t size = desired_.size();
    const double* o = others.data();
    const double* b = band.data();
    const double* want = desired_.data();
    double sum = 0.0;
    double sumSquares = 0.0;
    double eqSum = 0.0;
    double highest = -std::numeric_limits<double>::infinity();
    double lowest = std::numeric_limits<double>::infinity();
    for (std::size_t i = 0; i < size; ++i) {
        const double eq = o[i] + b[i];
        const double d = eq - want[i];
        sum += d;
        sumSquares += d * d;
        eqSum += eq;
        highest = std::max(highest, eq);
        lowest = std::min(lowest, eq);
    }
    if (highest > limits_.maxBoostDb + kLimitSlackDb ||
        lowest < -limits_.maxCutDb - kLimitSlackDb) {
        return std::numeric_limits<double>::infinity();
    }
    const double n = static_cast<double>(size);
    const double eqMean = eqSum / n;
    return sumSquares - sum * sum / n + kLevelWeight * n * eqMean * eqMean;
}

bool FitProblem::WithinLimits(std::span<const double> eqDb) const {
    for (double level : eqDb) {
        if (level > limits_.maxBoostDb + kLimitSlackDb ||
            level < -limits_.maxCutDb - kLimitSlackDb) {
            return false;
        }
    }
    return true;
}

}  // namespace arvestra
