#include "tune/BandMatcher.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "model/Scales.h"
#include "tune/TunePoints.h"

namespace arvestra {

namespace {

constexpr int kHighestFrequencyCode = 100;
constexpr int kHighestBandwidthCode = 39;
constexpr int kHighestGainCode = 121;
constexpr int kRefinePasses = 3;

const TunePoints& AudioBand() {
    static const TunePoints points = TunePoints::GridRange(20.0, 20000.0);
    return points;
}

std::vector<double> FilterDb(const PeakingFilter& filter) {
    std::vector<double> db(static_cast<std::size_t>(AudioBand().Size()));
    AudioBand().SectionDb(CookbookPeaking(filter.frequencyHz, filter.gainDb, filter.q), db);
    return db;
}

std::vector<double> BandDb(const ParametricBandCodes& band) {
    std::vector<double> db(static_cast<std::size_t>(AudioBand().Size()));
    AudioBand().SectionDb(ParametricBandSection(band), db);
    return db;
}

int NearestBandwidthCode(double bandwidth) {
    int best = 0;
    for (int code = 1; code <= kHighestBandwidthCode; ++code) {
        if (std::fabs(valueOf(Scale::Bandwidth, code) - bandwidth) <=
            std::fabs(valueOf(Scale::Bandwidth, best) - bandwidth)) {
            best = code;
        }
    }
    return best;
}

// The search window around a band's codes.
struct Window {
    int frequency;
    int gain;
    int bandwidth;  // -1: every bandwidth code
};

// The codes in the window that bring others + band closest to target; others may be empty
// (the band alone against the target).
ParametricBandCodes SearchWindow(const ParametricBandCodes& centre, const Window& window,
                                 const std::vector<double>& others,
                                 const std::vector<double>& target) {
    const std::size_t size = target.size();
    std::vector<double> candidate(size);
    const std::vector<double> zeros(size, 0.0);
    const std::vector<double>& base = others.empty() ? zeros : others;
    ParametricBandCodes best = centre;
    double bestError = std::numeric_limits<double>::infinity();
    const int wLow = window.bandwidth < 0 ? 0 : centre.bandwidth - window.bandwidth;
    const int wHigh =
        window.bandwidth < 0 ? kHighestBandwidthCode : centre.bandwidth + window.bandwidth;
    for (int f = centre.frequency - window.frequency; f <= centre.frequency + window.frequency;
         ++f) {
        if (f < 0 || f > kHighestFrequencyCode) continue;
        int lastEffective = -1;
        for (int w = std::max(wLow, 0); w <= std::min(wHigh, kHighestBandwidthCode); ++w) {
            // Stored codes with the same effective bandwidth give the same band.
            const int effective = effectiveBandwidth(f, w);
            if (effective == lastEffective) continue;
            lastEffective = effective;
            for (int g = centre.gain - window.gain; g <= centre.gain + window.gain; ++g) {
                if (g < 0 || g > kHighestGainCode) continue;
                const ParametricBandCodes codes{f, w, g, false};
                AudioBand().SectionDb(ParametricBandSection(codes), candidate);
                const double error = SquaredErrorOfSum(base, candidate, target);
                if (error < bestError) {
                    bestError = error;
                    best = codes;
                }
            }
        }
    }
    return best;
}

ResponseError SetError(const ParametricCodes& bands, int count, const std::vector<double>& target) {
    std::vector<double> sum(target.size(), 0.0);
    for (int i = 0; i < count; ++i) {
        AudioBand().AddSectionDb(ParametricBandSection(bands[static_cast<std::size_t>(i)]), sum);
    }
    return CompareDb(sum, target);
}

}  // namespace

ParametricBandCodes NearestNumbers(const PeakingFilter& filter) {
    return {nearestCode(Scale::Frequency, filter.frequencyHz), NearestBandwidthCode(1.0 / filter.q),
            nearestCode(Scale::ParametricGain, filter.gainDb), false};
}

BandMatch MatchFilters(const std::vector<PeakingFilter>& filters) {
    BandMatch match;
    const int count = std::min(static_cast<int>(filters.size()), kParametricBandCount);
    std::vector<double> target(static_cast<std::size_t>(AudioBand().Size()), 0.0);
    ParametricCodes nearest{};
    for (int i = 0; i < count; ++i) {
        const PeakingFilter& filter = filters[static_cast<std::size_t>(i)];
        const std::vector<double> own = FilterDb(filter);
        for (std::size_t p = 0; p < target.size(); ++p) target[p] += own[p];
        nearest[static_cast<std::size_t>(i)] = NearestNumbers(filter);
        // Each band alone first, against its own filter, over every bandwidth.
        match.bands[static_cast<std::size_t>(i)] =
            SearchWindow(nearest[static_cast<std::size_t>(i)], {2, 6, -1}, {}, own);
    }
    // Then each band again against what the others leave, so neighbours share the work.
    for (int pass = 0; pass < kRefinePasses; ++pass) {
        for (int i = 0; i < count; ++i) {
            std::vector<double> others(target.size(), 0.0);
            for (int j = 0; j < count; ++j) {
                if (j != i) {
                    AudioBand().AddSectionDb(
                        ParametricBandSection(match.bands[static_cast<std::size_t>(j)]), others);
                }
            }
            auto& band = match.bands[static_cast<std::size_t>(i)];
            band = SearchWindow(band, {1, 2, 2}, others, target);
        }
    }
    for (int i = 0; i < count; ++i) {
        match.perFilter.push_back(CompareDb(BandDb(match.bands[static_cast<std::size_t>(i)]),
                                            FilterDb(filters[static_cast<std::size_t>(i)])));
    }
    match.total = SetError(match.bands, count, target);
    match.nearestNumbers = SetError(nearest, count, target);
    return match;
}

PeakingEquivalent PeakingEquivalentOf(const ParametricBandCodes& band) {
    const double hz = valueOf(Scale::Frequency, band.frequency);
    const double gainDb = valueOf(Scale::ParametricGain, band.gain);
    const std::vector<double> device = BandDb({band.frequency, band.bandwidth, band.gain, false});
    std::vector<double> candidate(device.size());
    const auto errorAt = [&](double logQ) {
        AudioBand().SectionDb(CookbookPeaking(hz, gainDb, std::exp(logQ)), candidate);
        return CompareDb(candidate, device).rmsDb;
    };
    // Golden-section search on log Q: the error has one minimum over these Q values.
    constexpr double kInvPhi = 0.6180339887498949;
    double lo = std::log(0.05);
    double hi = std::log(80.0);
    double x1 = hi - kInvPhi * (hi - lo);
    double x2 = lo + kInvPhi * (hi - lo);
    double f1 = errorAt(x1);
    double f2 = errorAt(x2);
    for (int step = 0; step < 60; ++step) {
        if (f1 < f2) {
            hi = x2;
            x2 = x1;
            f2 = f1;
            x1 = hi - kInvPhi * (hi - lo);
            f1 = errorAt(x1);
        } else {
            lo = x1;
            x1 = x2;
            f1 = f2;
            x2 = lo + kInvPhi * (hi - lo);
            f2 = errorAt(x2);
        }
    }
    return {hz, gainDb, std::exp(0.5 * (lo + hi))};
}

}  // namespace arvestra
