#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>

#include "devsim/ReplyFrame.h"
#include "model/PresetImage.h"

namespace arvestra::devsim {

// Command codes the simulated device answers. Kept apart from the host's command table on
// purpose: the simulator is a second, independent reading of the protocol.
namespace cmd {
inline constexpr std::uint8_t kIdentify = 2;
inline constexpr std::uint8_t kReadDeviceInfo = 18;
inline constexpr std::uint8_t kReadImage = 32;
inline constexpr std::uint8_t kReadStatus = 35;
inline constexpr std::uint8_t kReadFirmware = 36;
inline constexpr std::uint8_t kRecallPreset = 130;
inline constexpr std::uint8_t kStorePreset = 147;
inline constexpr std::uint8_t kWriteDeviceName = 148;
inline constexpr std::uint8_t kSetBypass = 150;
inline constexpr std::uint8_t kSetMidiDebug = 157;
inline constexpr std::uint8_t kWriteImage = 160;
}  // namespace cmd

// What a simulated device reports about itself.
struct DeviceIdentityBytes {
    std::uint8_t deviceType = 34;
    std::uint8_t manufacturer = 56;
    std::uint8_t applicationNumber = 1;
    std::uint8_t applicationRevision = 13;  // 1.3
    std::uint8_t compatibilityLevel = 11;
    std::uint8_t editorLevel = 11;
    std::uint8_t baseRevision = 10;  // 1.0
};

// Offsets in the device information reply that this simulator fills.
inline constexpr std::size_t kInfoReplyBytes = 95;
inline constexpr std::size_t kInfoPresetByte = 91;
inline constexpr std::size_t kInfoMidiDebugByte = 92;  // simulator's own: the debug flag
inline constexpr std::size_t kInfoBypassByte = 94;
inline constexpr std::size_t kNameRequestBytes = 97;
inline constexpr std::size_t kNameRequestOffset = 65;
inline constexpr std::uint8_t kFactoryRestore = 255;

// One simulated device: its name, nine 256-byte images (0 = edit buffer, 1..8 = presets), the
// preset it runs, bypass bits and debug flag, and the answer to every command of the set.
// A request with a wrong payload size or an argument out of range is refused with status 1 and a
// payload of the length the host expects, so the host sees a status failure, not a short reply.
class CSimDevice {
  public:
    static constexpr int kImageCount = static_cast<int>(kImagesPerDevice);

    // A device at `address` in factory state, named "Device <address>".
    explicit CSimDevice(int address, DeviceIdentityBytes identity = {});

    // Acts on one request and returns the answer; `seconds` drives the test signal.
    Reply Handle(std::uint8_t command, std::span<const std::uint8_t> payload, double seconds);

    // Restores the factory contents: initial images named "Preset <n>", preset 1, no bypass.
    void FactoryRestore();

    int Address() const { return address_; }
    // Image `index` (0..8) as 256 bytes.
    std::span<const std::uint8_t, kImageSlotSize> Image(int index) const;
    const std::string& Name() const { return name_; }
    int CurrentPreset() const { return currentPreset_; }
    std::uint8_t BypassBits() const { return bypassBits_; }
    bool MidiDebug() const { return midiDebug_; }
    const DeviceIdentityBytes& Identity() const { return identity_; }

  private:
    Reply Identify() const;
    Reply ReadDeviceInfo() const;
    Reply ReadImage(std::span<const std::uint8_t> payload) const;
    Reply ReadStatus(double seconds) const;
    Reply ReadFirmware() const;
    Reply RecallPreset(std::span<const std::uint8_t> payload);
    Reply StorePreset(std::span<const std::uint8_t> payload);
    Reply WriteDeviceName(std::span<const std::uint8_t> payload);
    Reply SetBypass(std::span<const std::uint8_t> payload);
    Reply SetMidiDebug(std::span<const std::uint8_t> payload);
    Reply WriteImage(std::span<const std::uint8_t> payload);

    std::span<std::uint8_t, kImageSlotSize> MutableImage(int index);

    int address_;
    DeviceIdentityBytes identity_;
    std::array<std::uint8_t, kImageAreaSize> images_{};
    std::string name_;
    int currentPreset_ = 1;
    std::uint8_t bypassBits_ = 0;
    bool midiDebug_ = false;
};

}  // namespace arvestra::devsim
