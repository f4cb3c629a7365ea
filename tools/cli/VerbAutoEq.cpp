// autoeq FILE --address A --channel 1|2 --measurement M [--target T | --tilt DB]
//        [--range LOW-HIGH] [--max-boost DB] [--max-cut DB] [--eq graphic|parametric]
//        [--preset N] [--port P]:
// chooses one channel's EQ codes so that the measurement plus the EQ comes closest to the
// target, and prints the residual error before and after.
#include <cmath>
#include <cstdio>
#include <memory>
#include <optional>

#include "cli/EqEditRun.h"
#include "cli/ExitStatus.h"
#include "cli/Verbs.h"
#include "document/EqCodeEdits.h"
#include "model/Scales.h"
#include "tune/TextLines.h"

namespace arvestra::cli {

namespace {

struct AutoEqOptions {
    EqTargetOptions target;
    std::string measurement;
    std::string targetFile;
    double tilt = 0.0;
    std::string range = "40-16000";
    double maxBoost = 6.0;
    double maxCut = 15.0;
    std::string eq;  // empty: the channel's present EQ type
};

struct Range {
    double low = 0.0;
    double high = 0.0;
};

std::optional<Range> ParseRange(std::string_view text) {
    const std::size_t dash = text.find('-', 1);
    if (dash == std::string_view::npos) return std::nullopt;
    const auto low = ParseNumberField(TrimSpaces(text.substr(0, dash)));
    const auto high = ParseNumberField(TrimSpaces(text.substr(dash + 1)));
    if (!low || !high) return std::nullopt;
    return Range{*low, *high};
}

// A measurement or target file; an error message names the file.
std::optional<Measurement> ReadCurve(const std::string& path) {
    Measurement::ParseResult parsed = ReadMeasurementFile(path);
    if (!parsed.Ok()) {
        std::fprintf(stderr, "autoeq: %s\n", parsed.error.c_str());
        return std::nullopt;
    }
    return std::move(parsed.measurement);
}

std::string ErrorText(const ResponseError& error) {
    return FormatNumber(error.rmsDb, 2) + " dB RMS (" + FormatNumber(error.maxDb, 2) + " dB worst)";
}

void PrintFit(const FitProblem& problem, int channel, const AppliedFit& fit) {
    if (fit.kind == EqKind::Graphic) {
        std::printf("Gains (dB, 20 Hz to 20 kHz):");
        for (int code : fit.gains) std::printf(" %.1f", valueOf(Scale::GraphicGain, code));
        std::printf("\n");
    } else {
        for (int i = 0; i < kParametricBandCount; ++i) {
            const ParametricBandCodes& b = fit.bands[static_cast<std::size_t>(i)];
            std::printf("Band %d: %.0f Hz, %.2f bw, %.1f dB\n", i + 1,
                        valueOf(Scale::Frequency, b.frequency),
                        valueOf(Scale::Bandwidth, effectiveBandwidth(b.frequency, b.bandwidth)),
                        valueOf(Scale::ParametricGain, b.gain));
        }
    }
    std::printf("Ch %d %s EQ fitted over %s-%s Hz: before %s, after %s\n", channel + 1,
                fit.kind == EqKind::Graphic ? "graphic" : "parametric",
                FormatNumber(problem.LowHz(), 1).c_str(), FormatNumber(problem.HighHz(), 1).c_str(),
                ErrorText(fit.before).c_str(), ErrorText(fit.after).c_str());
}

int RunAutoEq(const AutoEqOptions& options) {
    FitRequest request;
    const std::optional<Range> range = ParseRange(options.range);
    if (!range) {
        std::fprintf(stderr, "autoeq: --range %s: expected LOW-HIGH in Hz, e.g. 40-16000\n",
                     options.range.c_str());
        return kExitUsage;
    }
    std::optional<Measurement> measurement = ReadCurve(options.measurement);
    if (!measurement) return kExitFailure;
    request.measurement = std::move(*measurement);
    if (!options.targetFile.empty()) {
        request.target = ReadCurve(options.targetFile);
        if (!request.target) return kExitFailure;
    }
    request.tiltDbPerOctave = options.tilt;
    request.lowHz = range->low;
    request.highHz = range->high;
    request.limits = {options.maxBoost, std::fabs(options.maxCut)};
    const FitProblem::MakeResult made = FitProblem::Make(request);
    if (!made.problem) {
        std::fprintf(stderr, "autoeq: %s\n", made.error.c_str());
        return kExitFailure;
    }
    return RunEqEdit("autoeq", options.target, [&](CliSession& session, int channel) {
        EditBuffer& edits = session.Doc().Edits();
        EqKind kind = ReadEqKind(edits, channel);
        if (!options.eq.empty()) {
            kind = options.eq == "graphic" ? EqKind::Graphic : EqKind::Parametric;
        }
        const AppliedFit fit = FitAndApply(edits, channel, kind, *made.problem);
        if (fit.kindChanged) {
            session.Ui().Note("Ch " + std::to_string(channel + 1) + ": the EQ type became " +
                              options.eq);
        }
        if (edits.Get(ParamField::EqBypass, channel) != 0) {
            session.Ui().Note("Ch " + std::to_string(channel + 1) +
                              ": EQ Bypass is on; the fit is not heard until it is off");
        }
        PrintFit(*made.problem, channel, fit);
        return true;
    });
}

}  // namespace

void AddAutoEqVerb(CLI::App& app, VerbList& verbs) {
    auto options = std::make_shared<AutoEqOptions>();
    CLI::App* command = app.add_subcommand(
        "autoeq", "Fit one channel's EQ so that a measurement comes closest to a target");
    AddEqTargetOptions(command, options->target);
    command
        ->add_option("--measurement,-m", options->measurement,
                     "measured response, made with the EQ flat (text: Hz dB per line)")
        ->required();
    CLI::Option* targetFile = command->add_option("--target,-t", options->targetFile,
                                                  "target response (same format; default: flat)");
    command
        ->add_option("--tilt", options->tilt,
                     "flat target tilted by DB per octave around 1 kHz, e.g. -0.5")
        ->excludes(targetFile);
    command->add_option("--range,-r", options->range,
                        "frequencies to fit, LOW-HIGH in Hz (default 40-16000)");
    command->add_option("--max-boost", options->maxBoost, "largest boost in dB (default 6)")
        ->check(CLI::Range(0.0, 15.0));
    command->add_option("--max-cut", options->maxCut, "largest cut in dB (default 15)")
        ->check(CLI::Range(-50.0, 50.0));
    command->add_option("--eq", options->eq, "graphic or parametric (default: the channel's type)")
        ->check(CLI::IsMember({"graphic", "parametric"}));
    command->footer(
        "Chooses the EQ's codes so that measurement + EQ comes closest to the target over the\n"
        "range: the 31 graphic gains (with the band width as set) or the 10 parametric bands\n"
        "(frequency, bandwidth and gain). The search works on the device's own steps, so what\n"
        "it prints is what the device does. No band, and no point of the EQ's response within\n"
        "the range, goes beyond +max-boost or -max-cut. Levels are compared after removing\n"
        "the mean difference: the overall level is the output level's business, not the EQ's.\n\n"
        "The measurement is a measurement program's text export (\"* comment\" lines, then\n"
        "\"freq SPL [phase]\" separated by spaces, tabs or commas) or a CSV of Hz,dB; make it\n"
        "with the EQ flat or bypassed. The residual (RMS and largest, in dB, over the range) is\n"
        "printed before and after. With --port the codes are sent to the device live.\n\n"
        "Examples:\n"
        "  arvestra-cli autoeq hall.kvx -a 1 -c 1 --measurement left.txt\n"
        "  arvestra-cli autoeq hall.kvx -a 1 -c 2 -m right.txt --tilt -0.5 --eq parametric\n"
        "  arvestra-cli autoeq hall.kvx -a 3 -c 1 -m sub.txt --target house.txt --range 30-200 \\\n"
        "      --max-boost 3 --max-cut 12 --preset 2\n"
        "  arvestra-cli autoeq --port COM2 hall.kvx -a 1 -c 1 -m left.txt");
    verbs.push_back({command, [options] { return RunAutoEq(*options); }});
}

}  // namespace arvestra::cli
