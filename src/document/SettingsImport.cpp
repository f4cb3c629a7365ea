// Reading settings JSON into the document. Everything that would make the whole file unusable
// (not JSON, not a settings file, a newer format, the wrong shape) is found before the first
// change; after that each value is checked on its own, and a bad one is reported and skipped
// while the rest loads. Values go through the edit path, so they are limited and the channel
// links and delay rules apply exactly as when the user edits.
#include <algorithm>
#include <array>
#include <climits>
#include <cstring>
#include <map>
#include <optional>
#include <set>

#include <nlohmann/json.hpp>

#include "document/EditPath.h"
#include "document/SettingsJson.h"
#include "document/SyncLiveGuard.h"
#include "model/Latin1.h"
#include "model/ParamValue.h"

namespace arvestra {

using Json = nlohmann::json;

namespace {

// The deepest nesting of arrays and objects in the text, strings skipped; the scan stops as
// soon as `limit` is passed, so a hostile file costs one pass at most.
int NestingDepth(std::string_view text, int limit) {
    int depth = 0;
    int deepest = 0;
    bool inString = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (inString) {
            if (c == '\\')
                ++i;
            else if (c == '"')
                inString = false;
            continue;
        }
        if (c == '"')
            inString = true;
        else if (c == '[' || c == '{')
            deepest = std::max(deepest, ++depth);
        else if (c == ']' || c == '}')
            --depth;
        if (deepest > limit) break;
    }
    return deepest;
}

std::optional<long long> WholeNumber(const Json& value) {
    if (value.is_number_unsigned()) {
        const auto number = value.get<unsigned long long>();
        return number > static_cast<unsigned long long>(LLONG_MAX) ? LLONG_MAX
                                                                   : static_cast<long long>(number);
    }
    if (value.is_number_integer()) return value.get<long long>();
    return std::nullopt;
}

// What a name lost on its way into the file's Latin-1 bytes, beyond its length: a name is
// stored up to its first NUL, and a character with no Latin-1 form becomes '?'.
std::vector<std::string> NameLosses(const std::string& utf8, const std::string& latin1) {
    std::vector<std::string> losses;
    if (latin1.find('\0') != std::string::npos) losses.push_back("name: cut at a NUL character");
    if (std::count(latin1.begin(), latin1.end(), '?') > std::count(utf8.begin(), utf8.end(), '?'))
        losses.push_back("name: characters with no Latin-1 form replaced by '?'");
    return losses;
}

// Reports a key given twice in one object, which the parser would otherwise settle silently
// by keeping the last.
class DuplicateKeys {
  public:
    bool operator()(int, Json::parse_event_t event, Json& parsed) {
        if (event == Json::parse_event_t::object_start) open_.emplace_back();
        if (event == Json::parse_event_t::object_end && !open_.empty()) open_.pop_back();
        if (event == Json::parse_event_t::key && !open_.empty() &&
            !open_.back().insert(parsed.get<std::string>()).second) {
            found_->push_back(parsed.get<std::string>() +
                              ": given twice in one object; the last value is used");
        }
        return true;
    }
    explicit DuplicateKeys(std::vector<std::string>& found) : found_(&found) {}

  private:
    std::vector<std::set<std::string>> open_;
    std::vector<std::string>* found_;
};

class Importer {
  public:
    Importer(CQ7310Doc& doc, ImportReport& report) : doc_(doc), report_(report) {}

    // Loads a preset object into the current image of the document.
    void ApplyPreset(const Json& preset, const std::string& where);
    // Loads a device object into the device at `address`; false when it was skipped.
    bool ApplyDevice(const Json& device, int address, const std::string& where);

    void Problem(const std::string& where, const std::string& what) {
        report_.problems.push_back(where + what);
    }

  private:
    std::optional<long long> CodeOf(const Json& value, const ParamRef& ref,
                                    const std::string& where);
    void ApplyParam(const Json& value, const ParamRef& ref, const std::string& where);
    void ApplyName(const Json& value, const std::string& where);
    bool FollowsLinkedChannel(const ParamRef& ref, long long code, const std::string& where);
    void ApplyImage(const Json& preset, int image, const std::string& where);
    void ApplyRecordFields(const Json& device, const std::string& where);

    CQ7310Doc& doc_;
    ImportReport& report_;
    // The parameters of the preset being loaded, by name.
    const std::map<std::string, std::pair<std::string, const Json*>>* presetNames_ = nullptr;
};

// The code a JSON value stands for, limited to the parameter's range (reported when it had to
// be); empty after a report when the value is of the wrong type or unreadable.
std::optional<long long> Importer::CodeOf(const Json& value, const ParamRef& ref,
                                          const std::string& where) {
    const std::string name = FormatParamName(ref);
    const Scale scale = ScaleOfParam(ref);
    long long code = 0;
    bool beyondScale = false;
    if (const std::optional<long long> whole = WholeNumber(value)) {
        code = *whole;
    } else if (value.is_string()) {
        const ValueParse parse = ParseParamValue(value.get<std::string>(), scale);
        if (parse.distance) {
            // The samples of a distance depend on the temperature, which may come later.
            Problem(where, name + ": a delay is read in ms or s here, not as a distance");
            return std::nullopt;
        }
        if (!parse.code) {
            Problem(where, name + ": " + parse.error);
            return std::nullopt;
        }
        code = *parse.code;
        beyondScale = parse.beyondScale;
    } else {
        const std::string units = UnitsOfScale(scale);
        Problem(where, name + ": wrong type (" + value.type_name() + "); expected a whole code" +
                           (units.empty() ? "" : " or a value in " + units));
        return std::nullopt;
    }
    const ParamCodes codes = CodesOfParam(ref);
    const long long limited = std::clamp<long long>(code, codes.lowest, codes.highest);
    if (beyondScale || limited != code) {
        Problem(where,
                name + ": value limited to " + FormatParamValue(scale, static_cast<int>(limited)));
    }
    return limited;
}

// A channel 2 value of a linked block that differs from the channel 1 value the same preset
// holds: the link makes the two channels one, and channel 1 wins, as when an image is read from
// a device. A channel 2 value on its own is an edit like any other and reaches both channels.
bool Importer::FollowsLinkedChannel(const ParamRef& ref, long long code, const std::string& where) {
    if (ref.channel != kChannelB) return false;
    ParamRef twin = ref;
    twin.channel = kChannelA;
    if (presetNames_ == nullptr || presetNames_->count(FormatParamName(twin)) == 0) return false;
    int channelA = 0;
    FieldBlock block = FieldBlock::Delay;
    if (ref.kind == ParamKind::DelayTime) {
        channelA = doc_.Edits().GetDelaySamples(kChannelA);
    } else if (ref.kind == ParamKind::Temperature) {
        channelA = doc_.Edits().GetTemperatureTenths(kChannelA);
    } else {
        const FieldDescriptor& info = FieldInfo(ref.field);
        if (info.role != FieldRole::Value) return false;
        block = info.block;
        channelA = doc_.Edits().Get(ref.field, kChannelA, ref.index);
    }
    if (!doc_.Edits().IsLinked(block) || channelA == code) return false;
    Problem(where, FormatParamName(ref) + ": the block is linked, so Ch 2 keeps Ch 1's value");
    return true;
}

void Importer::ApplyName(const Json& value, const std::string& where) {
    if (!value.is_string()) {
        Problem(where, std::string("name: wrong type (") + value.type_name() + "); expected text");
        return;
    }
    ParamEdit edit;
    edit.ref.kind = ParamKind::PresetName;
    edit.text = value.get<std::string>();
    if (Utf8ToLatin1(edit.text).size() > kNameLength) {
        Problem(where, "name: cut to " + std::to_string(kNameLength) + " characters");
    }
    for (const std::string& loss : NameLosses(edit.text, Utf8ToLatin1(edit.text))) {
        Problem(where, loss);
    }
    ApplyParamEdit(doc_.Edits(), edit);
}

void Importer::ApplyParam(const Json& value, const ParamRef& ref, const std::string& where) {
    if (ref.kind == ParamKind::PresetName) {
        ApplyName(value, where);
        return;
    }
    const std::optional<long long> code = CodeOf(value, ref, where);
    if (!code || FollowsLinkedChannel(ref, *code, where)) return;
    ApplyParamEdit(doc_.Edits(), CodeEdit(ref, *code));
}

// The order a preset's values are written in: the link flags first, so that every value after
// them is written as the links say; then the temperatures, which keep the delay's distance, so
// that the delay time written after them is the file's own.
int WritingPass(const ParamRef& ref) {
    if (ref.kind == ParamKind::Temperature) return 1;
    if (ref.kind != ParamKind::Field) return 2;
    const FieldRole role = FieldInfo(ref.field).role;
    return role == FieldRole::Master || role == FieldRole::LinkDerived ? 0 : 2;
}

void Importer::ApplyPreset(const Json& preset, const std::string& where) {
    if (!preset.is_object()) {
        Problem(where, std::string("wrong type (") + preset.type_name() + "); expected an object");
        return;
    }
    // Each parameter once, under its own name: the key it was given as, and the value.
    std::map<std::string, std::pair<std::string, const Json*>> byName;
    for (auto it = preset.begin(); it != preset.end(); ++it) {
        const ParamNameParse parse = ParseParamName(it.key());
        if (!parse.ref) {
            Problem(where, it.key() + ": unknown parameter");
            continue;
        }
        const auto [at, added] =
            byName.try_emplace(FormatParamName(*parse.ref), it.key(), &it.value());
        if (!added) {
            Problem(where, it.key() + ": given twice (also as " + at->second.first +
                               "); this value is used");
            at->second = {it.key(), &it.value()};
        }
    }
    presetNames_ = &byName;
    const std::vector<ParamRef> all = AllParams();
    for (const int pass : {0, 1, 2}) {
        for (const ParamRef& ref : all) {
            if (WritingPass(ref) != pass) continue;
            const auto found = byName.find(FormatParamName(ref));
            if (found != byName.end()) ApplyParam(*found->second.second, ref, where);
        }
    }
    presetNames_ = nullptr;
}

// Loads a preset into image 0..8 of the current device with nothing sent.
void Importer::ApplyImage(const Json& preset, int image, const std::string& where) {
    SyncLiveGuard quiet(doc_.Bus(), false);
    // The edit buffer edits the stored preset for the while; the worker is paused meanwhile.
    doc_.Edits().BindImage(image);
    ApplyPreset(preset, where);
    doc_.Edits().BindImage(0);
}

void Importer::ApplyRecordFields(const Json& device, const std::string& where) {
    CLocationImage& location = doc_.Devices().Location();
    const int slot = doc_.Devices().CurrentSlot();
    if (const auto name = device.find("name"); name != device.end()) {
        if (name->is_string()) {
            const std::string latin1 = Utf8ToLatin1(name->get<std::string>());
            if (latin1.size() > kNameLength) Problem(where, "name: cut to 32 characters");
            for (const std::string& loss : NameLosses(name->get<std::string>(), latin1)) {
                Problem(where, loss);
            }
            location.SetDeviceName(slot, latin1);
        } else {
            Problem(where, std::string("name: wrong type (") + name->type_name() + ")");
        }
    }
    if (const auto bypass = device.find("bypass"); bypass != device.end() && !bypass->is_object()) {
        Problem(where, std::string("bypass: wrong type (") + bypass->type_name() +
                           "); expected {\"ch1\": false, \"ch2\": false}");
    } else if (bypass != device.end()) {
        const std::pair<const char*, std::size_t> channels[] = {{"ch1", kRecBypassA},
                                                                {"ch2", kRecBypassB}};
        for (const auto& [key, field] : channels) {
            const Json* flag =
                bypass->is_object() && bypass->contains(key) ? &(*bypass)[key] : nullptr;
            if (flag == nullptr) continue;
            if (flag->is_boolean()) {
                location.SetRecordInt(slot, field, flag->get<bool>() ? 1 : 0);
            } else {
                Problem(where,
                        std::string("bypass.") + key + ": wrong type; expected true or false");
            }
        }
    }
    if (const auto preset = device.find("current_preset"); preset != device.end()) {
        const std::optional<long long> number = WholeNumber(*preset);
        if (!number) {
            Problem(where, "current_preset: wrong type; expected 1 to 8");
        } else {
            const auto limited = std::clamp<long long>(*number, kFirstPreset, kLastPreset);
            if (limited != *number) {
                Problem(where, "current_preset: value limited to " + std::to_string(limited));
            }
            doc_.Devices().SetCurrentPreset(static_cast<int>(limited));
        }
    }
}

bool Importer::ApplyDevice(const Json& device, int address, const std::string& where) {
    if (!device.is_object()) {
        Problem(where, "wrong type; expected an object");
        return false;
    }
    const bool online = doc_.IsOnline() != 0;
    if (doc_.Devices().Location().SlotOf(address) == kNoDevice) {
        if (online) {
            Problem(where, "no device at this address on the bus; skipped");
            return false;
        }
        if (doc_.AddDevice(address) != address) {
            Problem(where, "the location has no room for another device; skipped");
            return false;
        }
    }
    const int remembered = doc_.Devices().CurrentAddress();
    doc_.SelectDevice(address);
    // Stored presets are built in the edit buffer, which the worker reads while it runs: it
    // waits until they are done (the download below sends them).
    PauseResult pause{1, 0};
    if (online) {
        if (!doc_.Bus().WaitDirtyFlushed()) return false;
        pause = doc_.Bus().PauseWorker(true);
        if (!pause.ok) return false;
    }
    ApplyRecordFields(device, where);
    if (const auto edit = device.find("edit_buffer"); edit != device.end()) {
        ApplyImage(*edit, 0, where + "edit buffer: ");
    }
    if (const auto presets = device.find("presets"); presets != device.end()) {
        if (!presets->is_array()) {
            Problem(where, "presets: wrong type; expected a list of 8 presets");
        } else {
            if (presets->size() > static_cast<std::size_t>(kLastPreset)) {
                Problem(where, "presets: only 8 presets; the rest ignored");
            }
            for (int p = kFirstPreset; p <= kLastPreset && p <= static_cast<int>(presets->size());
                 ++p) {
                ApplyImage((*presets)[static_cast<std::size_t>(p - 1)], p,
                           where + "preset " + std::to_string(p) + ": ");
            }
        }
    }
    // The edit buffer counts as modified when it no longer equals the preset it came from.
    const CLocationImage& location = doc_.Devices().Location();
    const int slot = doc_.Devices().CurrentSlot();
    doc_.Devices().SetPresetModified(
        std::memcmp(location.Image(slot, 0), location.Image(slot, doc_.Devices().CurrentPreset()),
                    kPresetImageSize) != 0);
    doc_.SetModifiedFlag(true);
    doc_.Edits().EndHistory("settings were imported");
    if (online) doc_.Bus().ResumeWorker(pause.saved);
    const bool sent = !online || doc_.DownloadDevice() != 0;
    if (doc_.Devices().Location().SlotOf(remembered) != kNoDevice) doc_.SelectDevice(remembered);
    return sent;
}

// The refusal for a file that cannot be loaded at all, or empty when it can.
std::string CheckHeader(const Json& file) {
    if (!file.is_object()) return "the file is JSON but not Arvestra settings";
    const auto format = file.find("format");
    if (format == file.end() || !format->is_string() ||
        format->get<std::string>() != kSettingsFormatName) {
        return "the file is JSON but not Arvestra settings (no \"format\": \"" +
               std::string(kSettingsFormatName) + "\")";
    }
    const auto version = file.find("version");
    const std::optional<long long> number =
        version == file.end() ? std::nullopt : WholeNumber(*version);
    if (!number || *number < 1) return "the file has no valid format version";
    if (*number > kSettingsFormatVersion) {
        return "the file was written in format version " + std::to_string(*number) +
               " by a newer Arvestra; this version reads format " +
               std::to_string(kSettingsFormatVersion);
    }
    return {};
}

struct Shape {
    SettingsKind kind;
    const char* member;
    Json::value_t type;
};

constexpr Shape kShapes[] = {
    {SettingsKind::Preset, "preset", Json::value_t::object},
    {SettingsKind::Device, "device", Json::value_t::object},
    {SettingsKind::Location, "devices", Json::value_t::array},
};

// The shape the file's "kind" names, or empty after setting the refusal.
const Shape* CheckShape(const Json& file, std::string& refusal) {
    const auto kind = file.find("kind");
    for (const Shape& shape : kShapes) {
        if (kind == file.end() || !kind->is_string() ||
            kind->get<std::string>() != SettingsKindName(shape.kind)) {
            continue;
        }
        const auto body = file.find(shape.member);
        if (body == file.end() || body->type() != shape.type) {
            refusal = std::string("the file has no valid \"") + shape.member + "\"";
            return nullptr;
        }
        return &shape;
    }
    refusal = "the file's \"kind\" must be preset, device or location";
    return nullptr;
}

std::optional<int> AddressOf(const Json& device) {
    const auto address = device.is_object() ? device.find("address") : device.end();
    if (!device.is_object() || address == device.end()) return std::nullopt;
    const std::optional<long long> number = WholeNumber(*address);
    if (!number || !CLocationImage::IsDeviceAddress(
                       static_cast<int>(std::clamp<long long>(*number, INT_MIN, INT_MAX)))) {
        return std::nullopt;
    }
    return static_cast<int>(*number);
}

ImportReport Refuse(std::string why) {
    ImportReport report;
    report.refused = true;
    report.refusal = std::move(why);
    return report;
}

}  // namespace

ImportReport ImportSettingsJson(CQ7310Doc& doc, std::string_view text, ImportTarget target) {
    if (text.size() > kMaxSettingsBytes) {
        return Refuse("the file is larger than " + std::to_string(kMaxSettingsBytes >> 20) +
                      " MiB; settings files are far smaller");
    }
    if (NestingDepth(text, kMaxSettingsDepth) > kMaxSettingsDepth) {
        return Refuse("the file nests deeper than settings ever do");
    }
    std::vector<std::string> duplicates;
    const Json file = Json::parse(text, DuplicateKeys(duplicates), false);
    if (file.is_discarded()) return Refuse("the file is not JSON (or is cut short)");
    if (std::string why = CheckHeader(file); !why.empty()) return Refuse(why);
    std::string refusal;
    const Shape* shape = CheckShape(file, refusal);
    if (shape == nullptr) return Refuse(refusal);
    const Json& body = file[shape->member];

    ImportReport report;
    report.kind = shape->kind;
    report.problems = std::move(duplicates);
    Importer importer(doc, report);
    const EditScope scope(doc.Edits(), EditReason::Import);
    switch (shape->kind) {
        case SettingsKind::Preset: {
            const int address =
                target.address != 0 ? target.address : doc.Devices().CurrentAddress();
            if (doc.Devices().Location().SlotOf(address) == kNoDevice) {
                return Refuse("the location has no device at address " + std::to_string(address));
            }
            if (address != doc.Devices().CurrentAddress()) doc.SelectDevice(address);
            importer.ApplyPreset(body, "");
            // Loaded settings replace the edit buffer, as a recall does: an undo afterwards
            // would half revert them.
            doc.Edits().EndHistory("settings were imported");
            report.devicesLoaded = 1;
            break;
        }
        case SettingsKind::Device: {
            const std::optional<int> own = AddressOf(body);
            if (target.address == 0 && !own) return Refuse("the device has no valid address");
            const int address = target.address != 0 ? target.address : *own;
            report.devicesLoaded =
                importer.ApplyDevice(body, address, "address " + std::to_string(address) + ": ")
                    ? 1
                    : 0;
            break;
        }
        case SettingsKind::Location:
            for (std::size_t i = 0; i < body.size(); ++i) {
                const std::optional<int> address = AddressOf(body[i]);
                if (!address) {
                    importer.Problem("device " + std::to_string(i + 1) + ": ",
                                     "no valid address (1 to 126); skipped");
                    continue;
                }
                const std::string where = "address " + std::to_string(*address) + ": ";
                if (importer.ApplyDevice(body[i], *address, where)) ++report.devicesLoaded;
            }
            break;
    }
    return report;
}

}  // namespace arvestra
