#include "model/PresetImageView.h"

#include <gtest/gtest.h>

#include <array>
#include <string>

namespace arvestra {
namespace {

using F = ParamField;

class ViewTest : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_TRUE(view.rebind(area.data(), 0)); }
    std::uint8_t* slot(int s) { return area.data() + s * kImageSlotSize; }
    std::array<std::uint8_t, kImageAreaSize> area{};
    PresetImageView view;
};

TEST_F(ViewTest, ReboundViewWritesIntoItsSlotOnly) {
    ASSERT_TRUE(view.rebind(area.data(), 3));
    view.Set(F::EqGraphicGain, kChannelB, 5, 44);
    EXPECT_EQ(slot(3)[74], 44);
    EXPECT_EQ(view.data(), slot(3));
    EXPECT_EQ(view.byteAt(74), 44);
    ASSERT_TRUE(view.rebind(area.data(), 0));
    EXPECT_EQ(view.Get(F::EqGraphicGain, kChannelB, 5), 0);
}

TEST_F(ViewTest, BadBindingLeavesAnInertView) {
    for (int badSlot : {-1, 9, 1000}) {
        EXPECT_FALSE(view.rebind(area.data(), badSlot));
        EXPECT_FALSE(view.isBound());
        EXPECT_EQ(view.data(), nullptr);
        EXPECT_EQ(view.Set(F::InputLevel, 0, 10), 152);  // still clamps
        EXPECT_EQ(view.Get(F::InputLevel, 0), 0);
        EXPECT_FALSE(view.setName(0, "x"));
        EXPECT_EQ(view.getName(0), "");
        view.setByteAt(0, 9);
        EXPECT_EQ(view.setDelaySamples(0, 70000), 65536);
    }
    EXPECT_FALSE(view.rebind(nullptr, 0));
    for (std::uint8_t byte : area) ASSERT_EQ(byte, 0);
}

TEST_F(ViewTest, RawBytesOutsideTheImageAreIgnored) {
    view.setByteAt(250, 7);
    view.setByteAt(-1, 7);
    EXPECT_EQ(view.byteAt(250), 0);
    EXPECT_EQ(view.byteAt(-1), 0);
    for (std::uint8_t byte : area) ASSERT_EQ(byte, 0);
    view.setByteAt(249, 7);
    EXPECT_EQ(slot(0)[249], 7);
}

struct NameCase {
    std::string text;
    std::string stored;  // the 32 name bytes expected
    std::string read;
};

class Names : public ViewTest, public ::testing::WithParamInterface<NameCase> {};

TEST_P(Names, StoreAtMost32BytesPaddedWithZero) {
    const NameCase& c = GetParam();
    std::fill(slot(5) + kNameOffset, slot(5) + kImageSlotSize, 0xEE);
    ASSERT_TRUE(view.setName(5, c.text));
    EXPECT_EQ(std::string(reinterpret_cast<char*>(slot(5) + kNameOffset), kNameLength), c.stored);
    EXPECT_EQ(view.getName(5), c.read);
    EXPECT_EQ(view.slotIndex(), 0);  // the view stays on its image
    for (std::size_t i = kPresetImageSize; i < kImageSlotSize; ++i) EXPECT_EQ(slot(5)[i], 0xEE);
    EXPECT_EQ(slot(4)[kImageSlotSize - 1], 0);
    EXPECT_EQ(slot(6)[0], 0);
}

const std::string k40 = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmn";

INSTANTIATE_TEST_SUITE_P(
    Edges, Names,
    ::testing::Values(NameCase{k40, k40.substr(0, 32), k40.substr(0, 32)},
                      NameCase{"abc", "abc" + std::string(29, '\0'), "abc"},
                      NameCase{"", std::string(32, '\0'), ""},
                      NameCase{std::string("ab\0cd", 5), "ab" + std::string(30, '\0'), "ab"},
                      NameCase{"\xE9t\xE9", "\xE9t\xE9" + std::string(29, '\0'), "\xE9t\xE9"}));

TEST_F(ViewTest, NamesOfBadSlotsAreRefused) {
    EXPECT_FALSE(view.setName(9, "x"));
    EXPECT_FALSE(view.setName(-1, "x"));
    EXPECT_EQ(view.getName(9), "");
    EXPECT_TRUE(view.setName(8, k40));
    EXPECT_EQ(view.getName(8), k40.substr(0, 32));
}

TEST_F(ViewTest, DelayIsLimitedTo65536AndStoredMostSignificantFirst) {
    EXPECT_EQ(view.setDelaySamples(kChannelB, 70000), 65536);
    EXPECT_EQ(slot(0)[149], 1);
    EXPECT_EQ(slot(0)[150], 0);
    EXPECT_EQ(slot(0)[151], 0);
    EXPECT_EQ(view.setDelaySamples(kChannelA, -3), 0);
    EXPECT_EQ(view.setDelaySamples(kChannelA, 48000), 48000);
    EXPECT_EQ(slot(0)[146], 0xBB);
    EXPECT_EQ(slot(0)[147], 0x80);
    EXPECT_EQ(view.delaySamples(kChannelA), 48000);
    slot(0)[149] = 3;  // a device may hold more than an edit would store
    EXPECT_EQ(view.delaySamples(kChannelB), 3 << 16);
}

TEST_F(ViewTest, TemperatureIsLimitedTo1500Tenths) {
    EXPECT_EQ(view.setTemperatureTenths(kChannelA, 2000), 1500);
    EXPECT_EQ(slot(0)[214], 5);
    EXPECT_EQ(slot(0)[216], 220);
    EXPECT_EQ(view.setTemperatureTenths(kChannelB, 680), 680);
    EXPECT_EQ(slot(0)[215], 2);
    EXPECT_EQ(slot(0)[217], 168);
    EXPECT_EQ(view.temperatureTenths(kChannelB), 680);
    EXPECT_EQ(view.setTemperatureTenths(kChannelB, -1), 0);
    EXPECT_EQ(view.temperatureTenths(kChannelB), 0);
}

}  // namespace
}  // namespace arvestra
