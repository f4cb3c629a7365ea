#include "link/DeviceCommandsLink.h"

namespace arvestra {

namespace {

// One exchange with a fixed-length reply; `decode` runs only when a reply really arrived.
template <std::size_t N, typename Decode>
int ReadFixed(CSerialLink& link, std::uint8_t command, Decode decode) {
    if (!link.IsOpen()) {
        return 1;  // offline: nothing is exchanged and nothing is decoded
    }
    std::array<std::uint8_t, N> reply{};
    if (!link.Transact(command, nullptr, 0, reply.data(), static_cast<int>(N))) {
        return 0;
    }
    decode(std::span<const std::uint8_t, N>(reply));
    return 1;
}

}  // namespace

int RequestIdentity(CSerialLink& link, DeviceIdentity& identity) {
    return ReadFixed<kIdentifyReplyLength>(link, CMD_IDENTIFY,
                                           [&](auto reply) { identity = DecodeIdentify(reply); });
}

int RequestDeviceInfo(CSerialLink& link, DeviceInfo& info) {
    return ReadFixed<kDeviceInfoReplyLength>(link, CMD_READ_DEVICE_INFO,
                                             [&](auto reply) { info = DecodeDeviceInfo(reply); });
}

int RequestFirmware(CSerialLink& link, FirmwareInfo& firmware) {
    return ReadFixed<kFirmwareReplyLength>(link, CMD_READ_FIRMWARE,
                                           [&](auto reply) { firmware = DecodeFirmware(reply); });
}

int RequestImageBytes(CSerialLink& link, int image, int start, std::span<std::uint8_t> out) {
    const auto request = EncodeReadImage(image, start, static_cast<int>(out.size()));
    if (!request) {
        return 0;
    }
    return link.Transact(CMD_READ_IMAGE, request->data(), static_cast<int>(request->size()),
                         out.data(), static_cast<int>(out.size()));
}

int RequestStatus(CSerialLink& link, const std::array<ChainMembership, 2>& chains,
                  std::uint8_t outputLevelA, std::uint8_t outputLevelB, MeterRecord& meters) {
    return ReadFixed<kStatusReplyLength>(link, CMD_READ_STATUS, [&](auto reply) {
        meters = DecodeStatus(reply, chains, outputLevelA, outputLevelB);
    });
}

int SendImageBytes(CSerialLink& link, int image, int start, std::span<const std::uint8_t> data) {
    const auto payload = EncodeWriteImage(image, start, data);
    if (!payload) {
        return 0;
    }
    return link.Transact(CMD_WRITE_IMAGE, payload->data(), static_cast<int>(payload->size()),
                         nullptr, 0);
}

int SendRecallPreset(CSerialLink& link, int preset) {
    const auto value = EncodeRecallPreset(preset);
    return value ? link.SendByte(CMD_RECALL_PRESET, *value) : 0;
}

int SendStorePreset(CSerialLink& link, int preset) {
    const auto value = EncodeStorePreset(preset);
    return value ? link.SendByte(CMD_STORE_PRESET, *value) : 0;
}

int SendDeviceName(CSerialLink& link, std::string_view name) {
    const auto request = EncodeDeviceName(name);
    return link.Transact(CMD_WRITE_DEVICE_NAME, request.data(), static_cast<int>(request.size()),
                         nullptr, 0);
}

int SendBypass(CSerialLink& link, bool bypassA, bool bypassB) {
    return link.SendByte(CMD_SET_BYPASS, EncodeBypass(bypassA, bypassB));
}

int SendMidiDebug(CSerialLink& link, bool on) {
    return link.SendByte(CMD_SET_MIDI_DEBUG, EncodeMidiDebug(on));
}

}  // namespace arvestra
