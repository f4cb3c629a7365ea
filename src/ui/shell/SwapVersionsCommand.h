#pragma once

#include <QUndoCommand>

#include "document/ABCompare.h"

namespace arvestra {

class CQ7310Doc;

// An A/B swap as an undo step: undoing a swap is swapping back, so the versions and the name
// shown stay in step with the edits recorded around it. The step belongs to the device it was
// made on, which undo and redo select first, whichever device is being edited then.
class CSwapVersionsCommand : public QUndoCommand {
  public:
    CSwapVersionsCommand(CQ7310Doc& doc, CABCompare& compare, int address);

    void undo() override { SwapOnItsDevice(); }
    void redo() override { SwapOnItsDevice(); }

  private:
    void SwapOnItsDevice();

    CQ7310Doc& doc;
    CABCompare& compare;
    int address;
};

}  // namespace arvestra
