// Cost of tuning from a measurement: the response math that the fits repeat, and the graphic
// and parametric fits themselves on measurements made as the inverse of an in-range EQ setting
// plus noise (the cases the tests check for accuracy). Counters carry the residuals.
//
// BM_ResponseMath evaluates 2 x 45 second-order sections (per channel: a 24 dB/octave low-pass
// and high-pass as two sections each, 31 graphic and 10 parametric bands) at the 401 grid points
// and multiplies them into one response per channel, as scipy's sosfreqz does for the same
// sections; bench/sosfreqz_compare.py runs both and prints the ratio.
#include <benchmark/benchmark.h>

#include <cmath>
#include <vector>

#include "model/FilterDesign.h"
#include "model/FilterResponse.h"
#include "tune/FitCases.h"
#include "tune/GraphicFit.h"
#include "tune/ParametricFit.h"
#include "tune/TunePoints.h"

namespace arvestra {
namespace {

// The cookbook low-pass or high-pass biquad at a given Q.
FilterSection PassBiquad(double hz, double q, bool highPass) {
    const double w = hz * FilterDesign::kRadiansPerHertz;
    const double alpha = std::sin(w) / (2.0 * q);
    const double c = std::cos(w);
    FilterSection s;
    const double k = highPass ? (1.0 + c) : (1.0 - c);
    s.b = {k / 2.0, highPass ? -k : k, k / 2.0, 0.0, 0.0};
    s.a = {1.0 + alpha, -2.0 * c, 1.0 - alpha, 0.0, 0.0};
    return s;
}

std::vector<FilterSection> ChannelSections(int channel) {
    const double qLow = 1.0 / (2.0 * std::cos(FilterDesign::kPiOver8));
    const double qHigh = 1.0 / (2.0 * std::sin(FilterDesign::kPiOver8));
    std::vector<FilterSection> sections = {
        PassBiquad(12500.0, qLow, false), PassBiquad(12500.0, qHigh, false),
        PassBiquad(40.0 + channel, qLow, true), PassBiquad(40.0 + channel, qHigh, true)};
    for (int band = 0; band < kGraphicBandCount; ++band) {
        const double gain = (band % 2 ? 1.0 : -1.0) * (1 + band % 7);
        sections.push_back(
            FilterDesign::GraphicBand(FilterResponse::GraphicBandCentreHz(band), gain,
                                      FilterResponse::GraphicWidthDivisor(band, gain, 4.5)));
    }
    const double hz[10] = {31.5, 80, 160, 400, 800, 1414.2, 3150, 6300, 12500, 19000};
    for (int i = 0; i < kParametricBandCount; ++i) {
        sections.push_back(
            FilterDesign::ParametricBand(hz[i], (i % 2 ? 6.0 : -9.0) + i, 0.1 + 0.25 * i));
    }
    return sections;
}

void BM_ResponseMath(benchmark::State& state) {
    const TunePoints points = TunePoints::GridRange(20.0, 20000.0);
    const std::vector<std::vector<FilterSection>> channels = {ChannelSections(0),
                                                              ChannelSections(1)};
    const std::size_t size = static_cast<std::size_t>(points.Size());
    std::vector<std::vector<double>> accRe(2, std::vector<double>(size)),
        accIm(2, std::vector<double>(size));
    for (auto _ : state) {
        for (std::size_t c = 0; c < 2; ++c) {
            std::fill(accRe[c].begin(), accRe[c].end(), 1.0);
            std::fill(accIm[c].begin(), accIm[c].end(), 0.0);
            for (const FilterSection& section : channels[c]) {
                points.CascadeSection(section, accRe[c], accIm[c]);
            }
        }
        benchmark::DoNotOptimize(accRe[0].data());
        benchmark::DoNotOptimize(accRe[1].data());
        benchmark::ClobberMemory();
    }
    state.counters["sections"] = 90;
    state.counters["points"] = static_cast<double>(size);
}
BENCHMARK(BM_ResponseMath)->Unit(benchmark::kMicrosecond);

constexpr int kQCode = 6;

void BM_GraphicFit(benchmark::State& state) {
    const auto seed = static_cast<unsigned>(state.range(0));
    const GraphicGainCodes truth = fit_cases::RandomGraphic(seed, kQCode);
    const auto made = FitProblem::Make(fit_cases::RequestFor(
        fit_cases::InverseWithNoise(fit_cases::GraphicLevels(truth, kQCode), seed)));
    GraphicFitResult fit;
    for (auto _ : state) {
        fit = FitGraphic(*made.problem, kQCode);
        benchmark::DoNotOptimize(fit.gains.data());
    }
    state.counters["rms_before_dB"] = fit.before.rmsDb;
    state.counters["rms_after_dB"] = fit.after.rmsDb;
    state.counters["max_after_dB"] = fit.after.maxDb;
}
BENCHMARK(BM_GraphicFit)->Arg(1)->Arg(2)->Arg(3)->Unit(benchmark::kMillisecond);

void BM_ParametricFit(benchmark::State& state) {
    const auto seed = static_cast<unsigned>(state.range(0));
    const ParametricCodes truth = fit_cases::RandomParametric(seed);
    const auto made = FitProblem::Make(fit_cases::RequestFor(
        fit_cases::InverseWithNoise(fit_cases::ParametricLevels(truth), seed)));
    ParametricFitResult fit;
    for (auto _ : state) {
        fit = FitParametric(*made.problem);
        benchmark::DoNotOptimize(fit.bands.data());
    }
    state.counters["rms_before_dB"] = fit.before.rmsDb;
    state.counters["rms_after_dB"] = fit.after.rmsDb;
    state.counters["max_after_dB"] = fit.after.maxDb;
}
BENCHMARK(BM_ParametricFit)->Arg(1)->Arg(2)->Arg(3)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace arvestra

BENCHMARK_MAIN();
