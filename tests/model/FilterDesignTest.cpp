// Checks every filter design against |H|^2 worked out here from the design formulas in long
// double, with the firmware's pi, and evaluated by plain complex arithmetic.
#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <vector>

#include "model/ComplexResponse.h"
#include "model/FilterDesign.h"
#include "model/FrequencyGrid.h"

namespace arvestra {
namespace {

using LD = long double;
using Coefficients = std::vector<LD>;

constexpr LD kPi = 3.1415926535L;  // the firmware's pi, ten decimals
constexpr LD kSampleRate = 48000.0L;

LD Omega(LD hz) {
    return hz * 2.0L * kPi / kSampleRate;
}

struct Design {
    Coefficients b;
    Coefficients a;
};

Design ReferenceLowPass12(LD hz) {
    const LD w = Omega(hz), c = std::cos(w), s = std::sin(w), r2 = std::sqrt(2.0L);
    return {{1 - c, 2 * (1 - c), 1 - c}, {2 + s * r2, -4 * c, 2 - s * r2}};
}

Design ReferenceHighPass12(LD hz) {
    const LD w = Omega(hz), c = std::cos(w), s = std::sin(w), r2 = std::sqrt(2.0L);
    return {{1 + c, -2 * (1 + c), 1 + c}, {2 + s * r2, -4 * c, 2 - s * r2}};
}

Coefficients ReferenceFourthOrderDenominator(LD w) {
    const LD s = std::sin(w), r2 = std::sqrt(2.0L), p8 = kPi / 8;
    const LD h = 2 * (std::cos(p8) + std::sin(p8)) * s;
    const LD v = 2 * r2 * s * s;
    const LD bigB = 8 * std::cos(w);
    return {8 + 4 * h + v, -(h + 4) * bigB, 32 + 16 * std::cos(2 * w) - 2 * v, (h - 4) * bigB,
            8 - 4 * h + v};
}

Design ReferenceLowPass24(LD hz) {
    const LD w = Omega(hz), f = 8 * std::pow(std::sin(w / 2), 4);
    return {{f, 4 * f, 6 * f, 4 * f, f}, ReferenceFourthOrderDenominator(w)};
}

Design ReferenceHighPass24(LD hz) {
    const LD w = Omega(hz), f = 8 * std::pow(std::cos(w / 2), 4);
    return {{f, -4 * f, 6 * f, -4 * f, f}, ReferenceFourthOrderDenominator(w)};
}

Design ReferenceParametric(LD hz, LD gainDb, LD bw) {
    const LD w = Omega(hz), gain = std::pow(10.0L, gainDb / 20), e = std::tan(w * bw / 2);
    return {{1 + e * gain, -2 * std::cos(w), 1 - e * gain}, {1 + e, -2 * std::cos(w), 1 - e}};
}

Design ReferenceGraphic(LD hz, LD gainDb, LD q) {
    const LD w = Omega(hz), g1 = std::pow(10.0L, gainDb / 20) - 1, m = std::tan(w / 2 / q);
    return {{m * g1, 0, -m * g1}, {1 + m, -2 * std::cos(w), 1 - m}};
}

// |sum b_k z^k / sum a_k z^k|^2 with z = e^(-jw).
LD ReferenceMagnitudeSquared(const Design& design, LD hz) {
    const std::complex<LD> z = std::polar(1.0L, -Omega(hz));
    std::complex<LD> n = 0, d = 0, zk = 1;
    for (std::size_t k = 0; k < design.b.size(); ++k, zk *= z) {
        n += design.b[k] * zk;
        d += design.a[k] * zk;
    }
    return std::norm(n / d);
}

std::vector<double> TestScale() {
    // Thirds of an octave, roughly, 20 Hz to 20 kHz: enough points to spread over the band.
    std::vector<double> scale;
    for (double hz = 20.0; hz < 20000.0; hz *= 1.26) scale.push_back(hz);
    scale.push_back(20000.0);
    return scale;
}

struct DesignCase {
    const char* name;
    FilterSection section;
    Design reference;
    // Tolerance in dB. The direct form cancels heavily deep in a stop band and, for a
    // fourth-order section with a cut-off near 20 Hz, everywhere; double precision still keeps
    // it far below the 0.0001 dB that the response dump shows.
    double toleranceDb = 1e-7;
};

class DesignMatchesReference : public testing::TestWithParam<DesignCase> {};

TEST_P(DesignMatchesReference, AtEveryGridPoint) {
    const DesignCase& c = GetParam();
    const std::vector<double> scale = TestScale();
    const FrequencyGrid grid(scale, 1);
    ComplexResponse response;
    response.Evaluate(c.section, grid);
    ASSERT_EQ(response.Size(), grid.Size());
    for (int i = 0; i < grid.Size(); ++i) {
        const LD hz = grid.Frequencies()[static_cast<std::size_t>(i)];
        const double expectedDb =
            static_cast<double>(10.0L * std::log10(ReferenceMagnitudeSquared(c.reference, hz)));
        const double actualDb = 10.0 * std::log10(std::norm(response.At(i)));
        // The cancellation grows with the depth of the stop band, about as 1 / |H|.
        const double depthFactor = std::max(1.0, std::pow(10.0, -expectedDb / 20.0));
        const double tolerance = std::min(c.toleranceDb * depthFactor, 0.01);
        EXPECT_NEAR(actualDb, expectedDb, tolerance) << c.name << " at " << hz;
    }
}

INSTANTIATE_TEST_SUITE_P(
    AllDesigns, DesignMatchesReference,
    testing::Values(
        DesignCase{"lp12 1k", FilterDesign::LowPass12(1000), ReferenceLowPass12(1000)},
        DesignCase{"lp12 20", FilterDesign::LowPass12(20), ReferenceLowPass12(20)},
        DesignCase{"lp12 20k", FilterDesign::LowPass12(20000), ReferenceLowPass12(20000)},
        DesignCase{"hp12 100", FilterDesign::HighPass12(100), ReferenceHighPass12(100)},
        DesignCase{"hp12 20k", FilterDesign::HighPass12(20000), ReferenceHighPass12(20000)},
        DesignCase{"lp24 1k", FilterDesign::LowPass24(1000), ReferenceLowPass24(1000)},
        DesignCase{"lp24 5k", FilterDesign::LowPass24(5000), ReferenceLowPass24(5000)},
        DesignCase{"hp24 250", FilterDesign::HighPass24(250), ReferenceHighPass24(250)},
        DesignCase{"hp24 20", FilterDesign::HighPass24(20), ReferenceHighPass24(20), 1e-4},
        DesignCase{"lp24 20", FilterDesign::LowPass24(20), ReferenceLowPass24(20), 1e-4},
        DesignCase{"peq boost", FilterDesign::ParametricBand(1000, 12, 1.0),
                   ReferenceParametric(1000, 12, 1.0)},
        DesignCase{"peq cut narrow", FilterDesign::ParametricBand(315, -49.5, 0.05),
                   ReferenceParametric(315, -49.5, 0.05)},
        DesignCase{"peq wide high", FilterDesign::ParametricBand(12500, 6.5, 3.0),
                   ReferenceParametric(12500, 6.5, 3.0)},
        DesignCase{"geq boost", FilterDesign::GraphicBand(1000, 15, 4.0),
                   ReferenceGraphic(1000, 15, 4.0)},
        DesignCase{"geq cut", FilterDesign::GraphicBand(16000, -15, 4.0 / 3.0),
                   ReferenceGraphic(16000, -15, 4.0L / 3.0L)},
        DesignCase{"geq small", FilterDesign::GraphicBand(40, -0.5, 1.25),
                   ReferenceGraphic(40, -0.5, 1.25)}),
    [](const testing::TestParamInfo<DesignCase>& info) {
        std::string name = info.param.name;
        for (char& ch : name) {
            if (!std::isalnum(static_cast<unsigned char>(ch))) ch = '_';
        }
        return name;
    });

double DbAt(const FilterSection& section, double hz) {
    const std::vector<double> scale{hz};
    const FrequencyGrid grid(scale, 0);
    ComplexResponse response;
    response.Evaluate(section, grid);
    return 10.0 * std::log10(std::norm(response.At(0)));
}

struct CutoffCase {
    const char* name;
    FilterSection (*design)(double);
    double cutoffHz;
    double octaveAwayHz;   // one octave into the stop band
    double octaveLevelDb;  // expected level there, within 0.3 dB
};

class CutoffPoint : public testing::TestWithParam<CutoffCase> {};

TEST_P(CutoffPoint, IsMinus3DbAtCutoffAndFallsWithOrder) {
    const CutoffCase& c = GetParam();
    const FilterSection section = c.design(c.cutoffHz);
    EXPECT_NEAR(DbAt(section, c.cutoffHz), -3.0103, 5e-4) << c.name;
    EXPECT_NEAR(DbAt(section, c.octaveAwayHz), c.octaveLevelDb, 0.3) << c.name;
}

// A Butterworth filter of order N is 10 log10(1 + 2^(2N)) down one octave past its cut-off:
// -12.3 dB for order 2 and -24.1 dB for order 4 (the bilinear warping is small at 1-2 kHz).
INSTANTIATE_TEST_SUITE_P(
    PassFilters, CutoffPoint,
    testing::Values(CutoffCase{"lp12", FilterDesign::LowPass12, 1000, 2000, -12.3},
                    CutoffCase{"lp24", FilterDesign::LowPass24, 1000, 2000, -24.1},
                    CutoffCase{"hp12", FilterDesign::HighPass12, 1000, 500, -12.3},
                    CutoffCase{"hp24", FilterDesign::HighPass24, 1000, 500, -24.1}));

TEST(FilterDesign, ConstantsUseTheFirmwarePi) {
    EXPECT_DOUBLE_EQ(FilterDesign::kRadiansPerHertz, 2 * 3.1415926535 / 48000);
    EXPECT_DOUBLE_EQ(FilterDesign::kPiOver8, 3.1415926535 / 8);
    EXPECT_NE(FilterDesign::kRadiansPerHertz, 2 * M_PI / 48000);
}

TEST(FilterDesign, FlatBandsAreExactlyUnityOrZero) {
    EXPECT_TRUE(FilterDesign::ParametricBand(1000, 0.0, 1.0).IsUnity());
    EXPECT_TRUE(FilterDesign::ParametricBand(20, 0.0, 0.05).IsUnity());
    EXPECT_TRUE(FilterDesign::GraphicBand(1000, 0.0, 2.5).HasZeroNumerator());
    EXPECT_FALSE(FilterDesign::ParametricBand(1000, 0.5, 1.0).IsUnity());
    EXPECT_FALSE(FilterDesign::GraphicBand(1000, -0.5, 2.5).HasZeroNumerator());
}

TEST(FilterDesign, ParametricBandPeaksAtItsGain) {
    for (double gainDb : {-49.5, -12.0, 3.0, 12.0}) {
        EXPECT_NEAR(DbAt(FilterDesign::ParametricBand(2000, gainDb, 0.5), 2000), gainDb, 1e-9);
    }
}

}  // namespace
}  // namespace arvestra
