// arvestra-cli copy: each kind of copy between two files and into live devices on the
// simulator, the refusals, and a source that is never written.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "integration/CliHarness.h"
#include "link/DeviceCommands.h"
#include "model/ParamField.h"

namespace arvestra::cli_it {
namespace {

using ::testing::HasSubstr;

int GainByte(int channel, int band) {
    return FieldOffset(ParamField::EqGraphicGain, channel, band);
}

class CliCopy : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_FALSE(dir_.Path().empty());
        from_ = dir_.File("from.kvx");
        to_ = dir_.File("to.kvx");
        // FROM: device 1 with a cut in EQ A band 4 (index 3) of its edit buffer.
        ASSERT_EQ(RunCli({"new", from_}).status, 0);
        ASSERT_EQ(RunCli({"set", from_, "--address", "1", "ch1.eq.graphic_gain.4=-6dB"}).status, 0);
        // TO: devices 1 and 5.
        ASSERT_EQ(RunCli({"new", to_}).status, 0);
        ASSERT_EQ(RunCli({"copy", to_, "--address", "1", to_, "--to-address", "5"}).status, 0);
    }

    TestDirectory dir_;
    std::string from_;
    std::string to_;
};

TEST_F(CliCopy, SettingFromChannelAIntoChannelBOfSeveralDevices) {
    const std::vector<std::uint8_t> source = ReadBytes(from_);
    const CliRun run = RunCli({"copy", from_, "--address", "1", "--setting", "EQ A", to_,
                               "--to-address", "1,5", "--to-setting", "EQ B"});
    ASSERT_EQ(run.status, 0) << run.err;
    const SavedLocation saved(to_);
    for (int address : {1, 5}) {
        EXPECT_EQ(saved.Image(address, 0)[GainByte(1, 3)], 18) << address;  // -6 dB
        EXPECT_EQ(saved.Image(address, 0)[GainByte(0, 3)], 30) << address;  // A untouched
    }
    EXPECT_EQ(ReadBytes(from_), source);
}

// A copied setting is edited into the destination as "set" edits it: with the destination's EQ
// Master link on, both of its channels take the copied cut.
TEST_F(CliCopy, SettingIntoALinkedBlockReachesBothChannelsAsSetDoes) {
    ASSERT_EQ(RunCli({"set", to_, "-a", "1", "ch1.eq.master=1"}).status, 0);
    const CliRun run =
        RunCli({"copy", from_, "-a", "1", "--setting", "EQ A", to_, "--to-address", "1"});
    ASSERT_EQ(run.status, 0) << run.err;
    const SavedLocation saved(to_);
    EXPECT_EQ(saved.Image(1, 0)[GainByte(0, 3)], 18);
    EXPECT_EQ(saved.Image(1, 0)[GainByte(1, 3)], 18);
}

TEST_F(CliCopy, PresetCopiesTheImageAndItsNameIntoTheListedPresets) {
    const CliRun run = RunCli({"copy", from_, "--address", "1", "--preset", "0", to_,
                               "--to-address", "5", "--to-preset", "2,7"});
    ASSERT_EQ(run.status, 0) << run.err;
    const SavedLocation saved(to_);
    for (int image : {2, 7}) {
        EXPECT_EQ(saved.Image(5, image), SavedLocation(from_).Image(1, 0)) << image;
    }
    EXPECT_EQ(saved.Image(5, 3)[GainByte(0, 3)], 30);
}

TEST_F(CliCopy, DeviceCopyAddsANewAddressAndKeepsTheOthers) {
    const CliRun run = RunCli({"copy", from_, "--address", "1", to_, "--to-address", "9"});
    ASSERT_EQ(run.status, 0) << run.err;
    const SavedLocation saved(to_);
    EXPECT_EQ(saved.Addresses(), (std::vector<int>{1, 5, 9}));
    EXPECT_EQ(saved.Image(9, 0)[GainByte(0, 3)], 18);
    EXPECT_EQ(saved.Image(1, 0)[GainByte(0, 3)], 30);
}

struct Refusal {
    std::vector<std::string> args;
    int status;
    const char* message;
};

TEST_F(CliCopy, RefusalsLeaveTheDestinationAsItWas) {
    const std::vector<std::uint8_t> before = ReadBytes(to_);
    const std::vector<Refusal> cases = {
        {{"--setting", "EQ C"}, 2, "unknown setting \"EQ C\""},
        {{"--setting", "EQ A", "--to-setting", "Delay A"}, 1, "cannot be copied into"},
        {{"--preset", "2", "--to-address", "7"}, 1, "holds no device at address 7"},
        {{"--to-address", "0"}, 2, "--to-address"},
        {{"--to-preset", "3"}, 2, "--to-preset needs --preset or --setting"},
        {{"--to-setting", "EQ B"}, 2, "--to-setting needs --setting"},
    };
    for (const Refusal& c : cases) {
        std::vector<std::string> args{"copy", from_, "--address", "1", to_};
        args.insert(args.end(), c.args.begin(), c.args.end());
        if (std::find(c.args.begin(), c.args.end(), "--to-address") == c.args.end()) {
            args.insert(args.end(), {"--to-address", "5"});
        }
        const CliRun run = RunCli(args);
        EXPECT_EQ(run.status, c.status) << c.message << run.err;
        EXPECT_THAT(run.err, HasSubstr(c.message));
        EXPECT_EQ(ReadBytes(to_), before);
    }
    const CliRun corrupt =
        RunCli({"copy", dir_.File("none.kvx"), "--address", "1", to_, "--to-address", "5"});
    EXPECT_EQ(corrupt.status, 1);
    EXPECT_THAT(corrupt.err, HasSubstr("cannot read"));
    EXPECT_EQ(ReadBytes(to_), before);
}

TEST_F(CliCopy, LiveCopyReachesTheDevicesAndTheFileHoldsTheBus) {
    SimulatedBus bus(dir_, "1,3");
    ASSERT_FALSE(bus.Port().empty());
    const std::vector<std::uint8_t> source = ReadBytes(from_);
    const CliRun setting = RunCli({"copy", "--port", bus.Port(), from_, "--address", "1",
                                   "--setting", "EQ A", to_, "--to-address", "3"});
    ASSERT_EQ(setting.status, 0) << setting.err;
    const CliRun preset = RunCli({"copy", "--port", bus.Port(), from_, "--address", "1", "--preset",
                                  "0", to_, "--to-address", "1,3", "--to-preset", "6"});
    ASSERT_EQ(preset.status, 0) << preset.err;

    // The setting went into device 3's edit buffer; the preset was stored as image 6 of both.
    bool editSent = false;
    std::vector<int> storedTo;
    for (const LoggedRequest& w : WithCommand(bus.Requests(), CMD_WRITE_IMAGE)) {
        if (w.payload.size() < 2) continue;
        const int first = w.payload[1];
        const int at = GainByte(0, 3) - first + 2;
        if (w.address == 3 && w.payload[0] == 0 && at >= 2 &&
            at < static_cast<int>(w.payload.size()) &&
            w.payload[static_cast<std::size_t>(at)] == 18) {
            editSent = true;
        }
        if (w.payload[0] == 6 && first == 0) storedTo.push_back(w.address);
    }
    EXPECT_TRUE(editSent);
    EXPECT_EQ(storedTo, (std::vector<int>{1, 3}));

    const SavedLocation saved(to_);
    EXPECT_EQ(saved.Addresses(), (std::vector<int>{1, 3}));
    EXPECT_EQ(saved.Image(3, 0)[GainByte(0, 3)], 18);
    EXPECT_EQ(saved.Image(1, 6)[GainByte(0, 3)], 18);
    EXPECT_EQ(ReadBytes(from_), source);
}

TEST_F(CliCopy, LiveDeviceCopyDownloadsTheRecordIntoTheDevice) {
    SimulatedBus bus(dir_, "1,3");
    ASSERT_FALSE(bus.Port().empty());
    const CliRun run =
        RunCli({"copy", "--port", bus.Port(), from_, "--address", "1", to_, "--to-address", "3"});
    ASSERT_EQ(run.status, 0) << run.err;
    const std::vector<LoggedRequest> names = WithCommand(bus.Requests(), CMD_WRITE_DEVICE_NAME);
    ASSERT_FALSE(names.empty());
    EXPECT_EQ(names.back().address, 3);
    // Read back from the bus: device 3 now holds device 1's record of FROM, device 1 its own.
    const SavedLocation saved(to_);
    EXPECT_EQ(saved.Location().DeviceName(saved.Location().SlotOf(3)), "No Device Name");
    EXPECT_EQ(saved.Location().DeviceName(saved.Location().SlotOf(1)), "Device 1");
    EXPECT_EQ(saved.Image(3, 0)[GainByte(0, 3)], 18);
}

}  // namespace
}  // namespace arvestra::cli_it
