// response FILE --address A --channel 1|2 [--image N] [--extra 0..7] [--graph-width W]:
// the response dump of the signal path that feeds one output of a device.
#include <cstdio>
#include <memory>

#include "cli/CliSession.h"
#include "cli/ExitStatus.h"
#include "cli/ResponseDump.h"
#include "cli/Verbs.h"
#include "model/FrequencyGrid.h"

namespace arvestra::cli {

namespace {

struct ResponseOptions {
    std::string file;
    int address = 1;
    int channel = 1;
    int image = 0;
    int extra = FrequencyGrid::kDefaultExtraPoints;
    int graphWidth = kDefaultGraphWidth;
};

int RunResponse(const ResponseOptions& options) {
    CliSession session("response", AnswerPolicy{});
    if (!session.OpenFile(options.file) || !session.RequireDevice(options.address)) {
        return session.Finish(false);
    }
    CLocationImage& location = session.Doc().Location();
    const int slot = location.SlotOf(options.address);
    const std::span<const std::uint8_t, kPresetImageSize> image(location.Image(slot, options.image),
                                                                kPresetImageSize);
    const std::string dump =
        ResponseDumpText(image, options.channel - 1, options.extra, options.graphWidth);
    std::fwrite(dump.data(), 1, dump.size(), stdout);
    return session.Finish(true);
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
    command
        ->add_option("--graph-width", options->graphWidth,
                     "width of the graph in pixels (default 640)")
        ->check(CLI::Range(1, 1000000));
    command->footer(
        "Walks the signal path that feeds the output and prints, per grid point, "
        "the frequency in\nHz, the level in dB and the x pixel on a graph W "
        "pixels wide (19.2 Hz at 0, 21000 Hz\nat W), tab-separated, each line "
        "ending in CR LF.\n\nExample:\n  arvestra-cli response hall.kvx --address 1 --channel 2 "
        "--extra 0 > ch2.tsv");
    verbs.push_back({command, [options] { return RunResponse(*options); }});
}

}  // namespace arvestra::cli
