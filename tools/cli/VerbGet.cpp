// get FILE --address A [--image N] [--units] [PARAM...]: parameters of one image of a device,
// one NAME=VALUE line each (every parameter when none is named).
#include <cstdio>
#include <memory>

#include "cli/CliSession.h"
#include "cli/DeviceSummary.h"
#include "cli/ExitStatus.h"
#include "cli/ParamName.h"
#include "cli/ParamValue.h"
#include "cli/Verbs.h"
#include "document/EditPath.h"
#include "model/Latin1.h"

namespace arvestra::cli {

namespace {

struct GetOptions {
    std::string file;
    int address = 1;
    int image = 0;
    bool units = false;
    std::vector<std::string> params;
};

std::string ParamLine(CLocationImage& location, int slot, int image, const ParamRef& ref,
                      bool units) {
    std::string value;
    if (ref.kind == ParamKind::PresetName) {
        value = PrintableText(Latin1ToUtf8(location.PresetName(slot, image)));
    } else {
        const int code = ReadParamCode(location, slot, image, ref);
        value = units ? FormatParamValue(ScaleOfParam(ref), code) : std::to_string(code);
    }
    return FormatParamName(ref) + "=" + value + "\n";
}

int RunGet(const GetOptions& options) {
    std::vector<ParamRef> refs;
    for (const std::string& name : options.params) refs.push_back(*ParseParamName(name).ref);
    if (refs.empty()) refs = AllParams();

    CliSession session("get", AnswerPolicy{});
    if (!session.OpenFile(options.file) || !session.RequireDevice(options.address)) {
        return session.Finish(false);
    }
    CLocationImage& location = session.Doc().Devices().Location();
    const int slot = location.SlotOf(options.address);
    std::string text;
    for (const ParamRef& ref : refs)
        text += ParamLine(location, slot, options.image, ref, options.units);
    std::fputs(text.c_str(), stdout);
    return session.Finish(true);
}

CLI::Validator ParamNameCheck() {
    return CLI::Validator([](std::string& text) { return ParseParamName(text).error; }, "PARAM",
                          "parameter name");
}

}  // namespace

void AddGetVerb(CLI::App& app, VerbList& verbs) {
    auto options = std::make_shared<GetOptions>();
    CLI::App* command =
        app.add_subcommand("get", "Print parameters of a device from a Location File");
    command->add_option("FILE", options->file, "Location File to read")->required();
    command->add_option("--address,-a", options->address, "bus address of the device")
        ->required()
        ->check(CLI::Range(1, 126));
    command
        ->add_option("--image,-i", options->image,
                     "image: 0 the edit buffer (default), 1 to 8 the stored presets")
        ->check(CLI::Range(0, 8));
    command->add_flag("--units,-u", options->units,
                      "print values with units (1000Hz, -3dB, 20ms) instead of codes");
    command->add_option("PARAM", options->params, "parameter names (see \"arvestra-cli params\")")
        ->check(ParamNameCheck());
    command->footer(
        "One NAME=VALUE line per parameter (all of them when no PARAM is named); the lines "
        "can be\ngiven to \"set\" as they are.\n\n"
        "Parameter names: [ch1.|ch2.]FIELD[.N], e.g. ch1.eq.graphic_gain.12, ch2.lp.cutoff,\n"
        "config.chain_slot.3, ch1.delay.time, ch2.delay.temperature, name.\n"
        "\"arvestra-cli params\" lists them all.\n\n"
        "Examples:\n"
        "  arvestra-cli get hall.kvx --address 1 ch1.lp.cutoff ch1.eq.graphic_gain.12\n"
        "  arvestra-cli get hall.kvx --address 1 --image 3 --units ch1.delay.time");
    verbs.push_back({command, [options] { return RunGet(*options); }});
}

}  // namespace arvestra::cli
