// arvestra-cli verbs that work on Location Files alone (no bus): new, info, get, set, response,
// params, and the usage errors of every verb.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include <algorithm>
#include <fstream>
#include <sstream>

#include "integration/CliHarness.h"
#include "model/DelayMath.h"

namespace arvestra::cli_it {
namespace {

using ::testing::HasSubstr;
using ::testing::Not;
using ::testing::StartsWith;

std::vector<std::string> Lines(const std::string& text, char end = '\n') {
    std::vector<std::string> lines;
    std::istringstream in(text);
    std::string line;
    while (std::getline(in, line, end)) lines.push_back(line);
    return lines;
}

class CliFileVerbs : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_FALSE(dir_.Path().empty());
        file_ = dir_.File("hall.kvx");
        const CliRun made = RunCli({"new", file_});
        ASSERT_EQ(made.status, 0) << made.err;
    }

    // The value "get" prints for one parameter of address 1.
    std::string Get(const std::string& param, std::vector<std::string> extra = {}) {
        std::vector<std::string> args{"get", file_, "--address", "1"};
        args.insert(args.end(), extra.begin(), extra.end());
        args.push_back(param);
        const CliRun run = RunCli(args);
        EXPECT_EQ(run.status, 0) << run.err;
        const std::string prefix = param + "=";
        if (run.out.rfind(prefix, 0) != 0 || run.out.back() != '\n') return "<" + run.out + ">";
        return run.out.substr(prefix.size(), run.out.size() - prefix.size() - 1);
    }

    TestDirectory dir_;
    std::string file_;
};

TEST_F(CliFileVerbs, NewWritesOneDefaultDeviceAtAddressOne) {
    const SavedLocation saved(file_);
    EXPECT_EQ(saved.FileSize(), 12290u);
    EXPECT_EQ(saved.Addresses(), std::vector<int>{1});
    EXPECT_EQ(saved.Location().SlotOf(1), 0);
    EXPECT_EQ(saved.Location().DeviceName(0), "No Device Name");
    for (int image = 1; image <= 8; ++image) {
        EXPECT_EQ(saved.Location().PresetName(0, image), "Preset " + std::to_string(image));
    }
    // The edit buffer starts as a copy of preset 1, its name included.
    EXPECT_EQ(saved.Image(1, 0), saved.Image(1, 1));
}

TEST_F(CliFileVerbs, NewRefusesToReplaceAFileUnlessForced) {
    const std::vector<std::uint8_t> before = ReadBytes(file_);
    ASSERT_EQ(RunCli({"set", file_, "--address", "1", "ch1.lp.cutoff=50"}).status, 0);
    const std::vector<std::uint8_t> edited = ReadBytes(file_);
    ASSERT_NE(edited, before);

    const CliRun refused = RunCli({"new", file_});
    EXPECT_EQ(refused.status, 1);
    EXPECT_THAT(refused.err, HasSubstr("already exists; give --force"));
    EXPECT_EQ(ReadBytes(file_), edited);

    EXPECT_EQ(RunCli({"new", "--force", file_}).status, 0);
    EXPECT_EQ(ReadBytes(file_), before);
}

TEST_F(CliFileVerbs, InfoShowsEveryDeviceAsTextAndJson) {
    const CliRun text = RunCli({"info", file_});
    ASSERT_EQ(text.status, 0) << text.err;
    const std::vector<std::string> lines = Lines(text.out);
    ASSERT_EQ(lines.size(), 12u) << text.out;
    EXPECT_EQ(lines[0], "Address 1 (slot 0): No Device Name");
    EXPECT_EQ(lines[1], "  Firmware: application 0, revision 0.0, base revision 0.0");
    EXPECT_EQ(lines[2], "  Bypass: Ch 1 off, Ch 2 off");
    EXPECT_EQ(lines[3], "  Current preset: 1");
    EXPECT_EQ(lines[4], "  Preset 1: Preset 1");
    EXPECT_EQ(lines[11], "  Preset 8: Preset 8");

    const CliRun json = RunCli({"info", "--json", file_});
    ASSERT_EQ(json.status, 0) << json.err;
    const nlohmann::json devices = nlohmann::json::parse(json.out, nullptr, false)["devices"];
    ASSERT_EQ(devices.size(), 1u) << json.out;
    EXPECT_EQ(devices[0]["address"], 1);
    EXPECT_EQ(devices[0]["slot"], 0);
    EXPECT_EQ(devices[0]["name"], "No Device Name");
    EXPECT_EQ(devices[0]["bypass"], nlohmann::json::parse("[false, false]"));
    EXPECT_EQ(devices[0]["current_preset"], 1);
    EXPECT_EQ(devices[0]["presets"][6], "Preset 7");
    EXPECT_EQ(devices[0]["presets"][7], "Preset 8");
}

TEST_F(CliFileVerbs, SetThenGetRoundTripsCodesAndUnits) {
    const CliRun set =
        RunCli({"set", file_, "--address", "1", "ch1.eq.graphic_gain.12=-3dB", "ch2.lp.cutoff=1kHz",
                "ch1.delay.time=20ms", "ch2.delay.temperature=20C", "ch1.cl.ratio.2=4:1",
                "config.chain_slot.3=5", "name=Bühne links"});
    ASSERT_EQ(set.status, 0) << set.err;
    EXPECT_EQ(Get("ch1.eq.graphic_gain.12"), "24");
    EXPECT_EQ(Get("ch1.eq.graphic_gain.12", {"--units"}), "-3dB");
    EXPECT_EQ(Get("ch2.eq.graphic_gain.12"), "30");  // not linked: channel 2 untouched
    EXPECT_EQ(Get("ch2.lp.cutoff", {"--units"}), "1000Hz");
    EXPECT_EQ(Get("ch1.delay.time"), "960");
    EXPECT_EQ(Get("ch1.delay.time", {"--units"}), "20ms");
    EXPECT_EQ(Get("ch2.delay.temperature", {"--units"}), "68F");
    EXPECT_EQ(Get("ch1.cl.ratio.2", {"--units"}), "4:1");
    EXPECT_EQ(Get("config.chain_slot.3"), "5");
    EXPECT_EQ(Get("name"), "Bühne links");
    // The name went to the current preset too, as the editor's preset naming does.
    EXPECT_EQ(Get("name", {"--image", "1"}), "Bühne links");
    EXPECT_EQ(Get("name", {"--image", "2"}), "Preset 2");
}

TEST_F(CliFileVerbs, DelayDistancesUseTheChannelsTemperatureWhichKeepsTheDistance) {
    // At the default 68 F, 343 m is about one second of sound.
    ASSERT_EQ(RunCli({"set", file_, "--address", "1", "ch1.delay.time=343m"}).status, 0);
    const int at68 = SamplesFromMetres(343.0, 680);
    EXPECT_EQ(Get("ch1.delay.time"), std::to_string(at68));
    EXPECT_NEAR(at68, 48000, 2);
    // A new temperature keeps the distance: the time follows.
    ASSERT_EQ(RunCli({"set", file_, "--address", "1", "ch1.delay.temperature=95F"}).status, 0);
    const int at95 = SamplesForNewTemperature(at68, 680, 950);
    EXPECT_EQ(Get("ch1.delay.time"), std::to_string(at95));
    EXPECT_LT(at95, at68);
    EXPECT_EQ(Get("ch1.delay.temperature"), "950");
    // A distance typed after a temperature in the same command is converted at the new one.
    ASSERT_EQ(
        RunCli({"set", file_, "--address", "1", "ch2.delay.temperature=0C", "ch2.delay.time=100ft"})
            .status,
        0);
    EXPECT_EQ(Get("ch2.delay.time"), std::to_string(SamplesFromFeet(100.0, 320)));
    // "get --units" still prints the time.
    EXPECT_THAT(Get("ch2.delay.time", {"--units"}), ::testing::EndsWith("ms"));
    // A distance beyond the largest delay is limited, with a note.
    const CliRun far = RunCli({"set", file_, "--address", "1", "ch1.delay.time=1000m"});
    EXPECT_EQ(far.status, 0) << far.err;
    EXPECT_THAT(far.err, HasSubstr("ch1.delay.time: the distance needs more than the largest"));
    EXPECT_EQ(Get("ch1.delay.time"), "65536");
    for (const char* wrong : {"ch1.delay.time=1e9m", "ch1.delay.time=nanft", "ch1.delay.time=m"}) {
        EXPECT_EQ(RunCli({"set", file_, "--address", "1", wrong}).status, 2) << wrong;
    }
    EXPECT_EQ(Get("ch1.delay.time"), "65536");
}

TEST_F(CliFileVerbs, MasterLinkAppliesEditsToBothChannels) {
    ASSERT_EQ(RunCli({"set", file_, "--address", "1", "ch1.eq.graphic_gain.5=-6dB"}).status, 0);
    // Turning the link on copies channel 1's equaliser to channel 2.
    ASSERT_EQ(RunCli({"set", file_, "--address", "1", "ch1.eq.master=1"}).status, 0);
    EXPECT_EQ(Get("ch2.eq.graphic_gain.5", {"--units"}), "-6dB");
    // From then on an edit of channel 2 reaches channel 1 as well.
    ASSERT_EQ(RunCli({"set", file_, "--address", "1", "ch2.eq.graphic_gain.7=3dB"}).status, 0);
    EXPECT_EQ(Get("ch1.eq.graphic_gain.7", {"--units"}), "3dB");
    EXPECT_EQ(Get("ch2.eq.graphic_gain.7", {"--units"}), "3dB");
    // Other blocks keep their own channels.
    ASSERT_EQ(RunCli({"set", file_, "--address", "1", "ch2.hp.cutoff=100Hz"}).status, 0);
    EXPECT_EQ(Get("ch1.hp.cutoff", {"--units"}), "20Hz");
}

TEST_F(CliFileVerbs, ChainEditsCleanTheChainsAndDeriveEverySource) {
    // EQ A twice (the repeat is dropped), Low Pass A in channel 2's chain, pink noise into
    // channel 1 and a tie from channel 1's input (tie point 1) to channel 2's output (point 9).
    const CliRun set =
        RunCli({"set", file_, "--address", "1", "config.chain_slot.1=1", "config.chain_slot.4=1",
                "config.chain_slot.10=11", "config.pink_noise_on.1=1", "config.join_on=1",
                "config.join_target=1", "config.join_position.1=0", "config.join_position.2=8"});
    ASSERT_EQ(set.status, 0) << set.err;
    EXPECT_EQ(Get("config.chain_slot.4"), "0");
    EXPECT_EQ(Get("config.palette.1"), "0") << "EQ A left the palette";
    EXPECT_EQ(Get("config.palette.2"), "0") << "so did Low Pass A";
    EXPECT_EQ(Get("ch1.eq.source"), "17");
    EXPECT_EQ(Get("ch1.output.source"), "3");
    EXPECT_EQ(Get("ch1.lp.source"), "2");
    EXPECT_EQ(Get("ch2.output.source"), "17") << "the tie taps pink noise before EQ A";
    // Taking EQ A out again clears its source.
    ASSERT_EQ(RunCli({"set", file_, "--address", "1", "config.chain_slot.1=0"}).status, 0);
    EXPECT_EQ(Get("ch1.eq.source"), "0");
    EXPECT_EQ(Get("ch1.output.source"), "17");
}

TEST_F(CliFileVerbs, CodesOutsideTheRangeAreLimitedWithANote) {
    struct Case {
        std::string assignment;
        std::string param;
        std::string stored;
        std::string note;
    };
    const Case cases[] = {
        {"ch1.eq.graphic_gain.1=500", "ch1.eq.graphic_gain.1", "60", "code 500 limited to 60"},
        {"ch1.input.level=-7", "ch1.input.level", "152", "code -7 limited to 152"},
        {"ch2.delay.time=70000", "ch2.delay.time", "65536", "code 70000 limited to 65536"},
        // The high byte holds 0 or 1 (the delay reaches 65536 samples), a temperature's 0 to 5.
        {"ch1.delay.high=255", "ch1.delay.high", "1", "code 255 limited to 1"},
        {"ch2.delay.temperature_high=9", "ch2.delay.temperature_high", "5", "code 9 limited to 5"},
        {"ch1.lp.cutoff=99kHz", "ch1.lp.cutoff", "100", ""},  // a value: nearest code, no note
    };
    for (const Case& c : cases) {
        const CliRun run = RunCli({"set", file_, "--address", "1", c.assignment});
        EXPECT_EQ(run.status, 0) << c.assignment << ": " << run.err;
        EXPECT_EQ(Get(c.param), c.stored) << c.assignment;
        if (c.note.empty()) {
            EXPECT_EQ(run.err, "") << c.assignment;
        } else {
            EXPECT_THAT(run.err, HasSubstr(c.param + ": " + c.note));
        }
    }
}

TEST_F(CliFileVerbs, GetWithoutNamesPrintsEveryParameterInAFormSetAccepts) {
    const CliRun all = RunCli({"get", file_, "--address", "1", "--units"});
    ASSERT_EQ(all.status, 0) << all.err;
    const std::vector<std::string> lines = Lines(all.out);
    const CliRun params = RunCli({"params"});
    ASSERT_EQ(params.status, 0);
    EXPECT_EQ(lines.size(), Lines(params.out).size());
    EXPECT_THAT(all.out, HasSubstr("\nch1.eq.graphic_gain.31=0dB\n"));
    EXPECT_THAT(all.out, HasSubstr("\nname=Preset 1\n"));

    // Feeding every line back changes nothing but the modified flags.
    const std::string copy = dir_.File("copy.kvx");
    std::filesystem::copy_file(file_, copy);
    std::vector<std::string> args{"set", copy, "--address", "1"};
    for (const std::string& line : lines) {
        if (line.rfind("name=", 0) != 0) args.push_back(line);
    }
    const CliRun set = RunCli(args);
    ASSERT_EQ(set.status, 0) << set.err;
    const SavedLocation before(file_);
    const SavedLocation after(copy);
    for (int image = 0; image <= 8; ++image) {
        EXPECT_EQ(after.Image(1, image), before.Image(1, image)) << "image " << image;
    }
}

TEST_F(CliFileVerbs, GetReadsStoredPresetsAndSetStoreWritesThem) {
    ASSERT_EQ(RunCli({"set", file_, "--address", "1", "ch1.hp.cutoff=200Hz"}).status, 0);
    EXPECT_EQ(Get("ch1.hp.cutoff", {"--units", "--image", "1"}), "20Hz");
    ASSERT_EQ(RunCli({"set", file_, "--address", "1", "--store", "ch1.hp.slope=0"}).status, 0);
    EXPECT_EQ(Get("ch1.hp.cutoff", {"--units", "--image", "1"}), "200Hz");
    EXPECT_EQ(Get("ch1.hp.slope", {"--image", "1"}), "0");
    EXPECT_EQ(Get("ch1.hp.cutoff", {"--units", "--image", "2"}), "20Hz");
}

TEST_F(CliFileVerbs, ResponseDumpsTheGridOfTheSignalPath) {
    // Route input 1 through the graphic equaliser of channel 1 to output 1; band 18 is 1 kHz.
    ASSERT_EQ(RunCli({"set", file_, "--address", "1", "ch1.eq.source=1", "ch1.output.source=3",
                      "ch1.eq.graphic_gain.18=+12dB"})
                  .status,
              0);
    const CliRun dump =
        RunCli({"response", file_, "--address", "1", "--channel", "1", "--extra", "0"});
    ASSERT_EQ(dump.status, 0) << dump.err;
    const std::vector<std::string> lines = Lines(dump.out);
    ASSERT_EQ(lines.size(), 101u);
    for (const std::string& line : lines) {
        ASSERT_FALSE(line.empty());
        EXPECT_EQ(line.back(), '\r');
        EXPECT_EQ(std::count(line.begin(), line.end(), '\t'), 2) << line;
    }
    EXPECT_THAT(lines[0], StartsWith("20.00\t"));
    double peak = -100.0;
    std::string peakLine;
    for (const std::string& line : lines) {
        const double level = std::stod(line.substr(line.find('\t') + 1));
        if (level > peak) {
            peak = level;
            peakLine = line;
        }
        if (line.rfind("125.0\t", 0) == 0 || line.rfind("20.00\t", 0) == 0) {
            EXPECT_NEAR(level, 0.0, 0.5) << line;  // far below the boosted band
        }
    }
    EXPECT_THAT(peakLine, StartsWith("1000\t"));
    EXPECT_GT(peak, 9.0);
    // x runs from the left edge to the right edge of a 640-pixel graph.
    // x on a 640-pixel graph from 19.2 Hz to 21 kHz: 20 Hz at 4, 20 kHz at 636.
    EXPECT_THAT(lines[0], ::testing::EndsWith("\t4\r"));
    EXPECT_THAT(lines.back(), StartsWith("20000\t"));
    EXPECT_THAT(lines.back(), ::testing::EndsWith("\t636\r"));

    // Channel 2's output is fed straight from its input: a flat line; the default grid and a
    // wider graph.
    const CliRun flat =
        RunCli({"response", file_, "--address", "1", "--channel", "2", "--graph-width", "1280"});
    ASSERT_EQ(flat.status, 0) << flat.err;
    const std::vector<std::string> flatLines = Lines(flat.out);
    ASSERT_EQ(flatLines.size(), 401u);
    for (const std::string& line : flatLines) {
        EXPECT_THAT(line, HasSubstr("\t0.0000\t")) << line;
    }
    EXPECT_THAT(flatLines.front(), ::testing::EndsWith("\t7\r"));
    EXPECT_THAT(flatLines.back(), ::testing::EndsWith("\t1271\r"));
}

TEST_F(CliFileVerbs, FileVerbsFailOnACorruptOrMissingFileWithItsMessage) {
    const std::string corrupt = dir_.File("corrupt.kvx");
    {
        std::vector<std::uint8_t> bytes = ReadBytes(file_);
        bytes[0] = 'X';
        std::ofstream(corrupt, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()),
                   static_cast<std::streamsize>(bytes.size()));
    }
    const std::string missing = dir_.File("missing.kvx");
    const std::vector<std::vector<std::string>> commands = {
        {"info", "FILE"},
        {"get", "FILE", "--address", "1", "name"},
        {"set", "FILE", "--address", "1", "ch1.lp.cutoff=3"},
        {"response", "FILE", "--address", "1", "--channel", "1"},
    };
    for (std::vector<std::string> args : commands) {
        args[1] = corrupt;
        const std::vector<std::uint8_t> before = ReadBytes(corrupt);
        const CliRun bad = RunCli(args);
        EXPECT_EQ(bad.status, 1) << args[0];
        EXPECT_THAT(bad.err, HasSubstr("has been corrupted or is not really a location file"));
        EXPECT_THAT(bad.err, HasSubstr("error number: 127 - 0 - 0 - 0"));
        EXPECT_EQ(bad.out, "");
        EXPECT_EQ(ReadBytes(corrupt), before) << args[0];

        args[1] = missing;
        const CliRun absent = RunCli(args);
        EXPECT_EQ(absent.status, 1) << args[0];
        EXPECT_THAT(absent.err, HasSubstr("cannot open " + missing + ": No such file"));
        EXPECT_FALSE(std::filesystem::exists(missing));
    }
}

TEST_F(CliFileVerbs, AnAddressWithoutADeviceFails) {
    for (const std::string verb : {"get", "set", "response"}) {
        std::vector<std::string> args{verb, file_, "--address", "9"};
        if (verb == "set") args.push_back("ch1.lp.cutoff=3");
        if (verb == "response") args.insert(args.end(), {"--channel", "1"});
        const CliRun run = RunCli(args);
        EXPECT_EQ(run.status, 1) << verb;
        EXPECT_THAT(run.err, HasSubstr("the location holds no device at address 9")) << verb;
    }
}

// Wrong command lines: exit status 2, a message, and nothing written.
TEST_F(CliFileVerbs, UsageErrorsExitWithTwoAndChangeNothing) {
    const std::vector<std::uint8_t> before = ReadBytes(file_);
    const std::string f = file_;
    const std::vector<std::pair<std::vector<std::string>, std::string>> cases = {
        {{}, "A subcommand is required"},
        {{"frobnicate"}, "unknown verb frobnicate"},
        {{"info"}, "FILE is required"},
        {{"get", f}, "--address is required"},
        {{"get", f, "--address", "0", "name"}, "--address"},
        {{"get", f, "--address", "1", "--image", "9", "name"}, "--image"},
        {{"get", f, "--address", "1", "eq.graphic_gain.1"}, "is per channel"},
        {{"get", f, "--address", "1", "ch1.config.pink_noise_level"}, "belongs to no channel"},
        {{"get", f, "--address", "1", "ch1.eq.graphic_gain"}, "has elements 1 to 31"},
        {{"get", f, "--address", "1", "ch1.eq.graphic_gain.32"}, "must be 1 to 31"},
        {{"get", f, "--address", "1", "ch1.lp.cutoff.2"}, "is a single value"},
        {{"get", f, "--address", "1", "ch1.no.such"}, "unknown parameter ch1.no.such"},
        {{"set", f, "--address", "1"}, "PARAM=VALUE is required"},
        {{"set", f, "--address", "1", "ch1.lp.cutoff"}, "write PARAM=VALUE"},
        {{"set", f, "--address", "1", "ch1.lp.cutoff=3dB"}, "the unit must be"},
        {{"set", f, "--address", "1", "ch1.lp.cutoff=1.5"}, "is not a whole code"},
        {{"set", f, "--address", "1", "ch1.lp.slope=1Hz"}, "takes a plain code"},
        {{"set", f, "--address", "1", "ch1.lp.cutoff=3", "ch3.lp.cutoff=3"}, "unknown parameter"},
        {{"set", "--port", "COM9", f, "--address", "1", "ch1.lp.cutoff=3"}, "COM9"},
        {{"set", "--port", "tcp:host", f, "--address", "1", "ch1.lp.cutoff=3"}, "tcp:HOST:PORT"},
        {{"response", f, "--address", "1", "--channel", "3"}, "--channel"},
        {{"response", f, "--address", "1", "--channel", "1", "--extra", "8"}, "--extra"},
        {{"response", f, "--address", "1", "--channel", "1", "--graph-width", "0"},
         "--graph-width"},
        {{"scan"}, "--port is required"},
        {{"scan", "--port", "COM1", "--baud", "9600"}, "--baud"},
        {{"create", "--port", "COM1"}, "FILE is required"},
        {{"download", "--port", "COM1", "--yes", "--no", f}, "excludes"},
        {{"recall", "--port", "COM1", "2"}, "[-a,--address,--all] is required"},
        {{"recall", "--port", "COM1", "--all", "--address", "3", "2"}, "2 were given"},
        {{"recall", "--port", "COM1", "--all", "9"}, "PRESET"},
        {{"recall", "--port", "COM1", "--all"}, "PRESET is required"},
        {{"new", f, "extra"}, "extra"},
    };
    for (const auto& [args, message] : cases) {
        const CliRun run = RunCli(args);
        std::string shown;
        for (const std::string& a : args) shown += a + " ";
        EXPECT_EQ(run.status, 2) << shown << "\n" << run.err;
        EXPECT_THAT(run.err, HasSubstr(message)) << shown;
        EXPECT_EQ(run.out, "") << shown;
    }
    EXPECT_EQ(ReadBytes(file_), before);
}

TEST(CliHelp, EveryVerbHasHelpWithAnExample) {
    const CliRun top = RunCli({"--help"});
    EXPECT_EQ(top.status, 0);
    for (const std::string verb : {"new", "info", "scan", "create", "upload", "download", "recall",
                                   "get", "set", "response", "params"}) {
        EXPECT_THAT(top.out, HasSubstr("\n  " + verb + " ")) << verb;
        const CliRun help = RunCli({verb, "--help"});
        EXPECT_EQ(help.status, 0) << verb;
        EXPECT_THAT(help.out, HasSubstr("Example")) << verb;
        EXPECT_THAT(help.out, HasSubstr("arvestra-cli " + verb)) << verb;
    }
}

TEST(CliParams, ListsRangesAndUnitsOfEveryParameter) {
    const CliRun run = RunCli({"params"});
    ASSERT_EQ(run.status, 0);
    const std::vector<std::string> lines = Lines(run.out);
    EXPECT_THAT(lines, ::testing::Contains("ch1.lp.cutoff\t0..100\t20Hz..20000Hz\tHz or kHz"));
    EXPECT_THAT(lines,
                ::testing::Contains("ch2.delay.time\t0..65536\t0ms..1365.33ms\tms, s, ft or m"));
    EXPECT_THAT(lines, ::testing::Contains("config.chain_slot.16\t0..14"));
    // Values at the ends of a scale are shown as they are, not rounded into the next code.
    EXPECT_THAT(lines, ::testing::Contains("ch1.eq.param_bandwidth.1\t0..39\t0.05bw..3bw\tbw"));
    EXPECT_THAT(lines, ::testing::Contains("ch2.eq.param_gain.10\t0..121\t-49.5dB..12dB\tdB"));
    EXPECT_THAT(lines, ::testing::Contains("name\ttext, at most 32 characters"));
    EXPECT_THAT(run.out, Not(HasSubstr("ch1.config.")));
}

}  // namespace
}  // namespace arvestra::cli_it
