#pragma once

// The device command set: command codes, request payload encoders and reply payload decoders.
// Everything here is a pure function over bytes, so the rules can be tested without a port;
// DeviceCommandsLink.h issues the commands over a CSerialLink.

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace arvestra {

// Command codes (8-bit) understood by the devices.
inline constexpr std::uint8_t CMD_IDENTIFY = 2;
inline constexpr std::uint8_t CMD_READ_DEVICE_INFO = 18;
inline constexpr std::uint8_t CMD_READ_IMAGE = 32;
inline constexpr std::uint8_t CMD_READ_STATUS = 35;
inline constexpr std::uint8_t CMD_READ_FIRMWARE = 36;
inline constexpr std::uint8_t CMD_RECALL_PRESET = 130;
inline constexpr std::uint8_t CMD_STORE_PRESET = 147;
inline constexpr std::uint8_t CMD_WRITE_DEVICE_NAME = 148;
inline constexpr std::uint8_t CMD_SET_BYPASS = 150;
inline constexpr std::uint8_t CMD_SET_MIDI_DEBUG = 157;
inline constexpr std::uint8_t CMD_WRITE_IMAGE = 160;

// Reply payload lengths of the commands whose reply length does not depend on the request.
inline constexpr int kIdentifyReplyLength = 2;
inline constexpr int kDeviceInfoReplyLength = 95;
inline constexpr int kStatusReplyLength = 16;
inline constexpr int kFirmwareReplyLength = 8;
inline constexpr int kDeviceNameRequestLength = 97;

// What discovery accepts: the device type and maker, and this editor's compatibility level.
inline constexpr int kAcceptedDeviceType = 34;
inline constexpr int kAcceptedManufacturer = 56;
inline constexpr int kEditorCompatibilityLevel = 11;

// Image addressing: nine 256-byte images per device (0 = edit buffer, 1..8 = presets).
inline constexpr int kDeviceImageCount = 9;
inline constexpr int kImageAddressSpace = 256;
inline constexpr int kFirstStoredPreset = 1;
inline constexpr int kLastStoredPreset = 8;
inline constexpr int kFactoryRestorePreset = 255;
inline constexpr int kDeviceNameLength = 32;

// Largest data block one CMD_WRITE_IMAGE carries: a whole 256-byte image range.
inline constexpr int kMaxWriteImageData = 256;

struct DeviceIdentity {
    int deviceType = 0;
    int manufacturer = 0;
};

struct DeviceInfo {
    std::string name;       // at most 32 characters, up to the first zero
    int currentPreset = 1;  // already limited to 1..8
    bool bypassA = false;
    bool bypassB = false;
};

struct FirmwareInfo {
    int applicationNumber = 0;
    int applicationRevision = 0;  // tenths: 13 means 1.3
    int compatibilityLevel = 0;
    int editorLevel = 0;   // lowest editor level the firmware accepts
    int baseRevision = 0;  // tenths
};

// Which of the four status-reporting blocks lie on one channel's signal path.
struct ChainMembership {
    bool eqA = false;
    bool eqB = false;
    bool compLimA = false;
    bool compLimB = false;
};

// What one status poll leaves in the document's meter members.
struct MeterRecord {
    std::uint8_t levelA = 0;
    std::uint8_t levelB = 0;
    std::uint8_t level2A = 0;
    std::uint8_t level2B = 0;
    std::array<std::uint8_t, 2> reduction1{};  // first gain-reduction value per channel
    std::array<std::uint8_t, 2> reduction2{};  // second gain-reduction value per channel
    std::uint8_t indicatorBits = 0;
    int devicePreset = 1;  // already limited to 1..8

    bool operator==(const MeterRecord&) const = default;
};

// A preset number reported by a device, limited to 1..8 (below 2 gives 1, above 8 gives 8).
int ClampReportedPreset(int reported);

// Device type and manufacturer from a CMD_IDENTIFY reply.
DeviceIdentity DecodeIdentify(std::span<const std::uint8_t, kIdentifyReplyLength> reply);

// Name, running preset and bypass flags from a CMD_READ_DEVICE_INFO reply.
DeviceInfo DecodeDeviceInfo(std::span<const std::uint8_t, kDeviceInfoReplyLength> reply);

// Revision and compatibility numbers from a CMD_READ_FIRMWARE reply.
FirmwareInfo DecodeFirmware(std::span<const std::uint8_t, kFirmwareReplyLength> reply);

// True when the firmware's compatibility level is at least this editor's level.
bool IsCompatibilityLevelAccepted(const FirmwareInfo& firmware);

// True when the lowest editor level the firmware accepts is at most this editor's level.
bool IsEditorLevelAccepted(const FirmwareInfo& firmware);

// The 3-byte CMD_READ_IMAGE request, or nothing when the range leaves the 256-byte image,
// the image number is not 0..8 or the count is 0.
std::optional<std::array<std::uint8_t, 3>> EncodeReadImage(int image, int start, int count);

// The CMD_WRITE_IMAGE request (image, start, data), or nothing when the image number is not
// 0..8, the data is empty or the range leaves the 256-byte image.
std::optional<std::vector<std::uint8_t>> EncodeWriteImage(int image, int start,
                                                          std::span<const std::uint8_t> data);

// The CMD_RECALL_PRESET byte, or nothing when the preset is not 1..8.
std::optional<std::uint8_t> EncodeRecallPreset(int preset);

// The CMD_STORE_PRESET byte, or nothing when the preset is neither 1..8 nor 255.
std::optional<std::uint8_t> EncodeStorePreset(int preset);

// The 97-byte CMD_WRITE_DEVICE_NAME request: 65 zero bytes, then the name zero-filled to 32.
std::array<std::uint8_t, kDeviceNameRequestLength> EncodeDeviceName(std::string_view name);

// The CMD_SET_BYPASS byte: bit 0 channel A, bit 1 channel B.
std::uint8_t EncodeBypass(bool bypassA, bool bypassB);

// The CMD_SET_MIDI_DEBUG byte: 1 when on, 0 when off.
std::uint8_t EncodeMidiDebug(bool on);

// Which status-reporting blocks a chain of routing nodes holds (EQ A 3, EQ B 4, Comp/Lim A 7,
// Comp/Lim B 10).
ChainMembership MembershipFromNodes(std::span<const int> nodes);

// True when a channel's indicator lamp is lit by these indicator bits.
bool IndicatorLit(std::uint8_t indicatorBits, const ChainMembership& chain);

// The meter record for a CMD_READ_STATUS reply, given each channel's chain membership and the
// edit buffer's output-level bytes (offsets 191 and 193).
MeterRecord DecodeStatus(std::span<const std::uint8_t, kStatusReplyLength> reply,
                         const std::array<ChainMembership, 2>& chains, std::uint8_t outputLevelA,
                         std::uint8_t outputLevelB);

}  // namespace arvestra
