// Feeds arbitrary text to the command-line tool's parsers of parameter names, values, NAME=VALUE
// assignments and --port values. Besides not crashing, what they accept must hold together: a
// name prints back to itself, a value given with a unit lands within its scale and prints back
// to the same code, and a port names COM1 to COM4 or carries its path.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "cli/ParamName.h"
#include "cli/ParamValue.h"
#include "cli/PortOption.h"
#include "model/ParamEdit.h"
#include "model/Scales.h"

namespace {

using namespace arvestra;
using namespace arvestra::cli;

constexpr int kScaleCount = static_cast<int>(Scale::Temperature) + 1;

void Require(bool condition) {
    if (!condition) std::abort();
}

void CheckName(std::string_view text) {
    const ParamNameParse parse = ParseParamName(text);
    Require(parse.ref.has_value() != !parse.error.empty());
    if (!parse.ref) return;
    const ParamNameParse again = ParseParamName(FormatParamName(*parse.ref));
    Require(again.ref == parse.ref);
    const ParamCodes codes = CodesOfParam(*parse.ref);
    Require(codes.lowest <= codes.highest);
}

void CheckValue(std::string_view text, Scale scale) {
    const ValueParse parse = ParseParamValue(text, scale);
    // A value is a code, a delay distance (turned into samples only when applied), or an error.
    Require((parse.code.has_value() || parse.distance.has_value()) != !parse.error.empty());
    Require(!(parse.code.has_value() && parse.distance.has_value()));
    if (parse.distance) Require(parse.fromUnits);
    if (!parse.code || !parse.fromUnits) return;
    const CodeRange range = ScaleCodes(scale);
    Require(*parse.code >= range.lowest && *parse.code <= range.highest);
    const int code = static_cast<int>(*parse.code);
    const ValueParse printed = ParseParamValue(FormatParamValue(scale, code), scale);
    Require(printed.code == parse.code);
}

void CheckAssignment(std::string_view text) {
    const ParamEditParse parse = ParseParamEdit(text);
    Require(parse.edit.has_value() != !parse.error.empty());
    if (!parse.edit || parse.edit->ref.kind == ParamKind::PresetName) return;
    // The name part of an accepted assignment is a name on its own.
    const std::size_t equals = text.find('=');
    Require(equals != std::string_view::npos);
    Require(ParseParamName(text.substr(0, equals)).ref == parse.edit->ref);
}

void CheckPort(std::string_view text) {
    const PortParse parse = ParsePortOption(text);
    Require(parse.spec.has_value() != !parse.error.empty());
    if (!parse.spec) return;
    Require(parse.spec->comNumber >= 1 && parse.spec->comNumber <= kHighestComPort);
    Require(parse.spec->path.empty() || parse.spec->path == text);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    // The first byte picks the scale the value is read in; the rest is what was typed.
    const Scale scale = static_cast<Scale>(data[0] % kScaleCount);
    const std::string text(reinterpret_cast<const char*>(data + 1), size - 1);
    CheckName(text);
    CheckValue(text, scale);
    CheckAssignment(text);
    CheckPort(text);
    return 0;
}
