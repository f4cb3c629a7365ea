// What an OSC argument asks a parameter to become. For a set: an int is a code, a float a value
// in the unit "get --units" prints (dB, Hz, ms, bw, Q, :1, F), a string a value as typed on the
// command line ("-6dB", "1kHz", "12.5m"). For a step (/inc): a float is a difference in that
// unit, an int a number of codes; a step that is smaller than the scale's spacing still moves
// one code, and a step beyond an end of the range stops at that end.
#pragma once

#include <optional>
#include <string>

#include "model/ParamName.h"
#include "model/ParamValue.h"
#include "osc/OscMessage.h"

namespace arvestra::osc {

struct OscValueParse {
    std::optional<long long> code;          // within the parameter's codes
    std::optional<DelayDistance> distance;  // a delay typed as a distance
    std::optional<std::string> text;        // the preset name, UTF-8
    std::string limited;  // set when the value lay outside the range and was limited
    std::string error;    // set when nothing is to be applied
};

// The value a set asks for.
OscValueParse ValueToSet(const ParamRef& ref, const OscArg& arg);
// The code a step from `currentCode` asks for.
OscValueParse ValueAfterStep(const ParamRef& ref, int currentCode, const OscArg& arg);

}  // namespace arvestra::osc
