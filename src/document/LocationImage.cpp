#include "document/LocationImage.h"

#include <algorithm>
#include <cstring>
#include <stdexcept>

namespace arvestra {

namespace {

uint32_t ReadLe32(const uint8_t* p) {
    return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
           (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
}

void WriteLe32(uint8_t* p, uint32_t v) {
    p[0] = static_cast<uint8_t>(v);
    p[1] = static_cast<uint8_t>(v >> 8);
    p[2] = static_cast<uint8_t>(v >> 16);
    p[3] = static_cast<uint8_t>(v >> 24);
}

std::string ReadName(const uint8_t* p, std::size_t max) {
    std::size_t n = 0;
    while (n < max && p[n] != 0) ++n;
    return std::string(reinterpret_cast<const char*>(p), n);
}

void WriteName(uint8_t* p, std::size_t field, std::size_t max, std::string_view name) {
    const std::size_t n = std::min(name.size(), max);
    std::memcpy(p, name.data(), n);
    std::memset(p + n, 0, field - n);
}

}  // namespace

void CLocationImage::FormatNew() {
    std::memset(base_, 0, kLocationSize);
    FormatNewOverZeros();
}

void CLocationImage::FormatNewOverZeros() {
    std::memcpy(base_ + kMagicOffset, kMagic, sizeof kMagic);
    SetHeaderWord(kFormatOffset, kFormatWord);
    SetHeaderWord(kVersionOffset, kVersionCurrent);
    ClearAddressTable();
}

uint32_t CLocationImage::HeaderWord(std::size_t offset) const {
    if (offset + 4 > kHeaderSize) throw std::out_of_range("header word outside the header");
    return ReadLe32(base_ + offset);
}

void CLocationImage::SetHeaderWord(std::size_t offset, uint32_t value) {
    if (offset + 4 > kHeaderSize) throw std::out_of_range("header word outside the header");
    WriteLe32(base_ + offset, value);
}

int32_t CLocationImage::RawEntry(int address) const {
    if (address < 0 || address >= kAddressCount) return kNoDevice;
    return static_cast<int32_t>(ReadLe32(base_ + kAddressTableOffset + 4 * address));
}

int CLocationImage::SlotOf(int address) const {
    const int32_t entry = RawEntry(address);
    return IsSlot(entry) ? entry : kNoDevice;
}

void CLocationImage::SetSlotOf(int address, int32_t slot) {
    if (address < 0 || address >= kAddressCount) return;
    const int32_t stored = IsSlot(slot) ? slot : kNoDevice;
    WriteLe32(base_ + kAddressTableOffset + 4 * address, static_cast<uint32_t>(stored));
}

void CLocationImage::ClearAddressTable() {
    std::memset(base_ + kAddressTableOffset, 0xFF, 4 * kAddressCount);
}

bool CLocationImage::AddressTableValid() const {
    for (int a = 0; a < kAddressCount; ++a) {
        if (!IsValidEntry(RawEntry(a))) return false;
    }
    return true;
}

int CLocationImage::HighestUsedSlot() const {
    int highest = 0;
    for (int a = 0; a < kAddressCount; ++a) highest = std::max(highest, SlotOf(a));
    return highest;
}

std::size_t CLocationImage::RecordOffset(int slot) const {
    if (!IsSlot(slot)) throw std::out_of_range("device slot outside 0..126");
    return kHeaderSize + static_cast<std::size_t>(slot) * kDeviceRecordSize;
}

std::size_t CLocationImage::ImageOffset(int slot, int image) const {
    if (image < 0 || image >= kImageCount) throw std::out_of_range("image outside 0..8");
    return RecordOffset(slot) + kRecImages + static_cast<std::size_t>(image) * kImageSlotSize;
}

uint8_t* CLocationImage::Record(int slot) {
    return base_ + RecordOffset(slot);
}
const uint8_t* CLocationImage::Record(int slot) const {
    return base_ + RecordOffset(slot);
}
uint8_t* CLocationImage::Image(int slot, int image) {
    return base_ + ImageOffset(slot, image);
}
const uint8_t* CLocationImage::Image(int slot, int image) const {
    return base_ + ImageOffset(slot, image);
}

int32_t CLocationImage::RecordInt(int slot, std::size_t field) const {
    if (field + 4 > kRecImages) throw std::out_of_range("record field outside the record");
    return static_cast<int32_t>(ReadLe32(Record(slot) + field));
}

void CLocationImage::SetRecordInt(int slot, std::size_t field, int32_t value) {
    if (field + 4 > kRecImages) throw std::out_of_range("record field outside the record");
    WriteLe32(Record(slot) + field, static_cast<uint32_t>(value));
}

std::string CLocationImage::DeviceName(int slot) const {
    return ReadName(Record(slot) + kRecName, kDeviceNameMax);
}

void CLocationImage::SetDeviceName(int slot, std::string_view name) {
    WriteName(Record(slot) + kRecName, kRecNameSize, kDeviceNameMax, name);
}

std::string CLocationImage::PresetName(int slot, int image) const {
    return ReadName(Image(slot, image) + kNameOffset, kNameLength);
}

void CLocationImage::SetPresetName(int slot, int image, std::string_view name) {
    WriteName(Image(slot, image) + kNameOffset, kNameLength, kNameLength, name);
}

}  // namespace arvestra
