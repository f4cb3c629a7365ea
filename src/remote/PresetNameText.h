// A preset name typed on a remote page, made fit for the device: control characters (which a
// device's display cannot show and a log line must not carry) are removed, and the name is cut
// to the 32 characters a device keeps, so what the page shows after storing is what the device
// holds.
#pragma once

#include <QString>
#include <string>

namespace arvestra::remote {

inline constexpr int kDeviceNameChars = 32;

// The cleaned name, as UTF-8.
std::string CleanPresetName(const QString& typed);

}  // namespace arvestra::remote
