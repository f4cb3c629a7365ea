#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

namespace arvestra {

// Channel selector: 0 is channel A ("Ch 1"), 1 is channel B ("Ch 2"). Kept an int because callers
// pass values outside 0..1 on purpose (the storage accessors treat any non-zero value as B).
using Channel = int;
inline constexpr Channel kChannelA = 0;
inline constexpr Channel kChannelB = 1;

inline constexpr std::size_t kPresetImageSize = 250;  // bytes the device stores per preset
inline constexpr std::size_t kImageSlotSize = 256;    // bytes one image occupies in a record
inline constexpr std::size_t kImagesPerDevice = 9;    // edit buffer + presets 1..8
inline constexpr std::size_t kImageAreaSize = kImageSlotSize * kImagesPerDevice;

inline constexpr std::size_t kNameOffset = 218;  // preset name: bytes 218..249
inline constexpr std::size_t kNameLength = 32;

inline constexpr int kMaxDelaySamples = 65536;         // largest delay an edit may store
inline constexpr int kMaxDelayCount = 0xFFFFFF;        // largest value the three bytes can hold
inline constexpr int kMaxTemperatureTenths = 1500;     // 150.0 deg F
inline constexpr int kDefaultTemperatureTenths = 680;  // 68.0 deg F

using ImageSlot = std::span<std::uint8_t, kImageSlotSize>;
using ImageArea = std::span<std::uint8_t, kImageAreaSize>;

// The 250 parameter bytes of one preset, as the device sends them and the file stores them.
struct PresetImage {
    std::array<std::uint8_t, kPresetImageSize> bytes{};
};

// Returns an image holding the initial value of every parameter and an empty name.
PresetImage InitialPresetImage();

// Fills one 256-byte slot with the initial image; the name and bytes 250..255 become 0.
void FillInitialSlot(ImageSlot slot);

// Fills the nine slots of a new device record: initial images, slot s named "Preset s".
void FillInitialImageArea(ImageArea area);

// The three bytes of a 24-bit delay count, most significant first as the image stores them.
struct DelayBytes {
    std::uint8_t high;
    std::uint8_t middle;
    std::uint8_t low;
};

// The two bytes of the 16-bit temperature count (tenths of a degree Fahrenheit).
struct TemperatureBytes {
    std::uint8_t high;
    std::uint8_t low;
};

// Splits a delay count, first limited to 0..65536 as every edit of the delay is.
DelayBytes SplitDelaySamples(int samples);

// Joins three delay bytes into the 24-bit count (0..16777215; a device may hold more than 65536).
int JoinDelayBytes(DelayBytes bytes);

// Splits a temperature count, first limited to 0..1500 tenths (0 to 150.0 deg F).
TemperatureBytes SplitTemperatureTenths(int tenths);

// Joins two temperature bytes into the 16-bit count of tenths.
int JoinTemperatureBytes(TemperatureBytes bytes);

}  // namespace arvestra
