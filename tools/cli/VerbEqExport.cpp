// eq-export FILE --address A --channel 1|2 [--image N] [--output PATH]: one channel's
// parametric bands as the filter list measurement programs read, each band as the peaking
// filter whose response comes closest to it.
#include <cstdio>
#include <cstring>
#include <memory>

#include "cli/CliSession.h"
#include "cli/ExitStatus.h"
#include "cli/Verbs.h"
#include "document/AtomicFileWriter.h"
#include "model/ParamField.h"
#include "tune/FilterText.h"

namespace arvestra::cli {

namespace {

struct EqExportOptions {
    std::string file;
    int address = 1;
    int channel = 1;
    int image = 0;
    std::string output;
};

// Replaces path whole with text; an error message, or empty.
std::string WriteTextFile(const std::string& path, const std::string& text) {
    AtomicFileWriter writer;
    int error = writer.Begin(path);
    if (error == 0) {
        error =
            writer.Commit(std::span(reinterpret_cast<const uint8_t*>(text.data()), text.size()));
    }
    return error == 0 ? std::string() : path + ": " + std::strerror(error);
}

int RunEqExport(const EqExportOptions& options) {
    CliSession session("eq-export", AnswerPolicy{});
    if (!session.OpenFile(options.file) || !session.RequireDevice(options.address)) {
        return session.Finish(false);
    }
    CLocationImage& location = session.Doc().Devices().Location();
    const std::span<const std::uint8_t, kPresetImageSize> image(
        location.Image(location.SlotOf(options.address), options.image), kPresetImageSize);
    const int channel = options.channel - 1;
    const std::string title = "address " + std::to_string(options.address) + ", Ch " +
                              std::to_string(options.channel) +
                              (options.image == 0 ? std::string(", edit buffer")
                                                  : ", preset " + std::to_string(options.image));
    const std::string text =
        FormatFilterList(ReadParametricCodes(image, channel),
                         ReadField(image, ParamField::EqBypass, channel) != 0, title);
    if (options.output.empty()) {
        std::fwrite(text.data(), 1, text.size(), stdout);
        return session.Finish(std::fflush(stdout) == 0);
    }
    const std::string error = WriteTextFile(options.output, text);
    if (!error.empty()) session.Ui().Fail("eq-export: " + error);
    return session.Finish(error.empty());
}

}  // namespace

void AddEqExportVerb(CLI::App& app, VerbList& verbs) {
    auto options = std::make_shared<EqExportOptions>();
    CLI::App* command = app.add_subcommand(
        "eq-export", "Write one channel's parametric bands as a measurement program's filters");
    command->add_option("FILE", options->file, "Location File to read")->required();
    command->add_option("--address,-a", options->address, "bus address of the device")
        ->required()
        ->check(CLI::Range(1, 126));
    command->add_option("--channel,-c", options->channel, "channel: 1 (Ch 1) or 2 (Ch 2)")
        ->required()
        ->check(CLI::Range(1, 2));
    command
        ->add_option("--image,-i", options->image,
                     "image: 0 the edit buffer (default), 1 to 8 the stored presets")
        ->check(CLI::Range(0, 8));
    command->add_option("--output,-o", options->output,
                        "file to write (replaced whole); default: standard output");
    command->footer(
        "Writes the ten bands as \"Filter  N: ON  PK  Fc ... Hz  Gain ... dB  Q ...\" lines that\n"
        "measurement programs and equaliser configuration files read, so the device's EQ can be\n"
        "shown and refined there. Each band becomes the cookbook peaking filter with its\n"
        "frequency and gain and the Q whose response comes closest to the band's; 0 dB bands are\n"
        "written as \"None\", bypassed bands (or all, with EQ Bypass on) switched OFF.\n"
        "eq-import reads the file back to the same bands.\n\n"
        "Examples:\n"
        "  arvestra-cli eq-export hall.kvx --address 1 --channel 1 > ch1-filters.txt\n"
        "  arvestra-cli eq-export hall.kvx -a 3 -c 2 --image 4 -o preset4-ch2.txt");
    verbs.push_back({command, [options] { return RunEqExport(*options); }});
}

}  // namespace arvestra::cli
