// The verbs that carry settings as readable JSON:
//   export FILE [--address A [--image N]]          a location, a device or one preset, to stdout
//   import [--port P] FILE SETTINGS [--address A]   settings into FILE (and the bus, with --port)
//
// An import reports every value it could not take as it stands (unknown name, wrong type, value
// limited, a parameter given twice, a name cut or with characters replaced), loads the rest and
// exits with status 3; a file that is not settings JSON, or of a newer format, changes nothing.
#include <cstdio>
#include <fstream>
#include <memory>

#include "cli/BusOptions.h"
#include "cli/CliSession.h"
#include "cli/ExitStatus.h"
#include "cli/Verbs.h"
#include "document/SettingsJson.h"

namespace arvestra::cli {

namespace {

struct ExportOptions {
    std::string file;
    int address = 0;
    int image = -1;
};

struct ImportOptions {
    BusOptions bus;
    std::string file;
    std::string settings;
    int address = 0;
};

int RunExport(const ExportOptions& options) {
    CliSession session("export", AnswerPolicy{});
    if (!session.OpenFile(options.file)) return session.Finish(false);
    if (options.address != 0 && !session.RequireDevice(options.address)) {
        return session.Finish(false);
    }
    const CLocationImage& location = session.Doc().Devices().Location();
    std::string text;
    if (options.address == 0) {
        text = ExportLocationJson(location);
    } else if (options.image < 0) {
        text = ExportDeviceJson(location, options.address);
    } else {
        text = ExportPresetJson(location, options.address, options.image);
    }
    std::fputs(text.c_str(), stdout);
    return session.Finish(!text.empty());
}

// The settings file's text, read no further than an import would look; false after a message.
bool ReadSettingsFile(CliUiPort& ui, const std::string& path, std::string& text) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        ui.Fail("cannot read " + path);
        return false;
    }
    text.resize(kMaxSettingsBytes + 1);
    in.read(text.data(), static_cast<std::streamsize>(text.size()));
    text.resize(static_cast<std::size_t>(in.gcount()));
    return true;
}

// How an import into the document went.
enum class ImportResult {
    Failed,      // refused (nothing changed), or the session failed
    Complete,    // every value applied as given
    Incomplete,  // loaded, but something was skipped, limited, cut or replaced (listed)
};

// Imports into the open document and says what happened.
ImportResult ImportInto(CliSession& session, const std::string& text, int address) {
    const ImportReport report = ImportSettingsJson(session.Doc(), text, ImportTarget{address});
    if (report.refused) {
        session.Ui().Fail("import: nothing changed: " + report.refusal);
        return ImportResult::Failed;
    }
    for (const std::string& problem : report.problems) session.Ui().Note("import: " + problem);
    if (!session.Healthy()) return ImportResult::Failed;
    return report.problems.empty() ? ImportResult::Complete : ImportResult::Incomplete;
}

// The exit status of an import that ended with `status`: a script must be able to tell that
// the file it gave was not taken as it stands.
int ImportStatus(int status, ImportResult result) {
    return status == kExitSuccess && result == ImportResult::Incomplete ? kExitIncomplete : status;
}

int RunImportOffline(const ImportOptions& options, const std::string& text) {
    CliSession session("import", AnswerPolicy{});
    if (!session.OpenFile(options.file)) return session.Finish(false);
    const ImportResult result = ImportInto(session, text, options.address);
    if (result == ImportResult::Failed) return session.Finish(false);
    return ImportStatus(session.Finish(session.SaveFile(options.file)), result);
}

int RunImportOnline(const ImportOptions& options, const std::string& text) {
    CliSession session("import", PolicyOf(options.bus));
    session.UsePort(PortOf(options.bus), options.bus.baud);
    if (!session.GoOnline(GoOnlineChoice::kUploadFromDevices)) return session.Finish(false);
    CQ7310Doc& doc = session.Doc();
    // A preset goes into the edit buffer live, starting from what the device holds.
    if (options.address != 0 &&
        (!session.RequireDevice(options.address) || !doc.EditDevice(options.address))) {
        return session.Finish(false);
    }
    const ImportResult result = ImportInto(session, text, options.address);
    if (result == ImportResult::Failed) return session.Finish(false);
    if (!doc.Bus().WaitDirtyFlushed() || !session.StillOnline() || !session.UploadAllDevices()) {
        return session.Finish(false);
    }
    session.GoOffline();
    return ImportStatus(session.Finish(session.SaveFile(options.file)), result);
}

int RunImport(const ImportOptions& options) {
    std::string text;
    {
        CliSession reader("import", AnswerPolicy{});
        if (!ReadSettingsFile(reader.Ui(), options.settings, text)) return reader.Finish(false);
    }
    return options.bus.port.empty() ? RunImportOffline(options, text)
                                    : RunImportOnline(options, text);
}

}  // namespace

void AddExportVerb(CLI::App& app, VerbList& verbs) {
    auto options = std::make_shared<ExportOptions>();
    CLI::App* command =
        app.add_subcommand("export", "Print settings of a location, a device or a preset as JSON");
    command->add_option("FILE", options->file, "Location File to read")->required();
    CLI::Option* address =
        command->add_option("--address,-a", options->address, "only the device at this address")
            ->check(CLI::Range(1, 126));
    command
        ->add_option("--image,-i", options->image,
                     "only this image of the device: 0 the edit buffer, 1 to 8 the presets")
        ->check(CLI::Range(0, 8))
        ->needs(address);
    command->footer(
        "Parameters carry the names \"arvestra-cli params\" lists and values with units where\n"
        "they have them (1000Hz, -3dB, 20ms), under a format version.\n\nExamples:\n"
        "  arvestra-cli export hall.kvx > hall.json\n"
        "  arvestra-cli export hall.kvx --address 3 --image 2 > stage-preset2.json");
    verbs.push_back({command, [options] { return RunExport(*options); }});
}

void AddImportVerb(CLI::App& app, VerbList& verbs) {
    auto options = std::make_shared<ImportOptions>();
    CLI::App* command =
        app.add_subcommand("import", "Load JSON settings into a Location File (or the bus)");
    AddBusOptions(command, options->bus, false);
    command->add_option("FILE", options->file, "Location File to change (or to write, with --port)")
        ->required();
    command->add_option("SETTINGS", options->settings, "JSON settings made by export")->required();
    command
        ->add_option("--address,-a", options->address,
                     "device to load into (a preset: its edit buffer); default: a device's own "
                     "address, or for a preset the first device of FILE")
        ->check(CLI::Range(1, 126));
    command->footer(
        "Every parameter is checked: an unknown name, a wrong type, a value outside its range, a\n"
        "parameter given twice and a name cut short or with characters replaced is reported\n"
        "(limited values are loaded limited) and the rest is loaded; the exit status is then 3.\n"
        "A file that is not settings JSON, or was written by a newer version, changes nothing\n"
        "(exit status 1). With --port the\n"
        "tool goes online as \"Upload From Devices\" does, loads the settings into the devices\n"
        "and replaces FILE with what the bus then holds.\n\nExamples:\n"
        "  arvestra-cli import hall.kvx hall.json\n"
        "  arvestra-cli import --port COM2 hall.kvx stage-preset2.json --address 3");
    verbs.push_back({command, [options] { return RunImport(*options); }});
}

}  // namespace arvestra::cli
