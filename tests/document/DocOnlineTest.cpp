// Location model operations while online, against the fake device on a fake port: what is
// sent, in which order, to which address, and what the document keeps afterwards.
#include <gtest/gtest.h>

#include <atomic>

#include "document/DocTestSupport.h"
#include "document/LocationFileTestDir.h"

namespace arvestra::testing {
namespace {

using PF = ParamField;

// An online document whose fake device holds the same images as the document's device 1.
struct OnlineDoc : DocBench {
    OnlineDoc() {
        for (int k = 0; k < 9; ++k) {
            const std::uint8_t* p = doc.Devices().Location().Image(0, k);
            std::copy(p, p + 256, device.images[static_cast<std::size_t>(k)].begin());
        }
        GoOnline();
        device.ClearRequests();
    }
    std::vector<int> Commands() {
        std::vector<int> out;
        for (const Request& r : device.Requests()) out.push_back(r.command);
        return out;
    }
};

TEST(Online, RecallWithReadBackTakesTheDevicesEditBuffer) {
    OnlineDoc t;
    t.device.images[3][4] = 17;  // preset 3 differs from the file in graphic band 0 of A
    ASSERT_EQ(t.doc.RecallPreset(3, true), 1);
    EXPECT_EQ(t.device.preset, 3);
    EXPECT_EQ(t.doc.Devices().CurrentPreset(), 3);
    EXPECT_EQ(t.doc.Edits().Get(PF::EqGraphicGain, 0, 0), 17);
    EXPECT_EQ(t.doc.Bus().DevicePreset(), 3);
    const auto commands = t.Commands();
    ASSERT_GE(commands.size(), 3u);
    EXPECT_EQ(commands[0], CMD_RECALL_PRESET);
    EXPECT_EQ(commands[1], CMD_READ_IMAGE);
    EXPECT_EQ(commands[2], CMD_READ_STATUS);
    EXPECT_EQ(t.device.RequestsOf(CMD_READ_IMAGE)[0].payload, (Bytes{0, 0, 250}));
}

TEST(Online, RecallWaitsAtMostAboutASecondForTheDevice) {
    OnlineDoc t;
    t.device.silentCommands = {};
    // The device keeps reporting preset 1 although asked for 5.
    t.device.onRequest = [&t](const Request& r) {
        if (r.command == CMD_RECALL_PRESET) {
            std::lock_guard<std::mutex> lock(t.device.mutex);
            t.device.preset = 1;
        }
    };
    t.clock.SetYieldStep(100);
    const std::int64_t start = t.clock.NowSeconds();
    ASSERT_EQ(t.doc.RecallPreset(5, false), 1);
    const std::int64_t waited = t.clock.NowSeconds() - start;
    EXPECT_GE(waited, 2);
    EXPECT_LE(waited, 3);
    EXPECT_GT(t.device.RequestsOf(CMD_READ_STATUS).size(), 5u);
    t.device.onRequest = nullptr;
}

TEST(Online, SaveAnsweredYesButStoreFailingRecallsNothing) {
    OnlineDoc t;
    t.doc.Edits().Set(PF::EqGraphicGain, 0, 0, 3);
    const auto edited = t.ImageOf(1, 0);
    t.device.silentCommands = {CMD_STORE_PRESET};
    t.ui.Push(UiAnswer::Yes);     // save the modified preset
    t.ui.Push(UiAnswer::Ignore);  // the store fails: continue offline
    EXPECT_EQ(t.doc.RecallPreset(2, true), 0);
    EXPECT_TRUE(t.device.RequestsOf(CMD_RECALL_PRESET).empty());
    EXPECT_EQ(t.doc.Devices().CurrentPreset(), 1);
    EXPECT_EQ(t.ImageOf(1, 0), edited);
    EXPECT_EQ(t.doc.Devices().PresetModified(), 1);
}

TEST(Online, StoreSendsThePresetNumberAndKeepsTheStoredPresetInTheFile) {
    OnlineDoc t;
    t.doc.Devices().Location().SetRecordInt(0, kRecCurrentPreset, 6);
    t.doc.Edits().Set(PF::EqGraphicGain, 0, 0, 3);
    ASSERT_EQ(t.doc.StorePreset(), 1);
    const auto stores = t.device.RequestsOf(CMD_STORE_PRESET);
    ASSERT_EQ(stores.size(), 1u);
    EXPECT_EQ(stores[0].payload, (Bytes{6}));
    EXPECT_EQ(t.ImageOf(1, 6), t.ImageOf(1, 0));
    EXPECT_EQ(t.doc.Devices().PresetModified(), 0);
}

TEST(Online, SelectingAnotherDeviceSendsPendingEditsToTheOneLeft) {
    OnlineDoc t;
    ASSERT_EQ(t.doc.AddDevice(2), 2);
    t.device.ClearRequests();
    t.doc.Edits().Set(PF::InputLevel, 0, 170);  // pending for device 1; the worker is not enabled
    t.doc.SelectDevice(2);
    const auto writes = t.device.RequestsOf(CMD_WRITE_IMAGE);
    ASSERT_EQ(writes.size(), 1u);
    EXPECT_EQ(writes[0].address, 1);
    EXPECT_EQ(writes[0].payload, (Bytes{0, 142, 170}));
    const auto range = t.doc.Edits().DirtyRange();
    EXPECT_LT(range.second, range.first);
    EXPECT_EQ(t.doc.Bus().Link().Address(), 2);
}

TEST(Online, PendingEditsGoToTheDeviceLeftWhereverTheLinkPointed) {
    OnlineDoc t;
    ASSERT_EQ(t.doc.AddDevice(2), 2);
    t.device.ClearRequests();
    t.doc.Edits().Set(PF::InputLevel, 0, 170);  // pending for device 1
    t.doc.Bus().Link().SetAddress(7);           // as a scan leaves it
    t.doc.SelectDevice(2);
    const auto writes = t.device.RequestsOf(CMD_WRITE_IMAGE);
    ASSERT_EQ(writes.size(), 1u);
    EXPECT_EQ(writes[0].address, 1);
    EXPECT_EQ(t.doc.Bus().Link().Address(), 2);
}

TEST(Online, DeviceNameIsSentOnlyWhileLive) {
    OnlineDoc t;
    ASSERT_EQ(t.doc.SetDeviceName("Front of House"), 1);
    ASSERT_EQ(t.device.RequestsOf(CMD_WRITE_DEVICE_NAME).size(), 1u);
    EXPECT_EQ(t.device.name, "Front of House");
    t.doc.Bus().SetSyncLive(0);
    ASSERT_EQ(t.doc.SetDeviceName("Monitors"), 1);
    EXPECT_EQ(t.device.RequestsOf(CMD_WRITE_DEVICE_NAME).size(), 1u);
    EXPECT_EQ(t.doc.Devices().GetDeviceName(1), "Monitors");
}

TEST(Online, PresetNameIsWrittenIntoThePresetsImage) {
    OnlineDoc t;
    t.doc.Devices().Location().SetRecordInt(0, kRecCurrentPreset, 4);
    ASSERT_EQ(t.doc.SetPresetName("Choir"), 1);
    const auto writes = t.device.RequestsOf(CMD_WRITE_IMAGE);
    ASSERT_EQ(writes.size(), 1u);
    EXPECT_EQ(writes[0].payload.size(), 34u);
    EXPECT_EQ(writes[0].payload[0], 4);
    EXPECT_EQ(writes[0].payload[1], 218);
    EXPECT_EQ(std::string(t.device.images[4].begin() + 218, t.device.images[4].begin() + 223),
              "Choir");
}

TEST(Online, BypassSendsBothFlags) {
    OnlineDoc t;
    ASSERT_EQ(t.doc.SetBypass(kChannelB, true), 1);
    ASSERT_EQ(t.doc.SetBypass(kChannelA, true), 1);
    ASSERT_EQ(t.doc.SetBypass(kChannelB, false), 1);
    const auto sent = t.device.RequestsOf(CMD_SET_BYPASS);
    ASSERT_EQ(sent.size(), 3u);
    EXPECT_EQ(sent[0].payload, (Bytes{2}));
    EXPECT_EQ(sent[1].payload, (Bytes{3}));
    EXPECT_EQ(sent[2].payload, (Bytes{1}));
}

TEST(Online, ReadDeviceInfoTakesNameClampedPresetAndBypass) {
    OnlineDoc t;
    t.device.name = "Balcony";
    t.device.preset = 0;  // a device reporting 0 runs preset 1
    t.device.bypassBits = 2;
    ASSERT_EQ(t.doc.ReadDeviceInfo(), 1);
    EXPECT_EQ(t.doc.Devices().GetDeviceName(1), "Balcony");
    EXPECT_EQ(t.doc.Devices().CurrentPreset(), 1);
    EXPECT_EQ(t.doc.Devices().BypassA(), 0);
    EXPECT_EQ(t.doc.Devices().BypassB(), 1);
    EXPECT_TRUE(t.device.RequestsOf(CMD_WRITE_DEVICE_NAME).empty()) << "the rename is not echoed";
    EXPECT_EQ(t.device.RequestsOf(CMD_SET_BYPASS).size(), 2u);
    EXPECT_EQ(t.doc.Bus().IsSyncLive(), 1);
}

TEST(Online, ReadImageChecksWhatTheDeviceSent) {
    OnlineDoc t;
    t.device.images[0][200] = 9;  // chain slot 4 holds an invalid code
    t.device.images[0][142] = 3;  // input level A below its range
    ASSERT_EQ(t.doc.ReadImage(0), 1);
    EXPECT_EQ(t.doc.Edits().Get(PF::ChainSlot, 0, 4), 0);
    EXPECT_EQ(t.doc.Edits().Get(PF::InputLevel, 0), 152);
    const auto range = t.doc.Edits().DirtyRange();
    EXPECT_LT(range.second, range.first) << "nothing read is sent back";
}

TEST(Online, UploadDeviceReadsAllNineImagesAndEditsTheEditBufferAfterwards) {
    OnlineDoc t;
    for (int k = 0; k < 9; ++k)
        t.device.images[static_cast<std::size_t>(k)][4] = static_cast<std::uint8_t>(k + 1);
    ASSERT_EQ(t.doc.UploadDevice(), 1);
    for (int k = 0; k < 9; ++k) EXPECT_EQ(t.ImageOf(1, k)[4], k + 1) << k;
    EXPECT_EQ(t.doc.Edits().Data(), t.doc.Devices().Location().Image(0, 0));
    EXPECT_EQ(t.device.RequestsOf(CMD_READ_IMAGE).size(), 9u);
}

TEST(Online, UploadAllDevicesStopsOnceTheApplicationWentOffline) {
    OnlineDoc t;
    ASSERT_EQ(t.doc.AddDevice(2), 2);
    ASSERT_EQ(t.doc.AddDevice(3), 3);
    t.doc.Devices().SetPresent(2, true);
    t.doc.Devices().SetPresent(3, true);
    t.device.ClearRequests();
    t.device.silentCommands = {CMD_READ_DEVICE_INFO};
    t.ui.Push(UiAnswer::Ignore);
    EXPECT_EQ(t.doc.UploadAllDevices(), 0);
    EXPECT_EQ(t.device.RequestsOf(CMD_READ_DEVICE_INFO).size(), 1u);
    EXPECT_EQ(t.ui.Questions().size(), 1u);
    EXPECT_EQ(t.doc.Devices().CurrentAddress(), 1);
}

TEST(Online, UploadAllDevicesDoesNothingOffline) {
    DocBench t;
    EXPECT_EQ(t.doc.UploadAllDevices(), 1);
    EXPECT_TRUE(t.device.Requests().empty());
}

TEST(Online, DownloadDeviceFollowsTheDownloadSequence) {
    OnlineDoc t;
    t.doc.Devices().Location().SetRecordInt(0, kRecBypassB, 1);
    t.doc.Devices().Location().SetRecordInt(0, kRecCurrentPreset, 3);
    t.doc.Devices().Location().Image(0, 5)[4] = 44;
    t.doc.Bus().SetSyncLive(0);
    ASSERT_EQ(t.doc.DownloadDevice(), 1);
    EXPECT_EQ(t.doc.Bus().IsSyncLive(), 0) << "syncLive is put back";
    std::vector<int> expected = {CMD_WRITE_DEVICE_NAME, CMD_SET_BYPASS, CMD_WRITE_IMAGE,
                                 CMD_RECALL_PRESET};
    const auto commands = t.Commands();
    ASSERT_GE(commands.size(), 4u + 9u + 1u);
    EXPECT_EQ(std::vector<int>(commands.begin(), commands.begin() + 4), expected);
    std::vector<Bytes> writes;
    for (const Request& r : t.device.RequestsOf(CMD_WRITE_IMAGE)) writes.push_back(r.payload);
    ASSERT_EQ(writes.size(), 10u);
    EXPECT_EQ(writes[0][0], 3) << "the edit buffer goes to the current preset first";
    for (int n = 0; n < 9; ++n) {
        EXPECT_EQ(writes[static_cast<std::size_t>(n + 1)][0], n);
        EXPECT_EQ(writes[static_cast<std::size_t>(n + 1)].size(), 252u);
    }
    EXPECT_EQ(t.device.images[5][4], 44);
    EXPECT_EQ(commands.back(), CMD_SET_BYPASS) << "the clear flag is sent last";
    EXPECT_EQ(t.device.bypassBits, 2);
    EXPECT_EQ(t.device.preset, 3);
}

TEST(Online, FactoryInitialiseStoresTwiceThenReadsBack) {
    OnlineDoc t;
    ASSERT_EQ(t.doc.FactoryInitialise(), 1);
    const auto stores = t.device.RequestsOf(CMD_STORE_PRESET);
    ASSERT_EQ(stores.size(), 2u);
    EXPECT_EQ(stores[0].payload, (Bytes{255}));
    EXPECT_EQ(stores[1].payload, (Bytes{255}));
    EXPECT_EQ(t.device.RequestsOf(CMD_READ_DEVICE_INFO).size(), 1u);
    EXPECT_EQ(t.device.RequestsOf(CMD_RECALL_PRESET).size(), 1u);
    EXPECT_EQ(t.ui.WaitCursor(), (std::vector<bool>{true, false}));
    EXPECT_EQ(t.ui.ViewUpdates().back(), ViewHint::Loaded);
}

TEST(Online, MidiDebugIsRememberedAndSent) {
    OnlineDoc t;
    ASSERT_EQ(t.doc.Bus().SetMidiDebug(5), 1);
    EXPECT_EQ(t.doc.Bus().MidiDebug(), 1);
    EXPECT_EQ(t.device.midiDebug, 1);
}

TEST(Online, EditDeviceReadsInfoAndEditBuffer) {
    OnlineDoc t;
    t.device.name = "Stage";
    t.device.images[0][3] = 9;
    ASSERT_EQ(t.doc.EditDevice(1), 1);
    EXPECT_EQ(t.doc.Devices().GetDeviceName(1), "Stage");
    EXPECT_EQ(t.doc.Edits().Get(PF::EqGraphicQ, 0), 9);
    EXPECT_TRUE(t.doc.EditingStarted());
}

TEST(Online, FailedExchangeLeavesTheWorkerPaused) {
    OnlineDoc t;
    t.doc.Bus().EnableSync();
    t.device.silentCommands = {CMD_SET_BYPASS};
    t.ui.Push(UiAnswer::Ignore);
    EXPECT_EQ(t.doc.SetBypass(kChannelA, true), 0);
    EXPECT_EQ(t.doc.Bus().Worker().syncEnabled.load(), 0);
}

// A meter refresh posted before an upload runs after it: devicePreset must not then hold the
// preset the last uploaded device reported, or the view would recall that preset on the device
// being edited.
TEST(Online, UploadingAllDevicesForgetsThePresetTheLastOneReported) {
    OnlineDoc t;
    ASSERT_EQ(t.doc.AddDevice(2), 2);
    t.doc.Devices().SetPresent(2, true);
    t.ports.Script().responder = [&t](const Bytes& wire) {
        Request r;
        if (ParseRequest(wire, r)) {
            std::lock_guard<std::mutex> lock(t.device.mutex);
            t.device.preset = r.address == 1 ? 2 : 6;
        }
        return t.device.Answer(wire);
    };
    ASSERT_EQ(t.doc.UploadAllDevices(), 1);
    EXPECT_EQ(t.doc.Devices().CurrentAddress(), 1);
    EXPECT_EQ(t.doc.Devices().CurrentPreset(), 2);
    EXPECT_EQ(t.doc.Bus().DevicePreset(), 0) << "unknown until device 1 reports again";
}

struct BindCase {
    const char* name;
    int select;        // the address selected after device 1 reported preset 5
    int devicePreset;  // afterwards
};

class SelectReported : public ::testing::TestWithParam<BindCase> {};

TEST_P(SelectReported, KeepsTheReportOnlyForTheSameDevice) {
    const BindCase& c = GetParam();
    OnlineDoc t;
    ASSERT_EQ(t.doc.AddDevice(2), 2);
    t.doc.Bus().SetDevicePreset(5);
    t.doc.SelectDevice(c.select);
    EXPECT_EQ(t.doc.Bus().DevicePreset(), c.devicePreset);
}

INSTANTIATE_TEST_SUITE_P(Devices, SelectReported,
                         ::testing::Values(BindCase{"SameDevice", 1, 5},
                                           BindCase{"AnotherDevice", 2, 0}),
                         [](const auto& info) { return std::string(info.param.name); });

// AddDevice online writes the table entry, then talks to the new device. A failed exchange
// (answered "continue offline") must not leave a half-made device in the location.
class AddDeviceFailing : public ::testing::TestWithParam<int> {};

TEST_P(AddDeviceFailing, LeavesNoDeviceBehind) {
    OnlineDoc t;
    t.device.silentCommands = {GetParam()};
    t.ui.Push(UiAnswer::Ignore);
    EXPECT_EQ(t.doc.AddDevice(5), -1);
    EXPECT_EQ(t.doc.Devices().Location().SlotOf(5), kNoDevice);
    EXPECT_EQ(t.doc.Devices().FirstFreeSlot(), 1);
    EXPECT_EQ(t.doc.Devices().CurrentAddress(), 1);
    EXPECT_EQ(t.doc.Devices().CurrentSlot(), 0);
    EXPECT_EQ(t.app.IsOnline(), 0);
    EXPECT_EQ(t.ui.Questions().size(), 1u) << "one failure, one box";
}

INSTANTIATE_TEST_SUITE_P(Commands, AddDeviceFailing,
                         ::testing::Values(CMD_WRITE_DEVICE_NAME, CMD_SET_BYPASS, CMD_WRITE_IMAGE,
                                           CMD_RECALL_PRESET, CMD_READ_IMAGE, CMD_READ_STATUS));

// A device read on the user-interface thread fails in the middle of a save that paused a running
// worker, and the user chooses to continue offline: the save's resume must leave the worker
// idle, or it would poll the dead device and raise a second error box.
TEST(Online, SaveWhoseUploadFailsWithIgnoreLeavesTheWorkerIdle) {
    ScratchDir dir;
    std::atomic<bool> dead{false};  // outlives the bench, whose worker may still call the port
    OnlineDoc t;
    t.ports.Script().responder = [&t, &dead](const Bytes& wire) {
        Request r;
        if (ParseRequest(wire, r) && r.command == CMD_READ_DEVICE_INFO) dead = true;
        return dead ? Bytes{} : t.device.Answer(wire);
    };
    t.doc.Bus().EnableSync();
    ASSERT_TRUE(WaitUntil([&] { return !t.device.RequestsOf(CMD_READ_STATUS).empty(); }));
    t.ui.Push(UiAnswer::Ignore);
    EXPECT_EQ(t.doc.SaveLocation(dir.File("site.kvx")), 1);
    EXPECT_EQ(t.app.IsOnline(), 0);
    EXPECT_EQ(t.doc.Bus().Worker().syncEnabled.load(), 0);
    std::this_thread::sleep_for(std::chrono::milliseconds(250));
    ASSERT_EQ(t.ui.Questions().size(), 1u) << "no second box from the worker";
    EXPECT_EQ(t.ui.Questions()[0].buttons, ButtonSet::AbortRetryIgnore);
}

struct ResumeCase {
    const char* name;
    int online;
    int saved;
    int enabled;  // syncEnabled afterwards
};

class ResumeWorker : public ::testing::TestWithParam<ResumeCase> {};

TEST_P(ResumeWorker, WakesTheWorkerOnlyWhileOnline) {
    const ResumeCase& c = GetParam();
    DocBench t;
    t.app.SetOnline(c.online);  // no active document: only the flag changes
    t.doc.Bus().ResumeWorker(c.saved);
    EXPECT_EQ(t.doc.Bus().Worker().syncEnabled.load(), c.enabled);
}

INSTANTIATE_TEST_SUITE_P(States, ResumeWorker,
                         ::testing::Values(ResumeCase{"OnlineEnabled", 1, 1, 1},
                                           ResumeCase{"OnlinePaused", 1, 0, 0},
                                           ResumeCase{"OfflineEnabled", 0, 1, 0},
                                           ResumeCase{"OfflinePaused", 0, 0, 0}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace arvestra::testing
