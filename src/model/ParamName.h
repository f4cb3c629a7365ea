// The names parameters go by in the command-line tool and in exported settings: the model's
// field names with a channel prefix and an element number where the field has them, plus three
// names for values kept in more than one field.
//
//   [ch1.|ch2.]FIELD[.N]     e.g. ch1.eq.graphic_gain.12, ch2.lp.cutoff, config.chain_slot.3
//   ch1.delay.time, ch2.delay.temperature, name
//
// Per-channel fields need "ch1." (channel A) or "ch2." (channel B); the others take none.
// Array fields need an element number counted from 1; single fields take none.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "model/ParamField.h"
#include "model/Scale.h"

namespace arvestra {

// What a parameter name stands for.
enum class ParamKind {
    Field,        // one element of a field of the parameter map
    DelayTime,    // the 24-bit delay of a channel, in samples
    Temperature,  // the delay temperature of a channel, in tenths of a degree Fahrenheit
    PresetName,   // the name of the image (text)
};

inline constexpr int kNoChannel = -1;

// A parsed parameter name.
struct ParamRef {
    ParamKind kind = ParamKind::Field;
    ParamField field = ParamField::EqType;  // for ParamKind::Field
    int channel = kNoChannel;               // kChannelA, kChannelB or kNoChannel
    int index = 0;                          // element, counted from 0

    bool operator==(const ParamRef&) const = default;
};

// The parsed name, or a message saying what is wrong with it.
struct ParamNameParse {
    std::optional<ParamRef> ref;
    std::string error;
};

// Parses a parameter name of the scheme above.
ParamNameParse ParseParamName(std::string_view name);

// The name of a parameter, as ParseParamName reads it.
std::string FormatParamName(const ParamRef& ref);

// The value scale of a parameter (Scale::None for text and plain codes).
Scale ScaleOfParam(const ParamRef& ref);

// The codes a parameter can hold, lowest and highest (for the name: 0..0).
struct ParamCodes {
    int lowest = 0;
    int highest = 0;
};
ParamCodes CodesOfParam(const ParamRef& ref);

// Every parameter of an image, in the order of the field table, then the delay times, the
// temperatures and the name.
std::vector<ParamRef> AllParams();

// True for the single bytes a compound parameter (a delay time, a temperature, the name) is
// made of: lists of values name the compound instead.
bool CoveredByCompound(const ParamRef& ref);

}  // namespace arvestra
