#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <vector>

#include "model/ComplexResponse.h"
#include "model/FilterDesign.h"
#include "model/FrequencyGrid.h"
#include "model/Scales.h"

namespace arvestra {
namespace {

using Complex = std::complex<double>;

struct DivisionCase {
    Complex numerator;
    Complex denominator;
};

class SmithDivision : public testing::TestWithParam<DivisionCase> {};

TEST_P(SmithDivision, AgreesWithLongDoubleDivision) {
    const DivisionCase& c = GetParam();
    const Complex q = ComplexResponse::DivideSmith(c.numerator, c.denominator);
    const std::complex<long double> expected =
        std::complex<long double>(c.numerator) / std::complex<long double>(c.denominator);
    const double scale = static_cast<double>(std::abs(expected));
    EXPECT_NEAR(q.real(), static_cast<double>(expected.real()), 1e-15 * std::max(scale, 1e-300));
    EXPECT_NEAR(q.imag(), static_cast<double>(expected.imag()), 1e-15 * std::max(scale, 1e-300));
}

INSTANTIATE_TEST_SUITE_P(
    BothBranches, SmithDivision,
    testing::Values(DivisionCase{{1, 2}, {3, 4}},      // imaginary part larger
                    DivisionCase{{1, 2}, {4, 3}},      // real part larger
                    DivisionCase{{-5, 0.5}, {2, -2}},  // equal magnitudes take the real branch
                    DivisionCase{{0, 0}, {1, 1}},      // zero numerator
                    DivisionCase{{7, -3}, {0, 2}},     // purely imaginary denominator
                    DivisionCase{{7, -3}, {-2, 0}},    // purely real denominator
                    DivisionCase{{1e300, 1e300}, {1e300, 1e299}},  // would overflow naively
                    DivisionCase{{1e-300, 3e-300}, {2e-300, -1e-300}}));

TEST(SmithDivision, TakesTheImaginaryBranchOnlyWhenStrictlyLarger) {
    // With |Re D| = |Im D| the real branch gives (Re N + Im N r) / d exactly.
    const Complex q = ComplexResponse::DivideSmith({3, 1}, {2, 2});
    EXPECT_EQ(q, Complex(1.0, -0.5));
}

std::vector<FilterSection> SampleSections() {
    return {FilterDesign::LowPass12(1000),
            FilterDesign::HighPass12(63),
            FilterDesign::LowPass24(8000),
            FilterDesign::HighPass24(200),
            FilterDesign::ParametricBand(500, -9, 0.3),
            FilterDesign::GraphicBand(40, 6, 2.5)};
}

TEST(ComplexResponse, VectorisedEvaluationMatchesTheLiteralAlgorithmBitForBit) {
    const FrequencyGrid grid(ScaleTable(Scale::Frequency), 7);
    for (const FilterSection& section : SampleSections()) {
        ComplexResponse response;
        response.Evaluate(section, grid);
        ASSERT_EQ(response.Size(), grid.Size());
        for (int i = 0; i < grid.Size(); ++i) {
            Complex n = section.b[0], d = section.a[0];
            for (int k = 1; k <= section.order; ++k) {
                const Complex z(grid.PowerRe(k)[i], grid.PowerIm(k)[i]);
                n += section.b[k] * z;
                d += section.a[k] * z;
            }
            const Complex expected = ComplexResponse::DivideSmith(n, d);
            ASSERT_EQ(response.At(i), expected) << "order " << section.order << " point " << i;
        }
    }
}

TEST(ComplexResponse, UnitySectionIsExactlyOneAndZeroNumeratorExactlyZero) {
    const FrequencyGrid grid(ScaleTable(Scale::Frequency), 3);
    ComplexResponse unity;
    unity.Evaluate(FilterDesign::ParametricBand(1000, 0.0, 0.7), grid);
    ComplexResponse zero;
    zero.Evaluate(FilterDesign::GraphicBand(1000, 0.0, 4.0), grid);
    for (int i = 0; i < grid.Size(); ++i) {
        EXPECT_EQ(unity.At(i), Complex(1.0, 0.0));
        EXPECT_EQ(zero.At(i), Complex(0.0, 0.0));
    }
}

TEST(ComplexResponse, ResizesToEachNewGrid) {
    ComplexResponse response;
    response.Evaluate(FilterDesign::LowPass12(100), FrequencyGrid(ScaleTable(Scale::Frequency), 7));
    EXPECT_EQ(response.Size(), 801);
    response.Evaluate(FilterDesign::LowPass12(100), FrequencyGrid(ScaleTable(Scale::Frequency), 0));
    EXPECT_EQ(response.Size(), 101);
    response.Evaluate(FilterDesign::ParametricBand(100, 0, 1),
                      FrequencyGrid(ScaleTable(Scale::Frequency), 1));
    EXPECT_EQ(response.Size(), 201);
}

}  // namespace
}  // namespace arvestra
