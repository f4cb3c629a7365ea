// eq-import FILE FILTERS --address A --channel 1|2 [--preset N] [--partial] [--port P]: the
// peaking filters a measurement program proposes, as the parametric bands of one channel.
//
// Each filter becomes the band whose response comes closest to it (not the nearest numbers);
// bands beyond the filters are set flat. Lines that cannot be imported as they stand are listed,
// and then nothing is written unless --partial is given.
#include <cstdio>
#include <memory>

#include "cli/EqEditRun.h"
#include "cli/ExitStatus.h"
#include "cli/Verbs.h"
#include "document/EqCodeEdits.h"
#include "model/Scales.h"
#include "model/ValueFormat.h"
#include "tune/BandMatcher.h"
#include "tune/TextFileReader.h"
#include "tune/TextLines.h"

namespace arvestra::cli {

namespace {

struct EqImportOptions {
    EqTargetOptions target;
    std::string filters;
    bool partial = false;
};

void PrintRemarks(const std::string& path, const std::vector<FilterLineRemark>& remarks) {
    for (const FilterLineRemark& remark : remarks) {
        std::fprintf(stderr, "%s line %d: %s\n", path.c_str(), remark.line, remark.text.c_str());
    }
}

// The bands as the editor's tips show them: "Band 1: 63 Hz, 0.15 bw, -8.5 dB".
void PrintBands(const ParametricCodes& bands, int count) {
    for (int i = 0; i < count; ++i) {
        const ParametricBandCodes& b = bands[static_cast<std::size_t>(i)];
        std::printf("Band %d: %.0f Hz, %.2f bw, %.1f dB\n", i + 1,
                    valueOf(Scale::Frequency, b.frequency),
                    valueOf(Scale::Bandwidth, effectiveBandwidth(b.frequency, b.bandwidth)),
                    valueOf(Scale::ParametricGain, b.gain));
    }
}

int RunEqImport(const EqImportOptions& options) {
    const TextFileResult file = ReadTuneTextFile(options.filters);
    if (!file.Ok()) {
        std::fprintf(stderr, "eq-import: %s\n", file.error.c_str());
        return kExitFailure;
    }
    const FilterList list = ParseFilterList(file.text);
    if (!list.Ok()) {
        std::fprintf(stderr, "eq-import: %s: %s\n", options.filters.c_str(), list.error.c_str());
        return kExitFailure;
    }
    PrintRemarks(options.filters, list.notes);
    PrintRemarks(options.filters, list.problems);
    if (!list.problems.empty() && !options.partial) {
        std::fprintf(stderr,
                     "eq-import: nothing written: %zu line(s) cannot be imported as they stand; "
                     "give --partial to import the rest\n",
                     list.problems.size());
        return kExitFailure;
    }
    const BandMatch match = MatchFilters(list.filters);
    const int count = static_cast<int>(list.filters.size());
    PrintBands(match.bands, count);
    std::printf(
        "%d filter(s) on bands 1 to %d: %s dB RMS (%s dB worst) from the file's response "
        "over 20 Hz to 20 kHz; the nearest numbers would leave %s dB RMS\n",
        count, count, FormatNumber(match.total.rmsDb, 2).c_str(),
        FormatNumber(match.total.maxDb, 2).c_str(),
        FormatNumber(match.nearestNumbers.rmsDb, 2).c_str());
    return RunEqEdit("eq-import", options.target, [&](CliSession& session, int channel) {
        EditBuffer& edits = session.Doc().Edits();
        if (ApplyImportedBands(edits, channel, match.bands, count)) {
            session.Ui().Note("Ch " + std::to_string(channel + 1) +
                              ": the EQ type became parametric");
        }
        if (edits.Get(ParamField::EqBypass, channel) != 0) {
            session.Ui().Note("Ch " + std::to_string(channel + 1) +
                              ": EQ Bypass is on; the bands are not heard until it is off");
        }
        return true;
    });
}

}  // namespace

void AddEqImportVerb(CLI::App& app, VerbList& verbs) {
    auto options = std::make_shared<EqImportOptions>();
    CLI::App* command = app.add_subcommand(
        "eq-import", "Set one channel's parametric bands from a measurement program's filters");
    AddEqTargetOptions(command, options->target);
    command->add_option("FILTERS", options->filters, "filter list (text)")->required();
    command->add_flag("--partial", options->partial,
                      "import what can be imported even when some lines cannot");
    command->footer(
        "Reads the filter list that measurement programs export (lines such as\n"
        "\"Filter  1: ON  PK  Fc  62 Hz  Gain  -6.0 dB  Q  6.700\", with a header, \"None\"\n"
        "entries and \"Preamp:\" lines) and sets one parametric band per peaking filter, bands\n"
        "beyond them flat. Those programs mean the cookbook peaking filter; the device's band\n"
        "is narrower in cut than in boost, so each filter gets the codes whose band response\n"
        "comes closest to it over 20 Hz to 20 kHz, not the nearest numbers. The bands are printed\n"
        "with the difference that remains.\n\n"
        "More than 10 filters, shelves, pass and other filter types, and values beyond the\n"
        "bands' range (20 Hz to 20 kHz, -49.5 to +12 dB) are listed line by line; then nothing\n"
        "is written (exit status 1) unless --partial is given. A preamp is noted, not applied.\n"
        "The channel's EQ type becomes parametric. With --port the bands are sent to the\n"
        "device live, as \"set\" does.\n\n"
        "Examples:\n"
        "  arvestra-cli eq-import hall.kvx room-left.txt --address 1 --channel 1\n"
        "  arvestra-cli eq-import hall.kvx room.txt -a 3 -c 2 --preset 4 --partial\n"
        "  arvestra-cli eq-import --port COM2 hall.kvx room-left.txt -a 1 -c 1");
    verbs.push_back({command, [options] { return RunEqImport(*options); }});
}

}  // namespace arvestra::cli
