#include "devsim/SimDevice.h"

#include <algorithm>

#include "devsim/TestSignal.h"

namespace arvestra::devsim {

namespace {

constexpr std::size_t kIdentifyBytes = 2;
constexpr std::size_t kFirmwareBytes = 8;
constexpr std::size_t kNameBytes = 32;
constexpr int kFirstPreset = 1;
constexpr int kLastPreset = 8;

Reply Ok(std::vector<std::uint8_t> payload = {}) {
    return Reply{kStatusOk, std::move(payload)};
}

// A refusal that still carries as many payload bytes as the host reads for this request.
Reply Refused(std::size_t expectedLength) {
    return Reply{kStatusBadRequest, std::vector<std::uint8_t>(expectedLength, 0)};
}

bool IsPreset(int number) {
    return number >= kFirstPreset && number <= kLastPreset;
}

}  // namespace

CSimDevice::CSimDevice(int address, DeviceIdentityBytes identity)
    : address_(address), identity_(identity), name_("Device " + std::to_string(address)) {
    FactoryRestore();
}

void CSimDevice::FactoryRestore() {
    FillInitialImageArea(images_);
    currentPreset_ = 1;
    bypassBits_ = 0;
}

std::span<const std::uint8_t, kImageSlotSize> CSimDevice::Image(int index) const {
    const int bounded = std::clamp(index, 0, kImageCount - 1);
    return std::span<const std::uint8_t, kImageSlotSize>(
        images_.data() + static_cast<std::size_t>(bounded) * kImageSlotSize, kImageSlotSize);
}

std::span<std::uint8_t, kImageSlotSize> CSimDevice::MutableImage(int index) {
    const int bounded = std::clamp(index, 0, kImageCount - 1);
    return std::span<std::uint8_t, kImageSlotSize>(
        images_.data() + static_cast<std::size_t>(bounded) * kImageSlotSize, kImageSlotSize);
}

Reply CSimDevice::Handle(std::uint8_t command, std::span<const std::uint8_t> payload,
                         double seconds) {
    const auto expectEmpty = [&](Reply reply, std::size_t replyLength) {
        return payload.empty() ? reply : Refused(replyLength);
    };
    switch (command) {
        case cmd::kIdentify:
            return expectEmpty(Identify(), kIdentifyBytes);
        case cmd::kReadDeviceInfo:
            return expectEmpty(ReadDeviceInfo(), kInfoReplyBytes);
        case cmd::kReadImage:
            return ReadImage(payload);
        case cmd::kReadStatus:
            return expectEmpty(ReadStatus(seconds), kStatusBytes);
        case cmd::kReadFirmware:
            return expectEmpty(ReadFirmware(), kFirmwareBytes);
        case cmd::kRecallPreset:
            return RecallPreset(payload);
        case cmd::kStorePreset:
            return StorePreset(payload);
        case cmd::kWriteDeviceName:
            return WriteDeviceName(payload);
        case cmd::kSetBypass:
            return SetBypass(payload);
        case cmd::kSetMidiDebug:
            return SetMidiDebug(payload);
        case cmd::kWriteImage:
            return WriteImage(payload);
        default:
            return Reply{kStatusUnknownCommand, {}};
    }
}

Reply CSimDevice::Identify() const {
    return Ok({identity_.deviceType, identity_.manufacturer});
}

Reply CSimDevice::ReadDeviceInfo() const {
    std::vector<std::uint8_t> info(kInfoReplyBytes, 0);
    std::copy_n(name_.begin(), std::min(name_.size(), kNameBytes), info.begin());
    info[kInfoPresetByte] = static_cast<std::uint8_t>(currentPreset_);
    info[kInfoMidiDebugByte] = midiDebug_ ? 1 : 0;
    info[kInfoBypassByte] = bypassBits_;
    return Ok(std::move(info));
}

Reply CSimDevice::ReadImage(std::span<const std::uint8_t> payload) const {
    if (payload.size() != 3) {
        return Refused(payload.size() > 2 ? payload[2] : 0);
    }
    const int image = payload[0];
    const std::size_t start = payload[1];
    const std::size_t count = payload[2];
    if (image >= kImageCount || start + count > kImageSlotSize) {
        return Refused(count);
    }
    const auto source = Image(image).subspan(start, count);
    return Ok(std::vector<std::uint8_t>(source.begin(), source.end()));
}

Reply CSimDevice::ReadStatus(double seconds) const {
    const auto editBuffer = Image(0).first<kPresetImageSize>();
    const StatusBytes status = SimulateStatus(editBuffer, bypassBits_, currentPreset_, seconds);
    return Ok(std::vector<std::uint8_t>(status.begin(), status.end()));
}

Reply CSimDevice::ReadFirmware() const {
    return Ok({identity_.applicationNumber, identity_.applicationRevision,
               identity_.compatibilityLevel, identity_.editorLevel, identity_.baseRevision, 0, 0,
               0});
}

Reply CSimDevice::RecallPreset(std::span<const std::uint8_t> payload) {
    if (payload.size() != 1 || !IsPreset(payload[0])) {
        return Refused(0);
    }
    currentPreset_ = payload[0];
    std::ranges::copy(Image(currentPreset_), MutableImage(0).begin());
    return Ok();
}

Reply CSimDevice::StorePreset(std::span<const std::uint8_t> payload) {
    if (payload.size() != 1) {
        return Refused(0);
    }
    if (payload[0] == kFactoryRestore) {
        FactoryRestore();
        return Ok();
    }
    if (!IsPreset(payload[0])) {
        return Refused(0);
    }
    // Storing does not switch presets: the device keeps running the one it ran.
    std::ranges::copy(Image(0), MutableImage(payload[0]).begin());
    return Ok();
}

Reply CSimDevice::WriteDeviceName(std::span<const std::uint8_t> payload) {
    if (payload.size() != kNameRequestBytes) {
        return Refused(0);
    }
    const auto field = payload.subspan(kNameRequestOffset, kNameBytes);
    const auto end = std::find(field.begin(), field.end(), std::uint8_t{0});
    name_.assign(field.begin(), end);
    return Ok();
}

Reply CSimDevice::SetBypass(std::span<const std::uint8_t> payload) {
    if (payload.size() != 1 || payload[0] > 3) {
        return Refused(0);
    }
    bypassBits_ = payload[0];
    return Ok();
}

Reply CSimDevice::SetMidiDebug(std::span<const std::uint8_t> payload) {
    if (payload.size() != 1 || payload[0] > 1) {
        return Refused(0);
    }
    midiDebug_ = payload[0] == 1;
    return Ok();
}

Reply CSimDevice::WriteImage(std::span<const std::uint8_t> payload) {
    if (payload.size() < 3) {
        return Refused(0);
    }
    const int image = payload[0];
    const std::size_t start = payload[1];
    const auto data = payload.subspan(2);
    if (image >= kImageCount || start + data.size() > kImageSlotSize) {
        return Refused(0);
    }
    std::ranges::copy(data, MutableImage(image).begin() + static_cast<std::ptrdiff_t>(start));
    return Ok();
}

}  // namespace arvestra::devsim
