#include "document/CopySetting.h"

#include <algorithm>

namespace arvestra {

namespace {

constexpr std::array<const char*, kSettingCount> kNames = {
    "Configuration", "EQ A",    "EQ B",    "LP A",           "LP B",          "HP A",
    "HP B",          "Delay A", "Delay B", "Comp/Limiter A", "Comp/Limiter B"};

// Whether a field belongs to a setting of its block. The configuration takes the routing and
// link flags of every block, the levels, the outputs, the chain settings and the name; a
// channel block takes its own parameters (the compressor/limiter its link fields too).
bool CoveredByConfiguration(const FieldDescriptor& f) {
    return f.role == FieldRole::Source || f.role == FieldRole::Master ||
           f.block == FieldBlock::Input || f.block == FieldBlock::Output ||
           f.block == FieldBlock::Configuration || f.block == FieldBlock::Name;
}

bool CoveredByBlock(const FieldDescriptor& f, FieldBlock block) {
    if (f.block != block) return false;
    return f.role == FieldRole::Value ||
           (block == FieldBlock::CompLimiter && f.role == FieldRole::LinkDerived);
}

void AppendElements(std::vector<FieldRef>& out, ParamField field, const FieldDescriptor& f,
                    int channel) {
    for (int i = 0; i < f.indexCount; ++i) out.push_back({field, channel, i});
}

}  // namespace

std::span<const char* const> SettingNames() {
    return kNames;
}

const char* SettingName(SettingId setting) {
    const int row = std::clamp(static_cast<int>(setting), 0, kSettingCount - 1);
    return kNames[static_cast<std::size_t>(row)];
}

std::optional<SettingId> SettingByName(std::string_view name) {
    for (int row = 0; row < kSettingCount; ++row) {
        if (name == kNames[static_cast<std::size_t>(row)]) return static_cast<SettingId>(row);
    }
    return std::nullopt;
}

std::optional<SettingId> SettingAt(int row) {
    if (row < 0 || row >= kSettingCount) return std::nullopt;
    return static_cast<SettingId>(row);
}

FieldBlock SettingBlock(SettingId setting) {
    switch (setting) {
        case SettingId::EqA:
        case SettingId::EqB:
            return FieldBlock::Equaliser;
        case SettingId::LpA:
        case SettingId::LpB:
            return FieldBlock::LowPass;
        case SettingId::HpA:
        case SettingId::HpB:
            return FieldBlock::HighPass;
        case SettingId::DelayA:
        case SettingId::DelayB:
            return FieldBlock::Delay;
        case SettingId::CompLimA:
        case SettingId::CompLimB:
            return FieldBlock::CompLimiter;
        default:
            return FieldBlock::Configuration;
    }
}

int SettingChannel(SettingId setting) {
    // Rows after the configuration alternate A, B.
    const int row = static_cast<int>(setting);
    return row == 0 ? kChannelA : (row - 1) % 2;
}

bool SettingsCompatible(SettingId from, SettingId to) {
    return SettingBlock(from) == SettingBlock(to);
}

std::vector<FieldRef> SettingFields(SettingId setting) {
    std::vector<FieldRef> out;
    const FieldBlock block = SettingBlock(setting);
    const int channel = SettingChannel(setting);
    const std::span<const FieldDescriptor> fields = AllFields();
    for (std::size_t i = 0; i < fields.size(); ++i) {
        const FieldDescriptor& f = fields[i];
        const auto field = static_cast<ParamField>(i);
        if (setting == SettingId::Configuration) {
            if (!CoveredByConfiguration(f)) continue;
            if (f.perChannel()) {
                AppendElements(out, field, f, kChannelA);
                AppendElements(out, field, f, kChannelB);
            } else {
                AppendElements(out, field, f, kChannelA);
            }
        } else if (CoveredByBlock(f, block)) {
            AppendElements(out, field, f, channel);
        }
    }
    return out;
}

std::vector<ParamEdit> SettingEdits(std::span<const std::uint8_t, kPresetImageSize> source,
                                    SettingId from, SettingId to) {
    std::vector<ParamEdit> edits;
    if (!SettingsCompatible(from, to)) return edits;
    const bool sameChannel = SettingChannel(from) == SettingChannel(to);
    const int targetChannel = SettingChannel(to);
    for (const FieldRef& ref : SettingFields(from)) {
        const FieldDescriptor& f = FieldInfo(ref.field);
        if (f.role == FieldRole::LinkDerived && !sameChannel) continue;
        const int value = ReadField(source, ref.field, ref.channel, ref.index);
        const int channel = from == SettingId::Configuration ? ref.channel : targetChannel;
        edits.push_back(FieldEdit(ref.field, channel, ref.index, value));
    }
    return edits;
}

}  // namespace arvestra
