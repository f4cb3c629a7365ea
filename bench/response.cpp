// Cost of the equaliser graph's response: a full recomputation of all eight curves, and the
// update after one parametric band is dragged, at the default grid (401 points) and the densest
// (801 points). Every band is set to a non-zero gain, so no section is skipped as flat.
#include <benchmark/benchmark.h>

#include "model/FilterDesign.h"
#include "model/FilterResponse.h"
#include "model/FilterSettingsFromImage.h"
#include "model/ParamField.h"
#include "model/Scales.h"
#include "model/SignalPath.h"

namespace arvestra {
namespace {

ChannelFilterSettings BusyChannel() {
    ChannelFilterSettings s;
    s.lowPass = {12500.0, 1};
    s.highPass = {40.0, 0};
    s.graphic.q = 4.5;
    for (int band = 0; band < GraphicEqSettings::kBands; ++band) {
        s.graphic.gainDb[band] = (band % 2 ? 1.0 : -1.0) * (1 + band % 7);
    }
    const double hz[10] = {31.5, 80, 160, 400, 800, 1414.2, 3150, 6300, 12500, 19000};
    for (int i = 0; i < ParametricEqSettings::kBands; ++i) {
        s.parametric.bands[i] = {hz[i], (i % 2 ? 6.0 : -9.0) + i, 0.1 + 0.25 * i, false};
    }
    return s;
}

int ExtraPointsFor(int points) {
    return (points - 101) / 100;
}

// One section over the grid: the unit that a full recomputation repeats 86 times.
void BM_EvaluateSection(benchmark::State& state) {
    const FrequencyGrid grid(ScaleTable(Scale::Frequency),
                             ExtraPointsFor(static_cast<int>(state.range(0))));
    const FilterSection section = state.range(1) == 4 ? FilterDesign::LowPass24(2000.0)
                                                      : FilterDesign::GraphicBand(1000.0, 6.0, 4.0);
    ComplexResponse response;
    for (auto _ : state) {
        response.Evaluate(section, grid);
        benchmark::DoNotOptimize(response.Re().data());
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_EvaluateSection)->Args({401, 2})->Args({401, 4})->Unit(benchmark::kMicrosecond);

void BM_FullRecomputeAllCurves(benchmark::State& state) {
    FilterResponse response(ExtraPointsFor(static_cast<int>(state.range(0))));
    const FilterResponse::ChannelSettings settings{BusyChannel(), BusyChannel()};
    const CurveSet path = CurveSet::All();
    for (auto _ : state) {
        response.RequestFullRecompute();
        response.Update(path, settings);
        benchmark::DoNotOptimize(response.LevelsDb().data());
        benchmark::ClobberMemory();
    }
    state.counters["points"] = response.Grid().Size();
}
BENCHMARK(BM_FullRecomputeAllCurves)->Arg(401)->Arg(801)->Unit(benchmark::kMicrosecond);

// One parametric band of channel B changes its gain; the path holds channel B's low-pass,
// high-pass and parametric curves (what the parametric page shows for a typical chain), or all
// eight curves.
void RunParametricBandUpdate(benchmark::State& state, const CurveSet& path) {
    FilterResponse response(ExtraPointsFor(static_cast<int>(state.range(0))));
    FilterResponse::ChannelSettings settings{BusyChannel(), BusyChannel()};
    response.Update(path, settings);
    double gain = 3.0;
    for (auto _ : state) {
        gain = gain == 3.0 ? 3.5 : 3.0;
        settings[1].parametric.bands[4].gainDb = gain;
        response.MarkDirty(1, CurveKind::Parametric);
        response.Update(path, settings);
        benchmark::DoNotOptimize(response.LevelsDb().data());
        benchmark::ClobberMemory();
    }
}

void BM_ParametricBandUpdate(benchmark::State& state) {
    CurveSet path;
    path.Add(1, CurveKind::LowPass);
    path.Add(1, CurveKind::HighPass);
    path.Add(1, CurveKind::Parametric);
    RunParametricBandUpdate(state, path);
}
BENCHMARK(BM_ParametricBandUpdate)->Arg(401)->Arg(801)->Unit(benchmark::kMicrosecond);

void BM_ParametricBandUpdateAllCurvesInPath(benchmark::State& state) {
    RunParametricBandUpdate(state, CurveSet::All());
}
BENCHMARK(BM_ParametricBandUpdateAllCurvesInPath)
    ->Arg(401)
    ->Arg(801)
    ->Unit(benchmark::kMicrosecond);

// The same drag as a page performs it from the edit buffer: write the gain code, walk the
// routing, read both channels' settings and update.
void BM_ParametricBandUpdateFromImage(benchmark::State& state) {
    PresetImage image = InitialPresetImage();
    auto bytes = std::span<std::uint8_t, kPresetImageSize>(image.bytes);
    WriteField(bytes, ParamField::EqType, 1, 0, 1);
    WriteField(bytes, ParamField::OutputSource, 1, 0, RoutingNode::kLowPassB);
    WriteField(bytes, ParamField::LpSource, 1, 0, RoutingNode::kHighPassB);
    WriteField(bytes, ParamField::HpSource, 1, 0, RoutingNode::kEqualiserB);
    WriteField(bytes, ParamField::EqSource, 1, 0, RoutingNode::kInputB);
    for (int band = 0; band < ParametricEqSettings::kBands; ++band) {
        WriteField(bytes, ParamField::EqParamGain, 1, band, 80 + 3 * band);
    }
    FilterResponse response(ExtraPointsFor(static_cast<int>(state.range(0))));
    response.Update(WalkSignalPath(image.bytes, 1).curves, FilterSettingsFromImage(image.bytes));
    int code = 100;
    for (auto _ : state) {
        code = code == 100 ? 101 : 100;
        WriteField(bytes, ParamField::EqParamGain, 1, 4, code);
        response.MarkDirty(1, CurveKind::Parametric);
        const SignalPath path = WalkSignalPath(image.bytes, 1);
        response.Update(path.curves, FilterSettingsFromImage(image.bytes));
        benchmark::DoNotOptimize(response.LevelsDb().data());
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_ParametricBandUpdateFromImage)->Arg(401)->Arg(801)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace arvestra

BENCHMARK_MAIN();
