// arvestra-cli's tuning verbs: eq-import, eq-export and autoeq, on files and live on the bus.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "integration/CliHarness.h"
#include "model/ParamField.h"
#include "tune/FitCases.h"
#include "tune/TuneSamples.h"

namespace arvestra::cli_it {
namespace {

using ::testing::HasSubstr;

std::string ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

void WriteAll(const std::string& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

std::string MeasurementText(const Measurement& m) {
    std::string text = "* Measurement data, made up for the test\n* Freq(Hz) SPL(dB)\n";
    char line[64];
    for (std::size_t i = 0; i < m.Hz().size(); ++i) {
        std::snprintf(line, sizeof line, "%.3f %.3f\n", m.Hz()[i], m.Db()[i]);
        text += line;
    }
    return text;
}

class CliTuneVerbs : public ::testing::Test {
  protected:
    void SetUp() override {
        file_ = dir_.File("hall.kvx");
        ASSERT_EQ(RunCli({"new", file_}).status, 0);
    }
    // A field of address 1's edit buffer as saved.
    int Field(ParamField field, int channel, int index = 0) const {
        return FieldOf(file_, 1, field, channel, index);
    }
    static int FieldOf(const std::string& file, int address, ParamField field, int channel,
                       int index = 0) {
        const std::vector<std::uint8_t> image = SavedLocation(file).Image(address, 0);
        return ReadField(
            std::span<const std::uint8_t, kPresetImageSize>(image.data(), kPresetImageSize), field,
            channel, index);
    }

    TestDirectory dir_;
    std::string file_;
};

TEST_F(CliTuneVerbs, ImportSetsTheMatchedBandsAndExportReadsBackToThem) {
    const std::string filters = dir_.File("room.txt");
    WriteAll(filters, tune_samples::kRoomFilters);
    const CliRun import = RunCli({"eq-import", file_, filters, "-a", "1", "-c", "2"});
    ASSERT_EQ(import.status, 0) << import.err;
    EXPECT_THAT(import.out, HasSubstr("Band 7: "));
    EXPECT_THAT(import.out, HasSubstr("dB RMS"));
    EXPECT_EQ(Field(ParamField::EqType, kChannelB), 1) << "parametric";
    EXPECT_NE(Field(ParamField::EqParamGain, kChannelB, 0), 97);

    const std::string exported = dir_.File("back.txt");
    const CliRun out = RunCli({"eq-export", file_, "-a", "1", "-c", "2", "-o", exported});
    ASSERT_EQ(out.status, 0) << out.err;
    const std::string copy = dir_.File("copy.kvx");
    ASSERT_EQ(RunCli({"new", copy}).status, 0);
    ASSERT_EQ(RunCli({"eq-import", copy, exported, "-a", "1", "-c", "2"}).status, 0);
    EXPECT_EQ(SavedLocation(copy).Image(1, 0), SavedLocation(file_).Image(1, 0));
}

TEST_F(CliTuneVerbs, ImportWithProblemsWritesNothingUnlessPartial) {
    const std::string filters = dir_.File("apo.txt");
    WriteAll(filters, tune_samples::kApoFilters);
    const std::string before = ReadAll(file_);
    const CliRun refused = RunCli({"eq-import", file_, filters, "-a", "1", "-c", "1"});
    EXPECT_EQ(refused.status, 1);
    EXPECT_THAT(refused.err, HasSubstr("apo.txt line 4: low shelf (LSC)"));
    EXPECT_THAT(refused.err, HasSubstr("nothing written"));
    EXPECT_EQ(ReadAll(file_), before);

    const CliRun partial = RunCli({"eq-import", file_, filters, "-a", "1", "-c", "1", "--partial"});
    EXPECT_EQ(partial.status, 0) << partial.err;
    EXPECT_NE(ReadAll(file_), before);
}

TEST_F(CliTuneVerbs, BadFilesAreRefusedWithTheFileUnchanged) {
    const std::string empty = dir_.File("empty.txt");
    WriteAll(empty, "no numbers here\n");
    const std::string big = dir_.File("big.txt");
    WriteAll(big, "1");
    std::filesystem::resize_file(big, 100u * 1024u * 1024u);
    const std::string nan = dir_.File("nan.txt");
    WriteAll(nan, "100 1\n200 nan\n");
    const std::string before = ReadAll(file_);
    const struct {
        std::vector<std::string> args;
        const char* says;
    } cases[] = {
        {{"eq-import", file_, empty, "-a", "1", "-c", "1"}, "no filter lines"},
        {{"eq-import", file_, big, "-a", "1", "-c", "1"}, "100 MB"},
        {{"autoeq", file_, "-a", "1", "-c", "1", "-m", empty}, "no measurement points"},
        {{"autoeq", file_, "-a", "1", "-c", "1", "-m", nan}, "line 2"},
        {{"autoeq", file_, "-a", "1", "-c", "1", "-m", big}, "100 MB"},
    };
    for (const auto& c : cases) {
        const CliRun run = RunCli(c.args);
        EXPECT_EQ(run.status, 1) << c.args[0];
        EXPECT_THAT(run.err, HasSubstr(c.says));
    }
    EXPECT_EQ(ReadAll(file_), before);
}

TEST_F(CliTuneVerbs, AutoEqFitsTheGraphicEqAndPrintsTheResidual) {
    const GraphicGainCodes truth = fit_cases::RandomGraphic(5, 6);
    const std::string measured = dir_.File("left.txt");
    WriteAll(measured,
             MeasurementText(fit_cases::InverseWithNoise(fit_cases::GraphicLevels(truth, 6), 5)));
    ASSERT_EQ(RunCli({"set", file_, "-a", "1", "ch1.eq.graphic_q=6"}).status, 0);
    const std::string before = ReadAll(file_);
    const CliRun empty =
        RunCli({"autoeq", file_, "-a", "1", "-c", "1", "-m", measured, "--range", "500-500"});
    EXPECT_EQ(empty.status, 1);
    EXPECT_THAT(empty.err, HasSubstr("is empty"));
    EXPECT_EQ(ReadAll(file_), before);

    const CliRun fit = RunCli({"autoeq", file_, "-a", "1", "-c", "1", "-m", measured});
    ASSERT_EQ(fit.status, 0) << fit.err;
    EXPECT_THAT(fit.out, HasSubstr("Ch 1 graphic EQ fitted over 40.0-16000.0 Hz: before "));
    double before_rms = 0, after_rms = 0;
    const std::size_t at = fit.out.find("before ");
    ASSERT_NE(at, std::string::npos);
    ASSERT_EQ(std::sscanf(fit.out.c_str() + at, "before %lf dB RMS (%*f dB worst), after %lf",
                          &before_rms, &after_rms),
              2)
        << fit.out;
    EXPECT_GE(before_rms, 2.0);
    EXPECT_LE(after_rms, 1.0);
    for (int band = 0; band < 31; ++band) {
        EXPECT_LE(Field(ParamField::EqGraphicGain, kChannelA, band), 42);  // +6 dB at most
    }
}

TEST_F(CliTuneVerbs, LiveImportReachesTheDevice) {
    SimulatedBus bus(dir_, "2");
    const std::string filters = dir_.File("room.txt");
    WriteAll(filters, tune_samples::kRoomFilters);
    const std::string live = dir_.File("live.kvx");
    const CliRun run =
        RunCli({"eq-import", "--port", bus.Port(), live, filters, "-a", "2", "-c", "1"});
    ASSERT_EQ(run.status, 0) << run.err;
    // A fresh upload finds the bands in the device itself.
    const std::string backup = dir_.File("backup.kvx");
    const CliRun upload = RunCli({"upload", "--port", bus.Port(), backup});
    ASSERT_EQ(upload.status, 0) << upload.err;
    const int gain = FieldOf(backup, 2, ParamField::EqParamGain, kChannelA);
    EXPECT_EQ(gain, FieldOf(live, 2, ParamField::EqParamGain, kChannelA));
    EXPECT_NE(gain, 97);
    EXPECT_EQ(FieldOf(backup, 2, ParamField::EqType, kChannelA), 1);
}

}  // namespace
}  // namespace arvestra::cli_it
