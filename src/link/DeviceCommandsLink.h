#pragma once

// Each device command issued once over a CSerialLink: encode the request, run one Transact,
// decode the reply. Every function returns 1 on success and 0 when the exchange failed (the link
// has already reported it; the application is offline or closing) or when the arguments cannot
// be encoded (nothing is sent). With the port closed, Transact sends nothing and returns 1; these
// functions then return 1 and leave their output untouched.

#include <array>
#include <cstdint>
#include <span>
#include <string_view>

#include "link/DeviceCommands.h"
#include "link/SerialLink.h"

namespace arvestra {

// CMD_IDENTIFY: the device type and manufacturer.
int RequestIdentity(CSerialLink& link, DeviceIdentity& identity);

// CMD_READ_DEVICE_INFO: name, running preset (1..8) and bypass flags.
int RequestDeviceInfo(CSerialLink& link, DeviceInfo& info);

// CMD_READ_FIRMWARE: revisions and compatibility levels.
int RequestFirmware(CSerialLink& link, FirmwareInfo& firmware);

// CMD_READ_IMAGE: out.size() bytes of image `image` from offset `start` (1..255 bytes).
int RequestImageBytes(CSerialLink& link, int image, int start, std::span<std::uint8_t> out);

// CMD_READ_STATUS decoded into the meter record for the given chains and output levels.
int RequestStatus(CSerialLink& link, const std::array<ChainMembership, 2>& chains,
                  std::uint8_t outputLevelA, std::uint8_t outputLevelB, MeterRecord& meters);

// CMD_WRITE_IMAGE: `data` (1..256 bytes) into image `image` from offset `start`.
int SendImageBytes(CSerialLink& link, int image, int start, std::span<const std::uint8_t> data);

// CMD_RECALL_PRESET of preset 1..8.
int SendRecallPreset(CSerialLink& link, int preset);

// CMD_STORE_PRESET of preset 1..8, or 255 for the factory contents.
int SendStorePreset(CSerialLink& link, int preset);

// CMD_WRITE_DEVICE_NAME with at most the first 32 characters of `name`.
int SendDeviceName(CSerialLink& link, std::string_view name);

// CMD_SET_BYPASS with both channel flags.
int SendBypass(CSerialLink& link, bool bypassA, bool bypassB);

// CMD_SET_MIDI_DEBUG on or off.
int SendMidiDebug(CSerialLink& link, bool on);

}  // namespace arvestra
