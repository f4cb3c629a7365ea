// Reading and writing parameters by their tool names: reads come straight from any image of a
// device record; writes go through the document's block operations on the edit buffer of the
// selected device, so that clamping, the channel links and the sending of live edits apply.
#pragma once

#include <string>

#include "cli/ParamName.h"
#include "cli/ParamValue.h"
#include "document/CQ7310Doc.h"

namespace arvestra::cli {

// The code of a parameter in image 0..8 of the record in `slot` (the name: 0).
int ReadParamCode(CLocationImage& location, int slot, int image, const ParamRef& ref);

// The name of image 0..8 of the record in `slot`, as UTF-8.
std::string ReadImageName(const CLocationImage& location, int slot, int image);

// Sets a parameter of the selected device's edit buffer. A "Master" flag is set as its button
// does: turning it on copies the block to the other channel. A new delay temperature keeps the
// delay's distance and recomputes its samples, as the delay page does.
void WriteParamCode(CQ7310Doc& doc, const ParamRef& ref, long long code);

// True for the fields the routing is derived from: chain slots, palette entries, pink noise
// selects and the tie fields. After changing one, the sources must be derived again.
bool ChangesRouting(const ParamRef& ref);

// Sets a channel's delay from a distance, at the channel's stored temperature.
void WriteDelayDistance(CQ7310Doc& doc, int channel, const DelayDistance& distance);

// Names the selected device's current preset (and its edit buffer); 1 on success.
int WritePresetName(CQ7310Doc& doc, const std::string& utf8);

}  // namespace arvestra::cli
