#pragma once

#include <QUndoCommand>

#include <vector>

#include "document/EditReplay.h"

namespace arvestra {

// One gesture on one device's edit buffer as an undo step: the bytes it changed, before and
// after. Undo and redo select that device and write the bytes back through its edit buffer, so
// online they reach the device like any edit. The edit has already happened when the step is
// pushed: the first redo, which the stack makes on push, does nothing.
class CByteEditCommand : public QUndoCommand {
  public:
    CByteEditCommand(CQ7310Doc& doc, int address, std::vector<ByteChange> changes,
                     const QString& text);

    void undo() override;
    void redo() override;

    const std::vector<ByteChange>& Changes() const { return changes; }

  private:
    CQ7310Doc& doc;
    int address;
    std::vector<ByteChange> changes;
    bool pushed = false;
};

}  // namespace arvestra
