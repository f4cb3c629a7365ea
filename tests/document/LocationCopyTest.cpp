// Copies of settings, presets and devices between locations and Location Files.
#include <gtest/gtest.h>

#include <filesystem>

#include "DocTestSupport.h"
#include "LocationFileTestDir.h"
#include "document/DocCopy.h"
#include "document/LocationBuffer.h"
#include "document/LocationFileFormat.h"

namespace arvestra::testing {
namespace {

using PF = ParamField;

// A source image with every byte distinct, and the edits that copy a setting of it.
struct ImagePair {
    std::array<std::uint8_t, kPresetImageSize> source{};
    std::vector<ParamEdit> edits;
    ImagePair() {
        for (std::size_t i = 0; i < source.size(); ++i) {
            source[i] = static_cast<std::uint8_t>(0x80 | (i % 0x3F));
        }
    }
    bool Copy(SettingId from, SettingId to) {
        edits = SettingEdits(source, from, to);
        return !edits.empty();
    }
    // The value the copy sets for a field element, limited as the edit path limits it; 0 when
    // the copy leaves it alone.
    int Target(PF field, int channel, int index = 0) {
        for (const ParamEdit& e : edits) {
            const bool sameChannel = e.ref.channel == channel || e.ref.channel == kNoChannel;
            if (e.ref.field == field && sameChannel && e.ref.index == index) {
                return ClampToField(field, e.code);
            }
        }
        return 0;
    }
    int Source(PF field, int channel, int index = 0) {
        return ReadField(source, field, channel, index);
    }
};

struct CoverageCase {
    SettingId from;
    SettingId to;
    PF field;
    int readChannel;   // channel read in the source
    int writeChannel;  // channel checked in the target
    int index;
    bool copied;
};

class SettingCoverage : public ::testing::TestWithParam<CoverageCase> {};

TEST_P(SettingCoverage, CopiesExactlyTheFieldsOfTheBlock) {
    const CoverageCase& c = GetParam();
    ImagePair pair;
    ASSERT_TRUE(pair.Copy(c.from, c.to));
    const int expected =
        c.copied ? ClampToField(c.field, pair.Source(c.field, c.readChannel, c.index)) : 0;
    EXPECT_EQ(pair.Target(c.field, c.writeChannel, c.index), expected);
}

INSTANTIATE_TEST_SUITE_P(
    Blocks, SettingCoverage,
    ::testing::Values(
        CoverageCase{SettingId::EqA, SettingId::EqB, PF::EqGraphicGain, 0, 1, 5, true},
        CoverageCase{SettingId::EqA, SettingId::EqB, PF::EqType, 0, 1, 0, true},
        CoverageCase{SettingId::EqA, SettingId::EqB, PF::EqSource, 0, 1, 0, false},
        CoverageCase{SettingId::EqA, SettingId::EqB, PF::EqMaster, 0, 1, 0, false},
        CoverageCase{SettingId::EqA, SettingId::EqB, PF::EqGraphicGain, 0, 0, 5, false},
        CoverageCase{SettingId::LpB, SettingId::LpA, PF::LpCutoff, 1, 0, 0, true},
        CoverageCase{SettingId::HpA, SettingId::HpA, PF::HpSlope, 0, 0, 0, true},
        CoverageCase{SettingId::HpA, SettingId::HpA, PF::LpSlope, 0, 0, 0, false},
        CoverageCase{SettingId::DelayA, SettingId::DelayB, PF::TemperatureLow, 0, 1, 0, true},
        CoverageCase{SettingId::CompLimA, SettingId::CompLimB, PF::ClGain, 0, 1, 1, true},
        CoverageCase{SettingId::CompLimA, SettingId::CompLimB, PF::ClLinkMode, 0, 1, 0, false},
        CoverageCase{SettingId::CompLimB, SettingId::CompLimB, PF::ClLinkMode, 1, 1, 0, true},
        CoverageCase{SettingId::Configuration, SettingId::Configuration, PF::NameChar, 0, 0, 31,
                     true},
        CoverageCase{SettingId::Configuration, SettingId::Configuration, PF::EqSource, 1, 1, 0,
                     true},
        CoverageCase{SettingId::Configuration, SettingId::Configuration, PF::ClMaster, 0, 0, 0,
                     true},
        CoverageCase{SettingId::Configuration, SettingId::Configuration, PF::PalettePosition, 0, 0,
                     11, true},
        CoverageCase{SettingId::Configuration, SettingId::Configuration, PF::OutputLevel, 1, 1, 0,
                     true},
        CoverageCase{SettingId::Configuration, SettingId::Configuration, PF::EqGraphicGain, 0, 0, 0,
                     false},
        CoverageCase{SettingId::Configuration, SettingId::Configuration, PF::DelayBypass, 1, 1, 0,
                     false}));

TEST(SettingCopy, DifferentBlocksAreRefused) {
    ImagePair pair;
    EXPECT_FALSE(pair.Copy(SettingId::EqA, SettingId::DelayB));
    EXPECT_FALSE(pair.Copy(SettingId::Configuration, SettingId::LpA));
}

TEST(SettingCopy, NamesRoundTripInListOrder) {
    ASSERT_EQ(SettingNames().size(), 11u);
    EXPECT_STREQ(SettingNames()[2], "EQ B");
    EXPECT_STREQ(SettingNames()[10], "Comp/Limiter B");
    for (int row = 0; row < kSettingCount; ++row) {
        EXPECT_EQ(SettingByName(SettingNames()[static_cast<std::size_t>(row)]), SettingAt(row));
    }
    EXPECT_FALSE(SettingByName("eq a").has_value());
    EXPECT_FALSE(SettingAt(11).has_value());
    EXPECT_FALSE(SettingAt(-1).has_value());
}

// ---- Locations -------------------------------------------------------------------------------

// A location in memory with devices at the given addresses; device d's images are filled
// with a pattern of d so copies can be told apart.
struct MemoryLocation {
    std::vector<std::uint8_t> bytes = std::vector<std::uint8_t>(kLocationSize, 0);
    CLocationImage location{CLocationImage::Bytes(bytes.data(), kLocationSize)};
    explicit MemoryLocation(std::initializer_list<int> addresses) {
        location.FormatNew();
        int slot = 0;
        for (int address : addresses) {
            location.SetSlotOf(address, slot);
            location.SetDeviceName(slot, "Device " + std::to_string(address));
            for (int image = 0; image < kImageCount; ++image) {
                FillInitialSlot(ImageSlot(location.Image(slot, image), kImageSlotSize));
                location.Image(slot, image)[4] = static_cast<std::uint8_t>(address * 10 + image);
                location.SetPresetName(slot, image, "P" + std::to_string(address * 10 + image));
            }
            ++slot;
        }
    }
    std::uint8_t* Image(int address, int image) {
        return location.Image(location.SlotOf(address), image);
    }
};

TEST(LocationCopy, PresetCopiesOneImageWithItsNameToEveryDestination) {
    MemoryLocation from{1};
    MemoryLocation to{2, 3};
    CopyRequest request{CopyWhat::Preset, 1, 4, SettingId::Configuration, {2, 3}, {0, 5}, {}};
    ASSERT_EQ(CopyBetweenLocations(from.location, to.location, request, false), "");
    for (int address : {2, 3}) {
        for (int image : {0, 5}) {
            EXPECT_EQ(to.Image(address, image)[4], 14);
            EXPECT_EQ(to.location.PresetName(to.location.SlotOf(address), image), "P14");
        }
        EXPECT_EQ(to.Image(address, 4)[4], address * 10 + 4);  // untouched
        EXPECT_EQ(to.location.RecordInt(to.location.SlotOf(address), kRecPresetModified), 1);
    }
}

TEST(LocationCopy, DeviceCopyTakesTheRecordButNotTheAddress) {
    MemoryLocation loc{1, 2};
    CopyRequest request{CopyWhat::Device, 1, 0, SettingId::Configuration, {2, 9}, {}, {}};
    EXPECT_NE(CopyBetweenLocations(loc.location, loc.location, request, false), "");
    ASSERT_EQ(CopyBetweenLocations(loc.location, loc.location, request, true), "");
    EXPECT_EQ(loc.location.SlotOf(1), 0);
    EXPECT_EQ(loc.location.SlotOf(2), 1);
    EXPECT_EQ(loc.location.SlotOf(9), 2);  // a new record for the new address
    for (int address : {2, 9}) {
        EXPECT_EQ(loc.location.DeviceName(loc.location.SlotOf(address)), "Device 1");
        EXPECT_EQ(loc.Image(address, 8)[4], 18);
    }
}

TEST(LocationCopy, SettingWithinOneImageFromChannelAToB) {
    MemoryLocation loc{1};
    WriteField(std::span<std::uint8_t, kPresetImageSize>(loc.Image(1, 2), kPresetImageSize),
               PF::EqGraphicGain, 0, 7, 55);
    CopyRequest request{
        CopyWhat::Setting, 1, 2, SettingId::EqA, {1}, {2}, {SettingId::EqA, SettingId::EqB}};
    ASSERT_EQ(CopyBetweenLocations(loc.location, loc.location, request, false), "");
    const std::span<const std::uint8_t, kPresetImageSize> image(loc.Image(1, 2), kPresetImageSize);
    EXPECT_EQ(ReadField(image, PF::EqGraphicGain, 1, 7), 55);
    EXPECT_EQ(ReadField(image, PF::EqGraphicGain, 0, 7), 55);
}

struct RefusalCase {
    const char* name;
    CopyRequest request;
    const char* message;
};

class CopyRefusal : public ::testing::TestWithParam<RefusalCase> {};

TEST_P(CopyRefusal, SaysWhyAndWritesNothing) {
    MemoryLocation from{1};
    MemoryLocation to{2};
    const std::vector<std::uint8_t> before = to.bytes;
    EXPECT_EQ(CopyBetweenLocations(from.location, to.location, GetParam().request, true),
              GetParam().message);
    EXPECT_EQ(to.bytes, before);
}

INSTANTIATE_TEST_SUITE_P(
    Requests, CopyRefusal,
    ::testing::Values(RefusalCase{"NoSource",
                                  {CopyWhat::Preset, 4, 1, SettingId::Configuration, {2}, {1}, {}},
                                  "The source holds no device at address 4."},
                      RefusalCase{"NoDestinationDevice",
                                  {CopyWhat::Preset, 1, 1, SettingId::Configuration, {3}, {1}, {}},
                                  "The destination holds no device at address 3."},
                      RefusalCase{"NoDestination",
                                  {CopyWhat::Preset, 1, 1, SettingId::Configuration, {}, {1}, {}},
                                  "Choose at least one destination device."},
                      RefusalCase{"BadImage",
                                  {CopyWhat::Preset, 1, 1, SettingId::Configuration, {2}, {9}, {}},
                                  "A preset must be 0 (the edit buffer) or 1 to 8."},
                      RefusalCase{"BadAddress",
                                  {CopyWhat::Device, 1, 0, SettingId::Configuration, {127}, {}, {}},
                                  "The device address must be between 1 and 126."},
                      RefusalCase{
                          "OtherBlock",
                          {CopyWhat::Setting, 1, 0, SettingId::EqA, {2}, {0}, {SettingId::DelayA}},
                          "\"EQ A\" cannot be copied into \"Delay A\"."}),
    [](const auto& info) { return std::string(info.param.name); });

// ---- Files and the document ------------------------------------------------------------------

class FileCopyTest : public ::testing::Test {
  protected:
    ScratchDir dir;
    // Saves a location as a file.
    std::string Save(MemoryLocation& loc, const std::string& name) {
        const std::string path = dir.File(name);
        WriteFileBytes(path, std::vector<std::uint8_t>(
                                 loc.bytes.begin(),
                                 loc.bytes.begin() + static_cast<long>(UsedLength(loc.location))));
        return path;
    }
};

TEST_F(FileCopyTest, FileToFileWritesTheDestinationAndNeverTheSource) {
    MemoryLocation a{1};
    MemoryLocation b{5};
    const std::string from = Save(a, "from.kvx");
    const std::string to = Save(b, "to.kvx");
    const auto sourceBefore = ReadFileBytes(from);
    const auto sourceTime = std::filesystem::last_write_time(from);
    DocBench t;
    t.doc.SetModifiedFlag(false);
    CopyRequest request{CopyWhat::Setting, 1, 3, SettingId::EqA, {5}, {2}, {SettingId::EqB}};
    ASSERT_EQ(RunCopy(t.doc, {false, from}, {false, to}, request), "");
    EXPECT_EQ(ReadFileBytes(from), sourceBefore);
    EXPECT_EQ(std::filesystem::last_write_time(from), sourceTime);
    std::string error;
    auto saved = CLocationBuffer::Load(to, false, error);
    ASSERT_TRUE(saved) << error;
    const int slot = saved->Location().SlotOf(5);
    const std::span<const std::uint8_t, kPresetImageSize> image(saved->Location().Image(slot, 2),
                                                                kPresetImageSize);
    EXPECT_EQ(ReadField(image, PF::EqGraphicGain, 1, 0), 13);
    EXPECT_FALSE(t.doc.IsModified());
    // Nothing but the destination is left in the directory (no stray temporary file).
    EXPECT_EQ(dir.Entries().size(), 2u);
}

TEST_F(FileCopyTest, SameFileIsBothSourceAndDestination) {
    MemoryLocation a{1, 2};
    const std::string path = Save(a, "one.kvx");
    DocBench t;
    CopyRequest request{CopyWhat::Preset, 1, 6, SettingId::Configuration, {2}, {1}, {}};
    ASSERT_EQ(RunCopy(t.doc, {false, path}, {false, path}, request), "");
    std::string error;
    auto saved = CLocationBuffer::Load(path, false, error);
    ASSERT_TRUE(saved);
    EXPECT_EQ(saved->Location().Image(saved->Location().SlotOf(2), 1)[4], 16);
}

TEST_F(FileCopyTest, CorruptSourceIsReportedAndTheDestinationKept) {
    MemoryLocation b{5};
    const std::string to = Save(b, "to.kvx");
    const std::string bad = dir.File("bad.kvx");
    WriteFileBytes(bad, std::vector<std::uint8_t>(100, 0x41));
    const auto before = ReadFileBytes(to);
    DocBench t;
    CopyRequest request{CopyWhat::Device, 1, 0, SettingId::Configuration, {5}, {}, {}};
    const std::string error = RunCopy(t.doc, {false, bad}, {false, to}, request);
    EXPECT_NE(error.find("not a usable Location File"), std::string::npos) << error;
    EXPECT_NE(RunCopy(t.doc, {false, dir.File("missing.kvx")}, {false, to}, request), "");
    EXPECT_EQ(ReadFileBytes(to), before);
}

TEST_F(FileCopyTest, TheFileTheDocumentHasOpenIsNotADestination) {
    DocBench t;
    const std::string open = dir.File("open.kvx");
    ASSERT_EQ(t.doc.SaveLocation(open), 1);
    const auto before = ReadFileBytes(open);
    CopyRequest request{CopyWhat::Device, 1, 0, SettingId::Configuration, {9}, {}, {}};
    EXPECT_NE(RunCopy(t.doc, {true, {}}, {false, open}, request).find("is the location open here"),
              std::string::npos);
    EXPECT_EQ(ReadFileBytes(open), before);
}

TEST_F(FileCopyTest, FileIntoTheCurrentLocationMarksItModified) {
    MemoryLocation a{1};
    const std::string from = Save(a, "from.kvx");
    DocBench t;
    t.doc.SetModifiedFlag(false);
    const auto sourceBefore = ReadFileBytes(from);
    CopyRequest request{CopyWhat::Setting, 1, 2, SettingId::EqA, {1}, {0}, {SettingId::EqA}};
    ASSERT_EQ(RunCopy(t.doc, {false, from}, {true, {}}, request), "");
    EXPECT_EQ(t.doc.Edits().Get(PF::EqGraphicGain, 0, 0), 12);
    EXPECT_TRUE(t.doc.IsModified());
    EXPECT_EQ(t.doc.Devices().PresetModified(), 1);
    EXPECT_EQ(t.ui.ViewUpdates().back(), ViewHint::Change);
    EXPECT_EQ(ReadFileBytes(from), sourceBefore);
}

TEST_F(FileCopyTest, CurrentLocationIntoAFileLeavesTheDocumentAlone) {
    MemoryLocation b{7};
    const std::string to = Save(b, "to.kvx");
    DocBench t;
    t.doc.SetModifiedFlag(false);
    t.doc.Edits().Set(PF::LpCutoff, 1, 42);
    t.doc.SetModifiedFlag(false);
    CopyRequest request{CopyWhat::Setting, 1, 0, SettingId::LpB, {7}, {0}, {SettingId::LpA}};
    ASSERT_EQ(RunCopy(t.doc, {true, {}}, {false, to}, request), "");
    EXPECT_FALSE(t.doc.IsModified());
    std::string error;
    auto saved = CLocationBuffer::Load(to, false, error);
    ASSERT_TRUE(saved);
    const std::span<const std::uint8_t, kPresetImageSize> image(
        saved->Location().Image(saved->Location().SlotOf(7), 0), kPresetImageSize);
    EXPECT_EQ(ReadField(image, PF::LpCutoff, 0), 42);
}

// ---- Online ------------------------------------------------------------------------------------

struct OnlineCopy : DocBench {
    OnlineCopy() {
        for (int k = 0; k < 9; ++k) {
            const std::uint8_t* p = doc.Devices().Location().Image(0, k);
            std::copy(p, p + 256, device.images[static_cast<std::size_t>(k)].begin());
        }
        GoOnline();
        doc.Bus().EnableSync();
        device.ClearRequests();
    }
};

TEST(OnlineCopyTest, SettingIntoTheEditBufferReachesTheDeviceLive) {
    OnlineCopy t;
    t.doc.Devices().Location().Image(0, 3)[4 + 2] = 51;  // preset 3, graphic band 2 of A
    CopyRequest request{CopyWhat::Setting, 1, 3, SettingId::EqA, {1}, {0}, {SettingId::EqB}};
    ASSERT_EQ(CopyIntoDocument(t.doc, t.doc.Devices().Location(), request), "");
    ASSERT_TRUE(WaitUntil([&] {
        std::lock_guard<std::mutex> lock(t.device.mutex);
        return t.device.images[0][69 + 2] == 51;
    }));
    EXPECT_EQ(t.doc.Edits().Get(PF::EqGraphicGain, 1, 2), 51);
    EXPECT_TRUE(t.doc.IsModified());
}

TEST(OnlineCopyTest, PresetIntoAStoredPresetIsSentAsThatImage) {
    OnlineCopy t;
    t.doc.Devices().Location().SetPresetName(0, 2, "Matinee");
    CopyRequest request{CopyWhat::Preset, 1, 2, SettingId::Configuration, {1}, {6}, {}};
    ASSERT_EQ(CopyIntoDocument(t.doc, t.doc.Devices().Location(), request), "");
    bool sent = false;
    for (const Request& r : t.device.RequestsOf(CMD_WRITE_IMAGE)) {
        sent = sent || (r.payload.size() == 252 && r.payload[0] == 6 && r.payload[1] == 0);
    }
    EXPECT_TRUE(sent);
    std::lock_guard<std::mutex> lock(t.device.mutex);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(&t.device.images[6][218]), 7), "Matinee");
}

TEST(OnlineCopyTest, AnAddressNotOnTheBusIsRefusedBeforeAnythingChanges) {
    OnlineCopy t;
    CopyRequest request{CopyWhat::Device, 1, 0, SettingId::Configuration, {4}, {}, {}};
    EXPECT_EQ(CopyIntoDocument(t.doc, t.doc.Devices().Location(), request),
              "The destination holds no device at address 4.");
    EXPECT_TRUE(t.device.RequestsOf(CMD_WRITE_IMAGE).empty());
}

// ---- Factory reset -----------------------------------------------------------------------------

TEST(FactoryReset, OfflineDoesNothingAndKeepsTheEdits) {
    DocBench t;
    t.doc.SetDeviceName("Balcony");
    t.doc.Edits().Set(PF::EqGraphicGain, 0, 3, 44);
    ASSERT_EQ(t.doc.Devices().PresetModified(), 1);
    t.device.ClearRequests();
    EXPECT_EQ(t.doc.FactoryInitialise(), 0);
    EXPECT_EQ(t.doc.Devices().PresetModified(), 1);
    EXPECT_EQ(t.doc.Devices().GetDeviceName(1), "Balcony");
    EXPECT_EQ(t.doc.Edits().Get(PF::EqGraphicGain, 0, 3), 44);
    EXPECT_TRUE(t.device.Requests().empty());
}

TEST(FactoryReset, TheWorkerRunsAgainBeforeTheViewsRefresh) {
    OnlineCopy t;
    int enabledAtRefresh = -1;
    t.ui.OnUpdateAllViews([&](ViewHint hint) {
        if (hint == ViewHint::Loaded) enabledAtRefresh = t.doc.Bus().Worker().syncEnabled.load();
    });
    ASSERT_EQ(t.doc.FactoryInitialise(), 1);
    EXPECT_EQ(enabledAtRefresh, 1);
}

}  // namespace
}  // namespace arvestra::testing
