#include "model/ComplexResponse.h"

#include <cmath>

namespace arvestra {

std::complex<double> ComplexResponse::DivideSmith(std::complex<double> numerator,
                                                  std::complex<double> denominator) {
    const double nRe = numerator.real();
    const double nIm = numerator.imag();
    const double dRe = denominator.real();
    const double dIm = denominator.imag();
    if (std::fabs(dIm) > std::fabs(dRe)) {
        const double r = dRe / dIm;
        const double d = dIm + dRe * r;
        return {(nRe * r + nIm) / d, (nIm * r - nRe) / d};
    }
    const double r = dIm / dRe;
    const double d = dRe + dIm * r;
    return {(nRe + nIm * r) / d, (nIm - nRe * r) / d};
}

void ComplexResponse::Fill(int size, std::complex<double> value) {
    re_.assign(static_cast<std::size_t>(size), value.real());
    im_.assign(static_cast<std::size_t>(size), value.imag());
}

void ComplexResponse::Evaluate(const FilterSection& section, const FrequencyGrid& grid) {
    if (section.IsUnity()) {
        Fill(grid.Size(), {1.0, 0.0});
    } else if (section.HasZeroNumerator()) {
        Fill(grid.Size(), {0.0, 0.0});
    } else if (section.order > 2) {
        EvaluateOrder<4>(section, grid);
    } else {
        EvaluateOrder<2>(section, grid);
    }
}

// The same arithmetic as DivideSmith, term for term, written without branches so the loop
// vectorises: both of Smith's cases share one shape once their operands are swapped, and the
// imaginary part of the second case is the exact negation of the first case's expression.
template <int Order>
void ComplexResponse::EvaluateOrder(const FilterSection& section, const FrequencyGrid& grid) {
    const std::size_t size = static_cast<std::size_t>(grid.Size());
    re_.resize(size);
    im_.resize(size);
    const double* c1 = grid.PowerRe(1).data();
    const double* s1 = grid.PowerIm(1).data();
    const double* c2 = grid.PowerRe(2).data();
    const double* s2 = grid.PowerIm(2).data();
    const double* c3 = grid.PowerRe(3).data();
    const double* s3 = grid.PowerIm(3).data();
    const double* c4 = grid.PowerRe(4).data();
    const double* s4 = grid.PowerIm(4).data();
    // Local copies: the compiler cannot otherwise rule out that the outputs alias them.
    const double b0 = section.b[0], b1 = section.b[1], b2 = section.b[2];
    const double b3 = section.b[3], b4 = section.b[4];
    const double a0 = section.a[0], a1 = section.a[1], a2 = section.a[2];
    const double a3 = section.a[3], a4 = section.a[4];
    double* outRe = re_.data();
    double* outIm = im_.data();
    for (std::size_t i = 0; i < size; ++i) {
        double nRe = b0 + b1 * c1[i] + b2 * c2[i];
        double nIm = b1 * s1[i] + b2 * s2[i];
        double dRe = a0 + a1 * c1[i] + a2 * c2[i];
        double dIm = a1 * s1[i] + a2 * s2[i];
        if constexpr (Order == 4) {
            nRe = nRe + b3 * c3[i] + b4 * c4[i];
            nIm = nIm + b3 * s3[i] + b4 * s4[i];
            dRe = dRe + a3 * c3[i] + a4 * c4[i];
            dIm = dIm + a3 * s3[i] + a4 * s4[i];
        }
        const bool imagLarger = std::fabs(dIm) > std::fabs(dRe);
        const double x = imagLarger ? nRe : nIm;
        const double y = imagLarger ? nIm : nRe;
        const double p = imagLarger ? dRe : dIm;
        const double q = imagLarger ? dIm : dRe;
        // Multiplying by -1 is exact; a select of t or -t would keep the loop from vectorising.
        const double sign = imagLarger ? 1.0 : -1.0;
        const double r = p / q;
        const double d = q + p * r;
        outRe[i] = (x * r + y) / d;
        outIm[i] = sign * ((y * r - x) / d);
    }
}

}  // namespace arvestra
