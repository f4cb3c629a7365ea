// Non-owning accessor over the 528,638 bytes of a location: header words, the address table
// and the device records with their nine images. Whoever provides the storage (an in-memory
// buffer, or the mapped working copy of a Location File) hands its bytes to Attach; every
// record access of the document goes through here so that no index leaves the buffer.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "document/LocationLayout.h"

namespace arvestra {

class CLocationImage {
  public:
    using Bytes = std::span<uint8_t, kLocationSize>;

    CLocationImage() = default;
    explicit CLocationImage(Bytes bytes) : base_(bytes.data()) {}

    // Points the accessor at another 528,638-byte storage.
    void Attach(Bytes bytes) { base_ = bytes.data(); }
    // True once storage has been attached.
    bool IsAttached() const { return base_ != nullptr; }
    // First byte of the location (the magic).
    uint8_t* Data() { return base_; }
    const uint8_t* Data() const { return base_; }

    // Makes the bytes an empty current-version location: zeros, magic, format 1, all entries -1.
    void FormatNew();
    // The same for bytes that are all zero already: only the header and the table are written,
    // so the pages of the records stay untouched.
    void FormatNewOverZeros();

    // Little-endian 32-bit word at a header offset (offset + 4 must lie within the header).
    uint32_t HeaderWord(std::size_t offset) const;
    void SetHeaderWord(std::size_t offset, uint32_t value);

    // True for 1..126, the addresses a device can have.
    static bool IsDeviceAddress(int address) {
        return address >= kFirstAddress && address <= kMaxAddress;
    }
    // True for 0..126, the positions of the device records.
    static bool IsSlot(int slot) { return slot >= 0 && slot < kMaxSlots; }
    // True when a table entry is usable: -1 or a slot number.
    static bool IsValidEntry(int32_t entry) { return entry == kNoDevice || IsSlot(entry); }

    // The table entry as stored, for addresses 0..126 (kNoDevice for any other address).
    int32_t RawEntry(int address) const;
    // The slot of an address, or kNoDevice when the address has none, is out of range or its
    // entry is not a valid slot number: a bad entry never reaches a record outside the file.
    int SlotOf(int address) const;
    // Writes an entry for address 0..126; anything but -1 or 0..126 is stored as -1.
    void SetSlotOf(int address, int32_t slot);
    // Sets all 127 entries to -1.
    void ClearAddressTable();
    // True when every one of the 127 entries is -1 or 0..126.
    bool AddressTableValid() const;
    // Largest slot that an entry refers to, or 0 when the table is empty.
    int HighestUsedSlot() const;

    // The 4,098 bytes of a record; slot must be 0..126 (throws std::out_of_range otherwise).
    uint8_t* Record(int slot);
    const uint8_t* Record(int slot) const;
    // The 256-byte image slot 0..8 of a record.
    uint8_t* Image(int slot, int image);
    const uint8_t* Image(int slot, int image) const;

    // Little-endian 32-bit record field (kRecCurrentPreset and the like).
    int32_t RecordInt(int slot, std::size_t field) const;
    void SetRecordInt(int slot, std::size_t field, int32_t value);

    // Device name: the bytes up to the first zero, at most 32.
    std::string DeviceName(int slot) const;
    // Stores at most 32 bytes of the name, zero-filled to the end of the 33-byte field.
    void SetDeviceName(int slot, std::string_view name);
    // Name of image 0..8 of a record: bytes 218.. up to the first zero, at most 32.
    std::string PresetName(int slot, int image) const;
    // Stores at most 32 bytes of the name at 218..249 of the image, zero-padded.
    void SetPresetName(int slot, int image, std::string_view name);

  private:
    std::size_t RecordOffset(int slot) const;
    std::size_t ImageOffset(int slot, int image) const;

    uint8_t* base_ = nullptr;
};

}  // namespace arvestra
