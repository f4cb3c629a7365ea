#include "ui/shell/SwapVersionsCommand.h"

#include <QCoreApplication>

#include "document/CQ7310Doc.h"

namespace arvestra {

CSwapVersionsCommand::CSwapVersionsCommand(CQ7310Doc& document, CABCompare& versions,
                                           int deviceAddress)
    : QUndoCommand(QCoreApplication::translate("CEditHistory", "Compare A/B")),
      doc(document),
      compare(versions),
      address(deviceAddress) {}

void CSwapVersionsCommand::SwapOnItsDevice() {
    if (doc.Devices().Location().SlotOf(address) == kNoDevice) return;
    if (doc.Devices().CurrentAddress() != address) doc.SelectDevice(address);
    compare.Swap(doc);
}

}  // namespace arvestra
