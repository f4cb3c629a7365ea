// What "info" and "scan" print about a device, gathered from its record in a location, and the
// text and JSON forms they print it in.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "document/LocationImage.h"

namespace arvestra::cli {

// One device record as the tool shows it; names are UTF-8.
struct DeviceSummary {
    int address = 0;
    int slot = 0;
    std::string name;
    int applicationNumber = 0;
    int appFirmwareTenths = 0;
    int baseFirmwareTenths = 0;
    bool bypassA = false;
    bool bypassB = false;
    int currentPreset = 0;  // as stored
    bool presetModified = false;
    std::array<std::string, 8> presetNames;  // presets 1..8
};

// The device at an address of a location; the address must have a table entry.
DeviceSummary SummariseDevice(const CLocationImage& location, int address);

// Every device the address table lists, in address order.
std::vector<DeviceSummary> SummariseLocation(const CLocationImage& location);

// "info": a block of lines per device.
std::string FormatInfoText(const std::vector<DeviceSummary>& devices);

// "info --json" and "scan --json": {"devices": [...]} with one object per device (firmware
// revisions as numbers, e.g. 1.3).
std::string FormatDevicesJson(const std::vector<DeviceSummary>& devices);

// "scan": one line per device: address, name and firmware numbers, tab-separated.
std::string FormatScanLine(const DeviceSummary& device);

// A firmware revision in tenths as "1.3" (negative values keep their sign).
std::string FormatTenths(int tenths);

// Text from a file or a device made safe for a line of output: control characters (a line
// break, or the escape that starts a terminal sequence) become '?'. UTF-8 passes unchanged.
std::string PrintableText(const std::string& utf8);

}  // namespace arvestra::cli
