#pragma once

#include <vector>

#include "tune/EqCodes.h"
#include "tune/FilterText.h"
#include "tune/ResponseError.h"

namespace arvestra {

// A band's codes turned into the numbers of a peaking filter with the closest response.
struct PeakingEquivalent {
    double frequencyHz = 1000.0;
    double gainDb = 0.0;
    double q = 1.0;
};

// The parametric bands chosen for a list of peaking filters, and how close they come.
struct BandMatch {
    ParametricCodes bands;                 // one band per filter, in order; the rest flat
    std::vector<ResponseError> perFilter;  // each band against its own filter
    ResponseError total;                   // all bands against all filters, over 20 Hz to 20 kHz
    ResponseError nearestNumbers;          // the same with the nearest numbers (bandwidth = 1/Q)
};

// Chooses, for each filter (at most 10), the frequency, bandwidth and gain codes whose band
// response comes closest to the filter's over the audio band, then adjusts the bands together
// so the whole set comes closest to the whole list. The device's band is narrower in cut than
// in boost, so the codes differ from the nearest numbers.
BandMatch MatchFilters(const std::vector<PeakingFilter>& filters);

// The codes nearest to a filter's numbers (bandwidth taken as 1/Q), for comparison.
ParametricBandCodes NearestNumbers(const PeakingFilter& filter);

// The peaking filter whose response comes closest to a band's (its frequency and gain, the Q
// searched).
PeakingEquivalent PeakingEquivalentOf(const ParametricBandCodes& band);

}  // namespace arvestra
