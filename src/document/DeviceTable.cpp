#include "document/DeviceTable.h"

#include <algorithm>

namespace arvestra {

DeviceTable::DeviceTable(const AppState& app) : app_(app), ownStorage_(kLocationSize) {
    location_.Attach(CLocationImage::Bytes(ownStorage_.Data(), kLocationSize));
    location_.FormatNewOverZeros();
}

// ---- Storage
// -------------------------------------------------------------------------------------

void DeviceTable::Attach(std::span<uint8_t, kLocationSize> bytes) {
    location_.Attach(bytes);
    currentSlot_ = kNoDevice;
}

void DeviceTable::Detach() {
    Attach(CLocationImage::Bytes(ownStorage_.Data(), kLocationSize));
    location_.FormatNew();
}

void DeviceTable::FormatEmpty() {
    location_.FormatNew();
    currentSlot_ = kNoDevice;
}

// ---- Addresses and slots
// ---------------------------------------------------------------------------

int DeviceTable::SlotOfAddress(int address) const {
    const int slot = location_.SlotOf(address);
    return slot != kNoDevice ? slot : location_.SlotOf(kFirstAddress);
}

int DeviceTable::AddressOfSlot(int slot) const {
    for (int a = kFirstAddress; a <= kMaxAddress; ++a) {
        if (location_.SlotOf(a) == slot && slot != kNoDevice) return a;
    }
    return kFirstAddress;
}

int DeviceTable::FirstFreeAddress() const {
    for (int a = kFirstAddress; a <= kMaxAddress; ++a) {
        if (location_.SlotOf(a) == kNoDevice) return a;
    }
    return -1;
}

int DeviceTable::FirstFreeSlot() const {
    std::array<bool, kMaxSlots> used{};
    for (int a = kFirstAddress; a <= kMaxAddress; ++a) {
        const int slot = location_.SlotOf(a);
        if (slot != kNoDevice) used[static_cast<std::size_t>(slot)] = true;
    }
    for (int s = 0; s < kMaxSlots; ++s) {
        if (!used[static_cast<std::size_t>(s)]) return s;
    }
    return -1;
}

std::string DeviceTable::GetDeviceName(int address) const {
    const int slot = SlotOfAddress(address);
    return slot == kNoDevice ? std::string() : location_.DeviceName(slot);
}

void DeviceTable::Enter(int address, int slot) {
    std::fill_n(location_.Record(slot), kDeviceRecordSize, uint8_t{0});
    location_.SetSlotOf(address, slot);
}

void DeviceTable::Remove(int address) {
    location_.SetSlotOf(address, kNoDevice);
    SetPresent(address, false);
}

void DeviceTable::Move(int from, int to) {
    location_.SetSlotOf(to, location_.SlotOf(from));
    location_.SetSlotOf(from, kNoDevice);
    SetPresent(from, false);
}

// ---- Presence
// --------------------------------------------------------------------------------------

bool DeviceTable::IsDevicePresent(int address) const {
    if (address < 0 || address >= kAddressCount) return false;
    if (app_.IsOnline() != 0) return IsMarkedPresent(address);
    return location_.SlotOf(address) != kNoDevice;
}

int DeviceTable::RebuildPresentTable() {
    ClearPresent();
    int lowest = 0;
    for (int a = kFirstAddress; a <= kMaxAddress; ++a) {
        if (location_.SlotOf(a) == kNoDevice) continue;
        SetPresent(a, true);
        if (lowest == 0) lowest = a;
    }
    return lowest;
}

void DeviceTable::SetPresent(int address, bool present) {
    if (address < 0 || address >= kAddressCount) return;
    present_[static_cast<std::size_t>(address)] = present;
}

bool DeviceTable::IsMarkedPresent(int address) const {
    if (address < 0 || address >= kAddressCount) return false;
    return present_[static_cast<std::size_t>(address)];
}

int DeviceTable::CountPresentDevices() const {
    return static_cast<int>(std::count(present_.begin(), present_.end(), true));
}

int DeviceTable::FirstPresentAddress() const {
    for (int a = kFirstAddress; a <= kMaxAddress; ++a) {
        if (IsMarkedPresent(a)) return a;
    }
    return 0;
}

// ---- The device being edited
// -------------------------------------------------------------------------

int DeviceTable::MakeCurrent(int address) {
    currentAddress_ = address;
    currentSlot_ = SlotOfAddress(address);
    return currentSlot_;
}

int DeviceTable::CurrentPreset() const {
    if (currentSlot_ == kNoDevice) return kFirstPreset;
    return std::clamp<int>(location_.RecordInt(currentSlot_, kRecCurrentPreset), kFirstPreset,
                           kLastPreset);
}

void DeviceTable::SetCurrentPreset(int preset) {
    if (currentSlot_ == kNoDevice) return;
    location_.SetRecordInt(currentSlot_, kRecCurrentPreset,
                           std::clamp(preset, kFirstPreset, kLastPreset));
}

bool DeviceTable::PresetModified() const {
    if (currentSlot_ == kNoDevice) return false;
    return location_.RecordInt(currentSlot_, kRecPresetModified) != 0;
}

void DeviceTable::SetPresetModified(bool on) {
    if (currentSlot_ == kNoDevice) return;
    location_.SetRecordInt(currentSlot_, kRecPresetModified, on ? 1 : 0);
}

bool DeviceTable::BypassA() const {
    if (currentSlot_ == kNoDevice) return false;
    return location_.RecordInt(currentSlot_, kRecBypassA) != 0;
}

bool DeviceTable::BypassB() const {
    if (currentSlot_ == kNoDevice) return false;
    return location_.RecordInt(currentSlot_, kRecBypassB) != 0;
}

void DeviceTable::SetBypassFlag(std::size_t recordField, bool on) {
    if (currentSlot_ == kNoDevice) return;
    location_.SetRecordInt(currentSlot_, recordField, on ? 1 : 0);
}

std::string DeviceTable::GetPresetName(int image) const {
    if (currentSlot_ == kNoDevice || image < 0 || image >= kImageCount) return {};
    return location_.PresetName(currentSlot_, image);
}

}  // namespace arvestra
