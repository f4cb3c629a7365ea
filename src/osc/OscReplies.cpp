#include "osc/OscReplies.h"

#include "document/EditPath.h"
#include "document/LocationImage.h"
#include "model/Latin1.h"
#include "model/ParamValue.h"
#include "osc/OscRoute.h"

namespace arvestra::osc {

std::string NameInImage(ImageBytes image) {
    std::string latin1(image.begin() + kNameOffset, image.begin() + kNameOffset + kNameLength);
    const std::size_t end = latin1.find_last_not_of(std::string(" \0", 2));
    latin1.resize(end == std::string::npos ? 0 : end + 1);
    return Latin1ToUtf8(latin1);
}

ImageBytes EditBufferOf(const CLocationImage& location, int address) {
    return ImageBytes(location.Image(location.SlotOf(address), 0), kPresetImageSize);
}

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
    const int code = ReadParamCode(image, ref);
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
