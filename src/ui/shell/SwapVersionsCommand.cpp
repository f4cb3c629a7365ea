#include "ui/shell/SwapVersionsCommand.h"

#include <QCoreApplication>

namespace arvestra {

CSwapVersionsCommand::CSwapVersionsCommand(CQ7310Doc& document, CABCompare& versions)
    : QUndoCommand(QCoreApplication::translate("CEditHistory", "Compare A/B")),
      doc(document),
      compare(versions) {}

}  // namespace arvestra
