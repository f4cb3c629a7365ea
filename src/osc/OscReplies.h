// The messages the show-control server sends: answers to /get, feedback to subscribers and
// error replies. A parameter with a unit is sent as a float in the unit "get --units" prints
// (dB, Hz, ms, ...), one without as an int code, the preset name as a string.
#pragma once

#include <string>
#include <string_view>

#include <cstdint>
#include <span>

#include "model/ParamName.h"
#include "model/PresetImage.h"
#include "osc/OscMessage.h"

namespace arvestra {
class CLocationImage;
}

namespace arvestra::osc {

using ImageBytes = std::span<const std::uint8_t, kPresetImageSize>;

// The name held in an image, as UTF-8 without trailing blanks.
std::string NameInImage(ImageBytes image);
// The edit buffer of a device of a location (the address must be present).
ImageBytes EditBufferOf(const CLocationImage& location, int address);

// "/arvestra/error" with the path that failed and the reason.
OscMessage ErrorReply(std::string_view path, std::string_view reason);
// "/arvestra/<A>/<param>" with the parameter's value in the image.
OscMessage ParamReply(int address, const ParamRef& ref, ImageBytes image);
// "/arvestra/<A>/preset" with the current preset 1..8.
OscMessage PresetReply(int address, int preset);
// "/arvestra/<A>/bypass/<1|2>" with 0 or 1.
OscMessage BypassReply(int address, int channel, bool on);

}  // namespace arvestra::osc
