#include "ui/dialogs/UnitDialog.h"

namespace arvestra {

CUnitDialog::CUnitDialog(const QString& title, int widthUnits, int heightUnits, QWidget* parent)
    : QDialog(parent), units(MeasureBaseUnits(font())) {
    setWindowTitle(title);
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
    const QRect size = DialogRectToPixels(QRect(0, 0, widthUnits, heightUnits), units);
    setFixedSize(size.width(), size.height());
}

void CUnitDialog::Place(QWidget* child, int x, int y, int width, int height) const {
    PlaceInDialogUnits(child, x, y, width, height, units);
}

}  // namespace arvestra
