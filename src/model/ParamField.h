#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

#include "model/PresetImage.h"
#include "model/Scale.h"

namespace arvestra {

// Every field of the parameter map. Arrays (bands, slots, palette positions, chain settings,
// compressor bands, name characters) are one field with an index.
enum class ParamField {
    // Equaliser block (channel stride 65).
    EqType,
    EqSource,
    EqMaster,
    EqBypass,
    EqReserved,
    EqGraphicQ,
    EqGraphicGain,     // index 0..30
    EqParamFrequency,  // index 0..9
    EqParamBandwidth,  // index 0..9
    EqParamGain,       // index 0..9
    EqParamBypass,     // index 0..9
    // Low-pass block (stride 6).
    LpSource,
    LpMaster,
    LpBlockFlag,
    LpCutoff,
    LpSlope,
    // High-pass block (stride 6).
    HpSource,
    HpMaster,
    HpBlockFlag,
    HpCutoff,
    HpSlope,
    // Input level (stride 1).
    InputLevel,
    // Delay block (stride 4 for header and delay bytes, 1 for the temperature bytes).
    DelaySource,
    DelayMaster,
    DelayBypass,
    DelayHigh,
    DelayMiddle,
    DelayLow,
    TemperatureHigh,
    TemperatureLow,
    // Compressor/limiter block (stride 19); band fields take index 0 (band 1) or 1 (band 2).
    ClSource,
    ClMaster,
    ClBypass,
    ClLinkMode,
    ClReserved,
    ClLinkFlag,
    ClCrossover,
    ClMode,
    ClAttack,
    ClRelease,
    ClBandReserved,
    ClThreshold,
    ClRatio,
    ClKnee,
    ClGain,
    // Outputs (stride 2).
    OutputSource,
    OutputLevel,
    // Configuration, not per channel.
    PinkNoiseLevel,
    Reserved195,
    ChainSlot,        // index 0..15
    PalettePosition,  // index 0..11
    PinkNoiseOn,      // index 0..1 (chain of A, chain of B)
    JoinPosition,     // index 0..1
    JoinOn,
    JoinTarget,
    NameChar,  // index 0..31
    Count_
};

inline constexpr int kParamFieldCount = static_cast<int>(ParamField::Count_);

// The block (or part of the configuration) a field belongs to; the five linkable blocks are the
// link groups of the channel "Master" flags.
enum class FieldBlock {
    Equaliser,
    LowPass,
    HighPass,
    Delay,
    CompLimiter,
    Input,
    Output,
    Configuration,
    Name,
};

// What a field is used for, so generic code can tell routing and link fields from parameters.
enum class FieldRole {
    Value,        // an ordinary parameter (block parameters follow the channel link)
    Source,       // source node of a block header or the output source (routing)
    Master,       // the "Master" link flag of a block on one channel
    LinkDerived,  // compressor/limiter link mode and flag, derived from the master flags
};

// Where and how one field is stored. Channel B (or the only place of a non-channel field) at
// index 0 is offsetB; channel A is channelStride bytes lower; element i is i * indexStep higher.
struct FieldDescriptor {
    const char* name;  // stable lower-case identifier, e.g. "eq.graphic_gain"
    FieldBlock block;
    FieldRole role;
    int offsetB;
    int channelStride;   // 0 for fields that are not per channel
    int indexStep;       // 0 for single fields
    int indexCount;      // 1 for single fields
    std::uint8_t mask;   // bits of the byte that hold the field (0xFF for a whole byte)
    std::uint8_t shift;  // position of the field's lowest bit
    int lo;
    int hi;
    Scale scale;

    bool perChannel() const { return channelStride != 0; }
    bool isArray() const { return indexCount > 1; }
};

// Returns the descriptor of a field; an out-of-range enum value yields the first field's.
const FieldDescriptor& FieldInfo(ParamField field);

// Returns the whole field table, in the order of the enum.
std::span<const FieldDescriptor> AllFields();

// Returns the image byte offset of the field for a channel (non-zero means B) and index, or -1
// when the index lies outside the field's array.
int FieldOffset(ParamField field, int channel, int index = 0);

// Limits a value to the field's range, lower bound first.
int ClampToField(ParamField field, long long value);

// Finds a field by its identifier; empty when no field has that name.
std::optional<ParamField> FieldByName(std::string_view name);

// Reads a field from a 250-byte image: masked and shifted down to bit 0; 0 for an index outside
// the field.
int ReadField(std::span<const std::uint8_t, kPresetImageSize> image, ParamField field, int channel,
              int index = 0);

// Clamps value to the field's range, writes it into the field's bits with the other bits of the
// byte unchanged, and returns the clamped value; an index outside the field writes nothing.
int WriteField(std::span<std::uint8_t, kPresetImageSize> image, ParamField field, int channel,
               int index, long long value);

}  // namespace arvestra
