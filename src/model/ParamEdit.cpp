#include "model/ParamEdit.h"

namespace arvestra {

ParamEdit CodeEdit(const ParamRef& ref, long long code) {
    ParamEdit edit;
    edit.ref = ref;
    edit.code = code;
    return edit;
}

ParamEdit FieldEdit(ParamField field, int channel, int index, long long code) {
    const int ch = FieldInfo(field).perChannel() ? channel : kNoChannel;
    return CodeEdit(ParamRef{ParamKind::Field, field, ch, index}, code);
}

ParamEditParse ParseParamEdit(std::string_view text) {
    ParamEditParse parse;
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
    ParamEdit edit;
    edit.ref = *name.ref;
    if (name.ref->kind == ParamKind::PresetName) {
        edit.text = std::string(value);
        parse.edit = edit;
        return parse;
    }
    const ValueParse code = ParseParamValue(value, ScaleOfParam(*name.ref));
    if (code.distance) {
        edit.distance = code.distance;
        parse.edit = edit;
        return parse;
    }
    if (!code.code) {
        parse.error = FormatParamName(*name.ref) + ": " + code.error;
        return parse;
    }
    edit.code = *code.code;
    parse.edit = edit;
    return parse;
}

}  // namespace arvestra
