// scan --port P: discovery of the bus; one line per accepted device.
#include <cstdio>
#include <memory>

#include "cli/BusOptions.h"
#include "cli/CliSession.h"
#include "cli/DeviceSummary.h"
#include "cli/ExitStatus.h"
#include "cli/Verbs.h"

namespace arvestra::cli {

namespace {

struct ScanOptions {
    BusOptions bus;
    bool json = false;
};

int RunScan(const ScanOptions& options) {
    CliSession session("scan", PolicyOf(options.bus));
    session.UsePort(PortOf(options.bus), options.bus.baud);
    CQ7310Doc& doc = session.Doc();
    // Discovery in new-file mode over the document's own empty location: found devices are
    // entered without questions and their names read; nothing is written to any file.
    session.App().SetOnline(1);
    if (!session.StillOnline()) return session.Finish(false);
    int discovered = 0;
    session.WithProgress([&] { discovered = doc.Discover(false); });
    const bool found = discovered != 0 && session.StillOnline();
    if (!found) return session.Finish(false);

    std::vector<DeviceSummary> devices;
    for (int address = kFirstAddress; address <= kMaxAddress; ++address) {
        if (doc.Devices().IsMarkedPresent(address))
            devices.push_back(SummariseDevice(doc.Devices().Location(), address));
    }
    if (options.json) {
        std::fputs(FormatDevicesJson(devices).c_str(), stdout);
    } else {
        for (const DeviceSummary& device : devices)
            std::fputs(FormatScanLine(device).c_str(), stdout);
    }
    return session.Finish(true);
}

}  // namespace

void AddScanVerb(CLI::App& app, VerbList& verbs) {
    auto options = std::make_shared<ScanOptions>();
    CLI::App* command = app.add_subcommand("scan", "List the devices that answer on the bus");
    AddBusOptions(command, options->bus, true);
    command->add_flag("--json", options->json, "print JSON instead of text");
    command->footer(
        "Scans bus addresses 1 to 126; one line per accepted device: address, name, "
        "application\nnumber, firmware revision and base firmware revision, "
        "tab-separated.\n\nExamples:\n  arvestra-cli scan --port COM2\n"
        "  arvestra-cli scan --port /dev/ttyUSB0 --baud 38400");
    verbs.push_back({command, [options] { return RunScan(*options); }});
}

}  // namespace arvestra::cli
