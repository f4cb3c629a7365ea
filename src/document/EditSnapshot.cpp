#include "document/EditSnapshot.h"

#include <algorithm>

namespace arvestra {

namespace {

// The edit buffer of the current device, or null while none is selected.
const uint8_t* EditBuffer(const CQ7310Doc& doc) {
    if (doc.Devices().CurrentSlot() == kNoDevice) return nullptr;
    return doc.Devices().Location().Image(doc.Devices().CurrentSlot(), 0);
}

}  // namespace

CEditSnapshot::CEditSnapshot(const CQ7310Doc& doc)
    : address_(doc.Devices().CurrentAddress()),
      slot_(doc.Devices().CurrentSlot()),
      epoch_(doc.HistoryEpoch()) {
    if (const uint8_t* buffer = EditBuffer(doc)) std::copy_n(buffer, bytes_.size(), bytes_.begin());
}

CEditSnapshot::CEditSnapshot(const CQ7310Doc& doc, int address)
    : address_(address),
      slot_(doc.Devices().Location().SlotOf(address)),
      epoch_(doc.HistoryEpoch()) {
    if (slot_ != kNoDevice) {
        std::copy_n(doc.Devices().Location().Image(slot_, 0), bytes_.size(), bytes_.begin());
    }
}

bool CEditSnapshot::Comparable(const CQ7310Doc& doc) const {
    return slot_ != kNoDevice && doc.Devices().CurrentSlot() == slot_ &&
           doc.Devices().CurrentAddress() == address_ && doc.HistoryEpoch() == epoch_;
}

std::vector<ByteChange> CEditSnapshot::ChangesSince(const CQ7310Doc& doc) const {
    std::vector<ByteChange> changes;
    if (!Comparable(doc)) return changes;
    const uint8_t* buffer = EditBuffer(doc);
    for (std::size_t i = 0; i < bytes_.size(); ++i) {
        if (buffer[i] != bytes_[i]) {
            changes.push_back({static_cast<int>(i), bytes_[i], buffer[i]});
        }
    }
    return changes;
}

bool ReplayChanges(CQ7310Doc& doc, int address, std::span<const ByteChange> changes, bool undo) {
    if (doc.Devices().Location().SlotOf(address) == kNoDevice) return false;
    if (doc.Devices().CurrentAddress() != address) doc.SelectDevice(address);
    for (const ByteChange& change : changes) {
        doc.RestoreImageByte(change.offset, undo ? change.before : change.after);
    }
    return true;
}

}  // namespace arvestra
