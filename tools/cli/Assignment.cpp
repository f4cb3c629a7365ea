#include "cli/Assignment.h"

#include "cli/ParamValue.h"

namespace arvestra::cli {

AssignmentParse ParseAssignment(std::string_view text) {
    AssignmentParse parse;
    const std::size_t equals = text.find('=');
    if (equals == std::string_view::npos) {
        parse.error = std::string(text) + ": write PARAM=VALUE, e.g. ch1.lp.cutoff=1000Hz";
        return parse;
    }
    const ParamNameParse name = ParseParamName(text.substr(0, equals));
    if (!name.ref) {
        parse.error = name.error;
        return parse;
    }
    const std::string_view value = text.substr(equals + 1);
    Assignment assignment;
    assignment.ref = *name.ref;
    if (name.ref->kind == ParamKind::PresetName) {
        assignment.text = std::string(value);
        parse.assignment = assignment;
        return parse;
    }
    const ValueParse code = ParseParamValue(value, ScaleOfParam(*name.ref));
    if (code.distance) {
        assignment.distance = code.distance;
        parse.assignment = assignment;
        return parse;
    }
    if (!code.code) {
        parse.error = FormatParamName(*name.ref) + ": " + code.error;
        return parse;
    }
    assignment.code = *code.code;
    parse.assignment = assignment;
    return parse;
}

}  // namespace arvestra::cli
