#pragma once

#include <QUndoCommand>

#include "document/ABCompare.h"

namespace arvestra {

// An A/B swap as an undo step: undoing a swap is swapping back, so the versions and the name
// shown stay in step with the edits recorded around it.
class CSwapVersionsCommand : public QUndoCommand {
  public:
    CSwapVersionsCommand(CQ7310Doc& doc, CABCompare& compare);

    void undo() override { compare.Swap(doc); }
    void redo() override { compare.Swap(doc); }

  private:
    CQ7310Doc& doc;
    CABCompare& compare;
};

}  // namespace arvestra
