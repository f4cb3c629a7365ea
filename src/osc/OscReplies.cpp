#include "osc/OscReplies.h"

#include "osc/OscRoute.h"

namespace arvestra::osc {

OscMessage ErrorReply(std::string_view path, std::string_view reason) {
    return OscMessage{"/arvestra/error",
                      {OscArg::String(std::string(path)), OscArg::String(std::string(reason))}};
}

OscMessage ParamReply(int address, const ParamRef& ref, ImageBytes image) {
    OscMessage message{DevicePrefix(address) + "/" + FormatParamName(ref), {}};
    if (ref.kind == ParamKind::PresetName) {
        message.args.push_back(OscArg::String(NameInImage(image)));
        return message;
    }
    const int code = ParamCodeInImage(image, ref);
    const Scale scale = ScaleOfParam(ref);
    if (scale == Scale::None) {
        message.args.push_back(OscArg::Int(code));
    } else {
        message.args.push_back(OscArg::Float(ValueInPrintedUnit(scale, code)));
    }
    return message;
}

OscMessage PresetReply(int address, int preset) {
    return OscMessage{DevicePrefix(address) + "/preset", {OscArg::Int(preset)}};
}

OscMessage BypassReply(int address, int channel, bool on) {
    return OscMessage{DevicePrefix(address) + "/bypass/" + (channel == 0 ? "1" : "2"),
                      {OscArg::Int(on ? 1 : 0)}};
}

}  // namespace arvestra::osc
