// How show control reads and applies parameters: one place to change when the document offers
// its own edit path. Writes go through the document's block operations on the selected
// device's edit buffer (limits, Master links, the delay-distance rule); after a routing field
// the sources are derived again, as the configuration page and "arvestra-cli set" do.
#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "model/ParamName.h"
#include "model/ParamValue.h"
#include "model/PresetImage.h"

namespace arvestra {
class CQ7310Doc;
}

namespace arvestra::osc {

using ImageBytes = std::span<const std::uint8_t, kPresetImageSize>;

// The code of a parameter in an image (the name: 0).
int ParamCodeInImage(ImageBytes image, const ParamRef& ref);
// The name held in an image, as UTF-8 without trailing blanks.
std::string NameInImage(ImageBytes image);

// The edit buffer of a device of the document's location (the address must be present).
ImageBytes EditBufferOf(const CQ7310Doc& doc, int address);

// Sets a parameter of the selected device's edit buffer to a code or, for a delay time, a
// distance; the preset name from UTF-8 text. 0 when the document reported a failure.
int ApplyParamCode(CQ7310Doc& doc, const ParamRef& ref, long long code);
int ApplyDelayDistance(CQ7310Doc& doc, const ParamRef& ref, const DelayDistance& distance);
int ApplyPresetName(CQ7310Doc& doc, const std::string& utf8);

}  // namespace arvestra::osc
