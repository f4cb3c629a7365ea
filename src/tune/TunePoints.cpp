#include "tune/TunePoints.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>

#include "model/FilterDesign.h"
#include "model/FrequencyGrid.h"
#include "model/Scales.h"

namespace arvestra {

TunePoints::TunePoints(std::span<const double> frequenciesHz)
    : hz_(frequenciesHz.begin(), frequenciesHz.end()) {
    const std::size_t size = hz_.size();
    c1_.resize(size);
    s1_.resize(size);
    c2_.resize(size);
    s2_.resize(size);
    for (std::size_t i = 0; i < size; ++i) {
        const double w = hz_[i] * FilterDesign::kRadiansPerHertz;
        c1_[i] = std::cos(w);
        s1_[i] = std::sin(w);
        c2_[i] = std::cos(2.0 * w);
        s2_[i] = std::sin(2.0 * w);
    }
}

TunePoints TunePoints::GridRange(double lowHz, double highHz, int extraPoints) {
    const FrequencyGrid grid(ScaleTable(Scale::Frequency), extraPoints);
    std::vector<double> hz;
    for (float f : grid.Frequencies()) {
        if (f >= lowHz && f <= highHz) hz.push_back(f);
    }
    return TunePoints(hz);
}

// The sign of the imaginary parts does not matter for a magnitude, so both sums use +sin.
void TunePoints::SectionDb(const FilterSection& s, std::span<double> outDb) const {
    const std::size_t size = hz_.size();
    const double b0 = s.b[0], b1 = s.b[1], b2 = s.b[2];
    const double a0 = s.a[0], a1 = s.a[1], a2 = s.a[2];
    const double *c1 = c1_.data(), *s1 = s1_.data(), *c2 = c2_.data(), *s2 = s2_.data();
    double* out = outDb.data();
    for (std::size_t i = 0; i < size; ++i) {
        const double nRe = b0 + b1 * c1[i] + b2 * c2[i];
        const double nIm = b1 * s1[i] + b2 * s2[i];
        const double dRe = a0 + a1 * c1[i] + a2 * c2[i];
        const double dIm = a1 * s1[i] + a2 * s2[i];
        out[i] = PowerToDbFast((nRe * nRe + nIm * nIm) / (dRe * dRe + dIm * dIm));
    }
}

void TunePoints::AddSectionDb(const FilterSection& s, std::span<double> accDb) const {
    const std::size_t size = hz_.size();
    const double b0 = s.b[0], b1 = s.b[1], b2 = s.b[2];
    const double a0 = s.a[0], a1 = s.a[1], a2 = s.a[2];
    const double *c1 = c1_.data(), *s1 = s1_.data(), *c2 = c2_.data(), *s2 = s2_.data();
    double* acc = accDb.data();
    for (std::size_t i = 0; i < size; ++i) {
        const double nRe = b0 + b1 * c1[i] + b2 * c2[i];
        const double nIm = b1 * s1[i] + b2 * s2[i];
        const double dRe = a0 + a1 * c1[i] + a2 * c2[i];
        const double dIm = a1 * s1[i] + a2 * s2[i];
        acc[i] += PowerToDbFast((nRe * nRe + nIm * nIm) / (dRe * dRe + dIm * dIm));
    }
}

void TunePoints::SectionComplex(const FilterSection& section, std::span<double> re,
                                std::span<double> im) const {
    std::fill(re.begin(), re.begin() + Size(), 1.0);
    std::fill(im.begin(), im.begin() + Size(), 0.0);
    CascadeSection(section, re, im);  // multiplying by 1 + 0j is exact
}

// N / D as N * conj(D) / |D|^2 with z = e^(-jw): one division instead of Smith's two. The
// sections a fit tries are well scaled, so the overflow Smith's method guards against cannot
// occur here.
void TunePoints::CascadeSection(const FilterSection& s, std::span<double> accRe,
                                std::span<double> accIm) const {
    const std::size_t size = hz_.size();
    const double b0 = s.b[0], b1 = s.b[1], b2 = s.b[2];
    const double a0 = s.a[0], a1 = s.a[1], a2 = s.a[2];
    const double *c1 = c1_.data(), *s1 = s1_.data(), *c2 = c2_.data(), *s2 = s2_.data();
    double* outRe = accRe.data();
    double* outIm = accIm.data();
    for (std::size_t i = 0; i < size; ++i) {
        const double nRe = b0 + b1 * c1[i] + b2 * c2[i];
        const double nIm = -(b1 * s1[i] + b2 * s2[i]);
        const double dRe = a0 + a1 * c1[i] + a2 * c2[i];
        const double dIm = -(a1 * s1[i] + a2 * s2[i]);
        const double inv = 1.0 / (dRe * dRe + dIm * dIm);
        const double hRe = (nRe * dRe + nIm * dIm) * inv;
        const double hIm = (nIm * dRe - nRe * dIm) * inv;
        const double re = outRe[i] * hRe - outIm[i] * hIm;
        outIm[i] = outRe[i] * hIm + outIm[i] * hRe;
        outRe[i] = re;
    }
}

// ln(x) = k ln 2 + ln(m) with x = m 2^k and m in [sqrt(1/2), sqrt(2)), ln(m) from the series of
// atanh: ln(m) = 2 atanh((m - 1) / (m + 1)). Only shifts, masks and adds of 64-bit integers,
// which SSE2 has, so the loops that call it vectorise.
double PowerToDbFast(double power) {
    // A point exactly on a notch would have no logarithm; -300 dB stands for it.
    power = power > 1e-30 ? power : 1e-30;
    constexpr double kDbPerLn = 4.342944819032518;  // 10 / ln(10)
    constexpr double kLn2 = 0.6931471805599453;
    constexpr std::uint64_t kSqrtHalfBits = 0x3FE6A09E667F3BCDull;
    constexpr std::uint64_t kMantissaMask = 0x000FFFFFFFFFFFFFull;
    constexpr std::uint64_t kTwo52Bits = 0x4330000000000000ull;  // 2^52 as a double
    constexpr double kTwo52 = 4503599627370496.0;
    // Biased by 1023 so the exponent field stays positive for every power above 1e-30.
    const std::uint64_t shifted =
        std::bit_cast<std::uint64_t>(power) - kSqrtHalfBits + (std::uint64_t{1023} << 52);
    const double exponent = std::bit_cast<double>(kTwo52Bits | (shifted >> 52)) - (kTwo52 + 1023.0);
    const double m = std::bit_cast<double>((shifted & kMantissaMask) + kSqrtHalfBits);
    const double t = (m - 1.0) / (m + 1.0);
    const double t2 = t * t;
    // |t| < 0.172, so terms up to t^11 leave an error below 1e-10.
    const double series =
        1.0 + t2 * (1.0 / 3 + t2 * (1.0 / 5 + t2 * (1.0 / 7 + t2 * (1.0 / 9 + t2 * (1.0 / 11)))));
    return kDbPerLn * (exponent * kLn2 + 2.0 * t * series);
}

}  // namespace arvestra
