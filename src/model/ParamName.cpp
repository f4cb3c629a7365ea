#include "model/ParamName.h"

#include <charconv>

#include "model/PresetImage.h"

namespace arvestra {

namespace {

constexpr std::string_view kChannelPrefixes[] = {"ch1.", "ch2."};
constexpr std::string_view kDelayTime = "delay.time";
constexpr std::string_view kTemperature = "delay.temperature";
constexpr std::string_view kPresetName = "name";

ParamNameParse Error(std::string message) {
    ParamNameParse parse;
    parse.error = std::move(message);
    return parse;
}

ParamNameParse Found(ParamRef ref) {
    ParamNameParse parse;
    parse.ref = ref;
    return parse;
}

// Splits "ch1." or "ch2." off the front; kNoChannel when there is neither.
int TakeChannel(std::string_view& name) {
    for (int channel = 0; channel < 2; ++channel) {
        if (name.starts_with(kChannelPrefixes[channel])) {
            name.remove_prefix(kChannelPrefixes[channel].size());
            return channel == 0 ? kChannelA : kChannelB;
        }
    }
    return kNoChannel;
}

// An element number that was not given.
constexpr int kNoElement = -1;
// An element number too large to hold.
constexpr int kElementTooLarge = -2;

// Splits a trailing ".N" (digits only) off the end: N, kNoElement when there is none, or
// kElementTooLarge.
int TakeElementNumber(std::string_view& name) {
    const std::size_t dot = name.rfind('.');
    if (dot == std::string_view::npos || dot + 1 == name.size()) return kNoElement;
    const std::string_view digits = name.substr(dot + 1);
    for (const char c : digits) {
        if (c < '0' || c > '9') return kNoElement;
    }
    int number = 0;
    const auto [end, fault] = std::from_chars(digits.data(), digits.data() + digits.size(), number);
    name = name.substr(0, dot);
    if (fault != std::errc{} || end != digits.data() + digits.size()) return kElementTooLarge;
    return number;
}

ParamNameParse ParseCompound(ParamKind kind, std::string_view shown, int channel, int element) {
    if (element != kNoElement) return Error(std::string(shown) + " takes no element number");
    if (kind == ParamKind::PresetName) {
        if (channel != kNoChannel) return Error("name belongs to no channel: drop the ch1./ch2.");
        return Found(ParamRef{kind, ParamField::EqType, kNoChannel, 0});
    }
    if (channel == kNoChannel) {
        return Error(std::string(shown) + " is per channel: write ch1." + std::string(shown) +
                     " or ch2." + std::string(shown));
    }
    return Found(ParamRef{kind, ParamField::EqType, channel, 0});
}

ParamNameParse ParseField(std::string_view original, std::string_view fieldName, int channel,
                          int element) {
    const std::optional<ParamField> field = FieldByName(fieldName);
    if (!field) return Error("unknown parameter " + std::string(original) + " (see --help)");
    const FieldDescriptor& info = FieldInfo(*field);
    const std::string base(fieldName);
    if (info.perChannel() && channel == kNoChannel) {
        return Error(base + " is per channel: write ch1." + base + " or ch2." + base);
    }
    if (!info.perChannel() && channel != kNoChannel) {
        return Error(base + " belongs to no channel: drop the ch1./ch2.");
    }
    if (!info.isArray()) {
        if (element != kNoElement)
            return Error(base + " is a single value: drop the element number");
        return Found(ParamRef{ParamKind::Field, *field, channel, 0});
    }
    const std::string range = "1 to " + std::to_string(info.indexCount);
    if (element == kNoElement) {
        return Error(base + " has elements " + range + ": add .N, e.g. " + base + ".1");
    }
    if (element < 1 || element > info.indexCount) {
        return Error(std::string(original) + ": the element number must be " + range);
    }
    return Found(ParamRef{ParamKind::Field, *field, channel, element - 1});
}

}  // namespace

ParamNameParse ParseParamName(std::string_view name) {
    if (name.empty()) return Error("empty parameter name");
    std::string_view rest = name;
    const int channel = TakeChannel(rest);
    if (rest == kDelayTime) {
        return ParseCompound(ParamKind::DelayTime, kDelayTime, channel, kNoElement);
    }
    if (rest == kTemperature) {
        return ParseCompound(ParamKind::Temperature, kTemperature, channel, kNoElement);
    }
    if (rest == kPresetName) {
        return ParseCompound(ParamKind::PresetName, kPresetName, channel, kNoElement);
    }
    std::string_view fieldName = rest;
    const int element = TakeElementNumber(fieldName);
    if (element == kElementTooLarge) {
        return Error(std::string(name) + ": the element number is too large");
    }
    if (fieldName == kDelayTime || fieldName == kTemperature || fieldName == kPresetName) {
        return Error(std::string(fieldName) + " takes no element number");
    }
    return ParseField(name, fieldName, channel, element);
}

std::string FormatParamName(const ParamRef& ref) {
    std::string name;
    if (ref.channel == kChannelA) name = kChannelPrefixes[0];
    if (ref.channel == kChannelB) name = kChannelPrefixes[1];
    switch (ref.kind) {
        case ParamKind::DelayTime:
            return name + std::string(kDelayTime);
        case ParamKind::Temperature:
            return name + std::string(kTemperature);
        case ParamKind::PresetName:
            return std::string(kPresetName);
        case ParamKind::Field:
            break;
    }
    const FieldDescriptor& info = FieldInfo(ref.field);
    name += info.name;
    if (info.isArray()) name += "." + std::to_string(ref.index + 1);
    return name;
}

Scale ScaleOfParam(const ParamRef& ref) {
    switch (ref.kind) {
        case ParamKind::DelayTime:
            return Scale::Delay;
        case ParamKind::Temperature:
            return Scale::Temperature;
        case ParamKind::PresetName:
            return Scale::None;
        case ParamKind::Field:
            break;
    }
    return FieldInfo(ref.field).scale;
}

ParamCodes CodesOfParam(const ParamRef& ref) {
    switch (ref.kind) {
        case ParamKind::DelayTime:
            return {0, kMaxDelaySamples};
        case ParamKind::Temperature:
            return {0, kMaxTemperatureTenths};
        case ParamKind::PresetName:
            return {0, 0};
        case ParamKind::Field:
            break;
    }
    // The high bytes of the delay and the temperature can hold more than either quantity
    // reaches: a code above the device's largest value is limited like the whole value.
    if (ref.field == ParamField::DelayHigh) return {0, kMaxDelaySamples >> 16};
    if (ref.field == ParamField::TemperatureHigh) return {0, kMaxTemperatureTenths >> 8};
    const FieldDescriptor& info = FieldInfo(ref.field);
    return {info.lo, info.hi};
}

std::vector<ParamRef> AllParams() {
    std::vector<ParamRef> all;
    for (int i = 0; i < kParamFieldCount; ++i) {
        const auto field = static_cast<ParamField>(i);
        const FieldDescriptor& info = FieldInfo(field);
        const int channels = info.perChannel() ? 2 : 1;
        for (int c = 0; c < channels; ++c) {
            const int channel = info.perChannel() ? (c == 0 ? kChannelA : kChannelB) : kNoChannel;
            for (int index = 0; index < info.indexCount; ++index) {
                all.push_back(ParamRef{ParamKind::Field, field, channel, index});
            }
        }
    }
    for (const ParamKind kind : {ParamKind::DelayTime, ParamKind::Temperature}) {
        all.push_back(ParamRef{kind, ParamField::EqType, kChannelA, 0});
        all.push_back(ParamRef{kind, ParamField::EqType, kChannelB, 0});
    }
    all.push_back(ParamRef{ParamKind::PresetName, ParamField::EqType, kNoChannel, 0});
    return all;
}

bool CoveredByCompound(const ParamRef& ref) {
    if (ref.kind != ParamKind::Field) return false;
    switch (ref.field) {
        case ParamField::DelayHigh:
        case ParamField::DelayMiddle:
        case ParamField::DelayLow:
        case ParamField::TemperatureHigh:
        case ParamField::TemperatureLow:
        case ParamField::NameChar:
            return true;
        default:
            return false;
    }
}

}  // namespace arvestra
