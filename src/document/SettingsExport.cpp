// Writing settings JSON: every value in the form "get --units" prints, in the order of the
// parameter list, so that a file reads like the editor's pages and diffs cleanly.
#include <nlohmann/json.hpp>

#include "document/EditPath.h"
#include "document/SettingsJson.h"
#include "model/Latin1.h"
#include "model/ParamValue.h"
#include "model/PresetImageView.h"

namespace arvestra {

using Json = nlohmann::ordered_json;

namespace {

// A value with its unit where the scale has one, else the bare code as a number.
Json ValueOf(const PresetImageView& view, const ParamRef& ref) {
    const int code = ReadParamCode(view, ref);
    const Scale scale = ScaleOfParam(ref);
    if (scale == Scale::None) return code;
    const std::string text = FormatParamValue(scale, code);
    if (text == std::to_string(code)) return code;
    return text;
}

Json PresetObject(const CLocationImage& location, int slot, int image) {
    PresetImageView view;
    // The location's record storage is writable; the view only reads here.
    view.rebind(const_cast<uint8_t*>(location.Image(slot, 0)), image);
    Json preset = Json::object();
    for (const ParamRef& ref : SettingsParams()) {
        if (ref.kind == ParamKind::PresetName) {
            preset[FormatParamName(ref)] = Latin1ToUtf8(location.PresetName(slot, image));
        } else {
            preset[FormatParamName(ref)] = ValueOf(view, ref);
        }
    }
    return preset;
}

Json DeviceObject(const CLocationImage& location, int address) {
    const int slot = location.SlotOf(address);
    Json device = Json::object();
    device["address"] = address;
    device["name"] = Latin1ToUtf8(location.DeviceName(slot));
    device["bypass"] = Json{{"ch1", location.RecordInt(slot, kRecBypassA) != 0},
                            {"ch2", location.RecordInt(slot, kRecBypassB) != 0}};
    device["current_preset"] = location.RecordInt(slot, kRecCurrentPreset);
    device["edit_buffer"] = PresetObject(location, slot, 0);
    Json presets = Json::array();
    for (int preset = kFirstPreset; preset <= kLastPreset; ++preset) {
        presets.push_back(PresetObject(location, slot, preset));
    }
    device["presets"] = std::move(presets);
    return device;
}

std::string FileText(SettingsKind kind, const char* member, Json body) {
    Json file = Json::object();
    file["format"] = kSettingsFormatName;
    file["version"] = kSettingsFormatVersion;
    file["kind"] = SettingsKindName(kind);
    file[member] = std::move(body);
    return file.dump(2, ' ', false, Json::error_handler_t::replace) + "\n";
}

}  // namespace

std::vector<ParamRef> SettingsParams() {
    std::vector<ParamRef> params;
    for (const ParamRef& ref : AllParams()) {
        if (!CoveredByCompound(ref)) params.push_back(ref);
    }
    return params;
}

const char* SettingsKindName(SettingsKind kind) {
    switch (kind) {
        case SettingsKind::Device:
            return "device";
        case SettingsKind::Location:
            return "location";
        case SettingsKind::Preset:
            break;
    }
    return "preset";
}

std::string ExportPresetJson(const CLocationImage& location, int address, int image) {
    const int slot = location.SlotOf(address);
    if (slot == kNoDevice || image < 0 || image >= kImageCount) return {};
    return FileText(SettingsKind::Preset, "preset", PresetObject(location, slot, image));
}

std::string ExportDeviceJson(const CLocationImage& location, int address) {
    if (location.SlotOf(address) == kNoDevice) return {};
    return FileText(SettingsKind::Device, "device", DeviceObject(location, address));
}

std::string ExportLocationJson(const CLocationImage& location) {
    Json devices = Json::array();
    for (int address = kFirstAddress; address <= kMaxAddress; ++address) {
        if (location.SlotOf(address) != kNoDevice)
            devices.push_back(DeviceObject(location, address));
    }
    return FileText(SettingsKind::Location, "devices", std::move(devices));
}

}  // namespace arvestra
