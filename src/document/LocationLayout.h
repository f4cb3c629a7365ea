// Byte layout of a location: the 8,192-byte header with the address table, followed by one
// 4,098-byte record per device slot. The working copy of a Location File and the in-memory
// location of a new document are the same 528,638 bytes.
#pragma once

#include <cstddef>
#include <cstdint>

#include "model/PresetImage.h"

namespace arvestra {

// Whole location: header plus 127 device records, whatever the length of the file on disk.
inline constexpr std::size_t kHeaderSize = 8192;
inline constexpr std::size_t kDeviceRecordSize = 4098;
inline constexpr int kMaxSlots = 127;
inline constexpr std::size_t kLocationSize = kHeaderSize + kMaxSlots * kDeviceRecordSize;
static_assert(kLocationSize == 528638);

// Header words (little-endian 32-bit).
inline constexpr std::size_t kMagicOffset = 0;
inline constexpr std::size_t kFormatOffset = 4;
inline constexpr std::size_t kVersionOffset = 8;
inline constexpr uint8_t kMagic[4] = {'k', 'v', 'x', 0};
inline constexpr uint32_t kFormatWord = 1;
inline constexpr uint32_t kVersionCurrent = 0x80000002u;
inline constexpr uint32_t kVersionOld = 0x80000001u;

// Address table: one signed 32-bit slot number per address 0..126, -1 when no device.
inline constexpr std::size_t kAddressTableOffset = 4096;
inline constexpr int kAddressCount = 127;
inline constexpr int kFirstAddress = 1;
inline constexpr int kMaxAddress = 126;
inline constexpr int32_t kNoDevice = -1;

// Device record fields, offsets from the start of the record.
inline constexpr std::size_t kRecName = 0;
inline constexpr std::size_t kRecNameSize = 33;  // 32 characters and a terminating zero
inline constexpr std::size_t kDeviceNameMax = 32;
inline constexpr std::size_t kRecAppFirmware = 33;
inline constexpr std::size_t kRecApplicationNumber = 37;
inline constexpr std::size_t kRecBypassA = 41;
inline constexpr std::size_t kRecBypassB = 45;
inline constexpr std::size_t kRecLegacyGains = 49;
inline constexpr std::size_t kRecCurrentPreset = 53;
inline constexpr std::size_t kRecPresetModified = 57;
inline constexpr std::size_t kRecBaseFirmware = 61;
inline constexpr std::size_t kRecReserved = 65;
inline constexpr std::size_t kRecImages = 1794;

// Nine 256-byte image slots per record (kImageSlotSize, model/PresetImage.h): 0 is the edit
// buffer, 1..8 the stored presets.
inline constexpr int kImageCount = static_cast<int>(kImagesPerDevice);
inline constexpr int kFirstPreset = 1;
inline constexpr int kLastPreset = 8;
static_assert(kRecImages + kImageAreaSize == kDeviceRecordSize);

// Image offsets that the conversion of the older file version fills from the record.
inline constexpr std::size_t kLegacyGainTargets[4] = {142, 143, 191, 193};

}  // namespace arvestra
