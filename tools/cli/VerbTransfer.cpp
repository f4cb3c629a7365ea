// The verbs that carry whole locations between the bus and a file:
//   create --port P FILE     "Create New Location File" from the bus, then saved
//   upload --port P FILE     "Upload From Devices" into a new location, saved over FILE
//   download --port P FILE   "Download To Devices" of FILE
//
// Saving while online uploads every device first, so that the file holds all nine images of
// each. The tool does that upload itself before it goes offline and saves, so that a device
// failing half-way leaves FILE as it was instead of replacing it with a partial location.
#include <memory>
#include <optional>

#include "cli/BusOptions.h"
#include "cli/CliSession.h"
#include "cli/ExitStatus.h"
#include "cli/Verbs.h"

namespace arvestra::cli {

namespace {

struct TransferOptions {
    BusOptions bus;
    std::string file;
    bool force = false;
    bool yes = false;
    bool no = false;
};

// A new location from the bus, every device uploaded, then saved to the file.
int RunFromBus(const char* verb, GoOnlineChoice choice, const TransferOptions& options) {
    CliSession session(verb, PolicyOf(options.bus));
    if (choice == GoOnlineChoice::kCreateNewLocationFile &&
        !session.MayWriteNewFile(options.file, options.force)) {
        return kExitFailure;
    }
    session.UsePort(PortOf(options.bus), options.bus.baud);
    if (!session.GoOnline(choice) || !session.UploadAllDevices()) return session.Finish(false);
    session.GoOffline();
    return session.Finish(session.SaveFile(options.file));
}

int RunDownload(const TransferOptions& options) {
    std::optional<bool> reconcile;
    if (options.yes) reconcile = true;
    if (options.no) reconcile = false;
    CliSession session("download", PolicyOf(options.bus, reconcile));
    session.UsePort(PortOf(options.bus), options.bus.baud);
    if (!session.OpenFile(options.file)) return session.Finish(false);
    return session.Finish(session.GoOnline(GoOnlineChoice::kDownloadToDevices));
}

CLI::App* AddFileVerb(CLI::App& app, const char* name, const char* description,
                      TransferOptions& options) {
    CLI::App* command = app.add_subcommand(name, description);
    AddBusOptions(command, options.bus, true);
    command->add_option("FILE", options.file, "Location File (.kvx)")->required();
    return command;
}

}  // namespace

void AddCreateVerb(CLI::App& app, VerbList& verbs) {
    auto options = std::make_shared<TransferOptions>();
    CLI::App* command = AddFileVerb(
        app, "create", "Make a new Location File from the devices on the bus", *options);
    command->add_flag("--force", options->force, "replace FILE if it exists");
    command->footer(
        "Scans the bus, reads every device's name, information and all nine images "
        "and saves\nthem to FILE.\n\nExample:\n  arvestra-cli create --port COM2 "
        "hall.kvx");
    verbs.push_back({command, [options] {
                         return RunFromBus("create", GoOnlineChoice::kCreateNewLocationFile,
                                           *options);
                     }});
}

void AddUploadVerb(CLI::App& app, VerbList& verbs) {
    auto options = std::make_shared<TransferOptions>();
    CLI::App* command = AddFileVerb(
        app, "upload", "Read every device on the bus into FILE, replacing its contents", *options);
    command->footer(
        "\"Upload From Devices\": like create, but FILE may exist; it is replaced "
        "only when every\ndevice was read.\n\nExample (nightly backup):\n"
        "  arvestra-cli upload --port COM2 backup-$(date +%F).kvx");
    verbs.push_back({command, [options] {
                         return RunFromBus("upload", GoOnlineChoice::kUploadFromDevices, *options);
                     }});
}

void AddDownloadVerb(CLI::App& app, VerbList& verbs) {
    auto options = std::make_shared<TransferOptions>();
    CLI::App* command =
        AddFileVerb(app, "download", "Send FILE to the devices on the bus", *options);
    CLI::Option* yes = command->add_flag(
        "--yes,-y", options->yes,
        "answer Yes to the reconcile questions: a device found on the bus but not in FILE is "
        "added and receives default settings");
    CLI::Option* no = command->add_flag(
        "--no,-n", options->no,
        "answer No to the reconcile questions: devices that FILE does not list are left alone");
    yes->excludes(no);
    command->footer(
        "\"Download To Devices\": scans the bus, reconciles it with FILE and sends every "
        "device of FILE\nthat answers its name, bypass flags and all nine images. FILE is not "
        "changed.\nWithout --yes or --no a reconcile question stops the download before "
        "anything is sent.\n\nExample:\n  arvestra-cli download --port COM2 --no hall.kvx");
    verbs.push_back({command, [options] { return RunDownload(*options); }});
}

}  // namespace arvestra::cli
