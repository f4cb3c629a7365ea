#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "tune/Measurement.h"

namespace arvestra {

// How a measurement is brought to 0 dB for showing it under the EQ curve: by its mean over a
// range, or by its level at one frequency.
struct Normalisation {
    enum class Kind { MeanOverRange, AtFrequency };

    Kind kind = Kind::MeanOverRange;
    double lowHz = 40.0;
    double highHz = 16000.0;
    double atHz = 1000.0;

    bool operator==(const Normalisation&) const = default;
};

// "mean 40-16000" or "at 1000", as the editor keeps it in its settings.
std::string FormatNormalisation(const Normalisation& normalisation);
// The normalisation a text names, or nothing when it names none.
std::optional<Normalisation> ParseNormalisation(std::string_view text);

// The measurement moved so that its mean over the range, or its level at the frequency, is
// 0 dB; an error when the range holds no part of the measurement.
struct NormaliseResult {
    Measurement measurement;
    std::string error;
};
NormaliseResult Normalise(const Measurement& measurement, const Normalisation& normalisation);

}  // namespace arvestra
