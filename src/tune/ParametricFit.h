#pragma once

#include <vector>

#include "tune/EqCodes.h"
#include "tune/FitProblem.h"

namespace arvestra {

// The 10 parametric bands chosen for a problem, and the residual error before and after.
struct ParametricFitResult {
    ParametricCodes bands{};
    ResponseError before;
    ResponseError after;
    std::vector<double> eqDb;  // the EQ's level at the problem's points
};

// Chooses the frequency, bandwidth and gain codes of the 10 parametric bands, within the limits,
// so that measurement + EQ comes closest to the target over the problem's range. Bands are
// placed one at a time where they lower the error most, then every band is moved code by code
// while that helps, and each band in turn is taken out and placed again anew. Bands that would
// not help stay at 0 dB. Every band ends with its own Bypass off.
ParametricFitResult FitParametric(const FitProblem& problem);

}  // namespace arvestra
