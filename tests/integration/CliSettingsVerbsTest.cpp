// arvestra-cli export and import: a location carried through JSON into another file unchanged,
// a bad value reported while the rest loads, a refused file left alone, and a preset imported
// live into a device of arvestra-devsim.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <fstream>

#include "integration/CliHarness.h"
#include "link/DeviceCommands.h"
#include "model/ParamField.h"

namespace arvestra::cli_it {
namespace {

using ::testing::HasSubstr;
using ::testing::IsEmpty;
using ::testing::Not;

class CliSettingsVerbs : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_FALSE(dir_.Path().empty()); }

    std::string Write(const std::string& name, const std::string& text) {
        const std::string path = dir_.File(name);
        std::ofstream(path, std::ios::binary) << text;
        return path;
    }

    std::string NewFile(const std::string& name) {
        const std::string path = dir_.File(name);
        const CliRun made = RunCli({"new", path});
        EXPECT_EQ(made.status, 0) << made.err;
        return path;
    }

    TestDirectory dir_;
};

TEST_F(CliSettingsVerbs, ALocationExportedAndImportedIntoAnotherFileIsTheSame) {
    const std::string hall = NewFile("hall.kvx");
    ASSERT_EQ(RunCli({"set", hall, "--address", "1", "ch1.eq.graphic_gain.12=-3dB",
                      "ch2.delay.time=12.5ms", "name=Sunday \"late\""})
                  .status,
              0);
    const CliRun exported = RunCli({"export", hall});
    ASSERT_EQ(exported.status, 0) << exported.err;
    EXPECT_THAT(exported.out, HasSubstr("\"ch1.eq.graphic_gain.12\": \"-3dB\""));
    const std::string json = Write("hall.json", exported.out);

    const std::string copy = NewFile("copy.kvx");
    const CliRun imported = RunCli({"import", copy, json});
    ASSERT_EQ(imported.status, 0) << imported.err;
    EXPECT_THAT(imported.err, Not(HasSubstr("import:")));
    const SavedLocation a(hall);
    const SavedLocation b(copy);
    for (int image = 0; image < 9; ++image) EXPECT_EQ(a.Image(1, image), b.Image(1, image));
}

TEST_F(CliSettingsVerbs, APresetWithABadValueLoadsTheRestAndSaysWhat) {
    const std::string hall = NewFile("hall.kvx");
    const std::string preset = Write(
        "p.json",
        "{\"format\": \"arvestra-settings\", \"version\": 1, \"kind\": \"preset\", \"preset\": "
        "{\"ch1.lp.cutoff\": \"1kHz\", \"ch1.eq.graphic_gain.1\": \"loud\", \"ch9.x\": 1}}");
    const CliRun run = RunCli({"import", hall, preset, "--address", "1"});
    EXPECT_EQ(run.status, 3) << run.err;  // loaded, but not as given
    EXPECT_THAT(run.err, HasSubstr("import: ch1.eq.graphic_gain.1: "));
    EXPECT_THAT(run.err, HasSubstr("import: ch9.x: unknown parameter"));
    const CliRun get = RunCli({"get", hall, "--address", "1", "--units", "ch1.lp.cutoff"});
    EXPECT_EQ(get.out, "ch1.lp.cutoff=1000Hz\n");
}

TEST_F(CliSettingsVerbs, ARefusedFileChangesNothingAndFails) {
    const std::string hall = NewFile("hall.kvx");
    const std::vector<std::uint8_t> before = ReadBytes(hall);
    for (const std::string& text :
         {std::string("{\"format\": \"arvestra-settings\", \"version\": 99}"),
          std::string("not json"), std::string("{\"format\": \"arvestra-settings\", \"ver")}) {
        const CliRun run = RunCli({"import", hall, Write("bad.json", text)});
        EXPECT_EQ(run.status, 1) << text;
        EXPECT_THAT(run.err, HasSubstr("nothing changed"));
        EXPECT_EQ(ReadBytes(hall), before);
    }
    EXPECT_EQ(RunCli({"import", hall, dir_.File("missing.json")}).status, 1);
    EXPECT_EQ(RunCli({"export", hall, "--image", "2"}).status, 2);  // --image needs --address
}

TEST_F(CliSettingsVerbs, APresetImportedOnlineReachesTheDevice) {
    SimulatedBus bus(dir_, "1,3");
    ASSERT_FALSE(bus.Port().empty());
    const std::string preset = Write(
        "p.json",
        "{\"format\": \"arvestra-settings\", \"version\": 1, \"kind\": \"preset\", \"preset\": "
        "{\"ch2.hp.cutoff\": 17, \"ch1.eq.graphic_gain.5\": \"+6dB\"}}");
    const std::string hall = dir_.File("hall.kvx");
    const CliRun run = RunCli({"import", "--port", bus.Port(), hall, preset, "--address", "3"});
    ASSERT_EQ(run.status, 0) << run.err;
    // The file holds what was read back from the bus after the import.
    const SavedLocation saved(hall);
    const std::vector<std::uint8_t> image = saved.Image(3, 0);
    EXPECT_EQ(image[static_cast<std::size_t>(FieldOffset(ParamField::HpCutoff, kChannelB))], 17);
    EXPECT_EQ(image[static_cast<std::size_t>(FieldOffset(ParamField::EqGraphicGain, kChannelA, 4))],
              42);
    EXPECT_THAT(WithCommand(bus.Requests(), CMD_WRITE_IMAGE), Not(IsEmpty()));
}

TEST_F(CliSettingsVerbs, ADeviceImportedOnlineHasItsStoredPresetsDownloaded) {
    // A device exported from a file, its stored preset 1 changed, into device 7 of the bus.
    const std::string made = NewFile("made.kvx");
    ASSERT_EQ(RunCli({"set", made, "--address", "1", "ch1.hp.cutoff=9", "--store"}).status, 0);
    const CliRun exported = RunCli({"export", made, "--address", "1"});
    ASSERT_EQ(exported.status, 0) << exported.err;
    const std::string device = Write("device.json", exported.out);

    SimulatedBus bus(dir_, "7");
    ASSERT_FALSE(bus.Port().empty());
    const std::string hall = dir_.File("hall.kvx");
    const CliRun run = RunCli({"import", "--port", bus.Port(), hall, device, "--address", "7"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_THAT(run.err, Not(HasSubstr("import:")));
    // Read back from the bus after the import: the stored preset 1 carries the change.
    const SavedLocation saved(hall);
    const std::size_t cutoff =
        static_cast<std::size_t>(FieldOffset(ParamField::HpCutoff, kChannelA));
    EXPECT_EQ(saved.Image(7, 1)[cutoff], 9);
    EXPECT_EQ(saved.Image(7, 0)[cutoff], 9);
    EXPECT_EQ(saved.Image(7, 2)[cutoff], 0);
}

}  // namespace
}  // namespace arvestra::cli_it
