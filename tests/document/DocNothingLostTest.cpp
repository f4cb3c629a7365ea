// Paths where a user's edits or presets used to go astray while online: a preset stored on the
// device, edits made just before a store, the last bytes of the edit buffer, a selection made
// while the worker is stuck, an enabled worker with nothing to do, and a damaged file downloaded.
#include <sys/resource.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <thread>

#include "document/DocTestSupport.h"

namespace arvestra::testing {
namespace {

using PF = ParamField;
using namespace std::chrono_literals;

// An online document whose fake device holds the same images as the document's device 1.
struct DeviceInStep : DocBench {
    DeviceInStep() {
        for (int k = 0; k < 9; ++k) {
            const std::uint8_t* p = doc.Devices().Location().Image(0, k);
            std::copy(p, p + 256, device.images[static_cast<std::size_t>(k)].begin());
        }
        GoOnline();
        device.ClearRequests();
    }
    std::vector<std::uint8_t> DeviceImage(int image) {
        std::lock_guard<std::mutex> lock(device.mutex);
        const auto& bytes = device.images[static_cast<std::size_t>(image)];
        return std::vector<std::uint8_t>(bytes.begin(), bytes.begin() + 250);
    }
    std::vector<std::uint8_t> FileImage(int image) {
        std::vector<std::uint8_t> bytes = ImageOf(1, image);
        bytes.resize(250);
        return bytes;
    }
};

// ---- Storing a preset online ------------------------------------------------------------------

TEST(StoreOnline, KeepsTheStoredPresetInTheDocumentAndLeavesItModified) {
    DeviceInStep t;
    t.doc.Devices().Location().SetRecordInt(0, kRecCurrentPreset, 4);
    t.doc.Edits().Set(PF::LpCutoff, 0, 40);
    t.doc.SetModifiedFlag(false);  // as after a save
    ASSERT_EQ(t.doc.StorePreset(), 1);
    EXPECT_EQ(t.DeviceImage(4)[131], 40) << "the edit reached the device's preset";
    EXPECT_EQ(t.FileImage(4), t.DeviceImage(4)) << "the document's preset is what the device holds";
    EXPECT_TRUE(t.doc.IsModified()) << "closing offers to save the stored preset";
    EXPECT_EQ(t.doc.Devices().PresetModified(), 0);
}

TEST(StoreOnline, ALaterDownloadDoesNotRevertTheStoredPreset) {
    DeviceInStep t;
    t.doc.Devices().Location().SetRecordInt(0, kRecCurrentPreset, 2);
    t.doc.Edits().Set(PF::EqGraphicGain, 1, 5, 33);
    ASSERT_EQ(t.doc.StorePreset(), 1);
    const auto stored = t.DeviceImage(2);
    ASSERT_EQ(t.doc.DownloadDevice(), 1);
    EXPECT_EQ(t.DeviceImage(2), stored);
}

// ---- Pending edits before a store -------------------------------------------------------------

struct StoreWay {
    const char* name;
    int (*store)(DocBench& t);  // stores preset 3 of the current device
};

class EditJustBefore : public ::testing::TestWithParam<StoreWay> {};

TEST_P(EditJustBefore, IsInTheStoredPreset) {
    DeviceInStep t;
    t.doc.Devices().Location().SetRecordInt(0, kRecCurrentPreset, 3);
    // The worker is not enabled: nothing but the store itself can send the edit in time.
    t.doc.Edits().Set(PF::InputLevel, 1, 171);
    ASSERT_EQ(GetParam().store(t), 1);
    EXPECT_EQ(t.DeviceImage(3)[FieldInfo(PF::InputLevel).offsetB], 171);
    EXPECT_EQ(t.device.RequestsOf(CMD_STORE_PRESET).size(), 1u);
}

INSTANTIATE_TEST_SUITE_P(Ways, EditJustBefore,
                         ::testing::Values(StoreWay{"SaveCurrentPreset",
                                                    [](DocBench& t) {
                                                        return t.doc.StorePreset();
                                                    }},
                                           StoreWay{"RecallAnsweredYes",
                                                    [](DocBench& t) {
                                                        t.ui.Push(UiAnswer::Yes);
                                                        return t.doc.RecallPreset(5, true);
                                                    }}),
                         [](const auto& info) { return std::string(info.param.name); });

// ---- The last bytes of the edit buffer ------------------------------------------------------

TEST(Flush, SendsTheBytesOfTheWholeSlotUpTo255) {
    DeviceInStep t;
    std::uint8_t* image = t.doc.Edits().Data();
    for (int i = 248; i <= 255; ++i) image[i] = static_cast<std::uint8_t>(0xA0 + i - 248);
    t.doc.Edits().MarkDirty(248);
    t.doc.Edits().MarkDirty(255);
    ASSERT_EQ(t.doc.Bus().FlushDirty(), 1);
    const auto writes = t.device.RequestsOf(CMD_WRITE_IMAGE);
    ASSERT_EQ(writes.size(), 1u);
    EXPECT_EQ(writes[0].payload, (Bytes{0, 248, 0xA0, 0xA1, 0xA2, 0xA3, 0xA4, 0xA5, 0xA6, 0xA7}));
}

// ---- Selecting a device while the worker is stuck ----------------------------------------

TEST(SelectDevice, AfterAPauseTimeOutTheLinkStaysOnTheDeviceTheWorkerServes) {
    Gate gate;  // outlives the bench, whose worker may still call the hook
    DeviceInStep t;
    ASSERT_EQ(t.doc.AddDevice(2), 2);
    t.device.onRequest = [&gate](const Request& r) {
        if (r.command == CMD_READ_STATUS) gate.Wait();
    };
    t.doc.Bus().EnableSync();
    ASSERT_TRUE(gate.WaitEntered());
    t.clock.SetYieldStep(1000);
    t.ui.Push(UiAnswer::Yes);  // 321: continue
    t.doc.SelectDevice(2);
    EXPECT_EQ(t.doc.Devices().CurrentAddress(), 2);
    EXPECT_EQ(t.doc.Bus().Link().Address(), 1)
        << "the stuck exchange may still be retried to device 1";
    t.clock.SetYieldStep(1);
    gate.Open();
    ASSERT_TRUE(WaitUntil([&] { return t.doc.Bus().Worker().workerBusy.load() == 0; }));
    // Once the worker is idle, whoever has the link next talks to the selected device.
    const PauseResult pause = t.doc.Bus().PauseWorker(true);
    EXPECT_EQ(pause.ok, 1);
    EXPECT_EQ(t.doc.Bus().Link().Address(), 2);
}

// ---- An enabled worker with nothing to exchange ----------------------------------------------

// CPU time of the whole process, in milliseconds.
double ProcessCpuMs() {
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    return (usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1000.0 +
           (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1000.0;
}

struct IdleCase {
    const char* name;
    int syncLive;
    int statusPolling;
};

class EnabledButIdle : public ::testing::TestWithParam<IdleCase> {};

TEST_P(EnabledButIdle, SleepsInsteadOfSpinning) {
    DeviceInStep t;
    t.doc.Bus().SetSyncLive(GetParam().syncLive);
    t.doc.Bus().SetStatusPolling(GetParam().statusPolling);
    t.doc.Bus().EnableSync();
    std::this_thread::sleep_for(20ms);  // the worker is under way
    const std::size_t refreshesBefore = t.ui.ViewCommands().size();
    const double cpuBefore = ProcessCpuMs();
    std::this_thread::sleep_for(300ms);
    const double cpuUsed = ProcessCpuMs() - cpuBefore;
    // A spinning worker burns the whole 300 ms; one that naps uses a few milliseconds.
    EXPECT_LT(cpuUsed, 50.0);
    EXPECT_LT(t.ui.ViewCommands().size() - refreshesBefore, 60u) << "no flood of refreshes";
    EXPECT_TRUE(t.device.Requests().empty());
}

INSTANTIATE_TEST_SUITE_P(States, EnabledButIdle,
                         ::testing::Values(IdleCase{"NotLive", 0, 1},
                                           IdleCase{"NoPollingNothingDirty", 1, 0}),
                         [](const auto& info) { return std::string(info.param.name); });

// ---- Downloading a damaged file ---------------------------------------------------------------

TEST(Download, LimitsEveryImageToTheFieldRangesBeforeSendingIt) {
    DeviceInStep t;
    const FieldDescriptor& gain = FieldInfo(PF::EqGraphicGain);
    const int offset = gain.offsetB - gain.channelStride;  // channel A, band 0
    for (int k = 0; k < 9; ++k) t.doc.Devices().Location().Image(0, k)[offset] = 0xEE;
    ASSERT_EQ(t.doc.DownloadDevice(), 1);
    for (const Request& r : t.device.RequestsOf(CMD_WRITE_IMAGE)) {
        const int start = r.payload[1];
        if (start > offset || start + static_cast<int>(r.payload.size()) - 2 <= offset) continue;
        EXPECT_LE(r.payload[static_cast<std::size_t>(offset - start + 2)], gain.hi)
            << "image " << int(r.payload[0]);
    }
    for (int k = 0; k < 9; ++k) {
        EXPECT_LE(t.doc.Devices().Location().Image(0, k)[offset], gain.hi)
            << "the document matches";
    }
}

}  // namespace
}  // namespace arvestra::testing
