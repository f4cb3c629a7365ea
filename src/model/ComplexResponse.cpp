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
    const auto& b = section.b;
    const auto& a = section.a;
    double* outRe = re_.data();
    double* outIm = im_.data();
    for (std::size_t i = 0; i < size; ++i) {
        double nRe = b[0] + b[1] * c1[i] + b[2] * c2[i];
        double nIm = b[1] * s1[i] + b[2] * s2[i];
        double dRe = a[0] + a[1] * c1[i] + a[2] * c2[i];
        double dIm = a[1] * s1[i] + a[2] * s2[i];
        if constexpr (Order == 4) {
            nRe = nRe + b[3] * c3[i] + b[4] * c4[i];
            nIm = nIm + b[3] * s3[i] + b[4] * s4[i];
            dRe = dRe + a[3] * c3[i] + a[4] * c4[i];
            dIm = dIm + a[3] * s3[i] + a[4] * s4[i];
        }
        const bool imagLarger = std::fabs(dIm) > std::fabs(dRe);
        const double x = imagLarger ? nRe : nIm;
        const double y = imagLarger ? nIm : nRe;
        const double p = imagLarger ? dRe : dIm;
        const double q = imagLarger ? dIm : dRe;
        const double r = p / q;
        const double d = q + p * r;
        const double t = (y * r - x) / d;
        outRe[i] = (x * r + y) / d;
        outIm[i] = imagLarger ? t : -t;
    }
}

}  // namespace arvestra
