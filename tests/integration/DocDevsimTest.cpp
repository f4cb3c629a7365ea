// The location document online against arvestra-devsim on a pseudo-terminal: the worker, the
// handshake and the editing operations over the real serial code, each checked by reading the
// simulated device's state back afterwards.
#include <gtest/gtest.h>

#include <array>
#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "DevsimChild.h"
#include "app/AppState.h"
#include "app/ErrorReporter.h"
#include "app/SystemClock.h"
#include "document/CQ7310Doc.h"
#include "link/DeviceCommandsLink.h"
#include "support/ScriptedUi.h"

namespace arvestra {
namespace {

using devsim_it::DevsimChild;
using PF = ParamField;
using Image = std::array<std::uint8_t, kPresetImageSize>;

// Offsets where two images differ.
std::vector<int> Differences(const Image& a, const Image& b, std::size_t end = kPresetImageSize) {
    std::vector<int> out;
    for (std::size_t i = 0; i < end; ++i) {
        if (a[i] != b[i]) out.push_back(static_cast<int>(i));
    }
    return out;
}

bool WaitFor(const std::function<bool()>& condition, std::chrono::milliseconds limit) {
    const auto end = std::chrono::steady_clock::now() + limit;
    while (std::chrono::steady_clock::now() < end) {
        if (condition()) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return condition();
}

// A location with devices at the given addresses, taken online over a simulated bus that
// answers at the same addresses.
class DocOnDevsim : public ::testing::Test {
  protected:
    void Start(const std::vector<int>& addresses, const std::vector<std::string>& extra = {}) {
        std::string list;
        for (int a : addresses) list += (list.empty() ? "" : ",") + std::to_string(a);
        std::vector<std::string> options{"--devices", list};
        options.insert(options.end(), extra.begin(), extra.end());
        sim_ = std::make_unique<DevsimChild>(options);
        ASSERT_FALSE(sim_->FirstLine().empty()) << "the simulator did not start";
        doc_.Bus().Link().Ports().SetPath(2, sim_->FirstLine());
        doc_.Bus().Link().SetPortNumber(2);
        doc_.Bus().Link().SetBaudRate(38400);
        for (int a : addresses) ASSERT_EQ(doc_.AddDevice(a), a);
        doc_.SetEditingStarted(true);
        doc_.SelectDevice(addresses.front());
        app_.SetActiveDocument(&doc_.Bus());
        app_.SetOnline(1);
        ASSERT_TRUE(doc_.Bus().Link().IsOpen());
        for (int a : addresses) doc_.Devices().SetPresent(a, true);
        ASSERT_EQ(doc_.Bus().StartWorker(), 1);
    }
    void TearDown() override { app_.SetActiveDocument(nullptr); }

    // Reads 250 bytes of an image straight from a device, with the worker paused.
    Image DeviceImage(int address, int image) {
        Image bytes{};
        const PauseResult pause = doc_.Bus().PauseWorker(true);
        EXPECT_EQ(pause.ok, 1);
        const int selected = doc_.Bus().Link().Address();
        doc_.Bus().Link().SetAddress(address);
        EXPECT_EQ(RequestImageBytes(doc_.Bus().Link(), image, 0, bytes), 1);
        doc_.Bus().Link().SetAddress(selected);
        doc_.Bus().ResumeWorker(pause.saved);
        return bytes;
    }
    DeviceInfo DeviceInformation(int address) {
        DeviceInfo info;
        const PauseResult pause = doc_.Bus().PauseWorker(true);
        const int selected = doc_.Bus().Link().Address();
        doc_.Bus().Link().SetAddress(address);
        EXPECT_EQ(RequestDeviceInfo(doc_.Bus().Link(), info), 1);
        doc_.Bus().Link().SetAddress(selected);
        doc_.Bus().ResumeWorker(pause.saved);
        return info;
    }
    Image FileImage(int address, int image) {
        Image bytes{};
        const std::uint8_t* p =
            doc_.Devices().Location().Image(doc_.Devices().Location().SlotOf(address), image);
        std::copy(p, p + kPresetImageSize, bytes.begin());
        return bytes;
    }

    AppState app_;
    testing::ScriptedUi ui_;
    SystemClock clock_;
    ErrorReporter reporter_{app_, ui_};
    std::unique_ptr<DevsimChild> sim_;
    CQ7310Doc doc_{reporter_, clock_};
};

TEST_F(DocOnDevsim, EditsReachTheDeviceThroughTheWorker) {
    Start({1});
    doc_.Bus().EnableSync();
    doc_.Edits().Set(PF::EqGraphicGain, 0, 3, 55);
    doc_.Edits().Set(PF::ClThreshold, 1, 1, 150);
    doc_.Edits().SetDelaySamples(0, 12345);
    ASSERT_EQ(doc_.Bus().WaitDirtyFlushed(), 1);
    const Image device = DeviceImage(1, 0);
    // The parameters agree; the names differ since the file's edit buffer was made offline.
    EXPECT_EQ(Differences(device, FileImage(1, 0), kNameOffset), std::vector<int>{});
    EXPECT_EQ(device[7], 55);
    EXPECT_EQ(device[186], 150);
    EXPECT_TRUE(ui_.Questions().empty());
}

TEST_F(DocOnDevsim, ManyEditsWithPausesInBetweenEndEqualOnBothSides) {
    Start({1});
    doc_.Bus().EnableSync();
    for (int round = 0; round < 200; ++round) {
        doc_.Edits().Set(PF::EqGraphicGain, round % 2, round % 31, round % 61);
        doc_.Edits().Set(PF::OutputLevel, round % 2, 152 + round % 80);
        if (round % 20 == 0) {
            const PauseResult pause = doc_.Bus().PauseWorker(true);
            ASSERT_EQ(pause.ok, 1);
            doc_.Bus().ResumeWorker(pause.saved);
        }
    }
    ASSERT_EQ(doc_.Bus().WaitDirtyFlushed(), 1);
    EXPECT_EQ(Differences(DeviceImage(1, 0), FileImage(1, 0), kNameOffset), std::vector<int>{});
    EXPECT_TRUE(WaitFor([&] { return !ui_.ViewCommands().empty(); }, std::chrono::seconds(5)));
}

TEST_F(DocOnDevsim, StoreAndRecallWithReadBack) {
    Start({1});
    doc_.Bus().EnableSync();
    doc_.Devices().Location().SetRecordInt(0, kRecCurrentPreset, 2);
    doc_.Edits().Set(PF::LpCutoff, 0, 40);
    ASSERT_EQ(doc_.Bus().WaitDirtyFlushed(), 1);
    ASSERT_EQ(doc_.StorePreset(), 1);
    EXPECT_EQ(DeviceImage(1, 2)[131], 40);
    ASSERT_EQ(doc_.RecallPreset(5, true), 1);
    EXPECT_EQ(doc_.Edits().Get(PF::LpCutoff, 0), 100);
    EXPECT_EQ(doc_.Bus().DevicePreset(), 5);
    ASSERT_EQ(doc_.RecallPreset(2, true), 1);
    EXPECT_EQ(doc_.Edits().Get(PF::LpCutoff, 0), 40);
    EXPECT_EQ(doc_.Devices().CurrentPreset(), 2);
    EXPECT_EQ(DeviceImage(1, 0), FileImage(1, 0));
}

// A preset that holds a linked block whose channels differ (stored by an older editor or at the
// device) is made consistent when it is read back after a recall; the device must get the same
// bytes, or a later store keeps one version in the device and another in the file.
TEST_F(DocOnDevsim, BytesTheReadBackChangesReachTheDevice) {
    Start({1});
    doc_.Bus().EnableSync();
    // Preset 3 of the device: the equaliser linked on channel A, band 5 of channel B unlike A's.
    Image inconsistent = FileImage(1, 0);
    const FieldDescriptor& master = FieldInfo(PF::EqMaster);
    inconsistent[static_cast<std::size_t>(FieldOffset(PF::EqMaster, kChannelA))] |=
        static_cast<std::uint8_t>(master.mask);
    const auto bandA = static_cast<std::size_t>(FieldOffset(PF::EqGraphicGain, kChannelA, 4));
    const auto bandB = static_cast<std::size_t>(FieldOffset(PF::EqGraphicGain, kChannelB, 4));
    inconsistent[bandA] = 10;
    inconsistent[bandB] = 50;
    const PauseResult pause = doc_.Bus().PauseWorker(true);
    ASSERT_EQ(SendImageBytes(doc_.Bus().Link(), 3, 0, inconsistent), 1);
    doc_.Bus().ResumeWorker(pause.saved);

    ASSERT_EQ(doc_.RecallPreset(3, true), 1);
    EXPECT_EQ(doc_.Edits().Get(PF::EqGraphicGain, kChannelB, 4),
              10);  // the link applied on reading
    ASSERT_EQ(doc_.Bus().WaitDirtyFlushed(), 1);
    EXPECT_EQ(Differences(DeviceImage(1, 0), FileImage(1, 0)), std::vector<int>{});
}

// A chain slot and a palette position given codes no block has, then a store, a recall with
// read-back and another store: the stored preset is the same on the device and in the file.
TEST_F(DocOnDevsim, BlocklessChainCodesLeaveStoredPresetsEqual) {
    Start({1});
    doc_.Bus().EnableSync();
    doc_.Devices().Location().SetRecordInt(0, kRecCurrentPreset, 6);
    doc_.Edits().Set(PF::ChainSlot, 0, 13, 10);
    doc_.Edits().Set(PF::PalettePosition, 0, 6, 9);
    ASSERT_EQ(doc_.StorePreset(), 1);
    ASSERT_EQ(doc_.RecallPreset(6, true), 1);
    ASSERT_EQ(doc_.StorePreset(), 1);
    ASSERT_EQ(doc_.Bus().WaitDirtyFlushed(), 1);
    EXPECT_EQ(Differences(DeviceImage(1, 6), FileImage(1, 6), kNameOffset), std::vector<int>{});
    EXPECT_EQ(Differences(DeviceImage(1, 0), FileImage(1, 0), kNameOffset), std::vector<int>{});
}

TEST_F(DocOnDevsim, NamesAndBypassReachTheDevice) {
    Start({1, 3});
    ASSERT_EQ(doc_.SetDeviceName("Delay Tower", 3), 1);
    ASSERT_EQ(doc_.SetBypass(kChannelB, true), 1);
    ASSERT_EQ(doc_.SetPresetName("Sermon"), 1);
    const DeviceInfo three = DeviceInformation(3);
    EXPECT_EQ(three.name, "Delay Tower");
    const DeviceInfo one = DeviceInformation(1);
    EXPECT_TRUE(one.bypassB);
    EXPECT_FALSE(one.bypassA);
    const Image preset1 = DeviceImage(1, 1);
    EXPECT_EQ(std::string(preset1.begin() + 218, preset1.begin() + 224), "Sermon");
    EXPECT_EQ(doc_.Devices().CurrentAddress(), 1);
}

TEST_F(DocOnDevsim, DownloadThenUploadRoundTrip) {
    Start({3});
    doc_.Bus().SetSyncLive(0);
    for (int k = 0; k < 9; ++k)
        doc_.Devices().Location().Image(0, k)[4] = static_cast<std::uint8_t>(k + 20);
    doc_.Devices().Location().SetRecordInt(0, kRecCurrentPreset, 4);
    doc_.Devices().Location().SetDeviceName(0, "Downloaded");
    ASSERT_EQ(doc_.DownloadDevice(), 1);
    for (int k = 0; k < 9; ++k) EXPECT_EQ(DeviceImage(3, k), FileImage(3, k)) << k;
    EXPECT_EQ(DeviceInformation(3).name, "Downloaded");
    EXPECT_EQ(DeviceInformation(3).currentPreset, 4);

    // Change the device behind the file's back, then upload.
    const PauseResult pause = doc_.Bus().PauseWorker(true);
    const std::array<std::uint8_t, 1> gain{33};
    ASSERT_EQ(SendImageBytes(doc_.Bus().Link(), 6, 4, gain), 1);
    doc_.Bus().ResumeWorker(pause.saved);
    ASSERT_EQ(doc_.UploadAllDevices(), 1);
    EXPECT_EQ(FileImage(3, 6)[4], 33);
    EXPECT_EQ(doc_.Edits().Data(), doc_.Devices().Location().Image(0, 0));
}

TEST_F(DocOnDevsim, RecallOnAllDevicesReachesAddress126) {
    Start({1, 17, 126});
    ASSERT_EQ(doc_.RecallPresetOnAllDevices(7), 1);
    for (int a : {1, 17, 126}) EXPECT_EQ(DeviceInformation(a).currentPreset, 7) << a;
    EXPECT_EQ(doc_.Devices().CurrentAddress(), 1);
}

TEST_F(DocOnDevsim, SwitchingDevicesSendsPendingEditsToTheDeviceLeft) {
    Start({1, 3});
    doc_.Edits().Set(PF::InputLevel, 1, 170);  // worker not enabled: the edit waits
    doc_.SelectDevice(3);
    EXPECT_EQ(DeviceImage(1, 0)[143], 170);
    EXPECT_EQ(DeviceImage(3, 0)[143], 192);
}

TEST_F(DocOnDevsim, FactoryInitialiseRestoresTheDevice) {
    Start({1});
    const PauseResult pause = doc_.Bus().PauseWorker(true);
    const std::array<std::uint8_t, 1> q{2};
    ASSERT_EQ(SendImageBytes(doc_.Bus().Link(), 3, 3, q), 1);
    doc_.Bus().ResumeWorker(pause.saved);
    ASSERT_EQ(doc_.FactoryInitialise(), 1);
    EXPECT_EQ(DeviceImage(1, 3)[3], 6);
    EXPECT_EQ(doc_.Devices().CurrentPreset(), 1);
}

TEST_F(DocOnDevsim, FailedPollLeavesTheWorkerIdleAndTheApplicationOffline) {
    Start({1, 3}, {"--fault", "3:bad-status"});
    doc_.SelectDevice(3);
    ui_.Push(UiAnswer::Ignore);
    doc_.Bus().EnableSync();
    ASSERT_TRUE(WaitFor([&] { return doc_.Bus().Worker().syncEnabled.load() == 0; },
                        std::chrono::seconds(10)));
    EXPECT_TRUE(WaitFor([&] { return doc_.Bus().Worker().workerBusy.load() == 0; },
                        std::chrono::seconds(10)));
    EXPECT_EQ(app_.IsOnline(), 0);
    ASSERT_EQ(ui_.Questions().size(), 1u);
    EXPECT_NE(ui_.Questions()[0].text.find("error number: 42 - 23 - 5a - 0"), std::string::npos)
        << ui_.Questions()[0].text;
    // The view's refresh handler then takes the application offline formally.
    app_.SetOnline(0);
    EXPECT_FALSE(doc_.Bus().Link().IsOpen());
}

}  // namespace
}  // namespace arvestra
