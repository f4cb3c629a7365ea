#include "cli/EqEditRun.h"

namespace arvestra::cli {

namespace {

bool EditSelected(CliSession& session, const EqTargetOptions& options, const EqEdit& edit) {
    CQ7310Doc& doc = session.Doc();
    if (options.preset != 0 && (!doc.RecallPreset(options.preset, true) || !session.Healthy())) {
        return false;
    }
    if (!edit(session, options.channel - 1) || !session.Healthy()) return false;
    if (!doc.IsOnline()) {
        return options.preset == 0 || (doc.StorePreset() != 0 && session.Healthy());
    }
    if (!doc.Bus().WaitDirtyFlushed() || !session.StillOnline()) return false;
    return options.preset == 0 || (doc.StorePreset() != 0 && session.StillOnline());
}

int RunOffline(const std::string& verb, const EqTargetOptions& options, const EqEdit& edit) {
    CliSession session(verb, AnswerPolicy{});
    if (!session.OpenFile(options.file) || !session.RequireDevice(options.address)) {
        return session.Finish(false);
    }
    session.Doc().SelectDevice(options.address);
    if (!EditSelected(session, options, edit)) return session.Finish(false);
    return session.Finish(session.SaveFile(options.file));
}

int RunOnline(const std::string& verb, const EqTargetOptions& options, const EqEdit& edit) {
    CliSession session(verb, PolicyOf(options.bus));
    session.UsePort(PortOf(options.bus), options.bus.baud);
    if (!session.GoOnline(GoOnlineChoice::kUploadFromDevices) ||
        !session.RequireDevice(options.address)) {
        return session.Finish(false);
    }
    // The device's edit buffer is read first, so the edit starts from what the device holds.
    if (!session.Doc().EditDevice(options.address) || !EditSelected(session, options, edit)) {
        return session.Finish(false);
    }
    if (!session.UploadAllDevices()) return session.Finish(false);
    session.GoOffline();
    return session.Finish(session.SaveFile(options.file));
}

}  // namespace

void AddEqTargetOptions(CLI::App* command, EqTargetOptions& options) {
    AddBusOptions(command, options.bus, false);
    command->add_option("FILE", options.file, "Location File to edit (or to write, with --port)")
        ->required();
    command->add_option("--address,-a", options.address, "bus address of the device")
        ->required()
        ->check(CLI::Range(1, 126));
    command->add_option("--channel,-c", options.channel, "channel: 1 (Ch 1) or 2 (Ch 2)")
        ->required()
        ->check(CLI::Range(1, 2));
    command
        ->add_option("--preset", options.preset,
                     "preset 1 to 8: recall it, change it and store it back (default: the edit "
                     "buffer)")
        ->check(CLI::Range(1, 8));
}

int RunEqEdit(const std::string& verb, const EqTargetOptions& options, const EqEdit& edit) {
    return options.bus.port.empty() ? RunOffline(verb, options, edit)
                                    : RunOnline(verb, options, edit);
}

}  // namespace arvestra::cli
