// set [--port P] FILE --address A [--store] PARAM=VALUE...: edits the edit buffer of a device
// through the document's block operations (clamping and the channel links apply) and saves.
//
// Offline the edits change FILE. With --port the bus is the truth: the tool goes online as
// "Upload From Devices" does (FILE's earlier contents are replaced), sends the edits live
// through the synchronisation worker, waits until the device has them, reads every device back
// and saves the result to FILE.
#include <memory>

#include "cli/BusOptions.h"
#include "cli/CliSession.h"
#include "cli/ExitStatus.h"
#include "cli/ParamValue.h"
#include "cli/Verbs.h"
#include "document/EditPath.h"
#include "model/DelayMath.h"
#include "model/Latin1.h"
#include "model/PresetImage.h"
#include "model/Scales.h"

namespace arvestra::cli {

namespace {

struct SetOptions {
    BusOptions bus;
    std::string file;
    int address = 1;
    bool store = false;
    std::vector<std::string> assignments;
};

// Says so when a code lies outside its parameter's range (the document limits it).
void NoteLimits(CliUiPort& ui, const ParamEdit& a) {
    if (a.ref.kind == ParamKind::PresetName) {
        if (Utf8ToLatin1(a.text).size() > kNameLength) {
            ui.Note("name: cut to " + std::to_string(kNameLength) + " characters");
        }
        return;
    }
    if (a.distance) return;  // limited when it is turned into samples, see NoteDistanceLimit
    const ParamCodes codes = CodesOfParam(a.ref);
    if (a.code >= codes.lowest && a.code <= codes.highest) return;
    const long long limited = a.code < codes.lowest ? codes.lowest : codes.highest;
    ui.Note(FormatParamName(a.ref) + ": code " + std::to_string(a.code) + " limited to " +
            std::to_string(limited));
}

// Says so when a distance needs more than the largest delay at the channel's temperature.
void NoteDistanceLimit(CliUiPort& ui, const EditBuffer& edits, const ParamEdit& a) {
    const int tenths = edits.GetTemperatureTenths(a.ref.channel);
    const double feet = a.distance->unit == DistanceUnit::Metres
                            ? a.distance->value / kMetresPerFoot
                            : a.distance->value;
    if (!(feet > DelayFeet(kMaxDelaySamples, tenths))) return;
    ui.Note(FormatParamName(a.ref) + ": the distance needs more than the largest delay at " +
            FormatParamValue(Scale::Temperature, tenths) + "; limited to " +
            std::to_string(kMaxDelaySamples) + " samples");
}

// Applies the edits to the selected device through the document's edit path; false when one of
// them failed. When one of them changed the chains, the palette, a pink noise select or the tie,
// the chains are cleaned and every source is derived again afterwards, as the configuration
// page does, so the sources never disagree with the chains (live, the device receives them one
// at a time).
bool ApplyEdits(CliSession& session, const std::vector<ParamEdit>& edits) {
    CQ7310Doc& doc = session.Doc();
    const EditScope scope(doc.Edits(), EditReason::Cli);
    for (const ParamEdit& edit : edits) {
        NoteLimits(session.Ui(), edit);
        // A distance is converted when applied, at the temperature earlier edits may have set.
        if (edit.distance) NoteDistanceLimit(session.Ui(), doc.Edits(), edit);
        if (!ApplyDocumentEdit(doc, edit) || !session.Healthy()) return false;
    }
    return FinishRoutingEdits(doc, edits) != 0 && session.Healthy();
}

int RunSetOffline(const SetOptions& options, const std::vector<ParamEdit>& edits) {
    CliSession session("set", AnswerPolicy{});
    if (!session.OpenFile(options.file) || !session.RequireDevice(options.address)) {
        return session.Finish(false);
    }
    session.Doc().SelectDevice(options.address);
    if (!ApplyEdits(session, edits)) return session.Finish(false);
    if (options.store && !session.Doc().StorePreset()) return session.Finish(false);
    return session.Finish(session.SaveFile(options.file));
}

int RunSetOnline(const SetOptions& options, const std::vector<ParamEdit>& edits) {
    CliSession session("set", PolicyOf(options.bus));
    session.UsePort(PortOf(options.bus), options.bus.baud);
    if (!session.GoOnline(GoOnlineChoice::kUploadFromDevices) ||
        !session.RequireDevice(options.address)) {
        return session.Finish(false);
    }
    CQ7310Doc& doc = session.Doc();
    // The device's information and edit buffer are read first, so the edits start from what
    // the device holds.
    if (!doc.EditDevice(options.address) || !ApplyEdits(session, edits)) {
        return session.Finish(false);
    }
    if (!doc.Bus().WaitDirtyFlushed() || !session.StillOnline()) return session.Finish(false);
    if (options.store && (!doc.StorePreset() || !session.StillOnline())) {
        return session.Finish(false);
    }
    if (!session.UploadAllDevices()) return session.Finish(false);
    session.GoOffline();
    return session.Finish(session.SaveFile(options.file));
}

int RunSet(const SetOptions& options) {
    std::vector<ParamEdit> edits;
    for (const std::string& text : options.assignments) {
        edits.push_back(*ParseParamEdit(text).edit);
    }
    return options.bus.port.empty() ? RunSetOffline(options, edits) : RunSetOnline(options, edits);
}

CLI::Validator AssignmentCheck() {
    return CLI::Validator([](std::string& text) { return ParseParamEdit(text).error; },
                          "PARAM=VALUE", "assignment");
}

}  // namespace

void AddSetVerb(CLI::App& app, VerbList& verbs) {
    auto options = std::make_shared<SetOptions>();
    CLI::App* command =
        app.add_subcommand("set", "Edit parameters of a device, in a file or live on the bus");
    AddBusOptions(command, options->bus, false);
    command->add_option("FILE", options->file, "Location File to edit (or to write, with --port)")
        ->required();
    command->add_option("--address,-a", options->address, "bus address of the device")
        ->required()
        ->check(CLI::Range(1, 126));
    command->add_flag("--store", options->store,
                      "also store the edit buffer into the device's current preset");
    command->add_option("PARAM=VALUE", options->assignments, "assignments")
        ->required()
        ->check(AssignmentCheck());
    command->footer(
        "Edits the device's edit buffer and saves FILE. With --port the tool goes online as\n"
        "\"Upload From Devices\" does, sends the edits to the device live, and replaces FILE "
        "with what\nthe bus then holds.\n\n"
        "PARAM is [ch1.|ch2.]FIELD[.N] (\"arvestra-cli params\" lists them); VALUE is a code\n"
        "(a whole number, limited to the parameter's range) or a value with a unit:\n"
        "Hz kHz dB ms s bw Q :1 F C (e.g. 1000Hz, -3dB, 20ms, 4:1, 68F). A value with a unit\n"
        "becomes the nearest code. A delay time can be a distance in ft or m (e.g. 12.5m),\n"
        "turned into samples at the channel's stored temperature; a new temperature keeps the\n"
        "delay's distance and recomputes its samples, as the delay page does. When a block's\n"
        "Master link is on, an edit of one channel applies to both; setting ch1.eq.master=1\n"
        "copies channel 1's equaliser to channel 2.\n"
        "Changing config.chain_slot.N, config.palette.N, config.pink_noise_on.N or a\n"
        "config.join_* field cleans the chains and derives every block's source again.\n\n"
        "Examples:\n"
        "  arvestra-cli set hall.kvx --address 1 ch1.eq.graphic_gain.12=-3dB ch1.lp.cutoff=16kHz\n"
        "  arvestra-cli set --port COM2 hall.kvx --address 3 ch2.delay.time=12.5ms\n"
        "  arvestra-cli set hall.kvx --address 3 ch1.delay.temperature=20C ch1.delay.time=40m\n"
        "  arvestra-cli set hall.kvx --address 1 'name=Sunday service' --store\n"
        "  arvestra-cli set hall.kvx --address 1 config.chain_slot.1=1 config.chain_slot.2=11");
    verbs.push_back({command, [options] { return RunSet(*options); }});
}

}  // namespace arvestra::cli
