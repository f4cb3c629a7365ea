// A copy of the edit buffer of the device being edited, to tell which bytes an edit changed:
// the editor takes one when a gesture starts and asks for the changes when it ends. Comparing
// 250 bytes costs next to nothing, so no operation has to report what it wrote.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <vector>

#include "document/CQ7310Doc.h"

namespace arvestra {

// One byte of the edit buffer before and after an edit.
struct ByteChange {
    int offset = 0;
    uint8_t before = 0;
    uint8_t after = 0;

    bool operator==(const ByteChange&) const = default;
};

class CEditSnapshot {
  public:
    // An empty snapshot: it belongs to no device, and nothing is comparable with it.
    CEditSnapshot() = default;
    // The edit buffer of the document's current device as it is now.
    explicit CEditSnapshot(const CQ7310Doc& doc);
    // The edit buffer of the device at `address` (empty when the location has none there).
    CEditSnapshot(const CQ7310Doc& doc, int address);

    int Address() const { return address_; }
    std::uint64_t Epoch() const { return epoch_; }
    // True while the document edits this device and no recall, store, read or device-list
    // change has happened since the snapshot: only then do its changes mean edits.
    bool Comparable(const CQ7310Doc& doc) const;
    // The bytes that differ now, in offset order; empty when not comparable.
    std::vector<ByteChange> ChangesSince(const CQ7310Doc& doc) const;

  private:
    int address_ = 0;
    int slot_ = kNoDevice;
    std::uint64_t epoch_ = 0;
    std::array<uint8_t, kPresetImageSize> bytes_{};
};

// Writes recorded changes back into the edit buffer of the device at `address` (selecting it
// first when another is being edited): the `before` bytes to undo, the `after` bytes to redo.
// Live, the bytes are sent as any edit is. False when the location has no such device.
bool ReplayChanges(CQ7310Doc& doc, int address, std::span<const ByteChange> changes, bool undo);

}  // namespace arvestra
