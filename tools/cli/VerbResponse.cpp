// response FILE --address A --channel 1|2 [--image N] [--extra 0..7] [--graph-width W]
//          [--format tsv|csv|svg|png]:
// the response of the signal path that feeds one output of a device, as the tab-separated
// dump, as CSV, or as a picture.
#include <cstdio>
#include <memory>

#include "cli/CliSession.h"
#include "cli/ExitStatus.h"
#include "cli/ResponseDump.h"
#include "cli/Verbs.h"
#include "model/FrequencyGrid.h"
#include "plot/CurvePlot.h"

namespace arvestra::cli {

namespace {

struct ResponseOptions {
    std::string file;
    int address = 1;
    int channel = 1;
    int image = 0;
    int extra = FrequencyGrid::kDefaultExtraPoints;
    int graphWidth = kDefaultGraphWidth;
    bool graphWidthGiven = false;  // pictures keep their own default size otherwise
    std::string format = "tsv";
};

// The response in the chosen format; empty bytes with `error` set when it cannot be drawn.
CurvePicture FormatResponse(const ResponseOptions& options,
                            std::span<const std::uint8_t, kPresetImageSize> image) {
    if (options.format == "tsv") {
        return {ResponseDumpText(image, options.channel - 1, options.extra, options.graphWidth),
                {}};
    }
    const std::vector<ResponsePoint> points =
        ResponsePoints(image, options.channel - 1, options.extra, options.graphWidth);
    if (options.format == "csv") return {ResponseCsvText(points), {}};
    std::vector<CurvePoint> curve;
    for (const ResponsePoint& point : points) curve.push_back({point.hz, point.levelDb});
    CurvePlotOptions plot;
    if (options.graphWidthGiven) {
        plot.width = options.graphWidth;
        plot.height = options.graphWidth / 2;  // the default picture's proportions
    }
    plot.title = "Address " + std::to_string(options.address) + ", Ch " +
                 std::to_string(options.channel) + ", image " + std::to_string(options.image);
    return options.format == "svg" ? RenderCurveSvg(curve, plot) : RenderCurvePng(curve, plot);
}

int RunResponse(const ResponseOptions& options) {
    CliSession session("response", AnswerPolicy{});
    if (!session.OpenFile(options.file) || !session.RequireDevice(options.address)) {
        return session.Finish(false);
    }
    CLocationImage& location = session.Doc().Devices().Location();
    const int slot = location.SlotOf(options.address);
    const std::span<const std::uint8_t, kPresetImageSize> image(location.Image(slot, options.image),
                                                                kPresetImageSize);
    const CurvePicture output = FormatResponse(options, image);
    if (output.bytes.empty()) {
        session.Ui().Fail("response: " + output.error);
        return session.Finish(false);
    }
    std::fwrite(output.bytes.data(), 1, output.bytes.size(), stdout);
    return session.Finish(std::fflush(stdout) == 0);
}

}  // namespace

void AddResponseVerb(CLI::App& app, VerbList& verbs) {
    auto options = std::make_shared<ResponseOptions>();
    CLI::App* command = app.add_subcommand(
        "response", "Print the frequency response feeding one output of a device");
    command->add_option("FILE", options->file, "Location File to read")->required();
    command->add_option("--address,-a", options->address, "bus address of the device")
        ->required()
        ->check(CLI::Range(1, 126));
    command->add_option("--channel,-c", options->channel, "output: 1 (Ch 1) or 2 (Ch 2)")
        ->required()
        ->check(CLI::Range(1, 2));
    command
        ->add_option("--image,-i", options->image,
                     "image: 0 the edit buffer (default), 1 to 8 the stored presets")
        ->check(CLI::Range(0, 8));
    command
        ->add_option("--extra", options->extra,
                     "extra grid points between neighbouring scale frequencies, 0 to 7 "
                     "(default 3: 401 lines)")
        ->check(CLI::Range(0, 7));
    CLI::Option* graphWidth =
        command
            ->add_option("--graph-width", options->graphWidth,
                         "width of the graph in pixels (default 640); for svg and png the "
                         "picture's width (default 800; 100 to 8192, half as high)")
            ->check(CLI::Range(1, 1000000));
    command->add_option("--format,-f", options->format, "tsv (default), csv, svg or png")
        ->check(CLI::IsMember({"tsv", "csv", "svg", "png"}));
    command->footer(
        "Walks the signal path that feeds the output and prints, per grid point, "
        "the frequency in\nHz, the level in dB and the x pixel on a graph W "
        "pixels wide (19.2 Hz at 0, 21000 Hz\nat W), tab-separated, each line "
        "ending in CR LF. --format csv prints frequency and level as CSV; svg and png draw "
        "the\ncurve.\n\nExamples:\n  arvestra-cli response hall.kvx --address 1 --channel 2 "
        "--extra 0 > ch2.tsv\n  arvestra-cli response hall.kvx -a 1 -c 1 --format png > ch1.png");
    verbs.push_back({command, [options, graphWidth] {
                         options->graphWidthGiven = graphWidth->count() > 0;
                         return RunResponse(*options);
                     }});
}

}  // namespace arvestra::cli
