// Settings as readable JSON: one preset, one device or a whole location, every parameter under
// the name the command-line tool gives it and, where its scale has one, in physical units
// ("1000Hz", "-3dB"). A format name and version head every file; a reader refuses a newer
// version rather than guess at it.
//
//   {"format": "arvestra-settings", "version": 1, "kind": "preset",   "preset": {...}}
//   {"format": "arvestra-settings", "version": 1, "kind": "device",   "device": {...}}
//   {"format": "arvestra-settings", "version": 1, "kind": "location", "devices": [...]}
//
// A preset is a flat object of NAME: VALUE ("name" is the preset name). A device holds
// "address", "name", "bypass" {"ch1", "ch2"}, "current_preset", "edit_buffer" (a preset) and
// "presets" (eight presets).
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "document/CQ7310Doc.h"
#include "model/ParamName.h"

namespace arvestra {

inline constexpr char kSettingsFormatName[] = "arvestra-settings";
inline constexpr int kSettingsFormatVersion = 1;
// Larger files are refused unread: a whole location of 126 devices is well under this.
inline constexpr std::size_t kMaxSettingsBytes = 64u << 20;
// Deeper nesting than any settings file has is refused before parsing.
inline constexpr int kMaxSettingsDepth = 16;

enum class SettingsKind { Preset, Device, Location };

// The JSON text of image 0..8 of the device at `address` (the edit buffer is image 0); empty
// when the location has no device there or the image number is out of range.
std::string ExportPresetJson(const CLocationImage& location, int address, int image);
// The JSON text of the device at `address`; empty when there is none.
std::string ExportDeviceJson(const CLocationImage& location, int address);
// The JSON text of every device of the location, in address order.
std::string ExportLocationJson(const CLocationImage& location);

// What an import did. When `refused` is set nothing was changed and `refusal` says why; else
// every problem met (an unknown name, a wrong type, a value limited) is listed and the rest of
// the file was loaded.
struct ImportReport {
    bool refused = false;
    std::string refusal;
    SettingsKind kind = SettingsKind::Preset;
    std::vector<std::string> problems;
    int devicesLoaded = 0;
};

// Where an import goes. A preset goes into the edit buffer of `address` through the block
// operations (so online the device follows, and the channel links apply); a device into the
// device at `address`; a location into the devices at the addresses it names. `address` 0
// means the document's current device for a preset, the file's own address for a device.
struct ImportTarget {
    int address = 0;
};

// Loads settings JSON into the document. Offline, devices of a location or device file that
// the location lacks are added; online they are skipped (reported), and every device whose
// stored presets changed is downloaded to the bus afterwards.
ImportReport ImportSettingsJson(CQ7310Doc& doc, std::string_view text, ImportTarget target = {});

// The parameters a preset object holds, in the order written: every parameter of the tool's
// list except the single bytes that the delay time, the temperature and the name stand for.
std::vector<ParamRef> SettingsParams();

// The name of a kind as the "kind" member spells it.
const char* SettingsKindName(SettingsKind kind);

}  // namespace arvestra
