#include "tune/GraphicFit.h"

#include <algorithm>
#include <cmath>

#include "model/FilterDesign.h"
#include "model/FilterResponse.h"
#include "model/Scales.h"

namespace arvestra {

namespace {

constexpr int kHighestGainCode = 60;

double GainDb(int code) {
    return valueOf(Scale::GraphicGain, code);
}

// A graphic band's section with its numerator for A - 1 = 1.
FilterSection UnitBand(int band, double sampleGainDb, double q) {
    const double divisor = FilterResponse::GraphicWidthDivisor(band, sampleGainDb, q);
    FilterSection section =
        FilterDesign::GraphicBand(FilterResponse::GraphicBandCentreHz(band), sampleGainDb, divisor);
    const double scale = 1.0 / (std::pow(10.0, sampleGainDb * 0.05) - 1.0);
    for (double& b : section.b) b *= scale;
    return section;
}

// The codes within the limits: gains from -maxCut to +maxBoost.
struct CodeSpan {
    int lowest;
    int highest;
};

CodeSpan AllowedCodes(const FitLimits& limits) {
    const int lowest = static_cast<int>(std::ceil((15.0 - limits.maxCutDb) * 2.0 - 1e-9));
    const int highest = static_cast<int>(std::floor((15.0 + limits.maxBoostDb) * 2.0 + 1e-9));
    return {std::clamp(lowest, 0, kGraphicFlatGain),
            std::clamp(highest, kGraphicFlatGain, kHighestGainCode)};
}

void LevelsOfProduct(const std::vector<double>& aRe, const std::vector<double>& aIm,
                     const std::vector<double>& bRe, const std::vector<double>& bIm,
                     std::vector<double>& outDb) {
    for (std::size_t i = 0; i < outDb.size(); ++i) {
        const double re = aRe[i] * bRe[i] - aIm[i] * bIm[i];
        const double im = aRe[i] * bIm[i] + aIm[i] * bRe[i];
        outDb[i] = PowerToDbFast(re * re + im * im);
    }
}

}  // namespace

GraphicEqModel::GraphicEqModel(const TunePoints& points, int qCode)
    : size_(static_cast<std::size_t>(points.Size())) {
    const double q = valueOf(Scale::GraphicQ, qCode);
    for (int band = 0; band < kGraphicBandCount; ++band) {
        for (auto* shape :
             {&boost_[static_cast<std::size_t>(band)], &cut_[static_cast<std::size_t>(band)]}) {
            shape->re.resize(size_);
            shape->im.resize(size_);
            const double sampleGain = shape == &boost_[static_cast<std::size_t>(band)] ? 6.0 : -6.0;
            points.SectionComplex(UnitBand(band, sampleGain, q), shape->re, shape->im);
        }
    }
    for (int g = 0; g < kGroups; ++g) {
        groupRe_[g].assign(size_, 1.0);
        groupIm_[g].assign(size_, 0.0);
        otherRe_[g].assign(size_, 1.0);
        otherIm_[g].assign(size_, 0.0);
    }
    codes_.fill(kGraphicFlatGain);
}

void GraphicEqModel::AddBand(int band, int code, std::vector<double>& re,
                             std::vector<double>& im) const {
    const double gainDb = GainDb(code);
    if (gainDb == 0.0) return;
    const double scale = std::pow(10.0, gainDb * 0.05) - 1.0;
    const Shape& shape = gainDb > 0.0 ? boost_[static_cast<std::size_t>(band)]
                                      : cut_[static_cast<std::size_t>(band)];
    for (std::size_t i = 0; i < size_; ++i) {
        re[i] += scale * shape.re[i];
        im[i] += scale * shape.im[i];
    }
}

void GraphicEqModel::SetCodes(const GraphicGainCodes& gains) {
    codes_ = gains;
    for (int g = 0; g < kGroups; ++g) {
        std::fill(groupRe_[g].begin(), groupRe_[g].end(), 1.0);
        std::fill(groupIm_[g].begin(), groupIm_[g].end(), 0.0);
        for (int band = g; band < kGraphicBandCount; band += kGroups) {
            AddBand(band, gains[static_cast<std::size_t>(band)], groupRe_[g], groupIm_[g]);
        }
    }
    for (int g = 0; g < kGroups; ++g) {
        std::fill(otherRe_[g].begin(), otherRe_[g].end(), 1.0);
        std::fill(otherIm_[g].begin(), otherIm_[g].end(), 0.0);
        for (int h = 0; h < kGroups; ++h) {
            if (h == g) continue;
            for (std::size_t i = 0; i < size_; ++i) {
                const double re = otherRe_[g][i] * groupRe_[h][i] - otherIm_[g][i] * groupIm_[h][i];
                const double im = otherRe_[g][i] * groupIm_[h][i] + otherIm_[g][i] * groupRe_[h][i];
                otherRe_[g][i] = re;
                otherIm_[g][i] = im;
            }
        }
    }
}

void GraphicEqModel::LevelsWithBand(int band, int code, std::vector<double>& outDb) const {
    const int group = band % kGroups;
    std::vector<double> re = groupRe_[group];
    std::vector<double> im = groupIm_[group];
    const double oldGainDb = GainDb(codes_[static_cast<std::size_t>(band)]);
    if (oldGainDb != 0.0) {
        // Take the band's present contribution out again.
        const double scale = -(std::pow(10.0, oldGainDb * 0.05) - 1.0);
        const Shape& shape = oldGainDb > 0.0 ? boost_[static_cast<std::size_t>(band)]
                                             : cut_[static_cast<std::size_t>(band)];
        for (std::size_t i = 0; i < size_; ++i) {
            re[i] += scale * shape.re[i];
            im[i] += scale * shape.im[i];
        }
    }
    AddBand(band, code, re, im);
    outDb.resize(size_);
    LevelsOfProduct(otherRe_[group], otherIm_[group], re, im, outDb);
}

void GraphicEqModel::LevelsDb(const GraphicGainCodes& gains, std::vector<double>& outDb) const {
    GraphicEqModel copy = *this;
    copy.SetCodes(gains);
    outDb.resize(size_);
    LevelsOfProduct(copy.otherRe_[0], copy.otherIm_[0], copy.groupRe_[0], copy.groupIm_[0], outDb);
}

GraphicFitResult FitGraphic(const FitProblem& problem, int qCode) {
    GraphicEqModel model(problem.Points(), qCode);
    const CodeSpan allowed = AllowedCodes(problem.Limits());
    GraphicFitResult result;
    result.gains.fill(kGraphicFlatGain);
    std::vector<double> levels(static_cast<std::size_t>(problem.Points().Size()), 0.0);
    result.before = problem.Residual(levels);
    model.SetCodes(result.gains);
    double cost = problem.Cost(levels);
    // Pattern search on the codes: each band in turn tries a step up and down, keeping what
    // lowers the cost within the limits; the step halves when no band moves.
    for (int step : {16, 8, 4, 2, 1}) {
        for (bool moved = true; moved;) {
            moved = false;
            for (int band = 0; band < kGraphicBandCount; ++band) {
                const int code = result.gains[static_cast<std::size_t>(band)];
                for (int next : {code + step, code - step}) {
                    if (next < allowed.lowest || next > allowed.highest) continue;
                    model.LevelsWithBand(band, next, levels);
                    if (!problem.WithinLimits(levels)) continue;
                    const double nextCost = problem.Cost(levels);
                    if (nextCost >= cost - 1e-12) continue;
                    cost = nextCost;
                    result.gains[static_cast<std::size_t>(band)] = next;
                    model.SetCodes(result.gains);
                    moved = true;
                    break;
                }
            }
        }
    }
    model.LevelsDb(result.gains, result.eqDb);
    result.after = problem.Residual(result.eqDb);
    return result;
}

}  // namespace arvestra
