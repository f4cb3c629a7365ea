#include "tune/ParametricFit.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "model/Scales.h"

namespace arvestra {

namespace {

constexpr int kHighestFrequencyCode = 100;
constexpr int kHighestBandwidthCode = 39;
constexpr int kReseatRounds = 1;

struct GainSpan {
    int lowest;
    int highest;
};

GainSpan AllowedGains(const FitLimits& limits) {
    GainSpan span{ParametricBandCodes::kFlatGain, ParametricBandCodes::kFlatGain};
    for (int code = 0; code <= 121; ++code) {
        const double db = valueOf(Scale::ParametricGain, code);
        if (db >= -limits.maxCutDb - 1e-9 && db <= limits.maxBoostDb + 1e-9) {
            span.lowest = std::min(span.lowest, code);
            span.highest = std::max(span.highest, code);
        }
    }
    return span;
}

class ParametricSearch {
  public:
    explicit ParametricSearch(const FitProblem& problem)
        : problem_(problem),
          size_(static_cast<std::size_t>(problem.Points().Size())),
          gains_(AllowedGains(problem.Limits())),
          total_(size_, 0.0),
          others_(size_),
          candidate_(size_) {
        for (auto& levels : bandDb_) levels.assign(size_, 0.0);
        for (int i = 0; i < kParametricBandCount; ++i) {
            bands_[static_cast<std::size_t>(i)] = {56, 19, ParametricBandCodes::kFlatGain, false};
        }
        FrequencyCodesInRange();
    }

    ParametricFitResult Run() {
        ParametricFitResult result;
        result.before = problem_.Residual(total_);
        for (int i = 0; i < kParametricBandCount; ++i) PlaceAnew(i);
        Refine();
        for (int round = 0; round < kReseatRounds; ++round) {
            for (int i = 0; i < kParametricBandCount; ++i) {
                PlaceAnew(i);
                Refine();
            }
        }
        result.bands = bands_;
        result.eqDb = total_;
        result.after = problem_.Residual(total_);
        return result;
    }

  private:
    // Frequencies a band may take: the codes within the range, and a few beyond its ends so a
    // band can shape the edge of the range from outside.
    void FrequencyCodesInRange() {
        const double low = problem_.LowHz() / 1.5;
        const double high = problem_.HighHz() * 1.5;
        for (int f = 0; f <= kHighestFrequencyCode; ++f) {
            const double hz = valueOf(Scale::Frequency, f);
            if (hz >= low && hz <= high) frequencies_.push_back(f);
        }
    }

    // The response of every band but one, which the candidates for that band are added to.
    void SetOthers(int band) {
        const std::vector<double>& own = bandDb_[static_cast<std::size_t>(band)];
        for (std::size_t i = 0; i < size_; ++i) others_[i] = total_[i] - own[i];
    }

    // The cost with the band given by SetOthers replaced by codes.
    double CostWith(const ParametricBandCodes& codes) {
        problem_.Points().SectionDb(ParametricBandSection(codes), candidate_);
        return problem_.CostOfSum(others_, candidate_);
    }

    void Accept(int band, const ParametricBandCodes& codes) {
        std::vector<double>& own = bandDb_[static_cast<std::size_t>(band)];
        problem_.Points().SectionDb(ParametricBandSection(codes), candidate_);
        for (std::size_t i = 0; i < size_; ++i) {
            total_[i] += candidate_[i] - own[i];
            own[i] = candidate_[i];
        }
        bands_[static_cast<std::size_t>(band)] = codes;
    }

    // The wanted gain at a frequency: what the other bands leave of the wanted response there,
    // measured from the mean of what they leave.
    double LeftOverDbAt(int band, double hz) const {
        const std::vector<double>& own = bandDb_[static_cast<std::size_t>(band)];
        const std::span<const double> desired = problem_.Desired();
        double mean = 0.0;
        for (std::size_t i = 0; i < size_; ++i) mean += desired[i] - total_[i] + own[i];
        mean /= static_cast<double>(size_);
        const std::span<const double> points = problem_.Points().Hz();
        const auto it = std::lower_bound(points.begin(), points.end(), hz);
        std::size_t i = std::min(static_cast<std::size_t>(it - points.begin()), size_ - 1);
        return desired[i] - total_[i] + own[i] - mean;
    }

    // Takes band out and searches every frequency and bandwidth for the place where it lowers
    // the cost most, with its gain from what the others leave there.
    void PlaceAnew(int band) {
        ParametricBandCodes flat = bands_[static_cast<std::size_t>(band)];
        flat.gain = ParametricBandCodes::kFlatGain;
        ParametricBandCodes best = flat;
        SetOthers(band);
        double bestCost = CostWith(flat);
        for (int f : frequencies_) {
            const double wanted = LeftOverDbAt(band, valueOf(Scale::Frequency, f));
            int lastEffective = -1;
            for (int w = 0; w <= kHighestBandwidthCode; ++w) {
                const int effective = effectiveBandwidth(f, w);
                if (effective == lastEffective) continue;
                lastEffective = effective;
                for (double share : {1.0, 0.6}) {
                    const int g = std::clamp(nearestCode(Scale::ParametricGain, wanted * share),
                                             gains_.lowest, gains_.highest);
                    if (g == ParametricBandCodes::kFlatGain) continue;
                    const ParametricBandCodes codes{f, effective, g, false};
                    const double cost = CostWith(codes);
                    if (cost < bestCost) {
                        bestCost = cost;
                        best = codes;
                    }
                }
            }
        }
        Accept(band, best);
    }

    // Moves bands code by code (frequency, bandwidth, gain, and frequency with bandwidth) while
    // a move lowers the cost.
    void Refine() {
        double cost = problem_.Cost(total_);
        for (bool moved = true; moved;) {
            moved = false;
            for (int band = 0; band < kParametricBandCount; ++band) {
                const ParametricBandCodes& codes = bands_[static_cast<std::size_t>(band)];
                if (codes.gain == ParametricBandCodes::kFlatGain) continue;
                ParametricBandCodes best = codes;
                double bestCost = cost;
                SetOthers(band);
                for (const ParametricBandCodes& next : Neighbours(codes)) {
                    const double nextCost = CostWith(next);
                    if (nextCost < bestCost - 1e-12) {
                        bestCost = nextCost;
                        best = next;
                    }
                }
                if (best == codes) continue;
                Accept(band, best);
                cost = bestCost;
                moved = true;
            }
        }
    }

    std::vector<ParametricBandCodes> Neighbours(const ParametricBandCodes& codes) const {
        std::vector<ParametricBandCodes> next;
        const auto add = [&](int df, int dw, int dg) {
            ParametricBandCodes c = codes;
            c.frequency += df;
            c.bandwidth += dw;
            c.gain += dg;
            if (c.frequency < frequencies_.front() || c.frequency > frequencies_.back()) return;
            if (c.bandwidth < 0 || c.bandwidth > kHighestBandwidthCode) return;
            if (c.gain < gains_.lowest || c.gain > gains_.highest) return;
            c.bandwidth = effectiveBandwidth(c.frequency, c.bandwidth);
            if (!(c == codes)) next.push_back(c);
        };
        for (int d : {-2, -1, 1, 2}) {
            add(d, 0, 0);
            add(0, d, 0);
            add(0, 0, d);
        }
        for (int df : {-1, 1}) {
            for (int dw : {-1, 1}) add(df, dw, 0);
            for (int dg : {-1, 1}) add(df, 0, dg);
        }
        for (int dw : {-1, 1}) {
            for (int dg : {-1, 1}) add(0, dw, dg);
        }
        return next;
    }

    const FitProblem& problem_;
    std::size_t size_;
    GainSpan gains_;
    std::vector<int> frequencies_;
    ParametricCodes bands_{};
    std::array<std::vector<double>, kParametricBandCount> bandDb_;
    std::vector<double> total_;
    std::vector<double> others_;
    std::vector<double> candidate_;
};

}  // namespace

ParametricFitResult FitParametric(const FitProblem& problem) {
    return ParametricSearch(problem).Run();
}

}  // namespace arvestra
