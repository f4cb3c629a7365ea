#pragma once

#include <QDialog>

#include "ui/dialogs/DialogUnits.h"

namespace arvestra {

// A fixed-size dialog laid out in dialog units of its own font, titled like every window of
// the application's dialogs. Derived dialogs create their controls and place them with Place.
class CUnitDialog : public QDialog {
    Q_OBJECT
  public:
    CUnitDialog(const QString& title, int widthUnits, int heightUnits, QWidget* parent);

    // Places a child at a rectangle given in dialog units.
    void Place(QWidget* child, int x, int y, int width, int height) const;
    // The base units the layout uses (measured from the dialog's font at construction).
    const DialogBaseUnits& Units() const { return units; }

  private:
    DialogBaseUnits units;
};

}  // namespace arvestra
