#pragma once

#include <span>

namespace arvestra {

// How far one curve lies from another over a set of points, in dB.
struct ResponseError {
    double rmsDb = 0.0;
    double maxDb = 0.0;  // largest absolute difference
};

// The difference a - b, point by point.
ResponseError CompareDb(std::span<const double> a, std::span<const double> b);

// The difference a - b after removing its mean (the overall level, which the output level sets
// and which no EQ shape needs to supply); meanDb receives the removed level when not null.
ResponseError CompareDbShape(std::span<const double> a, std::span<const double> b,
                             double* meanDb = nullptr);

// Sum of squared differences of (a + c) - b: what the searches minimise (no square root).
double SquaredErrorOfSum(std::span<const double> a, std::span<const double> c,
                         std::span<const double> b);

}  // namespace arvestra
