// Writing recorded byte changes back into a device's edit buffer: what the editor's undo and
// redo are made of. The changes come from the edit buffer's announcements (EditEvent).
#pragma once

#include <span>

#include "document/CQ7310Doc.h"

namespace arvestra {

// Writes recorded changes back into the edit buffer of the device at `address`, selecting it
// first when another is being edited: the `before` bytes for an undo, the `after` bytes
// otherwise. Live, the bytes are sent as any edit is; the change is announced for `reason`.
// False when the location has no such device.
bool ReplayChanges(CQ7310Doc& doc, int address, std::span<const ByteChange> changes,
                   EditReason reason);

}  // namespace arvestra
