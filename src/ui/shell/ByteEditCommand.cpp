#include "ui/shell/ByteEditCommand.h"

namespace arvestra {

CByteEditCommand::CByteEditCommand(CQ7310Doc& document, int deviceAddress,
                                   std::vector<ByteChange> changed, const QString& text)
    : QUndoCommand(text), doc(document), address(deviceAddress), changes(std::move(changed)) {}

void CByteEditCommand::undo() {
    ReplayChanges(doc, address, changes, EditReason::Undo);
}

void CByteEditCommand::redo() {
    if (!pushed) {
        pushed = true;
        return;
    }
    ReplayChanges(doc, address, changes, EditReason::Redo);
}

}  // namespace arvestra
