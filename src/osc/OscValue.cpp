#include "osc/OscValue.h"

#include <algorithm>
#include <cmath>

#include "model/Latin1.h"
#include "model/PresetImage.h"

namespace arvestra::osc {

namespace {

bool IsWholeType(char type) {
    return type == 'i' || type == 'h';
}
bool IsRealType(char type) {
    return type == 'f' || type == 'd';
}
bool IsTextType(char type) {
    return type == 's' || type == 'S';
}

OscValueParse Error(std::string text) {
    OscValueParse parse;
    parse.error = std::move(text);
    return parse;
}

// Puts a code within the parameter's codes, saying so when it had to.
OscValueParse WithinCodes(const ParamRef& ref, long long code, bool beyondScale) {
    const ParamCodes codes = CodesOfParam(ref);
    OscValueParse parse;
    parse.code = std::clamp<long long>(code, codes.lowest, codes.highest);
    if (beyondScale || *parse.code != code) {
        parse.limited = "out of range; limited to " +
                        FormatParamValue(ScaleOfParam(ref), static_cast<int>(*parse.code));
    }
    return parse;
}

OscValueParse FromValueParse(const ParamRef& ref, const ValueParse& value) {
    if (!value.error.empty()) return Error(value.error);
    if (value.distance) {
        if (ref.kind != ParamKind::DelayTime) return Error("only a delay time takes a distance");
        OscValueParse parse;
        parse.distance = value.distance;
        return parse;
    }
    return WithinCodes(ref, *value.code, value.beyondScale);
}

OscValueParse NameToSet(const OscArg& arg) {
    if (!IsTextType(arg.type)) return Error("the name takes a string");
    OscValueParse parse;
    parse.text = arg.text;
    if (Utf8ToLatin1(arg.text).size() > kNameLength) {
        parse.limited = "the name was cut to " + std::to_string(kNameLength) + " characters";
    }
    return parse;
}

}  // namespace

OscValueParse ValueToSet(const ParamRef& ref, const OscArg& arg) {
    if (ref.kind == ParamKind::PresetName) return NameToSet(arg);
    const Scale scale = ScaleOfParam(ref);
    if (IsWholeType(arg.type)) return WithinCodes(ref, arg.whole, false);
    if (IsRealType(arg.type))
        return FromValueParse(ref, ParseValueInPrintedUnit(arg.number, scale));
    if (IsTextType(arg.type)) return FromValueParse(ref, ParseParamValue(arg.text, scale));
    return Error("a value is an int (a code), a float or a string");
}

OscValueParse ValueAfterStep(const ParamRef& ref, int currentCode, const OscArg& arg) {
    if (ref.kind == ParamKind::PresetName) return Error("the name has no steps");
    const Scale scale = ScaleOfParam(ref);
    long long target = currentCode;
    if (IsWholeType(arg.type)) {
        target =
            currentCode + std::clamp<long long>(arg.whole, -kMaxDelaySamples, kMaxDelaySamples);
    } else if (IsRealType(arg.type)) {
        if (!std::isfinite(arg.number)) return Error("the step is not a finite number");
        if (arg.number == 0.0) {
            target = currentCode;
        } else {
            const double value = ValueInPrintedUnit(scale, currentCode) + arg.number;
            const ValueParse parse =
                ParseValueInPrintedUnit(scale == Scale::None ? std::round(value) : value, scale);
            if (!parse.code) return Error(parse.error);
            target = *parse.code;
            // A step finer than the scale still moves, in its direction.
            if (target == currentCode) target += arg.number > 0 ? 1 : -1;
        }
    } else {
        return Error("a step is a float (in the parameter's unit) or an int (codes)");
    }
    const ParamCodes codes = CodesOfParam(ref);
    OscValueParse parse;
    parse.code = std::clamp<long long>(target, codes.lowest, codes.highest);
    return parse;
}

}  // namespace arvestra::osc
