#include <gtest/gtest.h>

#include <cstdio>

#include "tune/FitCases.h"
#include "tune/GraphicFit.h"
#include "tune/ParametricFit.h"

namespace arvestra {
namespace {

using namespace fit_cases;

constexpr int kDefaultQCode = 6;  // Q 4.0: the wide bands
constexpr int kNarrowQCode = 12;  // Q 7.0

std::vector<double> RangePart(const std::vector<double>& levels) {
    const std::vector<double> hz = GridHz();
    std::vector<double> part;
    for (std::size_t i = 0; i < hz.size(); ++i) {
        if (hz[i] >= kLowHz && hz[i] <= kHighHz) part.push_back(levels[i]);
    }
    return part;
}

class GraphicFitCases : public testing::TestWithParam<std::tuple<unsigned, int>> {};

TEST_P(GraphicFitCases, LeavesAtMostOneDecibelWithinTheLimits) {
    const auto [seed, qCode] = GetParam();
    const GraphicGainCodes truth = RandomGraphic(seed, qCode);
    const auto made =
        FitProblem::Make(RequestFor(InverseWithNoise(GraphicLevels(truth, qCode), seed)));
    ASSERT_TRUE(made.problem) << made.error;
    const GraphicFitResult fit = FitGraphic(*made.problem, qCode);
    std::printf(
        "[ measure  ] graphic seed %u Q code %d: %.2f dB RMS before, %.2f after (%.2f "
        "worst)\n",
        seed, qCode, fit.before.rmsDb, fit.after.rmsDb, fit.after.maxDb);
    EXPECT_GE(fit.before.rmsDb, 2.0);
    EXPECT_LE(fit.after.rmsDb, 1.0);
    for (int code : fit.gains) {
        EXPECT_GE(code, 0);   // -15 dB
        EXPECT_LE(code, 42);  // +6 dB
    }
    // The editor's own response of the chosen codes keeps the limits and is what the fit saw.
    const std::vector<double> levels = GraphicLevels(fit.gains, qCode);
    EXPECT_TRUE(WithinLimitsOverRange(levels, FitLimits{}));
    const std::vector<double> part = RangePart(levels);
    ASSERT_EQ(part.size(), fit.eqDb.size());
    for (std::size_t i = 0; i < part.size(); ++i) EXPECT_NEAR(part[i], fit.eqDb[i], 1e-6);
}

INSTANTIATE_TEST_SUITE_P(Seeds, GraphicFitCases,
                         testing::Combine(testing::Values(1u, 2u, 3u),
                                          testing::Values(kDefaultQCode, kNarrowQCode)));

class ParametricFitCases : public testing::TestWithParam<unsigned> {};

TEST_P(ParametricFitCases, LeavesAtMostOneDecibelWithinTheLimits) {
    const unsigned seed = GetParam();
    const ParametricCodes truth = RandomParametric(seed);
    const auto made = FitProblem::Make(RequestFor(InverseWithNoise(ParametricLevels(truth), seed)));
    ASSERT_TRUE(made.problem) << made.error;
    const ParametricFitResult fit = FitParametric(*made.problem);
    std::printf("[ measure  ] parametric seed %u: %.2f dB RMS before, %.2f after (%.2f worst)\n",
                seed, fit.before.rmsDb, fit.after.rmsDb, fit.after.maxDb);
    EXPECT_GE(fit.before.rmsDb, 2.0);
    EXPECT_LE(fit.after.rmsDb, 1.0);
    for (const ParametricBandCodes& band : fit.bands) {
        EXPECT_GE(band.gain, 67);   // -15 dB
        EXPECT_LE(band.gain, 109);  // +6 dB
        EXPECT_FALSE(band.bypass);
    }
    const std::vector<double> levels = ParametricLevels(fit.bands);
    EXPECT_TRUE(WithinLimitsOverRange(levels, FitLimits{}));
    const std::vector<double> part = RangePart(levels);
    ASSERT_EQ(part.size(), fit.eqDb.size());
    for (std::size_t i = 0; i < part.size(); ++i) EXPECT_NEAR(part[i], fit.eqDb[i], 1e-6);
}

INSTANTIATE_TEST_SUITE_P(Seeds, ParametricFitCases, testing::Values(1u, 2u, 3u));

TEST(FitLimits, TighterLimitsAreKeptEvenWhenTheyCostAccuracy) {
    const GraphicGainCodes truth = RandomGraphic(7, kDefaultQCode);
    FitRequest request = RequestFor(InverseWithNoise(GraphicLevels(truth, kDefaultQCode), 7));
    request.limits = {2.0, 3.0};
    const auto made = FitProblem::Make(request);
    ASSERT_TRUE(made.problem);
    const GraphicFitResult graphic = FitGraphic(*made.problem, kDefaultQCode);
    EXPECT_TRUE(WithinLimitsOverRange(GraphicLevels(graphic.gains, kDefaultQCode), request.limits));
    const ParametricFitResult parametric = FitParametric(*made.problem);
    EXPECT_TRUE(WithinLimitsOverRange(ParametricLevels(parametric.bands), request.limits));
}

TEST(FitTarget, ATiltedTargetIsFollowed) {
    // A flat system asked to fall 1 dB per octave: the EQ itself must fall.
    const std::vector<double> flat(GridHz().size(), 0.0);
    FitRequest request = RequestFor(Measurement(GridHz(), flat));
    request.tiltDbPerOctave = -1.0;
    const auto made = FitProblem::Make(request);
    ASSERT_TRUE(made.problem);
    const GraphicFitResult fit = FitGraphic(*made.problem, kDefaultQCode);
    EXPECT_GE(fit.before.rmsDb, 2.0);
    EXPECT_LE(fit.after.rmsDb, 0.5);
    EXPECT_GT(fit.eqDb.front(), fit.eqDb.back() + 6.0);
}

struct BadRequest {
    double lowHz, highHz, boost, cut;
    const char* error;
};

class FitRequestErrors : public testing::TestWithParam<BadRequest> {};

TEST_P(FitRequestErrors, AreRefusedWithAMessage) {
    const BadRequest& c = GetParam();
    FitRequest request = RequestFor(Measurement({100, 1000}, {0, 1}));
    request.lowHz = c.lowHz;
    request.highHz = c.highHz;
    request.limits = {c.boost, c.cut};
    const auto made = FitProblem::Make(request);
    EXPECT_FALSE(made.problem);
    EXPECT_NE(made.error.find(c.error), std::string::npos) << made.error;
}

INSTANTIATE_TEST_SUITE_P(Table, FitRequestErrors,
                         testing::Values(BadRequest{500, 500, 6, 15, "is empty"},
                                         BadRequest{800, 400, 6, 15, "is empty"},
                                         BadRequest{2000, 16000, 6, 15, "holds too little"},
                                         BadRequest{40, 16000, -1, 15, "0 dB or more"},
                                         BadRequest{40, 16000, 6, NAN, "0 dB or more"}));

}  // namespace
}  // namespace arvestra
