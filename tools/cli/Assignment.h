// One PARAM=VALUE of the "set" verb, parsed before anything is opened, so that a typing error
// changes nothing.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "cli/ParamName.h"
#include "cli/ParamValue.h"

namespace arvestra::cli {

struct Assignment {
    ParamRef ref;
    long long code = 0;  // the code to set (not for the name, nor for a distance)
    std::optional<DelayDistance> distance;  // a delay time given in ft or m
    std::string text;                       // the name's text (UTF-8), for ParamKind::PresetName
};

struct AssignmentParse {
    std::optional<Assignment> assignment;
    std::string error;
};

// Parses "NAME=VALUE": the name by the parameter naming scheme, the value as a code or a value
// with a unit (any text for the name).
AssignmentParse ParseAssignment(std::string_view text);

}  // namespace arvestra::cli
