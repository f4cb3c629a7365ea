#include "link/DeviceCommandsLink.h"

#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

#include "LinkTestSupport.h"

namespace arvestra {
namespace {

using testing::Bytes;
using testing::LinkBench;
using testing::MakeReply;

// The request frame the link wrote, unstuffed: command, payload (checksum dropped).
Bytes CommandAndPayload(const Bytes& written) {
    Bytes plain;
    for (std::size_t i = 0; i < written.size(); ++i) {
        plain.push_back(written[i]);
        if (i > 0 && written[i] == 0xFB) ++i;  // skip the doubled byte
    }
    return Bytes(plain.begin() + 4, plain.end() - 1);
}

TEST(DeviceCommandsLink, ClosedPortLeavesOutputsUntouched) {
    LinkBench b;
    DeviceIdentity identity{7, 8};
    DeviceInfo info;
    info.name = "kept";
    FirmwareInfo firmware;
    firmware.baseRevision = 99;
    MeterRecord meters;
    meters.levelA = 55;
    std::array<std::uint8_t, 4> image{1, 2, 3, 4};
    EXPECT_EQ(RequestIdentity(b.link, identity), 1);
    EXPECT_EQ(RequestDeviceInfo(b.link, info), 1);
    EXPECT_EQ(RequestFirmware(b.link, firmware), 1);
    EXPECT_EQ(RequestStatus(b.link, {}, 192, 192, meters), 1);
    EXPECT_EQ(RequestImageBytes(b.link, 0, 0, image), 1);
    EXPECT_EQ(identity.deviceType, 7);
    EXPECT_EQ(info.name, "kept");
    EXPECT_EQ(firmware.baseRevision, 99);
    EXPECT_EQ(meters.levelA, 55);
    EXPECT_EQ(image, (std::array<std::uint8_t, 4>{1, 2, 3, 4}));
    EXPECT_TRUE(b.Script().writes.empty());
}

TEST(DeviceCommandsLink, UnencodableArgumentsSendNothing) {
    LinkBench b;
    ASSERT_TRUE(b.Open());
    std::array<std::uint8_t, 10> buffer{};
    const std::vector<std::uint8_t> tooLong(257, 0);
    EXPECT_EQ(RequestImageBytes(b.link, 9, 0, buffer), 0);
    EXPECT_EQ(RequestImageBytes(b.link, 0, 250, buffer), 0);
    EXPECT_EQ(SendImageBytes(b.link, 0, 0, tooLong), 0);
    EXPECT_EQ(SendRecallPreset(b.link, 0), 0);
    EXPECT_EQ(SendStorePreset(b.link, 9), 0);
    EXPECT_TRUE(b.Script().writes.empty());
}

struct RequestCase {
    std::string what;
    int (*send)(CSerialLink&);
    Bytes expected;  // command and payload
};

TEST(DeviceCommandsLink, EachCommandSendsItsRequest) {
    const std::vector<RequestCase> cases{
        {"recall 3", [](CSerialLink& l) { return SendRecallPreset(l, 3); }, {130, 3}},
        {"store 255", [](CSerialLink& l) { return SendStorePreset(l, 255); }, {147, 255}},
        {"bypass B", [](CSerialLink& l) { return SendBypass(l, false, true); }, {150, 2}},
        {"debug on", [](CSerialLink& l) { return SendMidiDebug(l, true); }, {157, 1}},
        {"write 2 bytes",
         [](CSerialLink& l) {
             const std::array<std::uint8_t, 2> data{0xFB, 7};
             return SendImageBytes(l, 4, 218, data);
         },
         {160, 4, 218, 0xFB, 7}},
    };
    for (const auto& c : cases) {
        LinkBench b;
        ASSERT_TRUE(b.Open());
        b.Script().QueueReply(MakeReply({}));
        EXPECT_EQ(c.send(b.link), 1) << c.what;
        ASSERT_EQ(b.Script().writes.size(), 1u) << c.what;
        EXPECT_EQ(CommandAndPayload(b.Script().AllWritten()), c.expected) << c.what;
    }
}

TEST(DeviceCommandsLink, DeviceNameGoesAfterSixtyFiveZeros) {
    LinkBench b;
    ASSERT_TRUE(b.Open());
    b.Script().QueueReply(MakeReply({}));
    ASSERT_EQ(SendDeviceName(b.link, "Rack 2"), 1);
    const Bytes sent = CommandAndPayload(b.Script().AllWritten());
    ASSERT_EQ(sent.size(), 98u);
    EXPECT_EQ(sent[0], 148);
    EXPECT_EQ(std::string(sent.begin() + 66, sent.begin() + 72), "Rack 2");
}

TEST(DeviceCommandsLink, RepliesAreDecoded) {
    LinkBench b;
    ASSERT_TRUE(b.Open());
    Bytes infoPayload(95, 0);
    infoPayload[0] = 'A';
    infoPayload[91] = 0;
    infoPayload[94] = 1;
    Bytes status(16, 0);
    status[2] = 50;
    status[11] = 120;
    status[15] = 9;
    b.Script().QueueReply(MakeReply({34, 56}));
    b.Script().QueueReply(MakeReply(infoPayload));
    b.Script().QueueReply(MakeReply({3, 14, 11, 10, 12, 0, 0, 0}));
    b.Script().QueueReply(MakeReply(status));
    b.Script().QueueReply(MakeReply({9, 8, 7}));

    DeviceIdentity identity;
    ASSERT_EQ(RequestIdentity(b.link, identity), 1);
    EXPECT_EQ(identity.deviceType, 34);
    EXPECT_EQ(identity.manufacturer, 56);
    DeviceInfo info;
    ASSERT_EQ(RequestDeviceInfo(b.link, info), 1);
    EXPECT_EQ(info.name, "A");
    EXPECT_EQ(info.currentPreset, 1);
    EXPECT_TRUE(info.bypassA);
    FirmwareInfo firmware;
    ASSERT_EQ(RequestFirmware(b.link, firmware), 1);
    EXPECT_EQ(firmware.applicationRevision, 14);
    EXPECT_EQ(firmware.baseRevision, 12);
    MeterRecord meters;
    const ChainMembership withCompA{false, false, true, false};
    ASSERT_EQ(RequestStatus(b.link, {withCompA, ChainMembership{}}, 192, 192, meters), 1);
    EXPECT_EQ(meters.reduction1[0], 41);
    EXPECT_EQ(meters.reduction1[1], 0);
    EXPECT_EQ(meters.levelA, 0);
    EXPECT_EQ(meters.devicePreset, 8);
    std::array<std::uint8_t, 3> bytes{};
    ASSERT_EQ(RequestImageBytes(b.link, 2, 218, bytes), 1);
    EXPECT_EQ(bytes, (std::array<std::uint8_t, 3>{9, 8, 7}));
    EXPECT_EQ(CommandAndPayload(b.Script().writes.back()), (Bytes{32, 2, 218, 3}));
}

}  // namespace
}  // namespace arvestra
