#pragma once

#include "ui/dialogs/UnitDialog.h"

class QLineEdit;

namespace arvestra {

// "Edit Preset Name" (dialog 172, edit 3121) and "Edit Device Name" (dialog 174, edit 3150): one
// text field with OK and Cancel. The dialog only exchanges the text; the location model cuts it
// to the stored length.
class CEditNameDialog : public CUnitDialog {
    Q_OBJECT
  public:
    enum class Kind { Preset = 172, Device = 174 };

    CEditNameDialog(Kind kind, const QString& name, QWidget* parent);

    // The text as it stands.
    QString Name() const;
    QLineEdit* Field() const { return field; }

    // Runs the dialog; true with the new text in `result` on OK, false on Cancel.
    static bool Edit(Kind kind, const QString& name, QWidget* parent, QString& result);

    static constexpr int kMaxLength = 32;

  private:
    QLineEdit* field = nullptr;
};

}  // namespace arvestra
