// The devices of a location: the 528,638 location bytes with their address table and device
// records, which devices are on the bus, and which one is being edited. Lookups here never talk
// to a device; the document selects, adds and moves devices through this table and does the
// device traffic itself.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "app/AppState.h"
#include "document/LocationImage.h"
#include "document/LocationLayout.h"
#include "document/ZeroedPages.h"

namespace arvestra {

class DeviceTable {
  public:
    // A table over its own in-memory location, holding no device.
    explicit DeviceTable(const AppState& app);
    DeviceTable(const DeviceTable&) = delete;
    DeviceTable& operator=(const DeviceTable&) = delete;

    // ---- Storage ----------------------------------------------------------------------------

    // Works on these bytes from now on (the mapped working copy); no device is current.
    void Attach(std::span<uint8_t, kLocationSize> bytes);
    // Goes back to the table's own bytes, made an empty location.
    void Detach();
    // Makes the bytes in use an empty location; no device is current.
    void FormatEmpty();
    // The location bytes the table works on.
    CLocationImage& Location() { return location_; }
    const CLocationImage& Location() const { return location_; }

    // ---- Addresses and slots ------------------------------------------------------------------

    // Table entry of an address; an address without one gives the entry of address 1.
    int SlotOfAddress(int address) const;
    // Lowest address 1..126 whose entry is `slot`; 1 when there is none.
    int AddressOfSlot(int slot) const;
    // Lowest address 1..126 / slot 0..126 not in use; -1 when full.
    int FirstFreeAddress() const;
    int FirstFreeSlot() const;
    // Name field of an address's record.
    std::string GetDeviceName(int address) const;

    // Enters a new device at `address` in `slot`, its record zeroed (a reused slot still holds a
    // deleted device's bytes).
    void Enter(int address, int slot);
    // Takes `address` out of the table; its record stays in the file until the slot is reused.
    void Remove(int address);
    // Moves the device at `from` to `to` (which loses whatever it held).
    void Move(int from, int to);

    // ---- Presence -----------------------------------------------------------------------------

    // Online: found on the bus by the last scan; offline: in the table.
    bool IsDevicePresent(int address) const;
    // Marks every address in the table present; the lowest such address (0 when none).
    int RebuildPresentTable();
    // Marks one address found (or not) on the bus.
    void SetPresent(int address, bool present);
    bool IsMarkedPresent(int address) const;
    void ClearPresent() { present_.fill(false); }
    int CountPresentDevices() const;
    // Lowest address 1..126 marked present; 0 when none is.
    int FirstPresentAddress() const;

    // ---- The device being edited --------------------------------------------------------------

    // Makes `address` current and returns its record's slot (kNoDevice: the location holds no
    // device). No pause, no traffic: the document selects.
    int MakeCurrent(int address);
    int CurrentAddress() const { return currentAddress_; }
    int CurrentSlot() const { return currentSlot_; }
    // 1..8 whatever the record holds.
    int CurrentPreset() const;
    void SetCurrentPreset(int preset);
    bool PresetModified() const;
    void SetPresetModified(bool on);
    bool BypassA() const;
    bool BypassB() const;
    // Stores one bypass flag (kRecBypassA or kRecBypassB) of the current record.
    void SetBypassFlag(std::size_t recordField, bool on);
    // Name of image 0..8 of the current record.
    std::string GetPresetName(int image) const;

  private:
    const AppState& app_;
    ZeroedPages ownStorage_;
    CLocationImage location_;
    std::array<bool, kAddressCount> present_{};
    int currentAddress_ = 0;
    int currentSlot_ = kNoDevice;
};

}  // namespace arvestra
