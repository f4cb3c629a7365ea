#include "cli/DeviceSummary.h"

#include <cstdlib>

#include <nlohmann/json.hpp>

#include "model/Latin1.h"

namespace arvestra::cli {

DeviceSummary SummariseDevice(const CLocationImage& location, int address) {
    DeviceSummary device;
    device.address = address;
    device.slot = location.SlotOf(address);
    const int slot = device.slot;
    device.name = Latin1ToUtf8(location.DeviceName(slot));
    device.applicationNumber = location.RecordInt(slot, kRecApplicationNumber);
    device.appFirmwareTenths = location.RecordInt(slot, kRecAppFirmware);
    device.baseFirmwareTenths = location.RecordInt(slot, kRecBaseFirmware);
    device.bypassA = location.RecordInt(slot, kRecBypassA) != 0;
    device.bypassB = location.RecordInt(slot, kRecBypassB) != 0;
    device.currentPreset = location.RecordInt(slot, kRecCurrentPreset);
    device.presetModified = location.RecordInt(slot, kRecPresetModified) != 0;
    for (int preset = kFirstPreset; preset <= kLastPreset; ++preset) {
        device.presetNames[preset - 1] = Latin1ToUtf8(location.PresetName(slot, preset));
    }
    return device;
}

std::vector<DeviceSummary> SummariseLocation(const CLocationImage& location) {
    std::vector<DeviceSummary> devices;
    for (int address = kFirstAddress; address <= kMaxAddress; ++address) {
        if (location.SlotOf(address) != kNoDevice) {
            devices.push_back(SummariseDevice(location, address));
        }
    }
    return devices;
}

std::string FormatTenths(int tenths) {
    const long long value = tenths;
    const long long whole = std::llabs(value) / 10;
    const long long fraction = std::llabs(value) % 10;
    return (value < 0 ? "-" : "") + std::to_string(whole) + "." + std::to_string(fraction);
}

namespace {

const char* OnOff(bool on) {
    return on ? "on" : "off";
}

}  // namespace

std::string FormatInfoText(const std::vector<DeviceSummary>& devices) {
    std::string text;
    for (const DeviceSummary& d : devices) {
        text += "Address " + std::to_string(d.address) + " (slot " + std::to_string(d.slot) +
                "): " + PrintableText(d.name) + "\n";
        text += "  Firmware: application " + std::to_string(d.applicationNumber) + ", revision " +
                FormatTenths(d.appFirmwareTenths) + ", base revision " +
                FormatTenths(d.baseFirmwareTenths) + "\n";
        text +=
            std::string("  Bypass: Ch 1 ") + OnOff(d.bypassA) + ", Ch 2 " + OnOff(d.bypassB) + "\n";
        text += "  Current preset: " + std::to_string(d.currentPreset) +
                (d.presetModified ? " (modified)" : "") + "\n";
        for (std::size_t i = 0; i < d.presetNames.size(); ++i) {
            text +=
                "  Preset " + std::to_string(i + 1) + ": " + PrintableText(d.presetNames[i]) + "\n";
        }
    }
    return text;
}

std::string PrintableText(const std::string& utf8) {
    std::string out = utf8;
    for (char& c : out) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte == 0x7F) c = '?';
    }
    return out;
}

std::string FormatDevicesJson(const std::vector<DeviceSummary>& devices) {
    using Json = nlohmann::ordered_json;
    Json list = Json::array();
    for (const DeviceSummary& d : devices) {
        Json presets = Json::array();
        for (const std::string& name : d.presetNames) presets.push_back(name);
        list.push_back(Json{{"address", d.address},
                            {"slot", d.slot},
                            {"name", d.name},
                            {"application_number", d.applicationNumber},
                            {"application_firmware", d.appFirmwareTenths / 10.0},
                            {"base_firmware", d.baseFirmwareTenths / 10.0},
                            {"bypass", {d.bypassA, d.bypassB}},
                            {"current_preset", d.currentPreset},
                            {"preset_modified", d.presetModified},
                            {"presets", std::move(presets)}});
    }
    const Json document = {{"devices", std::move(list)}};
    // Names come from files and devices: bytes that are not UTF-8 become U+FFFD, never a throw.
    return document.dump(2, ' ', false, Json::error_handler_t::replace) + "\n";
}

std::string FormatScanLine(const DeviceSummary& d) {
    return std::to_string(d.address) + "\t" + PrintableText(d.name) + "\tapplication " +
           std::to_string(d.applicationNumber) + "\trevision " + FormatTenths(d.appFirmwareTenths) +
           "\tbase " + FormatTenths(d.baseFirmwareTenths) + "\n";
}

}  // namespace arvestra::cli
