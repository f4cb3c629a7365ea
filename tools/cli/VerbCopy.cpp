// copy FROM --address A [--preset N] [--setting NAME] TO --to-address B[,C...]
//      [--to-preset M[,M...]] [--to-setting NAME] [--port P]:
// copies a setting, a preset or a whole device from one Location File into another (the same
// file allowed). FROM is only read. Offline TO is changed and saved atomically; with --port the
// tool goes online as "Upload From Devices" does, sends the copy to the devices live, reads
// the bus back and saves it to TO.
#include <cstdio>
#include <memory>

#include "cli/BusOptions.h"
#include "cli/CliSession.h"
#include "cli/ExitStatus.h"
#include "cli/Verbs.h"
#include "document/DocCopy.h"
#include "document/LocationBuffer.h"

namespace arvestra::cli {

namespace {

struct CopyOptions {
    BusOptions bus;
    std::string from;
    std::string to;
    int address = 1;
    int preset = -1;  // -1: not given
    std::string setting;
    std::vector<int> toAddresses;
    std::vector<int> toPresets;
    std::string toSetting;
};

// The request the options describe: a setting when --setting is given, else a preset when
// --preset is given, else the whole device; images default to the source's.
CopyRequest RequestOf(const CopyOptions& options) {
    CopyRequest request;
    request.what = !options.setting.empty() ? CopyWhat::Setting
                   : options.preset >= 0    ? CopyWhat::Preset
                                            : CopyWhat::Device;
    request.fromAddress = options.address;
    request.fromImage = options.preset >= 0 ? options.preset : 0;
    request.toAddresses = options.toAddresses;
    request.toImages =
        options.toPresets.empty() ? std::vector<int>{request.fromImage} : options.toPresets;
    if (request.what == CopyWhat::Setting) {
        request.fromSetting = *SettingByName(options.setting);
        const std::string& to = options.toSetting.empty() ? options.setting : options.toSetting;
        request.toSettings = {*SettingByName(to)};
    }
    return request;
}

int RunCopyOffline(const CopyOptions& options, const CopyRequest& request) {
    CliSession session("copy", AnswerPolicy{});
    if (!session.HoldForEditing(options.to)) return session.Finish(false);
    const std::string error =
        RunCopy(session.Doc(), {false, options.from}, {false, options.to}, request);
    if (!error.empty()) session.Ui().Fail(error);
    return session.Finish(error.empty());
}

int RunCopyOnline(const CopyOptions& options, const CopyRequest& request) {
    CliSession session("copy", PolicyOf(options.bus));
    // FROM is read before the bus replaces anything, so FROM and TO may be the same file.
    std::string error;
    const std::unique_ptr<CLocationBuffer> source =
        CLocationBuffer::Load(options.from, true, error);
    if (!source) {
        session.Ui().Fail(error);
        return session.Finish(false);
    }
    session.UsePort(PortOf(options.bus), options.bus.baud);
    if (!session.GoOnline(GoOnlineChoice::kUploadFromDevices)) return session.Finish(false);
    error = CopyIntoDocument(session.Doc(), source->Location(), request);
    if (!error.empty()) {
        session.Ui().Fail(error);
        return session.Finish(false);
    }
    if (!session.Doc().Bus().WaitDirtyFlushed() || !session.UploadAllDevices()) {
        return session.Finish(false);
    }
    session.GoOffline();
    return session.Finish(session.SaveFile(options.to));
}

int RunCopyVerb(const CopyOptions& options) {
    // Options that a whole-device copy would silently ignore are a mistake in the command line.
    const bool device = options.setting.empty() && options.preset < 0;
    if ((device && !options.toPresets.empty()) ||
        (options.setting.empty() && !options.toSetting.empty())) {
        std::fprintf(stderr, "arvestra-cli copy: %s needs %s\n",
                     options.toSetting.empty() ? "--to-preset" : "--to-setting",
                     options.toSetting.empty() ? "--preset or --setting" : "--setting");
        return kExitUsage;
    }
    const CopyRequest request = RequestOf(options);
    return options.bus.port.empty() ? RunCopyOffline(options, request)
                                    : RunCopyOnline(options, request);
}

CLI::Validator SettingCheck() {
    return CLI::Validator(
        [](std::string& text) -> std::string {
            if (SettingByName(text)) return {};
            std::string names;
            for (const char* name : SettingNames())
                names += std::string(names.empty() ? "" : ", ") + name;
            return "unknown setting \"" + text + "\"; one of: " + names;
        },
        "NAME", "setting");
}

}  // namespace

void AddCopyVerb(CLI::App& app, VerbList& verbs) {
    auto options = std::make_shared<CopyOptions>();
    CLI::App* command = app.add_subcommand(
        "copy", "Copy a setting, a preset or a whole device between Location Files or devices");
    AddBusOptions(command, options->bus, false);
    command->add_option("FROM", options->from, "Location File to copy from (only read)")
        ->required();
    command->add_option("TO", options->to, "Location File to copy into (may be FROM)")->required();
    command->add_option("--address,-a", options->address, "bus address of the source device")
        ->required()
        ->check(CLI::Range(1, 126));
    command
        ->add_option("--preset", options->preset,
                     "source image: 0 the edit buffer, 1 to 8 the stored presets")
        ->check(CLI::Range(0, 8));
    command->add_option("--setting", options->setting, "setting to copy, e.g. \"EQ A\"")
        ->check(SettingCheck());
    command
        ->add_option("--to-address", options->toAddresses, "destination addresses, comma-separated")
        ->required()
        ->delimiter(',')
        ->check(CLI::Range(1, 126));
    command
        ->add_option("--to-preset", options->toPresets,
                     "destination images, comma-separated (default: the source's)")
        ->delimiter(',')
        ->check(CLI::Range(0, 8));
    command
        ->add_option("--to-setting", options->toSetting,
                     "destination setting (default: the source's; \"EQ A\" into \"EQ B\" works)")
        ->check(SettingCheck());
    command->footer(
        "--setting copies one setting of an image (the image of --preset, else the edit\n"
        "buffer); --preset alone copies that image with its name; neither copies the whole\n"
        "device (everything but its address; a new address gets a new device in TO).\n"
        "Settings: Configuration, EQ A, EQ B, LP A, LP B, HP A, HP B, Delay A, Delay B,\n"
        "Comp/Limiter A, Comp/Limiter B; Configuration also carries the preset name (with the\n"
        "routing, the levels and the Master links). FROM is never written; TO is replaced\n"
        "atomically.\n"
        "With --port the devices on the bus get the copy live, and TO is written with what the\n"
        "bus then holds.\n\n"
        "Examples:\n"
        "  arvestra-cli copy hall.kvx --address 1 --setting 'EQ A' hall.kvx --to-address 1 "
        "--to-setting 'EQ B'\n"
        "  arvestra-cli copy show.kvx --address 2 --preset 3 hall.kvx --to-address 1,4 "
        "--to-preset 5\n"
        "  arvestra-cli copy spare.kvx --address 7 hall.kvx --to-address 9");
    verbs.push_back({command, [options] { return RunCopyVerb(*options); }});
}

}  // namespace arvestra::cli
