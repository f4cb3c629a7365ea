// The messages the show-control server sends: answers to /get, feedback to subscribers and
// error replies. A parameter with a unit is sent as a float in the unit "get --units" prints
// (dB, Hz, ms, ...), one without as an int code, the preset name as a string.
#pragma once

#include <string>
#include <string_view>

#include "osc/OscEditPath.h"
#include "osc/OscMessage.h"

namespace arvestra::osc {

// "/arvestra/error" with the path that failed and the reason.
OscMessage ErrorReply(std::string_view path, std::string_view reason);
// "/arvestra/<A>/<param>" with the parameter's value in the image.
OscMessage ParamReply(int address, const ParamRef& ref, ImageBytes image);
// "/arvestra/<A>/preset" with the current preset 1..8.
OscMessage PresetReply(int address, int preset);
// "/arvestra/<A>/bypass/<1|2>" with 0 or 1.
OscMessage BypassReply(int address, int channel, bool on);

}  // namespace arvestra::osc
