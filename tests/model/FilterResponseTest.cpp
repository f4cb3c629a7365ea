#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <vector>

#include "model/FilterResponse.h"
#include "model/Scales.h"

namespace arvestra {
namespace {

using LD = long double;
using ComplexLD = std::complex<LD>;

constexpr LD kPi = 3.1415926535L;

// Response of one second-order section at hz, from its formulas, in long double.
ComplexLD ReferenceSection(LD b0, LD b1, LD b2, LD a0, LD a1, LD a2, LD hz) {
    const ComplexLD z = std::polar(1.0L, -hz * 2 * kPi / 48000);
    return (b0 + b1 * z + b2 * z * z) / (a0 + a1 * z + a2 * z * z);
}

ComplexLD ReferenceGraphicBand(LD centre, LD gainDb, LD q, LD hz) {
    const LD w = centre * 2 * kPi / 48000, g1 = std::pow(10.0L, gainDb / 20) - 1;
    const LD m = std::tan(w / 2 / q);
    return ReferenceSection(m * g1, 0, -m * g1, 1 + m, -2 * std::cos(w), 1 - m, hz);
}

ComplexLD ReferenceParametricBand(LD centre, LD gainDb, LD bw, LD hz) {
    const LD w = centre * 2 * kPi / 48000, gain = std::pow(10.0L, gainDb / 20);
    const LD e = std::tan(w * bw / 2);
    return ReferenceSection(1 + e * gain, -2 * std::cos(w), 1 - e * gain, 1 + e, -2 * std::cos(w),
                            1 - e, hz);
}

const LD kCentres[31] = {20,   25,   31.5, 40,   50,   63,    80,    100,   125,  160,  200,
                         250,  315,  400,  500,  630,  800,   1000,  1250,  1600, 2000, 2500,
                         3150, 4000, 5000, 6300, 8000, 10000, 12500, 16000, 20000};

// Width divisor as the graphic equaliser applies it, written out independently.
LD ReferenceDivisor(int band, LD gainDb, LD q) {
    if (q > 4) return gainDb >= 0 ? 4 : 2;
    if (gainDb >= 0) return 2.5L;
    if (band == 29) return 4.0L / 3;
    if (band == 30) return 5.0L / 3;
    return 1.25L;
}

LD ReferenceGraphicDb(const GraphicEqSettings& s, LD hz) {
    ComplexLD product = 1;
    for (int group = 0; group < 4; ++group) {
        ComplexLD sum = 1;
        for (int band = group; band < 31; band += 4) {
            const LD gain = s.bypass ? 0 : s.gainDb[band];
            sum +=
                ReferenceGraphicBand(kCentres[band], gain, ReferenceDivisor(band, gain, s.q), hz);
        }
        product *= sum;
    }
    return 10 * std::log10(std::norm(product));
}

LD ReferenceParametricDb(const ParametricEqSettings& s, LD hz) {
    ComplexLD product = 1;
    for (const ParametricBandSettings& band : s.bands) {
        const LD gain = s.bypass || band.bypass ? 0 : band.gainDb;
        product *= ReferenceParametricBand(band.frequencyHz, gain, band.bandwidth, hz);
    }
    return 10 * std::log10(std::norm(product));
}

GraphicEqSettings ShapedGraphic(double q) {
    GraphicEqSettings graphic;
    graphic.q = q;
    for (int band = 0; band < 31; ++band) {
        graphic.gainDb[band] = ((band * 7) % 61 - 30) * 0.5;  // -15 .. +15 dB, mixed signs
    }
    return graphic;
}

ParametricEqSettings ShapedParametric() {
    ParametricEqSettings parametric;
    const double hz[10] = {31.5, 80, 160, 400, 800, 1414.2, 3150, 6300, 12500, 19000};
    const double gain[10] = {6, -12, 3.5, -49.5, 12, -30.5, 0.5, -3, 9, -6};
    const double bw[10] = {0.2, 0.5, 1.0, 0.05, 3.0, 0.3, 2.0, 0.1, 0.4, 0.2};
    for (int i = 0; i < 10; ++i) parametric.bands[i] = {hz[i], gain[i], bw[i], false};
    return parametric;
}

CurveSet PathOf(std::initializer_list<std::pair<int, CurveKind>> curves) {
    CurveSet set;
    for (const auto& [channel, kind] : curves) set.Add(channel, kind);
    return set;
}

FilterResponse::ChannelSettings BothChannels(const ChannelFilterSettings& settings) {
    return {settings, settings};
}

// Every level of the combined response must be exactly 0.0 dB.
void ExpectExactlyFlat(const FilterResponse& response) {
    for (std::size_t i = 0; i < response.LevelsDb().size(); ++i) {
        ASSERT_EQ(response.LevelsDb()[i], 0.0) << "point " << i;
    }
}

struct FlatCase {
    const char* name;
    CurveKind kind;
    ChannelFilterSettings settings;
};

ChannelFilterSettings FlatGraphicSettings() {
    ChannelFilterSettings s;
    s.graphic.gainDb.fill(0.0);
    return s;
}

ChannelFilterSettings BypassedGraphicSettings() {
    ChannelFilterSettings s;
    s.graphic = ShapedGraphic(10.0);
    s.graphic.bypass = true;
    return s;
}

ChannelFilterSettings FlatParametricSettings() {
    ChannelFilterSettings s;
    s.parametric = ShapedParametric();
    for (auto& band : s.parametric.bands) band.gainDb = 0.0;
    return s;
}

ChannelFilterSettings BandBypassedParametricSettings() {
    ChannelFilterSettings s;
    s.parametric = ShapedParametric();
    for (auto& band : s.parametric.bands) band.bypass = true;
    return s;
}

ChannelFilterSettings EqBypassedParametricSettings() {
    ChannelFilterSettings s;
    s.parametric = ShapedParametric();
    s.parametric.bypass = true;
    return s;
}

class FlatSections : public testing::TestWithParam<FlatCase> {};

TEST_P(FlatSections, GiveExactlyZeroDbEverywhere) {
    const FlatCase& c = GetParam();
    for (int extraPoints : {0, 3, 7}) {
        FilterResponse response(extraPoints);
        const CurveSet path = PathOf({{0, c.kind}, {1, c.kind}});
        EXPECT_TRUE(response.Update(path, BothChannels(c.settings)));
        ExpectExactlyFlat(response);
        for (double value : response.Curve(1, c.kind)) ASSERT_EQ(value, 1.0);
    }
}

INSTANTIATE_TEST_SUITE_P(
    EqualiserStates, FlatSections,
    testing::Values(
        FlatCase{"graphic all 0 dB", CurveKind::Graphic, FlatGraphicSettings()},
        FlatCase{"graphic EQ bypass", CurveKind::Graphic, BypassedGraphicSettings()},
        FlatCase{"parametric all 0 dB", CurveKind::Parametric, FlatParametricSettings()},
        FlatCase{"parametric band bypass", CurveKind::Parametric, BandBypassedParametricSettings()},
        FlatCase{"parametric EQ bypass", CurveKind::Parametric, EqBypassedParametricSettings()}));

TEST(FilterResponse, EmptyPathIsZeroDb) {
    FilterResponse response;
    ChannelFilterSettings s;
    s.graphic = ShapedGraphic(2.0);
    EXPECT_TRUE(response.Update(CurveSet{}, BothChannels(s)));
    ExpectExactlyFlat(response);
    EXPECT_EQ(response.LevelsDb().size(), 401u);
}

struct GraphicCase {
    const char* name;
    double q;
};

class GraphicCurve : public testing::TestWithParam<GraphicCase> {};

TEST_P(GraphicCurve, MatchesGroupedParallelBandsInCascade) {
    ChannelFilterSettings s;
    s.graphic = ShapedGraphic(GetParam().q);
    FilterResponse response(1);
    response.Update(PathOf({{1, CurveKind::Graphic}}), BothChannels(s));
    const auto grid = response.Grid().Frequencies();
    for (std::size_t i = 0; i < grid.size(); i += 3) {
        const double expected = static_cast<double>(ReferenceGraphicDb(s.graphic, grid[i]));
        EXPECT_NEAR(response.LevelsDb()[i], expected, 1e-7) << grid[i] << " Hz";
    }
}

// Q 1.0 and 4.0 use the wide divisors (4.0 itself is not above 4), 4.5 and 10 the narrow ones.
INSTANTIATE_TEST_SUITE_P(WidthSettings, GraphicCurve,
                         testing::Values(GraphicCase{"q1", 1.0}, GraphicCase{"q4", 4.0},
                                         GraphicCase{"q4_5", 4.5}, GraphicCase{"q10", 10.0}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(FilterResponse, ParametricCurveIsTheCascadeOfItsBands) {
    ChannelFilterSettings s;
    s.parametric = ShapedParametric();
    s.parametric.bands[2].bypass = true;
    FilterResponse response(2);
    response.Update(PathOf({{0, CurveKind::Parametric}}), BothChannels(s));
    const auto grid = response.Grid().Frequencies();
    for (std::size_t i = 0; i < grid.size(); i += 2) {
        const double expected = static_cast<double>(ReferenceParametricDb(s.parametric, grid[i]));
        EXPECT_NEAR(response.LevelsDb()[i], expected, 1e-7) << grid[i] << " Hz";
    }
}

struct DivisorCase {
    int band;
    double gainDb;
    double q;
    double expected;
};

class GraphicDivisor : public testing::TestWithParam<DivisorCase> {};

TEST_P(GraphicDivisor, FollowsGainSignQAndBand) {
    const DivisorCase& c = GetParam();
    EXPECT_EQ(FilterResponse::GraphicWidthDivisor(c.band, c.gainDb, c.q), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Table, GraphicDivisor,
    testing::Values(DivisorCase{0, 0.0, 4.0, 2.5}, DivisorCase{0, 3.0, 4.5, 4.0},
                    DivisorCase{0, 0.0, 10.0, 4.0}, DivisorCase{5, -0.5, 4.5, 2.0},
                    DivisorCase{28, -3.0, 4.0, 1.25}, DivisorCase{29, -3.0, 4.0, 4.0 / 3.0},
                    DivisorCase{30, -3.0, 1.0, 5.0 / 3.0}, DivisorCase{29, -3.0, 4.5, 2.0},
                    DivisorCase{30, 3.0, 1.0, 2.5}, DivisorCase{29, 0.0, 4.0, 2.5}));

TEST(FilterResponse, GraphicBandCentresAreTheThirdOctaves) {
    EXPECT_EQ(FilterResponse::GraphicBandCentreHz(0), 20.0);
    EXPECT_EQ(FilterResponse::GraphicBandCentreHz(2), 31.5);
    EXPECT_EQ(FilterResponse::GraphicBandCentreHz(17), 1000.0);
    EXPECT_EQ(FilterResponse::GraphicBandCentreHz(30), 20000.0);
    EXPECT_EQ(FilterResponse::GraphicBandCentreHz(-4), 20.0);
    EXPECT_EQ(FilterResponse::GraphicBandCentreHz(99), 20000.0);
}

TEST(FilterResponse, LowPassAtItsCutoffIsMinus3Db) {
    for (int slope : {0, 1}) {
        ChannelFilterSettings s;
        s.lowPass = {1000.0, slope};
        FilterResponse response(3);
        response.Update(PathOf({{0, CurveKind::LowPass}}), BothChannels(s));
        const auto grid = response.Grid().Frequencies();
        const auto at1k = std::find(grid.begin(), grid.end(), 1000.0f) - grid.begin();
        EXPECT_NEAR(response.LevelsDb()[at1k], -3.0103, 5e-4) << "slope " << slope;
    }
}

TEST(FilterResponse, ComposesOnlyTheCurvesInThePathInDb) {
    ChannelFilterSettings a, b;
    a.lowPass = {2000.0, 0};
    a.graphic = ShapedGraphic(4.0);  // computed below but left out of the path
    b.parametric = ShapedParametric();
    b.highPass = {100.0, 1};
    FilterResponse response(3);
    const CurveSet path =
        PathOf({{0, CurveKind::LowPass}, {1, CurveKind::HighPass}, {1, CurveKind::Parametric}});
    response.Update(PathOf({{0, CurveKind::Graphic}}), {a, b});
    response.Update(path, {a, b});
    for (std::size_t i = 0; i < response.LevelsDb().size(); ++i) {
        const double expected = 10 * std::log10(response.Curve(0, CurveKind::LowPass)[i]) +
                                10 * std::log10(response.Curve(1, CurveKind::HighPass)[i]) +
                                10 * std::log10(response.Curve(1, CurveKind::Parametric)[i]);
        ASSERT_NEAR(response.LevelsDb()[i], expected, 1e-9) << i;
    }
}

ChannelFilterSettings BusySettings() {
    ChannelFilterSettings s;
    s.lowPass = {8000.0, 1};
    s.highPass = {40.0, 0};
    s.graphic = ShapedGraphic(4.5);
    s.parametric = ShapedParametric();
    return s;
}

TEST(FilterResponse, OneChangedBandEvaluatesOnlyThatBand) {
    FilterResponse response(3);
    FilterResponse::ChannelSettings settings = BothChannels(BusySettings());
    const CurveSet path = CurveSet::All();
    response.Update(path, settings);
    const long long before = response.SectionsEvaluated();
    EXPECT_EQ(before, 2 * (1 + 1 + 31 + 10));

    settings[1].parametric.bands[4].gainDb = -7.5;
    response.MarkDirty(1, CurveKind::Parametric);
    EXPECT_TRUE(response.Update(path, settings));
    EXPECT_EQ(response.SectionsEvaluated() - before, 1);

    // The result equals a fresh computation bit for bit.
    FilterResponse fresh(3);
    fresh.Update(path, settings);
    EXPECT_TRUE(std::equal(response.LevelsDb().begin(), response.LevelsDb().end(),
                           fresh.LevelsDb().begin(), fresh.LevelsDb().end()));
}

TEST(FilterResponse, NothingDirtyMeansNothingRecomputed) {
    FilterResponse response(3);
    const auto settings = BothChannels(BusySettings());
    const CurveSet path = PathOf({{0, CurveKind::Graphic}, {0, CurveKind::LowPass}});
    EXPECT_TRUE(response.Update(path, settings));
    const long long before = response.SectionsEvaluated();
    EXPECT_FALSE(response.Update(path, settings));
    EXPECT_EQ(response.SectionsEvaluated(), before);
}

TEST(FilterResponse, DirtyCurveOutsideThePathWaitsUntilItEnters) {
    FilterResponse response(3);
    auto settings = BothChannels(BusySettings());
    const CurveSet lowPassOnly = PathOf({{0, CurveKind::LowPass}});
    response.Update(lowPassOnly, settings);
    EXPECT_TRUE(response.IsDirty(0, CurveKind::HighPass));  // never computed yet
    EXPECT_FALSE(response.IsDirty(0, CurveKind::LowPass));

    settings[0].highPass = {1000.0, 1};
    response.MarkDirty(0, CurveKind::HighPass);
    const long long before = response.SectionsEvaluated();
    EXPECT_FALSE(response.Update(lowPassOnly, settings));
    EXPECT_EQ(response.SectionsEvaluated(), before);
    EXPECT_TRUE(response.IsDirty(0, CurveKind::HighPass));

    const CurveSet both = PathOf({{0, CurveKind::LowPass}, {0, CurveKind::HighPass}});
    EXPECT_TRUE(response.Update(both, settings));
    EXPECT_EQ(response.SectionsEvaluated() - before, 1);
    EXPECT_FALSE(response.IsDirty(0, CurveKind::HighPass));
}

TEST(FilterResponse, ChangedPathIsComposedAgainWithoutRecomputing) {
    FilterResponse response(3);
    const auto settings = BothChannels(BusySettings());
    response.Update(PathOf({{0, CurveKind::LowPass}, {0, CurveKind::HighPass}}), settings);
    const long long before = response.SectionsEvaluated();
    EXPECT_TRUE(response.Update(PathOf({{0, CurveKind::LowPass}}), settings));
    EXPECT_EQ(response.SectionsEvaluated(), before);
    for (std::size_t i = 0; i < response.LevelsDb().size(); ++i) {
        ASSERT_EQ(response.LevelsDb()[i],
                  10 * std::log10(response.Curve(0, CurveKind::LowPass)[i]));
    }
}

TEST(FilterResponse, FullRecomputeEvaluatesEveryBandOfThePathAgain) {
    FilterResponse response(3);
    const auto settings = BothChannels(BusySettings());
    const CurveSet path = PathOf({{1, CurveKind::Graphic}, {1, CurveKind::HighPass}});
    response.Update(path, settings);
    const long long before = response.SectionsEvaluated();
    response.RequestFullRecompute();
    EXPECT_TRUE(response.FullRecomputeRequested());
    EXPECT_TRUE(response.Update(path, settings));
    EXPECT_EQ(response.SectionsEvaluated() - before, 31 + 1);
    EXPECT_FALSE(response.FullRecomputeRequested());
}

TEST(FilterResponse, NewGridResizesEveryArrayAndRecomputes) {
    FilterResponse response;
    EXPECT_EQ(response.ExtraPoints(), 3);
    const auto settings = BothChannels(BusySettings());
    const CurveSet path = CurveSet::All();
    response.Update(path, settings);
    for (int n : {0, 7, 9}) {
        response.SetExtraPoints(n);
        const std::size_t size = n == 0 ? 101u : 801u;
        EXPECT_TRUE(response.Update(path, settings));
        EXPECT_EQ(response.Grid().Size(), static_cast<int>(size));
        EXPECT_EQ(response.LevelsDb().size(), size);
        EXPECT_EQ(response.Curve(1, CurveKind::Parametric).size(), size);
        EXPECT_EQ(response.GraphicBandResponse(0, 30).Size(), static_cast<int>(size));
        EXPECT_EQ(response.ParametricBandResponse(1, 9).Size(), static_cast<int>(size));
    }
    // At n = 0 every grid point is a scale value; at n = 7 every eighth one is.
    FilterResponse coarse(0);
    coarse.Update(path, settings);
    for (int code = 0; code <= 100; ++code) {
        ASSERT_EQ(response.LevelsDb()[code * 8], coarse.LevelsDb()[code]) << code;
    }
}

TEST(FilterResponse, ChannelValuesOtherThanZeroMeanChannelB) {
    FilterResponse response(0);
    response.MarkDirty(0, CurveKind::LowPass);
    CurveSet set;
    set.Add(5, CurveKind::Graphic);
    EXPECT_TRUE(set.Contains(1, CurveKind::Graphic));
    EXPECT_TRUE(set.Contains(-1, CurveKind::Graphic));
    EXPECT_FALSE(set.Contains(0, CurveKind::Graphic));
    EXPECT_EQ(response.Curve(7, CurveKind::Parametric).data(),
              response.Curve(1, CurveKind::Parametric).data());
}

}  // namespace
}  // namespace arvestra
