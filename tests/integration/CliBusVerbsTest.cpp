// arvestra-cli verbs that talk to the bus, against arvestra-devsim on a pseudo-terminal: scan,
// create, upload, download, recall and live set, with the frames the simulator logged and every
// failure path.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>

#include <algorithm>
#include <string>
#include <thread>
#include <vector>

#include "integration/CliHarness.h"
#include "link/DeviceCommands.h"
#include "model/ParamField.h"
#include "model/PresetImage.h"

namespace arvestra::cli_it {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::Not;

std::vector<int> AddressesOf(const std::vector<LoggedRequest>& requests) {
    std::vector<int> addresses;
    for (const LoggedRequest& r : requests) addresses.push_back(r.address);
    return addresses;
}

// The simulator's devices start with the initial image in all nine images, named "Preset j".
std::vector<std::uint8_t> SimulatorImage(int image) {
    PresetImage initial = InitialPresetImage();
    const std::string name = "Preset " + std::to_string(image);
    std::copy(name.begin(), name.end(), initial.bytes.begin() + kNameOffset);
    return std::vector<std::uint8_t>(initial.bytes.begin(), initial.bytes.end());
}

class CliBusVerbs : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_FALSE(dir_.Path().empty()); }

    TestDirectory dir_;
};

TEST_F(CliBusVerbs, ScanListsEveryAcceptedDeviceAndSkipsTheOthers) {
    SimulatedBus bus(dir_, "1,3,7,9", {"--fault", "9:wrong-maker"});
    ASSERT_FALSE(bus.Port().empty());
    const CliRun run = RunCli({"scan", "--port", bus.Port()});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out,
              "1\tDevice 1\tapplication 1\trevision 1.3\tbase 1.0\n"
              "3\tDevice 3\tapplication 1\trevision 1.3\tbase 1.0\n"
              "7\tDevice 7\tapplication 1\trevision 1.3\tbase 1.0\n");
    EXPECT_THAT(run.err, HasSubstr("The device at address 9 reports an unknown Manufacturer Code "
                                   "of 57; this device will be ignored."));

    const CliRun json = RunCli({"scan", "--json", "--port", bus.Port()});
    EXPECT_EQ(json.status, 0) << json.err;
    const nlohmann::json devices = nlohmann::json::parse(json.out, nullptr, false)["devices"];
    ASSERT_EQ(devices.size(), 3u) << json.out;
    EXPECT_EQ(devices[2]["address"], 7);
    EXPECT_EQ(devices[2]["slot"], 2);
    EXPECT_EQ(devices[2]["name"], "Device 7");
}

TEST_F(CliBusVerbs, ScanOfABusWhereNothingAnswersFails) {
    SimulatedBus bus(dir_, "5", {"--fault", "5:no-reply"});
    const CliRun run = RunCli({"scan", "--port", bus.Port()});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out, "");
    EXPECT_THAT(run.err,
                HasSubstr("Error: No Devices were found to be connected to your computer."));
    EXPECT_THAT(run.err, HasSubstr("error number: 101 - 0 - 0 - 0"));
    EXPECT_THAT(run.err, HasSubstr("answered Yes: continuing offline"));
}

TEST_F(CliBusVerbs, AMissingPortFailsWithTheOpenErrorForEveryBusVerb) {
    const std::string port = dir_.File("no-such-tty");
    const std::string file = dir_.File("hall.kvx");
    ASSERT_EQ(RunCli({"new", file}).status, 0);
    const std::vector<std::uint8_t> before = ReadBytes(file);
    const std::vector<std::vector<std::string>> commands = {
        {"scan", "--port", port},
        {"create", "--port", port, dir_.File("new.kvx")},
        {"upload", "--port", port, file},
        {"download", "--port", port, "--no", file},
        {"recall", "--port", port, "--all", "2"},
        {"set", "--port", port, file, "--address", "1", "ch1.lp.cutoff=3"},
    };
    for (const std::vector<std::string>& args : commands) {
        const CliRun run = RunCli(args);
        EXPECT_EQ(run.status, 1) << args[0];
        EXPECT_THAT(run.err, HasSubstr("Error: Couldn't open serial port COM1. Please make sure "
                                       "that you have the correct serial port selected."))
            << args[0];
        // Opening the port (0x12), port 1, ENOENT.
        EXPECT_THAT(run.err, HasSubstr("error number: 12 - 1 - 2 - 0")) << args[0];
        EXPECT_THAT(run.err, HasSubstr("(COM1 is " + port + " here)")) << args[0];
    }
    EXPECT_FALSE(std::filesystem::exists(dir_.File("new.kvx")));
    EXPECT_EQ(ReadBytes(file), before);
}

TEST_F(CliBusVerbs, CreateSavesEveryDeviceWithAllNineImages) {
    SimulatedBus bus(dir_, "3,7");
    const std::string file = dir_.File("hall.kvx");
    const CliRun run = RunCli({"create", "--port", bus.Port(), file});
    ASSERT_EQ(run.status, 0) << run.err;

    const SavedLocation saved(file);
    EXPECT_EQ(saved.Addresses(), (std::vector<int>{3, 7}));
    EXPECT_EQ(saved.Location().SlotOf(3), 0);
    EXPECT_EQ(saved.Location().SlotOf(7), 1);
    EXPECT_EQ(saved.FileSize(), kHeaderSize + 2 * kDeviceRecordSize);
    for (const int address : {3, 7}) {
        const int slot = saved.Location().SlotOf(address);
        EXPECT_EQ(saved.Location().DeviceName(slot), "Device " + std::to_string(address));
        EXPECT_EQ(saved.Location().RecordInt(slot, kRecAppFirmware), 13);
        EXPECT_EQ(saved.Location().RecordInt(slot, kRecBaseFirmware), 10);
        for (int image = 0; image <= 8; ++image) {
            EXPECT_EQ(saved.Image(address, image), SimulatorImage(image))
                << "address " << address << " image " << image;
        }
    }
    // Every image of every device was read from the bus.
    const std::vector<LoggedRequest> reads = WithCommand(bus.Requests(), CMD_READ_IMAGE);
    for (const int address : {3, 7}) {
        for (int image = 0; image <= 8; ++image) {
            const bool read = std::any_of(reads.begin(), reads.end(), [&](const LoggedRequest& r) {
                // Image, start, count.
                return r.address == address && r.payload.size() == 3 && r.payload[0] == image &&
                       r.payload[1] == 0 && r.payload[2] == 250;
            });
            EXPECT_TRUE(read) << "address " << address << " image " << image;
        }
    }

    // A second create does not replace the file.
    const std::vector<std::uint8_t> before = ReadBytes(file);
    const CliRun again = RunCli({"create", "--port", bus.Port(), file});
    EXPECT_EQ(again.status, 1);
    EXPECT_THAT(again.err, HasSubstr("already exists; give --force"));
    EXPECT_EQ(ReadBytes(file), before);
}

TEST_F(CliBusVerbs, LiveSetReachesTheDeviceAndUploadReadsItBack) {
    SimulatedBus bus(dir_, "1,3");
    const std::string file = dir_.File("live.kvx");
    ASSERT_EQ(RunCli({"new", file}).status, 0);  // replaced by what the bus holds
    const CliRun set = RunCli({"set", "--port", bus.Port(), file, "--address", "3",
                               "ch1.lp.cutoff=1kHz", "ch2.eq.graphic_gain.2=-6dB"});
    ASSERT_EQ(set.status, 0) << set.err;

    // The edits went out in one write of the edit buffer covering both bytes.
    const int cutoff = FieldOffset(ParamField::LpCutoff, kChannelA);
    const int gain = FieldOffset(ParamField::EqGraphicGain, kChannelB, 1);
    const std::vector<LoggedRequest> writes = WithCommand(bus.Requests(), CMD_WRITE_IMAGE);
    ASSERT_FALSE(writes.empty());
    const LoggedRequest& edit = writes.back();
    EXPECT_EQ(edit.address, 3);
    ASSERT_GE(edit.payload.size(), 2u);
    EXPECT_EQ(edit.payload[0], 0);  // the edit buffer
    const int first = edit.payload[1];
    EXPECT_EQ(first, std::min(cutoff, gain));
    ASSERT_EQ(static_cast<int>(edit.payload.size()), 2 + std::max(cutoff, gain) - first + 1);
    EXPECT_EQ(edit.payload[2 + cutoff - first], 56);  // 1000 Hz
    EXPECT_EQ(edit.payload[2 + gain - first], 18);    // -6 dB

    // The file holds the bus: both devices, the edited one with its new values.
    const SavedLocation saved(file);
    EXPECT_EQ(saved.Addresses(), (std::vector<int>{1, 3}));
    EXPECT_EQ(saved.Image(3, 0)[cutoff], 56);
    EXPECT_EQ(saved.Image(1, 0)[cutoff], SimulatorImage(0)[cutoff]);

    // A fresh upload finds the values in the device itself.
    const std::string backup = dir_.File("backup.kvx");
    const CliRun upload = RunCli({"upload", "--port", bus.Port(), backup});
    ASSERT_EQ(upload.status, 0) << upload.err;
    const SavedLocation uploaded(backup);
    EXPECT_EQ(uploaded.Image(3, 0)[cutoff], 56);
    EXPECT_EQ(uploaded.Image(3, 0)[gain], 18);
    EXPECT_EQ(uploaded.Image(3, 1), SimulatorImage(1));  // not stored without --store
}

TEST_F(CliBusVerbs, LiveChainEditsSendTheSourcesOneAtATimeInSlotOrder) {
    SimulatedBus bus(dir_, "2");
    const std::string file = dir_.File("routing.kvx");
    // EQ A and Low Pass A in channel 1's slots 1 and 2, EQ B and Comp/Lim B in channel 2's
    // slots 1 and 3.
    const CliRun set =
        RunCli({"set", "--port", bus.Port(), file, "--address", "2", "config.chain_slot.1=1",
                "config.chain_slot.2=11", "config.chain_slot.9=2", "config.chain_slot.11=8"});
    ASSERT_EQ(set.status, 0) << set.err;
    // The first byte of every edit-buffer write that carries a source-node byte, in order.
    const std::vector<int> sourceBytes{1, 66, 130, 133, 136, 139, 144, 148, 152, 171, 190, 192};
    std::vector<int> firsts;
    for (const LoggedRequest& w : WithCommand(bus.Requests(), CMD_WRITE_IMAGE)) {
        if (w.payload.size() < 3 || w.payload[0] != 0) continue;
        const int first = w.payload[1];
        const int last = first + static_cast<int>(w.payload.size()) - 3;
        for (const int b : sourceBytes) {
            if (b >= first && b <= last) {
                firsts.push_back(first);
                break;
            }
        }
    }
    // EQ A, EQ B, Low Pass A, Comp/Lim B, then both outputs; the blocks left in the palette
    // already had no source.
    EXPECT_EQ(firsts, (std::vector<int>{1, 66, 130, 171, 190}));
    const SavedLocation saved(file);
    EXPECT_EQ(saved.Image(2, 0)[130] & 0x3F, 3);
    EXPECT_EQ(saved.Image(2, 0)[171] & 0x3F, 4);
    EXPECT_EQ(saved.Image(2, 0)[190], 13);
    EXPECT_EQ(saved.Image(2, 0)[192], 10);
}

TEST_F(CliBusVerbs, UploadReplacesAnExistingFile) {
    SimulatedBus bus(dir_, "2");
    const std::string file = dir_.File("hall.kvx");
    ASSERT_EQ(RunCli({"new", file}).status, 0);
    const CliRun run = RunCli({"upload", "--port", bus.Port(), file});
    ASSERT_EQ(run.status, 0) << run.err;
    const SavedLocation saved(file);
    EXPECT_EQ(saved.Addresses(), std::vector<int>{2});
    EXPECT_EQ(saved.Location().DeviceName(saved.Location().SlotOf(2)), "Device 2");
}

TEST_F(CliBusVerbs, ADeviceThatStopsAnsweringMidUploadFailsAndLeavesTheFileAlone) {
    // Device 3 answers the scan (identify, debug flag, firmware, information and eight names:
    // 12 requests) and the information read of the upload, then falls silent.
    SimulatedBus bus(dir_, "1,3", {"--fault", "3:no-reply@13"});
    const std::string file = dir_.File("hall.kvx");
    ASSERT_EQ(RunCli({"new", file}).status, 0);
    const std::vector<std::uint8_t> before = ReadBytes(file);
    const CliRun run = RunCli({"upload", "--port", bus.Port(), file});
    EXPECT_EQ(run.status, 1);
    EXPECT_THAT(run.err, HasSubstr("Error: Cannot communicate with the Device."));
    EXPECT_THAT(run.err, HasSubstr("click Ignore to continue working offline."));
    EXPECT_THAT(run.err, HasSubstr("answered Ignore: continuing offline"));
    EXPECT_EQ(ReadBytes(file), before);
}

TEST_F(CliBusVerbs, RetriesAreAnsweredBeforeIgnore) {
    // Every reply of device 1 carries a bad checksum once the scan has found it.
    SimulatedBus bus(dir_, "1", {"--fault", "1:bad-checksum@1"});
    const CliRun run = RunCli({"scan", "--retries", "2", "--port", bus.Port()});
    EXPECT_EQ(run.status, 1);
    EXPECT_THAT(run.err, HasSubstr("answered Retry (1 of 2)"));
    EXPECT_THAT(run.err, HasSubstr("answered Retry (2 of 2)"));
    EXPECT_THAT(run.err, HasSubstr("answered Ignore: continuing offline"));
    // A bad checksum (0x43) on the debug-flag command (0x9d).
    EXPECT_THAT(run.err, HasSubstr("error number: 43 - 9d - "));
    // The request was sent once and repeated twice.
    const std::vector<LoggedRequest> debug = WithCommand(bus.Requests(), CMD_SET_MIDI_DEBUG);
    EXPECT_EQ(debug.size(), 3u);
}

TEST_F(CliBusVerbs, DownloadSendsEveryDeviceInAddressOrder) {
    SimulatedBus bus(dir_, "2,5");
    const std::string file = dir_.File("hall.kvx");
    ASSERT_EQ(RunCli({"create", "--port", bus.Port(), file}).status, 0);
    // Give the file's devices settings of their own, offline.
    ASSERT_EQ(RunCli({"set", file, "--address", "5", "ch1.hp.cutoff=100Hz", "name=Five"}).status,
              0);
    const std::size_t before = bus.Requests().size();

    const CliRun run = RunCli({"download", "--port", bus.Port(), file});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.err, "");

    const std::vector<LoggedRequest> all = bus.Requests();
    const std::vector<LoggedRequest> sent(all.begin() + static_cast<long>(before), all.end());
    // Name, preset images and recall of device 2 all come before any of device 5.
    const std::vector<LoggedRequest> names = WithCommand(sent, CMD_WRITE_DEVICE_NAME);
    EXPECT_THAT(AddressesOf(names), ElementsAre(2, 5));
    const std::vector<LoggedRequest> writes = WithCommand(sent, CMD_WRITE_IMAGE);
    std::vector<int> imageOrder;
    for (const LoggedRequest& w : writes) {
        if (w.payload.size() == 2 + kPresetImageSize && w.payload[1] == 0) {
            imageOrder.push_back(w.address * 10 + w.payload[0]);
        }
    }
    // Per device: the edit buffer as the current preset (1), then images 0 to 8.
    EXPECT_THAT(imageOrder, ElementsAre(21, 20, 21, 22, 23, 24, 25, 26, 27, 28, 51, 50, 51, 52, 53,
                                        54, 55, 56, 57, 58));
    const std::vector<LoggedRequest> recalls = WithCommand(sent, CMD_RECALL_PRESET);
    EXPECT_THAT(AddressesOf(recalls), ElementsAre(2, 5));

    // The devices hold the file now.
    const std::string back = dir_.File("back.kvx");
    ASSERT_EQ(RunCli({"upload", "--port", bus.Port(), back}).status, 0);
    const SavedLocation original(file);
    const SavedLocation uploaded(back);
    for (const int address : {2, 5}) {
        for (int image = 0; image <= 8; ++image) {
            EXPECT_EQ(uploaded.Image(address, image), original.Image(address, image))
                << "address " << address << " image " << image;
        }
    }
}

TEST_F(CliBusVerbs, DownloadReconcileQuestionsNeedAnAnswer) {
    SimulatedBus bus(dir_, "1,3");
    const std::string file = dir_.File("hall.kvx");
    ASSERT_EQ(RunCli({"new", file}).status, 0);  // lists address 1 only
    const std::vector<std::uint8_t> before = ReadBytes(file);

    const CliRun unanswered = RunCli({"download", "--port", bus.Port(), file});
    EXPECT_EQ(unanswered.status, 1);
    EXPECT_THAT(unanswered.err,
                HasSubstr("A device was found at address 3 on the network, but not in the "
                          "location file; do you want to add it to the location file?"));
    EXPECT_THAT(unanswered.err, HasSubstr("add --yes or --no"));
    // Nothing was sent to any device.
    EXPECT_TRUE(WithCommand(bus.Requests(), CMD_WRITE_IMAGE).empty());
    EXPECT_TRUE(WithCommand(bus.Requests(), CMD_WRITE_DEVICE_NAME).empty());

    const CliRun no = RunCli({"download", "--port", bus.Port(), "--no", file});
    EXPECT_EQ(no.status, 0) << no.err;
    EXPECT_THAT(no.err, HasSubstr("answered No (--no)"));
    EXPECT_THAT(AddressesOf(WithCommand(bus.Requests(), CMD_WRITE_DEVICE_NAME)), ElementsAre(1));

    const CliRun yes = RunCli({"download", "--port", bus.Port(), "--yes", file});
    EXPECT_EQ(yes.status, 0) << yes.err;
    EXPECT_THAT(yes.err, HasSubstr("answered Yes (--yes)"));
    EXPECT_THAT(AddressesOf(WithCommand(bus.Requests(), CMD_WRITE_DEVICE_NAME)),
                ElementsAre(1, 1, 3));
    EXPECT_EQ(ReadBytes(file), before);  // download never writes the file
}

TEST_F(CliBusVerbs, RecallOnAllDevicesLeavesTheFirstDeviceForLast) {
    SimulatedBus bus(dir_, "1,3,7");
    const CliRun run = RunCli({"recall", "--port", bus.Port(), "--all", "4"});
    ASSERT_EQ(run.status, 0) << run.err;
    const std::vector<LoggedRequest> recalls = WithCommand(bus.Requests(), CMD_RECALL_PRESET);
    EXPECT_THAT(AddressesOf(recalls), ElementsAre(3, 7, 1));
    for (const LoggedRequest& r : recalls) EXPECT_THAT(r.payload, ElementsAre(4));

    const std::string file = dir_.File("after.kvx");
    ASSERT_EQ(RunCli({"upload", "--port", bus.Port(), file}).status, 0);
    const SavedLocation saved(file);
    for (const int address : {1, 3, 7}) {
        EXPECT_EQ(saved.Location().RecordInt(saved.Location().SlotOf(address), kRecCurrentPreset),
                  4)
            << address;
    }
}

TEST_F(CliBusVerbs, RecallOnOneDeviceTouchesNoOther) {
    SimulatedBus bus(dir_, "1,3");
    const CliRun run = RunCli({"recall", "--port", bus.Port(), "--address", "3", "2"});
    ASSERT_EQ(run.status, 0) << run.err;
    const std::vector<LoggedRequest> recalls = WithCommand(bus.Requests(), CMD_RECALL_PRESET);
    ASSERT_EQ(recalls.size(), 1u);
    EXPECT_EQ(recalls[0].address, 3);
    EXPECT_THAT(recalls[0].payload, ElementsAre(2));

    const CliRun absent = RunCli({"recall", "--port", bus.Port(), "--address", "5", "2"});
    EXPECT_EQ(absent.status, 1);
    EXPECT_THAT(absent.err, HasSubstr("no device answered at address 5"));
    EXPECT_EQ(WithCommand(bus.Requests(), CMD_RECALL_PRESET).size(), 1u);
}

TEST_F(CliBusVerbs, ComNamesResolveThroughThePortMap) {
    SimulatedBus bus(dir_, "6");
    ::setenv("ARVESTRA_COM3", bus.Port().c_str(), 1);
    ::setenv("ARVESTRA_COM4", dir_.File("absent").c_str(), 1);
    const CliRun found = RunCli({"scan", "--port", "COM3"});
    const CliRun missing = RunCli({"scan", "--port", "com4"});
    ::unsetenv("ARVESTRA_COM3");
    ::unsetenv("ARVESTRA_COM4");
    EXPECT_EQ(found.status, 0) << found.err;
    EXPECT_THAT(found.out, ::testing::StartsWith("6\tDevice 6\t"));
    EXPECT_EQ(missing.status, 1);
    EXPECT_THAT(missing.err, HasSubstr("Couldn't open serial port COM4."));
    EXPECT_THAT(missing.err, HasSubstr("error number: 12 - 4 - 2 - 0"));
    EXPECT_THAT(missing.err, Not(HasSubstr(" here)")));
}

TEST_F(CliBusVerbs, ABusOverTcpWorksLikeATerminal) {
    devsim_it::DevsimChild child({"--devices", "4", "--tcp", "0"});
    ASSERT_THAT(child.FirstLine(), ::testing::StartsWith("tcp:127.0.0.1:"));
    const CliRun run = RunCli({"scan", "--port", child.FirstLine()});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_THAT(run.out, ::testing::StartsWith("4\tDevice 4\t"));
}

// Progress goes to standard error only when it is a terminal.
TEST_F(CliBusVerbs, ProgressIsShownOnATerminalOnly) {
    SimulatedBus bus(dir_, "1");
    const int master = ::posix_openpt(O_RDWR | O_NOCTTY);
    ASSERT_GE(master, 0);
    ASSERT_EQ(::grantpt(master), 0);
    ASSERT_EQ(::unlockpt(master), 0);
    const int terminal = ::open(::ptsname(master), O_RDWR | O_NOCTTY | O_CLOEXEC);
    ASSERT_GE(terminal, 0);
    // Read the terminal while the tool writes to it, so a full buffer never blocks it.
    std::string shown;
    std::thread reader([&] {
        char buffer[1024];
        for (;;) {
            pollfd p{master, POLLIN, 0};
            if (::poll(&p, 1, 3000) <= 0) break;
            const ssize_t n = ::read(master, buffer, sizeof buffer);
            if (n <= 0) break;
            shown.append(buffer, static_cast<std::size_t>(n));
        }
    });
    const CliRun onTerminal = RunCli({"scan", "--port", bus.Port()}, terminal);
    ::close(terminal);
    reader.join();
    ::close(master);
    EXPECT_EQ(onTerminal.status, 0);
    EXPECT_THAT(shown, HasSubstr("arvestra-cli scan: bus address "));

    const CliRun piped = RunCli({"scan", "--port", bus.Port()});
    EXPECT_EQ(piped.status, 0);
    EXPECT_THAT(piped.err, Not(HasSubstr("bus address")));
}

}  // namespace
}  // namespace arvestra::cli_it
