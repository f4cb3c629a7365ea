#pragma once

#include <array>

namespace arvestra {

// One digital filter section of order 2 or 4: numerator b and denominator a, coefficient k
// multiplying z^k with z = e^(-jw). The coefficients are not normalised (a[0] is not 1); the
// response is always numerator / denominator. Entries above the order are 0.
struct FilterSection {
    static constexpr int kMaxOrder = 4;

    int order = 2;
    std::array<double, kMaxOrder + 1> b{};
    std::array<double, kMaxOrder + 1> a{};

    // True when numerator and denominator are identical, so the response is exactly 1.
    bool IsUnity() const { return b == a; }
    // True when every numerator coefficient is 0, so the response is exactly 0.
    bool HasZeroNumerator() const {
        for (double coefficient : b) {
            if (coefficient != 0.0) return false;
        }
        return true;
    }

    bool operator==(const FilterSection&) const = default;
};

}  // namespace arvestra
