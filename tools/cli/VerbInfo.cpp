// info FILE [--json]: what the location holds about each device.
#include <cstdio>
#include <memory>

#include "cli/CliSession.h"
#include "cli/DeviceSummary.h"
#include "cli/ExitStatus.h"
#include "cli/Verbs.h"

namespace arvestra::cli {

namespace {

struct InfoOptions {
    std::string file;
    bool json = false;
};

int RunInfo(const InfoOptions& options) {
    CliSession session("info", AnswerPolicy{});
    if (!session.OpenFile(options.file)) return session.Finish(false);
    const std::vector<DeviceSummary> devices =
        SummariseLocation(session.Doc().Devices().Location());
    const std::string text = options.json ? FormatDevicesJson(devices) : FormatInfoText(devices);
    std::fputs(text.c_str(), stdout);
    return session.Finish(true);
}

}  // namespace

void AddInfoVerb(CLI::App& app, VerbList& verbs) {
    auto options = std::make_shared<InfoOptions>();
    CLI::App* command = app.add_subcommand("info", "Show the devices of a Location File");
    command->add_option("FILE", options->file, "Location File to read")->required();
    command->add_flag("--json", options->json, "print JSON instead of text");
    command->footer(
        "Per device: address, slot, name, firmware numbers, bypass flags, current "
        "preset and preset names.\n\nExamples:\n  arvestra-cli info hall.kvx\n  arvestra-cli info "
        "--json hall.kvx");
    verbs.push_back({command, [options] { return RunInfo(*options); }});
}

}  // namespace arvestra::cli
