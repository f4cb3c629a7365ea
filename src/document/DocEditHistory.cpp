// CQ7310Doc: the raw byte write that undo and redo replay recorded edits through.
#include "document/CQ7310Doc.h"

namespace arvestra {

void CQ7310Doc::RestoreImageByte(int offset, uint8_t value) {
    if (offset < 0 || offset >= static_cast<int>(kPresetImageSize)) return;
    {
        std::lock_guard<std::mutex> lock(dirtyLock);
        if (!model.isBound() || model.byteAt(offset) == value) return;
        model.setByteAt(offset, value);
        // Marked after the write and under the same lock, as every block operation does.
        if (bus_.IsSyncLive()) {
            const auto byte = static_cast<uint8_t>(offset);
            dirtyFirst = std::min(dirtyFirst, byte);
            dirtyLast = std::max(dirtyLast, byte);
        }
    }
    FlagChange(true);
}

}  // namespace arvestra
