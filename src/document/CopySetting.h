// The eleven settings a preset is copied by: the configuration, and per channel the equaliser,
// low-pass, high-pass, delay and compressor/limiter. Each setting covers a fixed list of
// fields; copying a setting reads those fields from one image and edits them into another,
// optionally from one channel into the other ("EQ A" into "EQ B").
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

#include "model/ParamEdit.h"
#include "model/ParamField.h"
#include "model/PresetImage.h"

namespace arvestra {

enum class SettingId {
    Configuration,
    EqA,
    EqB,
    LpA,
    LpB,
    HpA,
    HpB,
    DelayA,
    DelayB,
    CompLimA,
    CompLimB,
};

inline constexpr int kSettingCount = 11;

// One element of a field on one channel (channel ignored by fields that are not per channel).
struct FieldRef {
    ParamField field;
    int channel;
    int index;
};

// The names in list order: "Configuration", "EQ A", "EQ B", ... "Comp/Limiter B".
std::span<const char* const> SettingNames();
// The name of a setting.
const char* SettingName(SettingId setting);
// The setting of a name, exactly as listed; empty for any other text.
std::optional<SettingId> SettingByName(std::string_view name);
// The setting at a list row 0..10; empty outside.
std::optional<SettingId> SettingAt(int row);

// The block a setting covers (Configuration for the configuration).
FieldBlock SettingBlock(SettingId setting);
// The channel of a per-channel setting: 0 for "... A", 1 for "... B"; 0 for the configuration.
int SettingChannel(SettingId setting);
// True when one setting can be copied into the other: both the configuration, or the same
// block on either channel.
bool SettingsCompatible(SettingId from, SettingId to);

// The fields a setting covers, on the setting's own channel, in copy order.
std::vector<FieldRef> SettingFields(SettingId setting);

// The edits that copy the fields of `from` in source into the same fields of `to` on the
// target's channel, for the edit path to apply (so the target's links and limits apply); empty
// when the settings are not compatible. The compressor/limiter link fields say which channel a
// block is; they are copied only between the same channel, so a cross-channel copy keeps the
// target's own.
std::vector<ParamEdit> SettingEdits(std::span<const std::uint8_t, kPresetImageSize> source,
                                    SettingId from, SettingId to);

}  // namespace arvestra
