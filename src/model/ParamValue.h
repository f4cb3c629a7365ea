// Parameter values as typed on the command line, printed by "get" and written in exported
// settings: a bare whole number is the stored code (the document limits it to the field's
// range), a number with a unit is a physical value turned into the nearest code of the
// parameter's scale.
//
//   Hz, kHz      frequencies                   dB     gains, levels, thresholds
//   ms, s        attack, release, delay time   bw     parametric bandwidth
//   Q            graphic equaliser Q           :1     compressor ratio (e.g. 4:1)
//   F, C         delay temperature             ft, m  delay as a distance
//
// A delay given as a distance has no code of its own: it becomes samples only at the channel's
// stored temperature, when the edit is applied.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "model/Scale.h"

namespace arvestra {

enum class DistanceUnit { Feet, Metres };

// A delay typed as a distance.
struct DelayDistance {
    DistanceUnit unit = DistanceUnit::Feet;
    double value = 0.0;
};

// A code, a delay distance, or a message saying why the text is not a value of the scale.
struct ValueParse {
    std::optional<long long> code;
    std::optional<DelayDistance> distance;
    bool fromUnits = false;    // the text carried a unit (the code is then within the scale)
    bool beyondScale = false;  // the value lay outside the scale and was limited to its end
    std::string error;
};

// Parses a value for a parameter of the given scale.
ValueParse ParseParamValue(std::string_view text, Scale scale);

// The value of a code as "get --units" prints it: the shortest decimal with the scale's unit
// that parses back to the same code, or the bare code when none does (codes with no physical
// value of their own, and Scale::None).
std::string FormatParamValue(Scale scale, int code);

// The units a scale accepts, for messages ("Hz or kHz"); empty for Scale::None.
std::string UnitsOfScale(Scale scale);

// A number in the unit that "get --units" prints (Hz, dB, ms, bw, Q, :1, F) as the nearest code,
// read as ParseParamValue reads that number with that unit; for Scale::None the number must be
// a whole code. Front ends that carry bare numbers (OSC) use it.
ValueParse ParseValueInPrintedUnit(double number, Scale scale);

// The value of a code in that unit (the code itself for Scale::None).
double ValueInPrintedUnit(Scale scale, int code);

// The suffix of that unit ("dB", "Hz", "ms"); empty for Scale::None.
std::string PrintedUnitOfScale(Scale scale);

}  // namespace arvestra
