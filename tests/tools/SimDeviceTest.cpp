#include "devsim/SimDevice.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <string>
#include <vector>

#include "model/PresetImage.h"

namespace arvestra::devsim {
namespace {

using Bytes = std::vector<std::uint8_t>;

Reply Send(CSimDevice& device, std::uint8_t command, const Bytes& payload = {}) {
    return device.Handle(command, payload, 0.0);
}

Bytes ReadImage(CSimDevice& device, int image, int start, int count) {
    const Reply reply = Send(device, cmd::kReadImage,
                             {static_cast<std::uint8_t>(image), static_cast<std::uint8_t>(start),
                              static_cast<std::uint8_t>(count)});
    EXPECT_EQ(reply.status, kStatusOk);
    return reply.payload;
}

Reply WriteImage(CSimDevice& device, int image, int start, const Bytes& data) {
    Bytes payload{static_cast<std::uint8_t>(image), static_cast<std::uint8_t>(start)};
    payload.insert(payload.end(), data.begin(), data.end());
    return Send(device, cmd::kWriteImage, payload);
}

std::string NameOf(const Bytes& bytes) {
    return std::string(bytes.begin(), std::find(bytes.begin(), bytes.end(), 0));
}

std::array<std::uint8_t, kImageAreaSize> FactoryArea() {
    std::array<std::uint8_t, kImageAreaSize> area{};
    FillInitialImageArea(area);
    return area;
}

TEST(SimDevice, StartsInFactoryState) {
    CSimDevice device(5);
    const auto factory = FactoryArea();
    for (int image = 0; image < 9; ++image) {
        const auto expected = std::span(factory).subspan(image * kImageSlotSize, kPresetImageSize);
        const Bytes read = ReadImage(device, image, 0, 250);
        ASSERT_TRUE(std::ranges::equal(read, expected)) << "image " << image;
        EXPECT_EQ(NameOf(ReadImage(device, image, 218, 32)), "Preset " + std::to_string(image));
    }
    const Reply info = Send(device, cmd::kReadDeviceInfo);
    ASSERT_EQ(info.payload.size(), 95u);
    EXPECT_EQ(NameOf(Bytes(info.payload.begin(), info.payload.begin() + 32)), "Device 5");
    EXPECT_EQ(info.payload[91], 1);
    EXPECT_EQ(info.payload[92], 0);
    EXPECT_EQ(info.payload[94], 0);
}

TEST(SimDevice, ReportsIdentityAndFirmware) {
    CSimDevice device(1);
    EXPECT_EQ(Send(device, cmd::kIdentify).payload, (Bytes{34, 56}));
    EXPECT_EQ(Send(device, cmd::kReadFirmware).payload, (Bytes{1, 13, 11, 11, 10, 0, 0, 0}));
    DeviceIdentityBytes other;
    other.deviceType = 40;
    other.compatibilityLevel = 12;
    CSimDevice custom(2, other);
    EXPECT_EQ(Send(custom, cmd::kIdentify).payload[0], 40);
    EXPECT_EQ(Send(custom, cmd::kReadFirmware).payload[2], 12);
}

TEST(SimDevice, WrittenBytesAreReadBack) {
    CSimDevice device(1);
    const Bytes data{0xFB, 0x00, 0x7F, 0x80};
    ASSERT_EQ(WriteImage(device, 0, 10, data).status, kStatusOk);
    EXPECT_EQ(ReadImage(device, 0, 10, 4), data);
    ASSERT_EQ(WriteImage(device, 8, 252, data).status, kStatusOk);  // the last four bytes
    EXPECT_EQ(ReadImage(device, 8, 252, 4), data);
    const Bytes name{'M', 'a', 'i', 'n', 0};
    ASSERT_EQ(WriteImage(device, 3, 218, name).status, kStatusOk);
    EXPECT_EQ(NameOf(ReadImage(device, 3, 218, 32)), "Main");
    EXPECT_EQ(NameOf(ReadImage(device, 2, 218, 32)), "Preset 2");  // other images untouched
}

TEST(SimDevice, WholeImageWriteReplacesTwoHundredFiftyBytes) {
    CSimDevice device(1);
    Bytes image(250);
    for (std::size_t i = 0; i < image.size(); ++i) image[i] = static_cast<std::uint8_t>(i * 7);
    ASSERT_EQ(WriteImage(device, 4, 0, image).status, kStatusOk);
    EXPECT_EQ(ReadImage(device, 4, 0, 250), image);
}

TEST(SimDevice, RecallCopiesPresetIntoEditBufferAndStatusReportsIt) {
    CSimDevice device(1);
    ASSERT_EQ(WriteImage(device, 6, 3, {9, 9, 9}).status, kStatusOk);
    ASSERT_EQ(Send(device, cmd::kRecallPreset, {6}).status, kStatusOk);
    EXPECT_EQ(device.CurrentPreset(), 6);
    EXPECT_EQ(ReadImage(device, 0, 3, 3), (Bytes{9, 9, 9}));
    EXPECT_EQ(NameOf(ReadImage(device, 0, 218, 32)), "Preset 6");
    EXPECT_EQ(Send(device, cmd::kReadStatus).payload.at(15), 6);
    EXPECT_EQ(Send(device, cmd::kReadDeviceInfo).payload.at(91), 6);
}

TEST(SimDevice, StoreCopiesEditBufferIntoPresetAndKeepsRunningPreset) {
    CSimDevice device(1);
    ASSERT_EQ(WriteImage(device, 0, 100, {1, 2, 3}).status, kStatusOk);
    ASSERT_EQ(Send(device, cmd::kStorePreset, {4}).status, kStatusOk);
    EXPECT_EQ(ReadImage(device, 4, 100, 3), (Bytes{1, 2, 3}));
    EXPECT_EQ(NameOf(ReadImage(device, 4, 218, 32)), "Preset 0");  // the whole image is copied
    EXPECT_EQ(device.CurrentPreset(), 1);
}

TEST(SimDevice, StoreTwoFiftyFiveRestoresFactoryContentsButKeepsTheName) {
    CSimDevice device(2);
    Bytes name(97, 0);
    name[65] = 'X';
    ASSERT_EQ(Send(device, cmd::kWriteDeviceName, name).status, kStatusOk);
    ASSERT_EQ(WriteImage(device, 7, 0, Bytes(250, 0xEE)).status, kStatusOk);
    ASSERT_EQ(Send(device, cmd::kRecallPreset, {7}).status, kStatusOk);
    ASSERT_EQ(Send(device, cmd::kSetBypass, {3}).status, kStatusOk);
    ASSERT_EQ(Send(device, cmd::kStorePreset, {255}).status, kStatusOk);
    const auto factory = FactoryArea();
    for (int image = 0; image < 9; ++image) {
        EXPECT_TRUE(
            std::ranges::equal(device.Image(image),
                               std::span(factory).subspan(image * kImageSlotSize, kImageSlotSize)))
            << image;
    }
    EXPECT_EQ(device.CurrentPreset(), 1);
    EXPECT_EQ(device.BypassBits(), 0);
    EXPECT_EQ(device.Name(), "X");
}

TEST(SimDevice, KeepsNameBypassAndDebugFlag) {
    CSimDevice device(1);
    Bytes request(97, 0);
    const std::string longName(32, 'q');
    std::copy(longName.begin(), longName.end(), request.begin() + 65);
    ASSERT_EQ(Send(device, cmd::kWriteDeviceName, request).status, kStatusOk);
    ASSERT_EQ(Send(device, cmd::kSetBypass, {2}).status, kStatusOk);
    ASSERT_EQ(Send(device, cmd::kSetMidiDebug, {1}).status, kStatusOk);
    const Reply info = Send(device, cmd::kReadDeviceInfo);
    EXPECT_EQ(std::string(info.payload.begin(), info.payload.begin() + 32), longName);
    EXPECT_EQ(info.payload[92], 1);
    EXPECT_EQ(info.payload[94], 2);
    EXPECT_TRUE(device.MidiDebug());
    ASSERT_EQ(Send(device, cmd::kSetMidiDebug, {0}).status, kStatusOk);
    EXPECT_FALSE(device.MidiDebug());
}

TEST(SimDevice, RefusesMalformedRequestsWithTheExpectedReplyLength) {
    struct Case {
        std::string what;
        std::uint8_t command;
        Bytes payload;
        std::uint8_t status;
        std::size_t replyLength;
    };
    const std::vector<Case> cases{
        {"identify with payload", cmd::kIdentify, {1}, kStatusBadRequest, 2},
        {"info with payload", cmd::kReadDeviceInfo, {1}, kStatusBadRequest, 95},
        {"status with payload", cmd::kReadStatus, {0}, kStatusBadRequest, 16},
        {"firmware with payload", cmd::kReadFirmware, {0}, kStatusBadRequest, 8},
        {"read image 9", cmd::kReadImage, {9, 0, 10}, kStatusBadRequest, 10},
        {"read past the image", cmd::kReadImage, {0, 250, 7}, kStatusBadRequest, 7},
        {"read with two bytes", cmd::kReadImage, {0, 0}, kStatusBadRequest, 0},
        {"recall 0", cmd::kRecallPreset, {0}, kStatusBadRequest, 0},
        {"recall 9", cmd::kRecallPreset, {9}, kStatusBadRequest, 0},
        {"recall without payload", cmd::kRecallPreset, {}, kStatusBadRequest, 0},
        {"store 0", cmd::kStorePreset, {0}, kStatusBadRequest, 0},
        {"store 254", cmd::kStorePreset, {254}, kStatusBadRequest, 0},
        {"name too short", cmd::kWriteDeviceName, Bytes(96, 0), kStatusBadRequest, 0},
        {"bypass 4", cmd::kSetBypass, {4}, kStatusBadRequest, 0},
        {"debug 2", cmd::kSetMidiDebug, {2}, kStatusBadRequest, 0},
        {"write image 9", cmd::kWriteImage, {9, 0, 1}, kStatusBadRequest, 0},
        {"write past the image", cmd::kWriteImage, {0, 255, 1, 2}, kStatusBadRequest, 0},
        {"write without data", cmd::kWriteImage, {0, 0}, kStatusBadRequest, 0},
        {"unknown command", 99, {}, kStatusUnknownCommand, 0},
    };
    for (const auto& c : cases) {
        CSimDevice device(1);
        const auto before =
            std::vector<std::uint8_t>(device.Image(0).begin(), device.Image(0).end());
        const Reply reply = Send(device, c.command, c.payload);
        EXPECT_EQ(reply.status, c.status) << c.what;
        EXPECT_EQ(reply.payload.size(), c.replyLength) << c.what;
        EXPECT_TRUE(std::ranges::equal(device.Image(0), before)) << c.what;
        EXPECT_EQ(device.CurrentPreset(), 1) << c.what;
    }
}

}  // namespace
}  // namespace arvestra::devsim
