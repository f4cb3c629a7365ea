// Discovery and the ways online and offline, against the simulated bus: what is found, what is
// asked, what is skipped, and that a failure the user answers with Ignore or Abort stops the
// scan instead of talking on to the remaining devices.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

#include "app/AppState.h"
#include "app/ErrorReporter.h"
#include "app/SystemClock.h"
#include "document/CQ7310Doc.h"
#include "document/GoOnline.h"
#include "document/LocationFileFormat.h"
#include "document/LocationFileTestDir.h"
#include "integration/DiscoverySimulator.h"
#include "support/ScriptedUi.h"

namespace arvestra {
namespace {

using testing::DevsimProcess;
using testing::RequestsByAddress;
using testing::ScratchDir;
using testing::TmpdirOverride;

constexpr char kContact[] =
    "If you cannot resolve this problem, please contact Korvanex and tell us this\nerror number: ";

class DiscoveryTest : public ::testing::Test {
  protected:
    DiscoveryTest()
        : tmpdir_(temp_.Path()),
          reporter_(app_, ui_),
          doc_(std::make_unique<CQ7310Doc>(reporter_, clock_)) {
        app_.SetActiveDocument(&doc_->Bus());
    }
    ~DiscoveryTest() override {
        app_.SetActiveDocument(nullptr);
        doc_.reset();  // joins the worker while the simulator still answers
    }

    // Starts the simulator with these options and points COM2 at it.
    void StartBus(const std::vector<std::string>& options) {
        sim_ = std::make_unique<DevsimProcess>(options, LogPath());
        ASSERT_FALSE(sim_->Path().empty()) << "arvestra-devsim did not start";
        doc_->Bus().Link().Ports().SetPath(2, sim_->Path());
    }
    std::string LogPath() const { return temp_.File("devsim.log"); }

    // An offline location whose devices are at these addresses, as a user would have made it.
    void MakeOfflineLocation(const std::vector<int>& addresses) {
        ASSERT_EQ(doc_->NewLocation(), 1);
        if (std::find(addresses.begin(), addresses.end(), 1) == addresses.end()) {
            for (int a : addresses) ASSERT_EQ(doc_->AddDevice(a), a);
            ASSERT_EQ(doc_->DeleteDevice(1), 1);
        } else {
            for (int a : addresses) {
                if (a != 1) {
                    ASSERT_EQ(doc_->AddDevice(a), a);
                }
            }
        }
    }

    int Slot(int address) { return doc_->Devices().Location().SlotOf(address); }
    std::vector<int> PresentAddresses() {
        std::vector<int> found;
        for (int a = 0; a < kAddressCount; ++a) {
            if (doc_->Devices().IsMarkedPresent(a)) found.push_back(a);
        }
        return found;
    }

    ScratchDir temp_;
    TmpdirOverride tmpdir_;
    AppState app_;
    arvestra::testing::ScriptedUi ui_;
    SystemClock clock_;
    ErrorReporter reporter_;
    std::unique_ptr<DevsimProcess> sim_;
    std::unique_ptr<CQ7310Doc> doc_;
};

TEST_F(DiscoveryTest, NewFileModeEntersDevicesAt3And7WithTheirNames) {
    StartBus({"--devices", "3,7"});
    GoOnline online(app_, *doc_);
    ASSERT_EQ(online.Run(GoOnlineChoice::kCreateNewLocationFile), 1);

    EXPECT_EQ(app_.IsOnline(), 1);
    EXPECT_EQ(Slot(3), 0);
    EXPECT_EQ(Slot(7), 1);
    EXPECT_EQ(PresentAddresses(), (std::vector<int>{3, 7}));
    for (int a = 0; a <= 126; ++a) {
        if (a != 3 && a != 7) {
            ASSERT_EQ(Slot(a), kNoDevice) << a;
        }
    }
    EXPECT_EQ(doc_->Devices().GetDeviceName(3), "Device 3");
    EXPECT_EQ(doc_->Devices().GetDeviceName(7), "Device 7");
    for (int slot : {0, 1}) {
        for (int preset = 1; preset <= 8; ++preset) {
            EXPECT_EQ(doc_->Devices().Location().PresetName(slot, preset),
                      "Preset " + std::to_string(preset));
        }
    }
    // Only the device opened for editing has its edit buffer read.
    EXPECT_EQ(doc_->Devices().CurrentAddress(), 3);
    const uint8_t* edit3 = doc_->Devices().Location().Image(0, 0);
    const uint8_t* edit7 = doc_->Devices().Location().Image(1, 0);
    EXPECT_TRUE(std::any_of(edit3, edit3 + 218, [](uint8_t b) { return b != 0; }));
    EXPECT_TRUE(std::all_of(edit7, edit7 + 218, [](uint8_t b) { return b == 0; }));
    EXPECT_TRUE(doc_->IsModified());
    EXPECT_TRUE(ui_.Questions().empty());
    EXPECT_TRUE(ui_.Information().empty());

    // Every absent address was probed exactly once.
    doc_->Bus().PauseWorker(false);
    auto requests = RequestsByAddress(LogPath());
    for (int a = 1; a <= 126; ++a) {
        if (a != 3 && a != 7) {
            ASSERT_EQ(requests[a], std::vector<int>{2}) << "address " << a;
        }
    }
}

class ReconcileMissingDevice : public DiscoveryTest, public ::testing::WithParamInterface<bool> {};

TEST_P(ReconcileMissingDevice, FileDeviceWithNothingThereIsOfferedForDeletion) {
    const bool deleteIt = GetParam();
    StartBus({"--devices", "1"});
    MakeOfflineLocation({1, 5});
    ui_.Push(deleteIt ? UiAnswer::Yes : UiAnswer::No);
    GoOnline online(app_, *doc_);
    ASSERT_EQ(online.Run(GoOnlineChoice::kDownloadToDevices), 1);

    ASSERT_EQ(ui_.Questions().size(), 1u);
    EXPECT_EQ(ui_.Questions()[0].text,
              "A device was found at address 5 in the location file, but not on the network; do "
              "you want to delete it from the location file?");
    EXPECT_EQ(ui_.Questions()[0].buttons, ButtonSet::YesNo);
    EXPECT_EQ(Slot(5) == kNoDevice, deleteIt);
    EXPECT_EQ(PresentAddresses(), std::vector<int>{1});
    EXPECT_EQ(doc_->Devices().CurrentAddress(), 1);
    EXPECT_EQ(app_.IsOnline(), 1);
}

INSTANTIATE_TEST_SUITE_P(Answers, ReconcileMissingDevice, ::testing::Bool());

TEST_F(DiscoveryTest, ReconcileOffersToAddADeviceMissingFromTheFile) {
    StartBus({"--devices", "1,6"});
    MakeOfflineLocation({1});
    ui_.Push(UiAnswer::Yes);
    GoOnline online(app_, *doc_);
    ASSERT_EQ(online.Run(GoOnlineChoice::kDownloadToDevices), 1);
    ASSERT_FALSE(ui_.Questions().empty());
    EXPECT_EQ(ui_.Questions()[0].text,
              "A device was found at address 6 on the network, but not in the location file; do "
              "you want to add it to the location file?");
    EXPECT_EQ(Slot(6), 1);
    EXPECT_EQ(PresentAddresses(), (std::vector<int>{1, 6}));
}

struct SkippedCase {
    const char* name;
    const char* fault;
    const char* information;
    bool entryStays;  // the table entry discovery wrote before the check
};

class SkippedDevice : public DiscoveryTest, public ::testing::WithParamInterface<SkippedCase> {};

TEST_P(SkippedDevice, IsReportedAndNotPresent) {
    StartBus({"--devices", "2,4", "--fault", GetParam().fault});
    GoOnline online(app_, *doc_);
    ASSERT_EQ(online.Run(GoOnlineChoice::kCreateNewLocationFile), 1);
    EXPECT_EQ(ui_.Information(), std::vector<std::string>{GetParam().information});
    EXPECT_EQ(PresentAddresses(), std::vector<int>{2});
    EXPECT_EQ(Slot(4) != kNoDevice, GetParam().entryStays);
    EXPECT_EQ(doc_->Devices().GetDeviceName(2), "Device 2");
}

INSTANTIATE_TEST_SUITE_P(
    Faults, SkippedDevice,
    ::testing::Values(
        SkippedCase{"WrongMaker", "4:wrong-maker",
                    "The device at address 4 reports an unknown Manufacturer Code of 57; this "
                    "device will be ignored.",
                    false},
        SkippedCase{"WrongType", "4:wrong-type",
                    "The device at address 4 reports an unknown Device Type of 35; this device "
                    "will be ignored.",
                    false},
        SkippedCase{"OldFirmware", "4:old-firmware",
                    "The device at address 4 has a version of firmware that is incompatible with "
                    "this version of Arvestra;\nthis device will be ignored.\n\nIf you cannot "
                    "resolve this problem, please contact Korvanex and tell us this\nerror "
                    "number: 161 - a - b - 0",
                    true}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(DiscoveryTest, NewFileModeEditsTheLowestAcceptedDeviceNotARejectedOne) {
    StartBus({"--devices", "2,4", "--fault", "2:old-firmware"});
    GoOnline online(app_, *doc_);
    ASSERT_EQ(online.Run(GoOnlineChoice::kCreateNewLocationFile), 1);
    EXPECT_EQ(PresentAddresses(), std::vector<int>{4});
    EXPECT_EQ(Slot(2), 0) << "the entry written before the firmware check stays in the file";
    EXPECT_EQ(doc_->Devices().CurrentAddress(), 4);
    doc_->Bus().PauseWorker(false);
    auto requests = RequestsByAddress(LogPath());
    EXPECT_EQ(requests[2], (std::vector<int>{2, 157, 36})) << "the rejected device is left alone";
}

class EmptyBus : public DiscoveryTest, public ::testing::WithParamInterface<bool> {};

TEST_P(EmptyBus, IsReportedAndLeavesADefaultDeviceOffline) {
    const bool continueOffline = GetParam();
    StartBus({"--devices", "9", "--fault", "9:no-reply"});
    ui_.Push(continueOffline ? UiAnswer::Yes : UiAnswer::No);
    GoOnline online(app_, *doc_);
    EXPECT_EQ(online.Run(GoOnlineChoice::kCreateNewLocationFile), 0);

    ASSERT_EQ(ui_.Questions().size(), 1u);
    EXPECT_EQ(ui_.Questions()[0].text,
              std::string("Error: No Devices were found to be connected to your computer.\n\nClick "
                          "Yes to continue working offline or click No to exit Arvestra.\n\n") +
                  kContact + "101 - 0 - 0 - 0");
    EXPECT_EQ(app_.IsOnline(), 0);
    EXPECT_FALSE(doc_->Bus().Link().IsOpen());
    EXPECT_EQ(ui_.CloseRequests(), continueOffline ? 0 : 1);
    EXPECT_EQ(Slot(1), 0);
    EXPECT_EQ(doc_->Devices().GetDeviceName(1), "No Device Name");
}

INSTANTIATE_TEST_SUITE_P(Answers, EmptyBus, ::testing::Bool());

struct StopCase {
    const char* name;
    std::vector<UiAnswer> answers;
    int identifiesAt2;  // how often address 2 was asked
    int closeRequests;
};

class FailureDuringScan : public DiscoveryTest, public ::testing::WithParamInterface<StopCase> {};

TEST_P(FailureDuringScan, EndsTheScanWhenTheUserLeaves) {
    StartBus({"--devices", "2,5", "--fault", "2:bad-checksum"});
    for (UiAnswer answer : GetParam().answers) ui_.Push(answer);
    GoOnline online(app_, *doc_);
    EXPECT_EQ(online.Run(GoOnlineChoice::kCreateNewLocationFile), 0);

    ASSERT_EQ(ui_.Questions().size(), GetParam().answers.size()) << "no further questions";
    EXPECT_NE(ui_.Questions()[0].text.find(std::string(kContact) + "43 - 2 - "), std::string::npos);
    EXPECT_EQ(ui_.Questions()[0].buttons, ButtonSet::AbortRetryIgnore);
    EXPECT_EQ(app_.IsOnline(), 0);
    EXPECT_EQ(ui_.CloseRequests(), GetParam().closeRequests);
    // Nothing from the bus entered the location; it holds the default device of a failed scan.
    EXPECT_EQ(Slot(2), kNoDevice);
    EXPECT_EQ(Slot(5), kNoDevice);
    EXPECT_EQ(doc_->Devices().GetDeviceName(1), "No Device Name");

    auto requests = RequestsByAddress(LogPath());
    EXPECT_EQ(requests[2], std::vector<int>(GetParam().identifiesAt2, 2));
    for (int a = 3; a <= 126; ++a) EXPECT_TRUE(requests[a].empty()) << "address " << a;
}

INSTANTIATE_TEST_SUITE_P(
    Answers, FailureDuringScan,
    ::testing::Values(StopCase{"Ignore", {UiAnswer::Ignore}, 1, 0},
                      StopCase{"Abort", {UiAnswer::Abort}, 1, 1},
                      StopCase{"RetryThenIgnore", {UiAnswer::Retry, UiAnswer::Ignore}, 2, 0}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(DiscoveryTest, UploadFromDevicesReplacesTheLocationWithTheBus) {
    StartBus({"--devices", "1,2"});
    MakeOfflineLocation({1, 40});
    doc_->SetDeviceName("Old name", 1);
    GoOnline online(app_, *doc_);
    ui_.Push(UiAnswer::Yes);
    EXPECT_TRUE(online.ConfirmUpload());
    EXPECT_EQ(ui_.Questions().back().text,
              "This action will overwrite the contents of the current location file; are you sure "
              "you want to do this?");
    ASSERT_EQ(online.Run(GoOnlineChoice::kUploadFromDevices), 1);
    EXPECT_EQ(PresentAddresses(), (std::vector<int>{1, 2}));
    EXPECT_EQ(Slot(40), kNoDevice);
    EXPECT_EQ(doc_->Devices().GetDeviceName(1), "Device 1");
    EXPECT_TRUE(doc_->IsModified());
    EXPECT_EQ(app_.IsOnline(), 1);
}

TEST_F(DiscoveryTest, DownloadToDevicesPutsTheFileIntoTheDevices) {
    StartBus({"--devices", "2,3"});
    MakeOfflineLocation({2, 3});
    doc_->SetDeviceName("Stage left", 2);
    doc_->Devices().Location().SetPresetName(Slot(3), 4, "Quiet night");
    GoOnline online(app_, *doc_);
    ASSERT_EQ(online.Run(GoOnlineChoice::kDownloadToDevices), 1);
    EXPECT_FALSE(doc_->IsModified());
    EXPECT_EQ(doc_->Devices().CurrentAddress(), 2) << "the lowest present address is selected";
    EXPECT_EQ(app_.IsOnline(), 1);

    // Offline and back online with a new file: the devices give back what was downloaded.
    ASSERT_EQ(online.GoOffline(), 1);
    ASSERT_EQ(online.Run(GoOnlineChoice::kCreateNewLocationFile), 1);
    EXPECT_EQ(doc_->Devices().GetDeviceName(2), "Stage left");
    EXPECT_EQ(doc_->Devices().Location().PresetName(Slot(3), 4), "Quiet night");
}

TEST_F(DiscoveryTest, IgnoreDuringTheDownloadLeavesTheRemainingDevicesAlone) {
    // Device 2 answers discovery (identify, MIDI debug, firmware) and then fails the download.
    StartBus({"--devices", "2,5", "--fault", "2:bad-status@3"});
    MakeOfflineLocation({2, 5});
    ui_.Push(UiAnswer::Ignore);
    GoOnline online(app_, *doc_);
    EXPECT_EQ(online.Run(GoOnlineChoice::kDownloadToDevices), 0);
    ASSERT_EQ(ui_.Questions().size(), 1u);
    EXPECT_NE(ui_.Questions()[0].text.find(std::string(kContact) + "42 - 94 - 5a - 0"),
              std::string::npos);
    EXPECT_EQ(app_.IsOnline(), 0);
    EXPECT_TRUE(doc_->IsModified()) << "the location was not downloaded";
    auto requests = RequestsByAddress(LogPath());
    EXPECT_EQ(requests[5], (std::vector<int>{2, 157, 36})) << "only discovery reached device 5";
}

TEST_F(DiscoveryTest, CreateNewSavesTheOfflineEditsNotTheDevicesSettings) {
    StartBus({"--devices", "1,2"});
    MakeOfflineLocation({1, 2});
    const std::string path = temp_.File("edited.kvx");
    ASSERT_EQ(doc_->SaveLocation(path), 1);
    // Edits made offline that the devices on the bus do not hold.
    doc_->SetDeviceName("Front of house", 2);
    doc_->Edits().Set(ParamField::InputLevel, 0, 150);
    doc_->Edits().Set(ParamField::EqGraphicGain, 1, 4, 7);
    ASSERT_TRUE(doc_->IsModified());
    const uint8_t* bytes = doc_->Devices().Location().Data();
    const std::vector<uint8_t> edited(bytes, bytes + UsedLength(doc_->Devices().Location()));

    FrameworkFileSteps steps;
    steps.saveModified = [&] {   // "Save changes?" answered Yes
        ui_.Push(UiAnswer::No);  // the modified preset is not stored into preset 1
        return doc_->SaveLocation(doc_->Session().Path()) == 1;
    };
    GoOnline online(app_, *doc_, steps);
    ASSERT_EQ(online.Run(GoOnlineChoice::kCreateNewLocationFile), 1);
    EXPECT_EQ(app_.IsOnline(), 1);
    EXPECT_TRUE(testing::ReadFileBytes(path) == edited) << "the file holds the offline edits";
}

struct OfflineCase {
    const char* name;
    UiAnswer answer;
    bool saveSucceeds;
    bool offline;  // expected result
    int saves;     // File Save runs
};

class GoingOffline : public DiscoveryTest, public ::testing::WithParamInterface<OfflineCase> {};

TEST_P(GoingOffline, AsksAboutAModifiedLocation) {
    StartBus({"--devices", "1"});
    int saves = 0;
    FrameworkFileSteps steps;
    steps.fileSave = [&] {
        ++saves;
        return GetParam().saveSucceeds;
    };
    GoOnline online(app_, *doc_, steps);
    ASSERT_EQ(online.Run(GoOnlineChoice::kCreateNewLocationFile), 1);
    ASSERT_TRUE(doc_->IsModified());

    ui_.Push(GetParam().answer);
    EXPECT_EQ(online.GoOffline(), GetParam().offline ? 1 : 0);
    ASSERT_EQ(ui_.Questions().size(), 1u);
    EXPECT_EQ(ui_.Questions()[0].text,
              "Do you want to upload settings from all Devices to the location file before going "
              "offline?");
    EXPECT_EQ(ui_.Questions()[0].buttons, ButtonSet::YesNoCancel);
    EXPECT_EQ(saves, GetParam().saves);
    EXPECT_EQ(app_.IsOnline(), GetParam().offline ? 0 : 1);
    EXPECT_EQ(doc_->Bus().Link().IsOpen(), !GetParam().offline);
}

INSTANTIATE_TEST_SUITE_P(Answers, GoingOffline,
                         ::testing::Values(OfflineCase{"Cancel", UiAnswer::Cancel, true, false, 0},
                                           OfflineCase{"No", UiAnswer::No, true, true, 0},
                                           OfflineCase{"YesAndSaved", UiAnswer::Yes, true, true, 1},
                                           OfflineCase{"YesButSaveFailed", UiAnswer::Yes, false,
                                                       false, 1}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(DiscoveryTest, GoingOfflineUnmodifiedAsksNothing) {
    StartBus({"--devices", "1"});
    MakeOfflineLocation({1});
    GoOnline online(app_, *doc_);
    ASSERT_EQ(online.Run(GoOnlineChoice::kDownloadToDevices), 1);
    ASSERT_FALSE(doc_->IsModified());
    EXPECT_EQ(online.GoOffline(), 1);
    EXPECT_TRUE(ui_.Questions().empty());
    EXPECT_EQ(app_.IsOnline(), 0);
}

TEST_F(DiscoveryTest, SavingWhileOnlineUploadsEveryDeviceIntoTheFile) {
    StartBus({"--devices", "4"});
    GoOnline online(app_, *doc_);
    ASSERT_EQ(online.Run(GoOnlineChoice::kCreateNewLocationFile), 1);
    // Preset images are not read by discovery; the save reads all nine from the device.
    EXPECT_EQ(doc_->Devices().Location().Image(0, 5)[0], 0);
    ASSERT_EQ(doc_->SaveLocation(temp_.File("online.kvx")), 1);
    const uint8_t* preset5 = doc_->Devices().Location().Image(0, 5);
    EXPECT_TRUE(std::any_of(preset5, preset5 + 218, [](uint8_t b) { return b != 0; }));
    EXPECT_EQ(std::filesystem::file_size(temp_.File("online.kvx")), 12290u);
}

}  // namespace
}  // namespace arvestra
