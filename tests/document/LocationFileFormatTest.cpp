// Header checks, conversion of the older version and the saved length of Location Files.
#include <gtest/gtest.h>

#include <cstring>
#include <limits>
#include <vector>

#include "document/LocationFileFormat.h"

namespace arvestra {
namespace {

class LocationFileFormatTest : public ::testing::Test {
  protected:
    LocationFileFormatTest() : bytes_(kLocationSize), location_(Span()) { location_.FormatNew(); }

    CLocationImage::Bytes Span() { return CLocationImage::Bytes(bytes_.data(), kLocationSize); }
    void SetRawEntry(int address, uint32_t raw) {
        std::memcpy(bytes_.data() + kAddressTableOffset + 4 * address, &raw,
                    4);  // little-endian host
    }

    std::vector<uint8_t> bytes_;
    CLocationImage location_;
};

TEST_F(LocationFileFormatTest, NewLocationPassesAsCurrentVersion) {
    HeaderCheck check = CheckLocationFile(location_, kLocationSize);
    EXPECT_EQ(check.verdict, HeaderVerdict::kCurrent);
    EXPECT_EQ(check.fault.number, 0);
}

TEST_F(LocationFileFormatTest, OldVersionIsRecognised) {
    location_.SetHeaderWord(kVersionOffset, kVersionOld);
    EXPECT_EQ(CheckLocationFile(location_, kLocationSize).verdict, HeaderVerdict::kOldVersion);
}

struct HeaderCase {
    const char* name;
    std::size_t offset;  // header byte to change
    uint32_t word;       // little-endian word written there
    int number;          // error number expected
    int detail;          // second field expected
};

class HeaderRefusal : public LocationFileFormatTest,
                      public ::testing::WithParamInterface<HeaderCase> {};

TEST_P(HeaderRefusal, RefusesWithItsNumber) {
    const HeaderCase& c = GetParam();
    location_.SetHeaderWord(c.offset, c.word);
    HeaderCheck check = CheckLocationFile(location_, kLocationSize);
    EXPECT_EQ(check.verdict, HeaderVerdict::kRefused);
    EXPECT_EQ(check.fault.number, c.number);
    EXPECT_EQ(check.fault.systemError, c.detail);
}

INSTANTIATE_TEST_SUITE_P(
    Words, HeaderRefusal,
    ::testing::Values(HeaderCase{"MagicAllZero", kMagicOffset, 0, 295, 0},
                      HeaderCase{"MagicUpperCase", kMagicOffset, 0x0058564Bu, 295, 0},
                      HeaderCase{"MagicWithoutZero", kMagicOffset, 0x2078766Bu, 295, 0},
                      HeaderCase{"FormatZero", kFormatOffset, 0, 296, 0},
                      HeaderCase{"FormatTwo", kFormatOffset, 2, 296, 0},
                      HeaderCase{"VersionZero", kVersionOffset, 0, 297, 0},
                      HeaderCase{"VersionBeforeOld", kVersionOffset, 0x80000000u, 297, 0},
                      HeaderCase{"VersionAfterCurrent", kVersionOffset, 0x80000003u, 297, 0},
                      HeaderCase{"VersionWithoutHighBit", kVersionOffset, 2, 297, 0}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(LocationFileFormatTest, MagicIsCheckedBeforeTheFormatWord) {
    location_.SetHeaderWord(kMagicOffset, 0);
    location_.SetHeaderWord(kFormatOffset, 7);
    EXPECT_EQ(CheckLocationFile(location_, kLocationSize).fault.number, 295);
}

struct LengthCase {
    std::size_t length;
    HeaderVerdict verdict;
};

class SourceLength : public LocationFileFormatTest,
                     public ::testing::WithParamInterface<LengthCase> {};

TEST_P(SourceLength, HeaderMustBeComplete) {
    HeaderCheck check = CheckLocationFile(location_, GetParam().length);
    EXPECT_EQ(check.verdict, GetParam().verdict);
    if (GetParam().verdict == HeaderVerdict::kRefused) {
        EXPECT_EQ(check.fault.number, 298);
        EXPECT_EQ(check.fault.systemError, static_cast<int>(GetParam().length));
        EXPECT_EQ(check.fault.detail1, 8192);
    }
}

INSTANTIATE_TEST_SUITE_P(Lengths, SourceLength,
                         ::testing::Values(LengthCase{12, HeaderVerdict::kRefused},
                                           LengthCase{4100, HeaderVerdict::kRefused},
                                           LengthCase{8191, HeaderVerdict::kRefused},
                                           LengthCase{8192, HeaderVerdict::kCurrent},
                                           LengthCase{8193, HeaderVerdict::kCurrent},
                                           LengthCase{12290, HeaderVerdict::kCurrent},
                                           LengthCase{kLocationSize + 10,
                                                      HeaderVerdict::kCurrent}));

struct EntryCase {
    int address;
    uint32_t raw;
    bool valid;
};

class AddressTableEntry : public LocationFileFormatTest,
                          public ::testing::WithParamInterface<EntryCase> {};

TEST_P(AddressTableEntry, EveryEntryIsBounded) {
    const EntryCase& c = GetParam();
    SetRawEntry(c.address, c.raw);
    HeaderCheck check = CheckLocationFile(location_, kLocationSize);
    if (c.valid) {
        EXPECT_EQ(check.verdict, HeaderVerdict::kCurrent);
    } else {
        EXPECT_EQ(check.verdict, HeaderVerdict::kRefused);
        EXPECT_EQ(check.fault.number, 299);
        EXPECT_EQ(check.fault.systemError, c.address);
        EXPECT_EQ(check.fault.detail1, static_cast<int>(c.raw));
    }
}

INSTANTIATE_TEST_SUITE_P(Entries, AddressTableEntry,
                         ::testing::Values(EntryCase{1, 0, true}, EntryCase{1, 126, true},
                                           EntryCase{126, 0xFFFFFFFFu, true},
                                           EntryCase{0, 126, true}, EntryCase{1, 127, false},
                                           EntryCase{126, 127, false}, EntryCase{0, 200, false},
                                           EntryCase{64, 0xFFFFFFFEu, false},
                                           EntryCase{5, 0x80000000u, false},
                                           EntryCase{7, 0x7FFFFFFFu, false},
                                           EntryCase{126, 0x00010000u, false}));

TEST_F(LocationFileFormatTest, ConversionMovesTheGainsOfListedDevicesIntoAllNineImages) {
    location_.SetSlotOf(3, 0);
    location_.SetSlotOf(9, 4);
    location_.SetHeaderWord(kVersionOffset, kVersionOld);
    const uint8_t gains[2][4] = {{0x11, 0x22, 0x33, 0x44}, {0xA1, 0xB2, 0xC3, 0xD4}};
    std::memcpy(location_.Record(0) + kRecLegacyGains, gains[0], 4);
    std::memcpy(location_.Record(4) + kRecLegacyGains, gains[1], 4);
    std::memcpy(location_.Record(2) + kRecLegacyGains, gains[1], 4);  // slot nobody lists

    ConvertFromOldVersion(location_);

    EXPECT_EQ(location_.HeaderWord(kVersionOffset), kVersionCurrent);
    const int slots[2] = {0, 4};
    for (int d = 0; d < 2; ++d) {
        for (int image = 0; image < kImageCount; ++image) {
            for (int i = 0; i < 4; ++i) {
                EXPECT_EQ(location_.Image(slots[d], image)[kLegacyGainTargets[i]], gains[d][i])
                    << "slot " << slots[d] << " image " << image << " byte " << i;
            }
        }
        EXPECT_EQ(std::memcmp(location_.Record(slots[d]) + kRecLegacyGains, gains[d], 4), 0);
    }
    for (int image = 0; image < kImageCount; ++image) {
        EXPECT_EQ(location_.Image(2, image)[142], 0) << "unlisted slot must stay unchanged";
    }
}

TEST_F(LocationFileFormatTest, ConversionChangesNothingElseInTheImages) {
    location_.SetSlotOf(1, 0);
    std::memset(location_.Record(0) + kRecLegacyGains, 0x5A, 4);
    std::vector<uint8_t> before(bytes_);
    ConvertFromOldVersion(location_);
    int changed = 0;
    for (std::size_t i = kHeaderSize; i < kLocationSize; ++i) changed += bytes_[i] != before[i];
    EXPECT_EQ(changed, 4 * kImageCount);
}

struct UsedLengthCase {
    std::vector<std::pair<int, int>> entries;  // address, slot
    std::size_t length;
};

class UsedLengthOnDisk : public LocationFileFormatTest,
                         public ::testing::WithParamInterface<UsedLengthCase> {};

TEST_P(UsedLengthOnDisk, EndsAfterTheHighestListedSlot) {
    for (auto [address, slot] : GetParam().entries) location_.SetSlotOf(address, slot);
    EXPECT_EQ(UsedLength(location_), GetParam().length);
}

INSTANTIATE_TEST_SUITE_P(Tables, UsedLengthOnDisk,
                         ::testing::Values(UsedLengthCase{{}, 12290},
                                           UsedLengthCase{{{1, 0}}, 12290},
                                           UsedLengthCase{{{1, 0}, {2, 1}}, 16388},
                                           UsedLengthCase{{{126, 5}, {1, 2}}, 8192 + 6 * 4098},
                                           UsedLengthCase{{{0, 9}}, 8192 + 10 * 4098},
                                           UsedLengthCase{{{50, 126}}, kLocationSize}));

TEST_F(LocationFileFormatTest, AnEntryOnlyAtAddressZeroListsNoDevice) {
    EXPECT_FALSE(ListsAnyDevice(location_));
    location_.SetSlotOf(0, 3);
    EXPECT_FALSE(ListsAnyDevice(location_));
    location_.SetSlotOf(126, 3);
    EXPECT_TRUE(ListsAnyDevice(location_));
}

}  // namespace
}  // namespace arvestra
