// One parameter edit as every front end states it: a parameter by its name (ParamRef) and a
// value, a code, a delay distance, or the preset name's text. The command line reads
// "NAME=VALUE"; settings import, the copy and the remote page build edits from their own input.
// The document applies them all through one function (document/EditPath.h).
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "model/ParamName.h"
#include "model/ParamValue.h"

namespace arvestra {

struct ParamEdit {
    ParamRef ref;
    long long code = 0;                     // the code to set (not for the name, nor a distance)
    std::optional<DelayDistance> distance;  // a delay time given in ft or m
    std::string text;                       // the name's text (UTF-8), for ParamKind::PresetName
};

// An edit of a parameter to a code.
ParamEdit CodeEdit(const ParamRef& ref, long long code);
// An edit of one element of a field of the parameter map; the channel is ignored by fields that
// are not per channel.
ParamEdit FieldEdit(ParamField field, int channel, int index, long long code);

struct ParamEditParse {
    std::optional<ParamEdit> edit;
    std::string error;
};

// Parses "NAME=VALUE": the name by the parameter naming scheme, the value as a code or a value
// with a unit (any text for the name). Parsed before anything is opened, so that a typing error
// changes nothing.
ParamEditParse ParseParamEdit(std::string_view text);

}  // namespace arvestra
