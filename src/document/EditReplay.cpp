#include "document/EditReplay.h"

namespace arvestra {

bool ReplayChanges(CQ7310Doc& doc, int address, std::span<const ByteChange> changes,
                   EditReason reason) {
    if (doc.Devices().Location().SlotOf(address) == kNoDevice) return false;
    if (doc.Devices().CurrentAddress() != address) doc.SelectDevice(address);
    const bool undo = reason == EditReason::Undo;
    const EditScope scope(doc.Edits(), reason);
    for (const ByteChange& change : changes) {
        doc.Edits().RestoreByte(change.offset, undo ? change.before : change.after);
    }
    return true;
}

}  // namespace arvestra
