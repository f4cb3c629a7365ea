// The accessor over the location bytes: every index it is given is bounded before use.
#include <gtest/gtest.h>

#include <cstring>
#include <stdexcept>
#include <vector>

#include "document/LocationImage.h"

namespace arvestra {
namespace {

struct Location {
    std::vector<std::uint8_t> bytes = std::vector<std::uint8_t>(kLocationSize, 0xAA);
    CLocationImage image{CLocationImage::Bytes(bytes.data(), kLocationSize)};
    Location() { image.FormatNew(); }
    std::int32_t RawWord(std::size_t offset) const {
        std::int32_t v = 0;
        std::memcpy(&v, bytes.data() + offset, 4);
        return v;
    }
};

TEST(LocationImage, NewLocationHeader) {
    Location l;
    EXPECT_EQ(std::memcmp(l.bytes.data(), "kvx\0", 4), 0);
    EXPECT_EQ(l.image.HeaderWord(kFormatOffset), 1u);
    EXPECT_EQ(l.image.HeaderWord(kVersionOffset), 0x80000002u);
    for (int a = 0; a < kAddressCount; ++a) EXPECT_EQ(l.image.RawEntry(a), kNoDevice);
    EXPECT_EQ(l.bytes[kAddressTableOffset + 508], 0) << "only the 127 entries are -1";
    EXPECT_EQ(l.bytes[kLocationSize - 1], 0);
    EXPECT_TRUE(l.image.AddressTableValid());
    EXPECT_EQ(l.image.HighestUsedSlot(), 0);
}

// Over bytes that are zero already, formatting writes the same location without clearing them.
TEST(LocationImage, FormatOverZerosGivesTheSameBytesAsFormat) {
    Location formatted;  // formatted over 0xAA bytes
    std::vector<std::uint8_t> zeros(kLocationSize, 0);
    CLocationImage(CLocationImage::Bytes(zeros.data(), kLocationSize)).FormatNewOverZeros();
    EXPECT_TRUE(zeros == formatted.bytes);
}

struct EntryCase {
    int address;
    std::int32_t written;
    std::int32_t stored;  // what the table then holds
    int slot;             // what SlotOf gives
};

class Entries : public ::testing::TestWithParam<EntryCase> {};

TEST_P(Entries, OnlyMinusOneOrASlotNumberIsStored) {
    const EntryCase& c = GetParam();
    Location l;
    l.image.SetSlotOf(c.address, c.written);
    EXPECT_EQ(l.image.RawEntry(c.address), c.stored);
    EXPECT_EQ(l.image.SlotOf(c.address), c.slot);
    EXPECT_TRUE(l.image.AddressTableValid());
}

INSTANTIATE_TEST_SUITE_P(Table, Entries,
                         ::testing::Values(EntryCase{1, 0, 0, 0}, EntryCase{126, 126, 126, 126},
                                           EntryCase{5, 127, -1, -1}, EntryCase{5, -2, -1, -1},
                                           EntryCase{0, 3, 3, 3}, EntryCase{127, 3, -1, -1},
                                           EntryCase{-1, 3, -1, -1}));

TEST(LocationImage, CorruptEntriesAreReadAsNoDevice) {
    Location l;
    const std::int32_t bad = 200;
    std::memcpy(l.bytes.data() + kAddressTableOffset + 4 * 7, &bad, 4);
    EXPECT_EQ(l.image.RawEntry(7), 200);
    EXPECT_EQ(l.image.SlotOf(7), kNoDevice);
    EXPECT_FALSE(l.image.AddressTableValid());
    EXPECT_EQ(l.image.HighestUsedSlot(), 0);
    l.image.SetSlotOf(9, 44);
    EXPECT_EQ(l.image.HighestUsedSlot(), 44);
}

TEST(LocationImage, RecordsAndImagesLieWhereTheFileHasThem) {
    Location l;
    EXPECT_EQ(l.image.Record(0) - l.bytes.data(), 8192);
    EXPECT_EQ(l.image.Record(126) - l.bytes.data(), 8192 + 126 * 4098);
    EXPECT_EQ(l.image.Image(126, 8) + 256 - l.bytes.data(), static_cast<long>(kLocationSize));
    EXPECT_THROW(l.image.Record(127), std::out_of_range);
    EXPECT_THROW(l.image.Record(-1), std::out_of_range);
    EXPECT_THROW(l.image.Image(0, 9), std::out_of_range);
    EXPECT_THROW(l.image.RecordInt(0, kRecImages - 3), std::out_of_range);
    EXPECT_THROW(l.image.HeaderWord(kHeaderSize - 2), std::out_of_range);
}

TEST(LocationImage, RecordIntegersAreLittleEndian) {
    Location l;
    l.image.SetRecordInt(3, kRecCurrentPreset, 0x01020304);
    const std::uint8_t* p = l.image.Record(3) + kRecCurrentPreset;
    EXPECT_EQ(p[0], 4);
    EXPECT_EQ(p[3], 1);
    EXPECT_EQ(l.image.RecordInt(3, kRecCurrentPreset), 0x01020304);
    l.image.SetRecordInt(3, kRecBypassA, -1);
    EXPECT_EQ(l.image.RecordInt(3, kRecBypassA), -1);
}

TEST(LocationImage, NamesAreCutAndZeroFilled) {
    Location l;
    l.image.SetDeviceName(2, std::string(40, 'd'));
    EXPECT_EQ(l.image.DeviceName(2), std::string(32, 'd'));
    EXPECT_EQ(l.image.Record(2)[32], 0);
    l.image.SetDeviceName(2, "abc");
    EXPECT_EQ(l.image.DeviceName(2), "abc");
    for (int i = 3; i < 33; ++i) EXPECT_EQ(l.image.Record(2)[i], 0) << i;
    l.image.SetPresetName(2, 5, std::string(40, 'p'));
    EXPECT_EQ(l.image.PresetName(2, 5), std::string(32, 'p'));
    EXPECT_EQ(l.image.Image(2, 5)[250], 0) << "the name does not spill past byte 249";
    l.image.SetPresetName(2, 5, "Hi");
    EXPECT_EQ(l.image.PresetName(2, 5), "Hi");
    EXPECT_EQ(l.image.Image(2, 5)[249], 0);
}

}  // namespace
}  // namespace arvestra
