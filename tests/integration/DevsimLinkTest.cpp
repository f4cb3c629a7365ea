// The real serial link and device commands against arvestra-devsim on a pseudo-terminal: every
// command of the set, and every fault the simulator can inject, with the error numbers the user
// would be shown.

#include <gtest/gtest.h>

#include <array>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "DevsimChild.h"
#include "app/AppState.h"
#include "app/ErrorReporter.h"
#include "link/DeviceCommandsLink.h"
#include "link/SerialLink.h"
#include "model/PresetImage.h"
#include "support/ScriptedUi.h"

namespace arvestra {
namespace {

using devsim_it::DevsimChild;
using Clock = std::chrono::steady_clock;

constexpr ChainMembership kCompLimAOnly{false, false, true, false};
constexpr std::uint8_t kLevel0dB = 192;

// The four numbers of an error shown to the user ("43 - 2 - 1 - 0" read back as numbers).
std::array<int, 4> ErrorNumbers(const std::string& text) {
    std::array<int, 4> numbers{-1, -1, -1, -1};
    const std::size_t lineStart = text.rfind('\n');
    std::string line = text.substr(lineStart == std::string::npos ? 0 : lineStart + 1);
    const std::size_t colon = line.rfind(": ");
    if (colon != std::string::npos) line = line.substr(colon + 2);
    std::sscanf(line.c_str(), "%x - %x - %x - %x", &numbers[0], &numbers[1], &numbers[2],
                &numbers[3]);
    return numbers;
}

// A link whose COM2 is a simulator started for the test, the application online.
class DevsimLink : public ::testing::Test {
  protected:
    void Start(const std::vector<std::string>& options) {
        sim_ = std::make_unique<DevsimChild>(options);
        ASSERT_FALSE(sim_->FirstLine().empty()) << "the simulator did not start";
        app_.SetOnline(1);
        link_.Ports().SetPath(2, sim_->FirstLine());
        link_.SetPortNumber(2);
        link_.SetBaudRate(38400);
        ASSERT_EQ(link_.OpenPort(), 1);
    }
    // Switches to the 20 ms probe time-out, for exchanges that are expected to go unanswered.
    void ProbeTimeouts() {
        link_.quickProbe = 1;
        ASSERT_EQ(link_.ApplyTimeouts(), 1);
    }
    std::array<int, 4> LastErrorNumbers() const {
        const auto questions = ui_.Questions();
        return questions.empty() ? std::array<int, 4>{-1, -1, -1, -1}
                                 : ErrorNumbers(questions.back().text);
    }

    AppState app_;
    testing::ScriptedUi ui_;
    ErrorReporter reporter_{app_, ui_};
    CSerialLink link_{reporter_};
    std::unique_ptr<DevsimChild> sim_;
};

TEST_F(DevsimLink, IdentifiesAndReadsFirmwareAndInformation) {
    Start({"--devices", "1,3,7"});
    for (const int address : {3, 7}) {
        link_.SetAddress(address);
        DeviceIdentity identity;
        ASSERT_EQ(RequestIdentity(link_, identity), 1);
        EXPECT_EQ(identity.deviceType, kAcceptedDeviceType);
        EXPECT_EQ(identity.manufacturer, kAcceptedManufacturer);
        FirmwareInfo firmware;
        ASSERT_EQ(RequestFirmware(link_, firmware), 1);
        EXPECT_EQ(firmware.applicationNumber, 1);
        EXPECT_EQ(firmware.applicationRevision, 13);
        EXPECT_TRUE(IsCompatibilityLevelAccepted(firmware));
        EXPECT_TRUE(IsEditorLevelAccepted(firmware));
        EXPECT_EQ(firmware.baseRevision, 10);
        DeviceInfo info;
        ASSERT_EQ(RequestDeviceInfo(link_, info), 1);
        EXPECT_EQ(info.name, "Device " + std::to_string(address));
        EXPECT_EQ(info.currentPreset, 1);
        EXPECT_FALSE(info.bypassA || info.bypassB);
    }
    EXPECT_TRUE(ui_.Questions().empty());
}

TEST_F(DevsimLink, AbsentAddressFailsSilentlyWhileProbing) {
    Start({"--devices", "1,3"});
    link_.SetAddress(2);
    link_.reportErrors = 0;
    ProbeTimeouts();
    DeviceIdentity identity{0, 0};
    EXPECT_EQ(RequestIdentity(link_, identity), 0);
    EXPECT_TRUE(ui_.Questions().empty());
    EXPECT_EQ(app_.IsOnline(), 1);
}

TEST_F(DevsimLink, WrittenImageBytesAreReadBack) {
    Start({"--devices", "1"});
    std::vector<std::uint8_t> image(250);
    for (std::size_t i = 0; i < image.size(); ++i) {
        image[i] = i % 3 == 0 ? 0xFB : static_cast<std::uint8_t>(i);  // plenty of stuffing
    }
    ASSERT_EQ(SendImageBytes(link_, 5, 0, image), 1);
    std::vector<std::uint8_t> read(250);
    ASSERT_EQ(RequestImageBytes(link_, 5, 0, read), 1);
    EXPECT_EQ(read, image);

    const std::array<std::uint8_t, 3> range{7, 8, 9};
    ASSERT_EQ(SendImageBytes(link_, 0, 10, range), 1);
    std::array<std::uint8_t, 5> around{};
    ASSERT_EQ(RequestImageBytes(link_, 0, 9, around), 1);
    const PresetImage initial = InitialPresetImage();
    EXPECT_EQ(around, (std::array<std::uint8_t, 5>{initial.bytes[9], 7, 8, 9, initial.bytes[13]}));
    EXPECT_TRUE(ui_.Questions().empty());
}

TEST_F(DevsimLink, RecallStoreAndFactoryRestore) {
    Start({"--devices", "4"});
    link_.SetAddress(4);
    const std::array<std::uint8_t, 2> marker{0x55, 0xAA};
    ASSERT_EQ(SendImageBytes(link_, 4, 100, marker), 1);
    ASSERT_EQ(SendRecallPreset(link_, 4), 1);
    MeterRecord meters;
    ASSERT_EQ(RequestStatus(link_, {}, kLevel0dB, kLevel0dB, meters), 1);
    EXPECT_EQ(meters.devicePreset, 4);
    std::array<std::uint8_t, 2> editBuffer{};
    ASSERT_EQ(RequestImageBytes(link_, 0, 100, editBuffer), 1);
    EXPECT_EQ(editBuffer, marker);

    const std::array<std::uint8_t, 1> edit{0x33};
    ASSERT_EQ(SendImageBytes(link_, 0, 101, edit), 1);
    ASSERT_EQ(SendStorePreset(link_, 6), 1);
    std::array<std::uint8_t, 2> stored{};
    ASSERT_EQ(RequestImageBytes(link_, 6, 100, stored), 1);
    EXPECT_EQ(stored, (std::array<std::uint8_t, 2>{0x55, 0x33}));

    ASSERT_EQ(SendStorePreset(link_, 255), 1);
    ASSERT_EQ(SendStorePreset(link_, 255), 1);
    std::vector<std::uint8_t> restored(250);
    ASSERT_EQ(RequestImageBytes(link_, 6, 0, restored), 1);
    const PresetImage initial = InitialPresetImage();
    EXPECT_TRUE(
        std::equal(restored.begin(), restored.begin() + kNameOffset, initial.bytes.begin()));
    DeviceInfo info;
    ASSERT_EQ(RequestDeviceInfo(link_, info), 1);
    EXPECT_EQ(info.currentPreset, 1);
    EXPECT_TRUE(ui_.Questions().empty());
}

TEST_F(DevsimLink, NameBypassAndDebugFlagAreKept) {
    Start({"--devices", "1"});
    ASSERT_EQ(SendDeviceName(link_, "Front of House, left hang, top"), 1);
    ASSERT_EQ(SendBypass(link_, false, true), 1);
    ASSERT_EQ(SendMidiDebug(link_, true), 1);
    std::array<std::uint8_t, kDeviceInfoReplyLength> raw{};
    ASSERT_EQ(link_.Transact(CMD_READ_DEVICE_INFO, nullptr, 0, raw.data(), kDeviceInfoReplyLength),
              1);
    const DeviceInfo info = DecodeDeviceInfo(raw);
    EXPECT_EQ(info.name, "Front of House, left hang, top");
    EXPECT_FALSE(info.bypassA);
    EXPECT_TRUE(info.bypassB);
    EXPECT_EQ(raw[92], 1);  // the simulator reports its debug flag there
}

TEST_F(DevsimLink, MetersMoveAndGainReductionFollowsTheCompressor) {
    Start({"--devices", "1"});
    MeterRecord first;
    ASSERT_EQ(RequestStatus(link_, {kCompLimAOnly, {}}, kLevel0dB, kLevel0dB, first), 1);
    EXPECT_EQ(first.reduction1[0], 0);  // a fresh device has no compressor in the signal path
    EXPECT_EQ(first.reduction2[0], 0);
    std::this_thread::sleep_for(std::chrono::milliseconds(250));
    MeterRecord second;
    ASSERT_EQ(RequestStatus(link_, {kCompLimAOnly, {}}, kLevel0dB, kLevel0dB, second), 1);
    EXPECT_NE(first.levelA, second.levelA);
    EXPECT_GT(second.levelA, 0);
    EXPECT_LT(second.levelA, 90);

    // Feed Comp/Lim A from input A, full range, band 2 from -50 dB at 2:1.
    const std::array<std::uint8_t, 1> source{1};
    const std::array<std::uint8_t, 1> fullRange{0x80 | 56};
    const std::array<std::uint8_t, 2> thresholdAndRatio{100, 5};
    ASSERT_EQ(SendImageBytes(link_, 0, 152, source), 1);
    ASSERT_EQ(SendImageBytes(link_, 0, 156, fullRange), 1);
    ASSERT_EQ(SendImageBytes(link_, 0, 167, thresholdAndRatio), 1);
    MeterRecord reduced;
    ASSERT_EQ(RequestStatus(link_, {kCompLimAOnly, {}}, kLevel0dB, kLevel0dB, reduced), 1);
    EXPECT_GE(reduced.reduction2[0], 8);  // the tone never drops below -42 dBFS: 4 dB or more
    EXPECT_EQ(reduced.reduction1[0], 0);  // full range uses band 2 only
    EXPECT_EQ(reduced.reduction2[1], 0);  // channel B's chain does not hold Comp/Lim A
    MeterRecord outOfChain;
    ASSERT_EQ(RequestStatus(link_, {}, kLevel0dB, kLevel0dB, outOfChain), 1);
    EXPECT_EQ(outOfChain.reduction2[0], 0);
}

TEST_F(DevsimLink, ContentFaultsReachTheDecoders) {
    Start({"--devices", "2,3,4", "--fault", "2:wrong-type", "--fault", "3:wrong-maker", "--fault",
           "4:old-firmware"});
    DeviceIdentity identity;
    link_.SetAddress(2);
    ASSERT_EQ(RequestIdentity(link_, identity), 1);
    EXPECT_EQ(identity.deviceType, 35);
    EXPECT_EQ(identity.manufacturer, kAcceptedManufacturer);
    link_.SetAddress(3);
    ASSERT_EQ(RequestIdentity(link_, identity), 1);
    EXPECT_EQ(identity.deviceType, kAcceptedDeviceType);
    EXPECT_EQ(identity.manufacturer, 57);
    link_.SetAddress(4);
    FirmwareInfo firmware;
    ASSERT_EQ(RequestFirmware(link_, firmware), 1);
    EXPECT_EQ(firmware.compatibilityLevel, 10);
    EXPECT_FALSE(IsCompatibilityLevelAccepted(firmware));
    EXPECT_TRUE(ui_.Questions().empty());
}

struct WireFaultCase {
    std::string fault;
    std::uint8_t command;
    int replyLength;
    bool probe;                  // needs the short time-out (nothing complete arrives)
    std::array<int, 4> numbers;  // -1: not compared
};

class DevsimWireFault : public DevsimLink, public ::testing::WithParamInterface<WireFaultCase> {};

TEST_P(DevsimWireFault, IsReportedWithItsErrorNumberAndAbortEndsTheExchange) {
    const WireFaultCase& c = GetParam();
    Start({"--devices", "1", "--fault", "1:" + c.fault, "--slow-ms", "300"});
    if (c.probe) ProbeTimeouts();
    std::vector<std::uint8_t> reply(static_cast<std::size_t>(c.replyLength));
    EXPECT_EQ(link_.Transact(c.command, nullptr, 0, reply.data(), c.replyLength), 0);
    ASSERT_EQ(ui_.Questions().size(), 1u);
    EXPECT_EQ(ui_.Questions()[0].buttons, ButtonSet::AbortRetryIgnore);
    const auto numbers = LastErrorNumbers();
    for (std::size_t i = 0; i < numbers.size(); ++i) {
        if (c.numbers[i] >= 0) {
            EXPECT_EQ(numbers[i], c.numbers[i]) << "field " << i;
        }
    }
    EXPECT_EQ(app_.IsOnline(), 0);  // Abort: the application is closing
    EXPECT_EQ(ui_.CloseRequests(), 1);
}

INSTANTIATE_TEST_SUITE_P(
    EveryWireFault, DevsimWireFault,
    ::testing::Values(WireFaultCase{"bad-checksum", CMD_IDENTIFY, 2, false, {67, 2, 1, 0}},
                      WireFaultCase{"bad-status", CMD_READ_STATUS, 16, false, {66, 35, 0x5A, 0}},
                      WireFaultCase{
                          "wrong-length", CMD_READ_DEVICE_INFO, 95, false, {65, 18, 97, 98}},
                      WireFaultCase{"no-reply", CMD_IDENTIFY, 2, true, {51, 2, 0, 0}},
                      WireFaultCase{"short-reply", CMD_READ_FIRMWARE, 8, true, {51, 36, 0, -1}},
                      WireFaultCase{"slow-reply", CMD_IDENTIFY, 2, true, {51, 2, 0, 0}}),
    [](const auto& info) {
        std::string name = info.param.fault;
        std::erase(name, '-');
        return name;
    });

TEST_F(DevsimLink, ShortReplyDeliversAtMostHalfTheBytes) {
    Start({"--devices", "1", "--fault", "1:short-reply"});
    ProbeTimeouts();
    std::array<std::uint8_t, 8> reply{};
    EXPECT_EQ(link_.Transact(CMD_READ_FIRMWARE, nullptr, 0, reply.data(), 8), 0);
    const auto numbers = LastErrorNumbers();
    EXPECT_EQ(numbers[0], 51);
    EXPECT_LE(numbers[3], 15 / 2);  // the read ended short of the 15 bytes asked for
}

TEST_F(DevsimLink, SlowReplyStillArrivesWithinTheNormalTimeout) {
    Start({"--devices", "1", "--fault", "1:slow-reply", "--slow-ms", "150"});
    const auto start = Clock::now();
    DeviceIdentity identity;
    ASSERT_EQ(RequestIdentity(link_, identity), 1);
    EXPECT_GE(Clock::now() - start, std::chrono::milliseconds(150));
    EXPECT_EQ(identity.deviceType, kAcceptedDeviceType);
    EXPECT_TRUE(ui_.Questions().empty());
}

TEST_F(DevsimLink, IgnoreTakesTheApplicationOffline) {
    Start({"--devices", "1", "--fault", "1:bad-checksum"});
    ui_.Push(UiAnswer::Ignore);
    MeterRecord meters;
    EXPECT_EQ(RequestStatus(link_, {}, kLevel0dB, kLevel0dB, meters), 0);
    EXPECT_EQ(app_.IsOnline(), 0);
    EXPECT_EQ(ui_.ViewCommands(), std::vector<CommandId>{CommandId::MeterRefresh});
    EXPECT_EQ(ui_.CloseRequests(), 0);
}

TEST_F(DevsimLink, RetrySendsTheRequestAgain) {
    const std::string log = devsim_it::TempPath("retry.log");
    Start({"--devices", "1", "--fault", "1:bad-status", "--log", log});
    ui_.Push(UiAnswer::Retry);
    ui_.Push(UiAnswer::Retry);
    ui_.Push(UiAnswer::Abort);
    EXPECT_EQ(SendBypass(link_, true, true), 0);
    EXPECT_EQ(ui_.Questions().size(), 3u);
    sim_.reset();  // flushes and closes the log
    std::ifstream in(log);
    std::string line;
    int requests = 0;
    while (std::getline(in, line)) {
        if (line.find(" rx ") != std::string::npos &&
            line.find("FB 01 00 03 96 03 64") != std::string::npos) {
            ++requests;
        }
    }
    EXPECT_EQ(requests, 3);
    std::remove(log.c_str());
}

TEST_F(DevsimLink, DeviceThatStopsAnsweringMidUpload) {
    Start({"--devices", "3", "--fault", "3:no-reply@5"});
    link_.SetAddress(3);
    std::vector<std::uint8_t> chunk(50, 0x5C);
    for (int i = 0; i < 5; ++i) {
        ASSERT_EQ(SendImageBytes(link_, 0, 50 * i, chunk), 1) << "chunk " << i;
    }
    ProbeTimeouts();
    EXPECT_EQ(SendImageBytes(link_, 1, 0, chunk), 0);
    EXPECT_EQ(LastErrorNumbers(), (std::array<int, 4>{51, CMD_WRITE_IMAGE, 0, 0}));
}

TEST_F(DevsimLink, RefusedRequestIsAStatusError) {
    Start({"--devices", "1"});
    // Image number 9 does not exist: the device answers with status 1 and the expected length.
    const std::array<std::uint8_t, 3> request{9, 0, 4};
    std::array<std::uint8_t, 4> reply{};
    EXPECT_EQ(link_.Transact(CMD_READ_IMAGE, request.data(), 3, reply.data(), 4), 0);
    EXPECT_EQ(LastErrorNumbers(), (std::array<int, 4>{66, CMD_READ_IMAGE, 1, 0}));
}

}  // namespace
}  // namespace arvestra
