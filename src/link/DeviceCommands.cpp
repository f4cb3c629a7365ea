#include "link/DeviceCommands.h"

#include <algorithm>

namespace arvestra {

namespace {

// Offsets inside the CMD_READ_DEVICE_INFO reply.
constexpr int kInfoPresetByte = 91;
constexpr int kInfoBypassByte = 94;

// Offset of the name inside the CMD_WRITE_DEVICE_NAME request; the bytes before it stay zero.
constexpr int kNameRequestNameOffset = 65;

// Offsets inside the CMD_READ_STATUS reply.
constexpr int kStatusCompLimAFirst = 2;
constexpr int kStatusCompLimASecond = 4;
constexpr int kStatusCompLimBFirst = 6;
constexpr int kStatusCompLimBSecond = 8;
constexpr int kStatusIndicators = 10;
constexpr int kStatusLevelA = 11;
constexpr int kStatusLevelB = 12;
constexpr int kStatusLevel2A = 13;
constexpr int kStatusLevel2B = 14;
constexpr int kStatusPreset = 15;

// A single gain-reduction byte never counts for more than the meter's full scale.
constexpr int kReductionCap = 41;
// The input meters run from 0 to 90.
constexpr int kLevelMeterTop = 90;

// Routing nodes of the blocks that report in the status reply.
constexpr int kNodeEqA = 3;
constexpr int kNodeEqB = 4;
constexpr int kNodeCompLimA = 7;
constexpr int kNodeCompLimB = 10;

bool IsImageNumber(int image) {
    return image >= 0 && image < kDeviceImageCount;
}

bool IsStoredPreset(int preset) {
    return preset >= kFirstStoredPreset && preset <= kLastStoredPreset;
}

// An image range [start, start + count) that lies inside the 256-byte image and is not empty.
bool IsImageRange(int start, int count) {
    return start >= 0 && start < kImageAddressSpace && count > 0 &&
           count <= kImageAddressSpace - start;
}

std::uint8_t CappedReduction(std::uint8_t raw) {
    return static_cast<std::uint8_t>(std::min<int>(raw, kReductionCap));
}

std::uint8_t LevelMeter(std::uint8_t raw) {
    return static_cast<std::uint8_t>(kLevelMeterTop - std::min<int>(raw, kLevelMeterTop));
}

// The output meter: the edit buffer's output level G lifts the reported level.
std::uint8_t OutputMeter(std::uint8_t raw, std::uint8_t outputLevel) {
    const int reported = std::min(std::min<int>(raw, 240) - 36, 114);
    return static_cast<std::uint8_t>(std::max(0, outputLevel - reported - 118));
}

// Adds one compressor/limiter block's two reduction bytes to a channel's sums.
void AddReduction(MeterRecord& meters, int channel, std::uint8_t first, std::uint8_t second) {
    meters.reduction1[channel] =
        static_cast<std::uint8_t>(meters.reduction1[channel] + CappedReduction(first));
    meters.reduction2[channel] =
        static_cast<std::uint8_t>(meters.reduction2[channel] + CappedReduction(second));
}

}  // namespace

int ClampReportedPreset(int reported) {
    return std::min(std::max(reported, kFirstStoredPreset), kLastStoredPreset);
}

DeviceIdentity DecodeIdentify(std::span<const std::uint8_t, kIdentifyReplyLength> reply) {
    return DeviceIdentity{reply[0], reply[1]};
}

DeviceInfo DecodeDeviceInfo(std::span<const std::uint8_t, kDeviceInfoReplyLength> reply) {
    DeviceInfo info;
    const auto nameBytes = reply.first<kDeviceNameLength>();
    const auto end = std::find(nameBytes.begin(), nameBytes.end(), std::uint8_t{0});
    info.name.assign(nameBytes.begin(), end);
    info.currentPreset = ClampReportedPreset(reply[kInfoPresetByte]);
    info.bypassA = (reply[kInfoBypassByte] & 0x01) != 0;
    info.bypassB = (reply[kInfoBypassByte] & 0x02) != 0;
    return info;
}

FirmwareInfo DecodeFirmware(std::span<const std::uint8_t, kFirmwareReplyLength> reply) {
    return FirmwareInfo{reply[0], reply[1], reply[2], reply[3], reply[4]};
}

bool IsCompatibilityLevelAccepted(const FirmwareInfo& firmware) {
    return firmware.compatibilityLevel >= kEditorCompatibilityLevel;
}

bool IsEditorLevelAccepted(const FirmwareInfo& firmware) {
    return firmware.editorLevel <= kEditorCompatibilityLevel;
}

std::optional<std::array<std::uint8_t, 3>> EncodeReadImage(int image, int start, int count) {
    // The count travels in one byte, so a whole 256-byte image cannot be asked for at once.
    if (!IsImageNumber(image) || !IsImageRange(start, count) || count > 255) {
        return std::nullopt;
    }
    return std::array<std::uint8_t, 3>{static_cast<std::uint8_t>(image),
                                       static_cast<std::uint8_t>(start),
                                       static_cast<std::uint8_t>(count)};
}

std::optional<std::vector<std::uint8_t>> EncodeWriteImage(int image, int start,
                                                          std::span<const std::uint8_t> data) {
    const auto count = static_cast<long long>(data.size());
    if (!IsImageNumber(image) || count > kMaxWriteImageData ||
        !IsImageRange(start, static_cast<int>(count))) {
        return std::nullopt;
    }
    std::vector<std::uint8_t> payload;
    payload.reserve(data.size() + 2);
    payload.push_back(static_cast<std::uint8_t>(image));
    payload.push_back(static_cast<std::uint8_t>(start));
    payload.insert(payload.end(), data.begin(), data.end());
    return payload;
}

std::optional<std::uint8_t> EncodeRecallPreset(int preset) {
    if (!IsStoredPreset(preset)) {
        return std::nullopt;
    }
    return static_cast<std::uint8_t>(preset);
}

std::optional<std::uint8_t> EncodeStorePreset(int preset) {
    if (!IsStoredPreset(preset) && preset != kFactoryRestorePreset) {
        return std::nullopt;
    }
    return static_cast<std::uint8_t>(preset);
}

std::array<std::uint8_t, kDeviceNameRequestLength> EncodeDeviceName(std::string_view name) {
    std::array<std::uint8_t, kDeviceNameRequestLength> request{};
    const auto length = std::min<std::size_t>(name.size(), kDeviceNameLength);
    std::copy_n(name.begin(), length, request.begin() + kNameRequestNameOffset);
    return request;
}

std::uint8_t EncodeBypass(bool bypassA, bool bypassB) {
    return static_cast<std::uint8_t>((bypassA ? 0x01 : 0) | (bypassB ? 0x02 : 0));
}

std::uint8_t EncodeMidiDebug(bool on) {
    return on ? 1 : 0;
}

ChainMembership MembershipFromNodes(std::span<const int> nodes) {
    const auto holds = [&](int node) {
        return std::find(nodes.begin(), nodes.end(), node) != nodes.end();
    };
    return ChainMembership{holds(kNodeEqA), holds(kNodeEqB), holds(kNodeCompLimA),
                           holds(kNodeCompLimB)};
}

bool IndicatorLit(std::uint8_t indicatorBits, const ChainMembership& chain) {
    return ((indicatorBits & 0x01) != 0 && chain.eqA) ||
           ((indicatorBits & 0x02) != 0 && chain.eqB) ||
           ((indicatorBits & 0x0C) != 0 && chain.compLimA) ||
           ((indicatorBits & 0x30) != 0 && chain.compLimB);
}

MeterRecord DecodeStatus(std::span<const std::uint8_t, kStatusReplyLength> reply,
                         const std::array<ChainMembership, 2>& chains, std::uint8_t outputLevelA,
                         std::uint8_t outputLevelB) {
    MeterRecord meters;
    for (int channel = 0; channel < 2; ++channel) {
        if (chains[channel].compLimA) {
            AddReduction(meters, channel, reply[kStatusCompLimAFirst],
                         reply[kStatusCompLimASecond]);
        }
        if (chains[channel].compLimB) {
            AddReduction(meters, channel, reply[kStatusCompLimBFirst],
                         reply[kStatusCompLimBSecond]);
        }
    }
    meters.indicatorBits = reply[kStatusIndicators];
    meters.levelA = LevelMeter(reply[kStatusLevelA]);
    meters.levelB = LevelMeter(reply[kStatusLevelB]);
    meters.level2A = OutputMeter(reply[kStatusLevel2A], outputLevelA);
    meters.level2B = OutputMeter(reply[kStatusLevel2B], outputLevelB);
    meters.devicePreset = ClampReportedPreset(reply[kStatusPreset]);
    return meters;
}

}  // namespace arvestra
