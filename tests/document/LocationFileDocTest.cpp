// The document's Location File operations, offline: new, open, save and close, the version
// conversion with each answer, and the failures that must leave the user's file and document
// whole.
#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>

#include "app/AppState.h"
#include "app/ErrorReporter.h"
#include "document/CQ7310Doc.h"
#include "document/FileStepFaults.h"
#include "document/LocationFileTestDir.h"
#include "document/WorkingCopy.h"
#include "support/FakeClock.h"
#include "support/ScriptedUi.h"

namespace arvestra {
namespace {

using testing::ReadFileBytes;
using testing::ScratchDir;
using testing::TmpdirOverride;
using testing::WriteFileBytes;

constexpr char kCorrupt[] =
    "Error: The location file that you are trying to open has been corrupted or is not really a "
    "location file. Please open another location file or create a new one.";

uint32_t WordAt(const std::vector<uint8_t>& bytes, std::size_t offset) {
    uint32_t value = 0;
    for (int i = 3; i >= 0; --i) value = value << 8 | bytes.at(offset + i);
    return value;
}

std::string FormatHex(int n) {
    char text[16];
    std::snprintf(text, sizeof text, "%x", static_cast<unsigned>(n));
    return text;
}

int32_t EntryAt(const std::vector<uint8_t>& bytes, int address) {
    return static_cast<int32_t>(WordAt(bytes, kAddressTableOffset + 4 * address));
}

// A location built byte by byte, independent of the document's own code.
struct FileImage {
    std::vector<uint8_t> bytes = std::vector<uint8_t>(kLocationSize);
    CLocationImage location{CLocationImage::Bytes(bytes.data(), kLocationSize)};

    FileImage() { location.FormatNew(); }
    void AddDevice(int address, int slot, const std::string& name) {
        location.SetSlotOf(address, slot);
        location.SetDeviceName(slot, name);
        location.SetRecordInt(slot, kRecCurrentPreset, 1);
    }
    // The first `length` bytes, as a saved file would hold them.
    std::vector<uint8_t> Cut(std::size_t length) const {
        return std::vector<uint8_t>(bytes.begin(), bytes.begin() + length);
    }
};

class LocationFileDocTest : public ::testing::Test {
  protected:
    LocationFileDocTest() : tmpdir_(temp_.Path()), reporter_(app_, ui_), doc_(reporter_, clock_) {
        app_.SetActiveDocument(&doc_.Bus());
    }
    ~LocationFileDocTest() override {
        app_.SetActiveDocument(nullptr);
        FileStepFaults::Clear();
    }

    // The visible state of the document, to show that a failure left it alone.
    struct Snapshot {
        std::string pathName;
        std::string tempPath;
        std::vector<uint8_t> bytes;
        bool modified;
        int currentAddress;
        bool operator==(const Snapshot&) const = default;
    };
    Snapshot Take() {
        const uint8_t* data = doc_.Devices().Location().Data();
        return {doc_.Session().Path(), doc_.Session().TempPath(),
                std::vector<uint8_t>(data, data + kLocationSize), doc_.IsModified(),
                doc_.Devices().CurrentAddress()};
    }

    // An open document at `path` holding devices "Hall" at 1 and "Foyer" at 4, with edits.
    void OpenEditedDocument(const std::string& path) {
        FileImage file;
        file.AddDevice(1, 0, "Hall");
        file.AddDevice(4, 1, "Foyer");
        WriteFileBytes(path, file.Cut(16388));
        ASSERT_EQ(doc_.OpenLocation(path), 1);
        doc_.SetDeviceName("Hall renamed", 1);
        ASSERT_TRUE(doc_.IsModified());
    }

    std::string LastQuestionText() {
        auto questions = ui_.Questions();
        return questions.empty() ? std::string() : questions.back().text;
    }

    ScratchDir temp_;
    ScratchDir files_;
    TmpdirOverride tmpdir_;
    AppState app_;
    arvestra::testing::ScriptedUi ui_;
    arvestra::testing::FakeClock clock_;
    ErrorReporter reporter_;
    CQ7310Doc doc_;
};

TEST_F(LocationFileDocTest, NewOfflineLocationSavedAtOnceIs12290Bytes) {
    ASSERT_EQ(doc_.NewLocation(), 1);
    ASSERT_EQ(doc_.SaveLocation(files_.File("new.kvx")), 1);
    std::vector<uint8_t> saved = ReadFileBytes(files_.File("new.kvx"));
    ASSERT_EQ(saved.size(), 12290u);
    EXPECT_EQ(std::memcmp(saved.data(), "kvx\0", 4), 0);
    EXPECT_EQ(WordAt(saved, 4), 1u);
    EXPECT_EQ(WordAt(saved, 8), 0x80000002u);
    EXPECT_EQ(EntryAt(saved, 0), -1);
    EXPECT_EQ(EntryAt(saved, 1), 0);
    for (int address = 2; address <= 126; ++address) ASSERT_EQ(EntryAt(saved, address), -1);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(&saved[8192])), "No Device Name");
    EXPECT_FALSE(doc_.IsModified());
    EXPECT_EQ(doc_.Session().Path(), files_.File("new.kvx"));
}

TEST_F(LocationFileDocTest, NewLocationLivesInAKvxWorkingCopyThatIsDeletedOnClose) {
    ASSERT_EQ(doc_.NewLocation(), 1);
    const std::string working = doc_.Session().TempPath();
    EXPECT_EQ(working.rfind(temp_.Path() + "/kvx", 0), 0u) << working;
    EXPECT_EQ(std::filesystem::file_size(working), kLocationSize);
    EXPECT_EQ(doc_.Devices().GetDeviceName(1), "No Device Name");
    doc_.CloseLocation();
    EXPECT_FALSE(std::filesystem::exists(working));
    EXPECT_TRUE(doc_.Session().TempPath().empty());
}

TEST_F(LocationFileDocTest, OpeningAnotherFileDeletesThePreviousWorkingCopy) {
    ASSERT_EQ(doc_.NewLocation(), 1);
    const std::string first = doc_.Session().TempPath();
    ASSERT_EQ(doc_.SaveLocation(files_.File("a.kvx")), 1);
    ASSERT_EQ(doc_.OpenLocation(files_.File("a.kvx")), 1);
    EXPECT_NE(doc_.Session().TempPath(), first);
    EXPECT_FALSE(std::filesystem::exists(first));
    EXPECT_EQ(temp_.Entries().size(), 1u);
}

TEST_F(LocationFileDocTest, SavedFileOpensWithTheSameDevicesAndImages) {
    ASSERT_EQ(doc_.NewLocation(), 1);
    ASSERT_EQ(doc_.AddDevice(9), 9);
    doc_.SetDeviceName("Balcony", 9);
    std::vector<uint8_t> before(doc_.Devices().Location().Data(),
                                doc_.Devices().Location().Data() + kLocationSize);
    ASSERT_EQ(doc_.SaveLocation(files_.File("b.kvx")), 1);
    EXPECT_EQ(ReadFileBytes(files_.File("b.kvx")).size(), 16388u);

    ASSERT_EQ(doc_.NewLocation(), 1);
    ASSERT_EQ(doc_.OpenLocation(files_.File("b.kvx")), 1);
    EXPECT_EQ(doc_.Devices().GetDeviceName(9), "Balcony");
    EXPECT_EQ(doc_.Devices().CurrentAddress(), 1) << "the first present device is selected";
    EXPECT_FALSE(doc_.IsModified());
    EXPECT_EQ(std::memcmp(doc_.Devices().Location().Data(), before.data(), 16388), 0);
    EXPECT_EQ(ui_.ViewUpdates().back(), ViewHint::Loaded);
}

struct ShortFileCase {
    const char* name;
    std::size_t length;
};

class ShorterFile : public LocationFileDocTest,
                    public ::testing::WithParamInterface<ShortFileCase> {};

TEST_P(ShorterFile, OpensWithTheMissingBytesReadAsZero) {
    FileImage file;
    file.AddDevice(1, 0, "Stage");
    file.AddDevice(2, 3, "Lobby");  // record 3 lies past the end of every cut below
    std::fill_n(file.location.Record(3), kDeviceRecordSize, uint8_t{0x77});
    file.AddDevice(2, 3, "Lobby");
    WriteFileBytes(files_.File("s.kvx"), file.Cut(GetParam().length));

    ASSERT_EQ(doc_.OpenLocation(files_.File("s.kvx")), 1);
    EXPECT_EQ(doc_.Devices().GetDeviceName(1), GetParam().length >= 8192 + 33 ? "Stage" : "");
    const uint8_t* record3 = doc_.Devices().Location().Record(3);
    EXPECT_TRUE(
        std::all_of(record3, record3 + kDeviceRecordSize, [](uint8_t b) { return b == 0; }));
    EXPECT_TRUE(doc_.Devices().IsDevicePresent(2));
}

INSTANTIATE_TEST_SUITE_P(Lengths, ShorterFile,
                         ::testing::Values(ShortFileCase{"HeaderOnly", 8192},
                                           ShortFileCase{"InsideTheFirstRecord", 9000},
                                           ShortFileCase{"OneRecord", 12290},
                                           ShortFileCase{"ThreeRecords", 8192 + 3 * 4098}),
                         [](const auto& info) { return std::string(info.param.name); });

struct RefusedCase {
    const char* name;
    std::size_t cutTo;  // file length (0: whole location)
    long patchAt;       // offset of a 32-bit word to overwrite (-1: none)
    uint32_t patch;
    const char* number;  // the error number as shown
};

class RefusedFile : public LocationFileDocTest,
                    public ::testing::WithParamInterface<RefusedCase> {};

TEST_P(RefusedFile, IsReportedAndTheDocumentStaysAsItWas) {
    const RefusedCase& c = GetParam();
    OpenEditedDocument(files_.File("mine.kvx"));
    const Snapshot before = Take();

    FileImage bad;
    bad.AddDevice(1, 0, "Bad");
    if (c.patchAt >= 0) std::memcpy(bad.bytes.data() + c.patchAt, &c.patch, 4);
    WriteFileBytes(files_.File("bad.kvx"), bad.Cut(c.cutTo != 0 ? c.cutTo : kLocationSize));

    EXPECT_EQ(doc_.OpenLocation(files_.File("bad.kvx")), 0);
    EXPECT_EQ(LastQuestionText(), std::string(kCorrupt) +
                                      "\n\nIf you cannot resolve this problem, please contact "
                                      "Korvanex and tell us this\nerror number: " +
                                      c.number);
    ASSERT_FALSE(ui_.Questions().empty());
    EXPECT_EQ(ui_.Questions().back().icon, IconKind::Stop);
    EXPECT_EQ(ui_.CloseRequests(), 1) << "file errors close the application";
    EXPECT_TRUE(Take() == before) << "the document the user had is untouched";
    EXPECT_TRUE(std::filesystem::exists(before.tempPath));
    EXPECT_EQ(temp_.Entries().size(), 1u) << "the refused copy is deleted";
}

INSTANTIATE_TEST_SUITE_P(
    Files, RefusedFile,
    ::testing::Values(
        RefusedCase{"BadMagic", 0, 0, 0x0078766Cu, "127 - 0 - 0 - 0"},
        RefusedCase{"FormatWordTwo", 0, 4, 2, "128 - 0 - 0 - 0"},
        RefusedCase{"UnknownVersion", 0, 8, 0x80000003u, "129 - 0 - 0 - 0"},
        RefusedCase{"EmptyFile", 1, -1, 0, "127 - 0 - 0 - 0"},
        RefusedCase{"CutInsideTheAddressTable", 4200, -1, 0, "12a - 1068 - 2000 - 0"},
        RefusedCase{"CutJustBeforeTheRecords", 8191, -1, 0, "12a - 1fff - 2000 - 0"},
        RefusedCase{"EntryPastTheLastSlot", 0, 4096 + 4 * 17, 127, "12b - 11 - 7f - 0"},
        RefusedCase{"NegativeEntry", 0, 4096 + 4 * 126, 0xFFFFFFF0u, "12b - 7e - fffffff0 - 0"},
        RefusedCase{"HugeEntryAtAddressZero", 0, 4096, 0x7FFFFFFFu, "12b - 0 - 7fffffff - 0"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(LocationFileDocTest, MissingFileIsReportedAs291) {
    OpenEditedDocument(files_.File("mine.kvx"));
    const Snapshot before = Take();
    EXPECT_EQ(doc_.OpenLocation(files_.File("gone.kvx")), 0);
    EXPECT_EQ(LastQuestionText(),
              "Error: Cannot save temporary file.\nPlease make sure that there is enough room "
              "available on the disk.\n\nIf you cannot resolve this problem, please contact "
              "Korvanex and tell us this\nerror number: 123 - 2 - 0 - 0");
    EXPECT_TRUE(Take() == before);
}

struct MapStepCase {
    int step;
    const char* text;
};

class WorkingCopyStep : public LocationFileDocTest,
                        public ::testing::WithParamInterface<MapStepCase> {};

TEST_P(WorkingCopyStep, FailureOfNewIsReportedWithItsNumberAndKeepsTheDocument) {
    OpenEditedDocument(files_.File("mine.kvx"));
    const Snapshot before = Take();
    FileStepFaults::FailNext(GetParam().step, ENOSPC);
    EXPECT_EQ(doc_.NewLocation(), 0);
    EXPECT_EQ(LastQuestionText(), std::string(GetParam().text) +
                                      "\nPlease make sure that there is enough room available on "
                                      "the disk.\n\nIf you cannot resolve this problem, please "
                                      "contact Korvanex and tell us this\nerror number: " +
                                      FormatHex(GetParam().step) + " - 1c - 0 - 0");
    EXPECT_TRUE(Take() == before);
}

INSTANTIATE_TEST_SUITE_P(Steps, WorkingCopyStep,
                         ::testing::Values(MapStepCase{289, "Error: Cannot save temporary file."},
                                           MapStepCase{290, "Error: Cannot save temporary file."},
                                           MapStepCase{292, "Error: Cannot create new file."},
                                           MapStepCase{293, "Error: Cannot create new file."},
                                           MapStepCase{294, "Error: Cannot create new file."}));

// A file of the older version with devices at addresses 2 (slot 0) and 5 (slot 3).
std::vector<uint8_t> OldVersionFile() {
    FileImage file;
    file.location.SetHeaderWord(kVersionOffset, kVersionOld);
    file.AddDevice(2, 0, "Left");
    file.AddDevice(5, 3, "Right");
    const uint8_t gains0[4] = {10, 20, 30, 40};
    const uint8_t gains3[4] = {11, 21, 31, 41};
    std::memcpy(file.location.Record(0) + kRecLegacyGains, gains0, 4);
    std::memcpy(file.location.Record(3) + kRecLegacyGains, gains3, 4);
    return file.Cut(8192 + 4 * 4098);
}

const char kOldVersionQuestion[] =
    " was created with an older version of Arvestra. Click Yes to convert it to the current "
    "version, click No to attempt to use it as it is, or click Cancel to exit Arvestra.\n\nNote: "
    "Clicking No will probably result in incorrect gain settings.";

TEST_F(LocationFileDocTest, OldVersionAnsweredYesIsConvertedAndSavedAsCurrent) {
    WriteFileBytes(files_.File("old.kvx"), OldVersionFile());
    ui_.Push(UiAnswer::Yes);
    ASSERT_EQ(doc_.OpenLocation(files_.File("old.kvx")), 1);
    auto question = ui_.Questions().at(0);
    EXPECT_EQ(question.text, "The location file " + files_.File("old.kvx") + kOldVersionQuestion);
    EXPECT_EQ(question.buttons, ButtonSet::YesNoCancel);
    EXPECT_EQ(question.icon, IconKind::Warning);
    for (int image = 0; image < kImageCount; ++image) {
        EXPECT_EQ(doc_.Devices().Location().Image(0, image)[142], 10);
        EXPECT_EQ(doc_.Devices().Location().Image(0, image)[143], 20);
        EXPECT_EQ(doc_.Devices().Location().Image(0, image)[191], 30);
        EXPECT_EQ(doc_.Devices().Location().Image(0, image)[193], 40);
        EXPECT_EQ(doc_.Devices().Location().Image(3, image)[193], 41);
    }
    EXPECT_EQ(ReadFileBytes(files_.File("old.kvx")), OldVersionFile()) << "only the copy changes";
    ASSERT_EQ(doc_.SaveLocation(files_.File("old.kvx")), 1);
    EXPECT_EQ(WordAt(ReadFileBytes(files_.File("old.kvx")), 8), 0x80000002u);
}

TEST_F(LocationFileDocTest, OldVersionAnsweredNoIsUsedAsItIsAndSavedSo) {
    WriteFileBytes(files_.File("old.kvx"), OldVersionFile());
    ui_.Push(UiAnswer::No);
    ASSERT_EQ(doc_.OpenLocation(files_.File("old.kvx")), 1);
    EXPECT_EQ(doc_.Devices().Location().Image(0, 1)[142], 0);
    EXPECT_EQ(doc_.Devices().GetDeviceName(5), "Right");
    ASSERT_EQ(doc_.SaveLocation(files_.File("kept.kvx")), 1);
    std::vector<uint8_t> saved = ReadFileBytes(files_.File("kept.kvx"));
    EXPECT_EQ(WordAt(saved, 8), 0x80000001u);
    EXPECT_EQ(saved, OldVersionFile());
}

TEST_F(LocationFileDocTest, OldVersionAnsweredCancelClosesAndKeepsTheDocument) {
    OpenEditedDocument(files_.File("mine.kvx"));
    const Snapshot before = Take();
    WriteFileBytes(files_.File("old.kvx"), OldVersionFile());
    ui_.Push(UiAnswer::Cancel);
    EXPECT_EQ(doc_.OpenLocation(files_.File("old.kvx")), 0);
    EXPECT_EQ(ui_.CloseRequests(), 1);
    EXPECT_TRUE(Take() == before);
}

TEST_F(LocationFileDocTest, DeletingTheHighestSlotShortensTheSavedFile) {
    ASSERT_EQ(doc_.NewLocation(), 1);
    ASSERT_EQ(doc_.AddDevice(2), 2);
    ASSERT_EQ(doc_.AddDevice(3), 3);
    ASSERT_EQ(doc_.SaveLocation(files_.File("d.kvx")), 1);
    EXPECT_EQ(ReadFileBytes(files_.File("d.kvx")).size(), 8192u + 3 * 4098);
    ASSERT_EQ(doc_.DeleteDevice(3), 1);
    ASSERT_EQ(doc_.SaveLocation(files_.File("d.kvx")), 1);
    EXPECT_EQ(ReadFileBytes(files_.File("d.kvx")).size(), 8192u + 2 * 4098);
    ASSERT_EQ(doc_.DeleteDevice(2), 1);
    ASSERT_EQ(doc_.DeleteDevice(1), 1);
    ASSERT_EQ(doc_.SaveLocation(files_.File("d.kvx")), 1);
    EXPECT_EQ(ReadFileBytes(files_.File("d.kvx")).size(), 12290u)
        << "an empty table keeps one record";
}

TEST_F(LocationFileDocTest, DeletingALowerSlotKeepsTheLength) {
    ASSERT_EQ(doc_.NewLocation(), 1);
    ASSERT_EQ(doc_.AddDevice(2), 2);
    ASSERT_EQ(doc_.DeleteDevice(1), 1);
    ASSERT_EQ(doc_.SaveLocation(files_.File("d.kvx")), 1);
    EXPECT_EQ(ReadFileBytes(files_.File("d.kvx")).size(), 8192u + 2 * 4098);
}

struct SaveFaultCase {
    const char* name;
    int step;
    const char* number;
};

class FailedSave : public LocationFileDocTest,
                   public ::testing::WithParamInterface<SaveFaultCase> {};

TEST_P(FailedSave, LeavesTheOldFileWholeAndTheDocumentOpenAndModified) {
    OpenEditedDocument(files_.File("mine.kvx"));
    const std::vector<uint8_t> onDisk = ReadFileBytes(files_.File("mine.kvx"));
    const Snapshot before = Take();

    FileStepFaults::FailNext(GetParam().step, ENOSPC);
    EXPECT_EQ(doc_.SaveLocation(files_.File("mine.kvx")), 0);

    EXPECT_EQ(LastQuestionText(), "Error: Cannot save file " + files_.File("mine.kvx") +
                                      ".\nPlease make sure that there is enough room available "
                                      "on the disk.\n\nIf you cannot resolve this problem, please "
                                      "contact Korvanex and tell us this\nerror number: " +
                                      GetParam().number);
    ASSERT_FALSE(ui_.Questions().empty());
    EXPECT_EQ(ui_.Questions().back().buttons, ButtonSet::Ok);
    EXPECT_EQ(ui_.CloseRequests(), 0) << "a failed save does not close the application";
    EXPECT_EQ(ReadFileBytes(files_.File("mine.kvx")), onDisk);
    EXPECT_EQ(files_.Entries(), std::vector<std::string>{"mine.kvx"});
    EXPECT_TRUE(doc_.IsModified());
    EXPECT_TRUE(Take() == before);

    // The user saves elsewhere and nothing was lost.
    ASSERT_EQ(doc_.SaveLocation(files_.File("elsewhere.kvx")), 1);
    EXPECT_FALSE(doc_.IsModified());
    ASSERT_EQ(doc_.OpenLocation(files_.File("elsewhere.kvx")), 1);
    EXPECT_EQ(doc_.Devices().GetDeviceName(1), "Hall renamed");
}

INSTANTIATE_TEST_SUITE_P(
    Steps, FailedSave,
    ::testing::Values(SaveFaultCase{"CreatingTheFile", 273, "111 - 1c - 0 - 0"},
                      SaveFaultCase{"FlushingTheWorkingCopy", 274, "112 - 1c - 0 - 0"},
                      SaveFaultCase{"WritingTheFile", 275, "113 - 1c - 0 - 0"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(LocationFileDocTest, SaveIntoAMissingDirectoryFailsWith273) {
    ASSERT_EQ(doc_.NewLocation(), 1);
    EXPECT_EQ(doc_.SaveLocation(files_.File("no/such/dir.kvx")), 0);
    EXPECT_NE(LastQuestionText().find("error number: 111 - 2 - 0 - 0"), std::string::npos);
    EXPECT_TRUE(doc_.Session().Path().empty()) << "the path is taken over only when saved";
}

TEST_F(LocationFileDocTest, TableWithoutDevicesGetsOneDefaultDevice) {
    FileImage file;
    file.location.SetSlotOf(0, 2);  // address 0 is never a device
    WriteFileBytes(files_.File("empty.kvx"), file.Cut(12290));
    ASSERT_EQ(doc_.OpenLocation(files_.File("empty.kvx")), 1);
    EXPECT_EQ(doc_.Devices().CurrentAddress(), 1);
    EXPECT_EQ(doc_.Devices().GetDeviceName(1), "No Device Name");
    EXPECT_EQ(doc_.Devices().CountPresentDevices(), 1);
    EXPECT_TRUE(doc_.IsModified()) << "the document differs from its file";
}

TEST_F(LocationFileDocTest, SaveAsksAboutAModifiedPresetAndStoresItOnYes) {
    ASSERT_EQ(doc_.NewLocation(), 1);
    doc_.Devices().SetPresetModified(1);
    doc_.Edits().Data()[5] ^= 0xFF;
    ui_.Push(UiAnswer::Yes);
    ASSERT_EQ(doc_.SaveLocation(files_.File("p.kvx")), 1);
    EXPECT_EQ(ui_.Questions().at(0).text,
              "The current preset has been modified, do you want to save it?");
    EXPECT_EQ(ui_.Questions().at(0).buttons, ButtonSet::YesNo);
    EXPECT_EQ(doc_.Devices().PresetModified(), 0);
    const int preset = doc_.Devices().CurrentPreset();
    EXPECT_EQ(doc_.Devices().Location().Image(0, preset)[5],
              doc_.Devices().Location().Image(0, 0)[5]);
}

TEST_F(LocationFileDocTest, SaveKeepsTheFilesPermissions) {
    OpenEditedDocument(files_.File("mine.kvx"));
    ASSERT_EQ(::chmod(files_.File("mine.kvx").c_str(), 0640), 0);
    ASSERT_EQ(doc_.SaveLocation(files_.File("mine.kvx")), 1);
    EXPECT_EQ(testing::ModeOf(files_.File("mine.kvx")), 0640u);
}

TEST_F(LocationFileDocTest, ReadOnlyFileIsRefusedWithTheSaveErrorAndTheDocumentStaysModified) {
    OpenEditedDocument(files_.File("kept.kvx"));
    const auto before = testing::ReadFileBytes(files_.File("kept.kvx"));
    ASSERT_EQ(::chmod(files_.File("kept.kvx").c_str(), 0444), 0);
    doc_.SetModifiedFlag(true);
    EXPECT_EQ(doc_.SaveLocation(files_.File("kept.kvx")), 0);
    EXPECT_NE(LastQuestionText().find("Error: Cannot save file " + files_.File("kept.kvx")),
              std::string::npos);
    EXPECT_NE(LastQuestionText().find("error number: 111 - d - 0 - 0"), std::string::npos);
    EXPECT_EQ(testing::ReadFileBytes(files_.File("kept.kvx")), before);
    EXPECT_TRUE(doc_.IsModified());
}

TEST_F(LocationFileDocTest, OpenTakesTheApplicationOffline) {
    FileImage file;
    file.AddDevice(1, 0, "A");
    WriteFileBytes(files_.File("a.kvx"), file.Cut(12290));
    app_.SetActiveDocument(nullptr);  // online without opening a port
    app_.SetOnline(1);
    app_.SetActiveDocument(&doc_.Bus());
    ASSERT_EQ(doc_.OpenLocation(files_.File("a.kvx")), 1);
    EXPECT_EQ(app_.IsOnline(), 0);
    EXPECT_EQ(doc_.Bus().IsSyncLive(), 0);
}

}  // namespace
}  // namespace arvestra
