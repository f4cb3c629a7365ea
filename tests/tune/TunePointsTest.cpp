#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "model/ComplexResponse.h"
#include "model/FilterDesign.h"
#include "model/FrequencyGrid.h"
#include "model/Scales.h"
#include "tune/EqCodes.h"
#include "tune/TunePoints.h"

namespace arvestra {
namespace {

TEST(PowerToDbFast, AgreesWithLog10AcrossTheRangeOfPowers) {
    for (double power :
         {1e-30, 1e-12, 0.001, 0.5, 0.70710678, 1.0, 1.41421356, 2.0, 3.7, 1e6, 1e30}) {
        EXPECT_NEAR(PowerToDbFast(power), 10.0 * std::log10(power), 1e-9) << power;
    }
    EXPECT_EQ(PowerToDbFast(1.0), 0.0);
    // A point exactly on a notch reads as -300 dB rather than as no number.
    EXPECT_NEAR(PowerToDbFast(0.0), -300.0, 1e-9);
}

// The fast paths agree with the graph's own evaluation (Smith's division) on its grid.
TEST(TunePoints, SectionResponsesAgreeWithTheGraphsEvaluation) {
    const FrequencyGrid grid(ScaleTable(Scale::Frequency), 3);
    std::vector<double> hz(grid.Frequencies().begin(), grid.Frequencies().end());
    const TunePoints points(hz);
    for (const FilterSection& section :
         {FilterDesign::ParametricBand(63.0, -12.0, 0.1), FilterDesign::GraphicBand(1000, 6, 4),
          CookbookPeaking(5000.0, 4.5, 0.7), FilterDesign::LowPass12(8000.0)}) {
        ComplexResponse exact;
        exact.Evaluate(section, grid);
        std::vector<double> db(hz.size()), re(hz.size()), im(hz.size());
        points.SectionDb(section, db);
        points.SectionComplex(section, re, im);
        for (std::size_t i = 0; i < hz.size(); ++i) {
            const std::complex<double> h = exact.At(static_cast<int>(i));
            EXPECT_NEAR(db[i], 10.0 * std::log10(std::norm(h)), 1e-9);
            EXPECT_NEAR(re[i], h.real(), 1e-12);
            EXPECT_NEAR(im[i], h.imag(), 1e-12);
        }
    }
}

TEST(TunePoints, ACascadeIsTheProductOfItsSections) {
    const FrequencyGrid grid(ScaleTable(Scale::Frequency), 1);
    std::vector<double> hz(grid.Frequencies().begin(), grid.Frequencies().end());
    const TunePoints points(hz);
    const FilterSection first = FilterDesign::ParametricBand(100.0, -9.0, 0.3);
    const FilterSection second = FilterDesign::GraphicBand(2500.0, 4.0, 2.5);
    std::vector<double> re(hz.size(), 1.0), im(hz.size(), 0.0);
    points.CascadeSection(first, re, im);
    points.CascadeSection(second, re, im);
    ComplexResponse a, b;
    a.Evaluate(first, grid);
    b.Evaluate(second, grid);
    for (std::size_t i = 0; i < hz.size(); ++i) {
        const std::complex<double> h = a.At(static_cast<int>(i)) * b.At(static_cast<int>(i));
        EXPECT_NEAR(re[i], h.real(), 1e-12);
        EXPECT_NEAR(im[i], h.imag(), 1e-12);
    }
}

TEST(TunePoints, GridRangeKeepsTheGridPointsWithinTheRange) {
    const TunePoints points = TunePoints::GridRange(40.0, 16000.0);
    EXPECT_DOUBLE_EQ(points.Hz().front(), 40.0);
    EXPECT_DOUBLE_EQ(points.Hz().back(), 16000.0);
    EXPECT_EQ(points.Size(), 345);  // codes 10..96: 86 steps of 4 points, and the last
}

// The cookbook peaking filter reaches its gain at its centre and half of it (in dB) at the
// edges its Q sets.
TEST(CookbookPeaking, ReachesItsGainAtTheCentre) {
    const double hz[] = {1000.0};
    const TunePoints points(hz);
    std::vector<double> db(1);
    points.SectionDb(CookbookPeaking(1000.0, -9.0, 4.0), db);
    EXPECT_NEAR(db[0], -9.0, 1e-9);
    points.SectionDb(ParametricBandSection({56, 19, 85, false}), db);
    EXPECT_NEAR(db[0], -6.0, 1e-9);
}

}  // namespace
}  // namespace arvestra
