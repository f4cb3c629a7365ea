// recall --port P (--address A | --all) PRESET: recalls a stored preset on one device or on
// every device of the bus. Needs no file: the location is made from the bus.
#include <memory>

#include "cli/BusOptions.h"
#include "cli/CliSession.h"
#include "cli/ExitStatus.h"
#include "cli/Verbs.h"

namespace arvestra::cli {

namespace {

struct RecallOptions {
    BusOptions bus;
    int address = 0;
    bool all = false;
    int preset = 1;
};

int RunRecall(const RecallOptions& options) {
    CliSession session("recall", PolicyOf(options.bus));
    session.UsePort(PortOf(options.bus), options.bus.baud);
    if (!session.GoOnline(GoOnlineChoice::kUploadFromDevices)) return session.Finish(false);
    CQ7310Doc& doc = session.Doc();
    int recalled = 0;
    if (options.all) {
        session.WithProgress([&] { recalled = doc.RecallPresetOnAllDevices(options.preset); });
    } else {
        if (!session.RequireDevice(options.address)) return session.Finish(false);
        doc.SelectDevice(options.address);
        recalled = doc.RecallPreset(options.preset, true);
    }
    return session.Finish(recalled != 0 && session.StillOnline());
}

}  // namespace

void AddRecallVerb(CLI::App& app, VerbList& verbs) {
    auto options = std::make_shared<RecallOptions>();
    CLI::App* command =
        app.add_subcommand("recall", "Recall a stored preset on one device or on all of them");
    AddBusOptions(command, options->bus, true);
    CLI::Option_group* target =
        command->add_option_group("target", "which devices: exactly one of these");
    target->add_option("--address,-a", options->address, "bus address of the device")
        ->check(CLI::Range(1, 126));
    target->add_flag("--all", options->all, "every device on the bus");
    target->require_option(1);
    command->add_option("PRESET", options->preset, "preset number, 1 to 8")
        ->required()
        ->check(CLI::Range(1, 8));
    command->footer(
        "Examples:\n  arvestra-cli recall --port COM2 --address 3 2\n"
        "  arvestra-cli recall --port COM2 --all 1");
    verbs.push_back({command, [options] { return RunRecall(*options); }});
}

}  // namespace arvestra::cli
