#pragma once

#include <QDialog>
#include <QTimer>

#include "ui/shell/AppSettings.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;

namespace arvestra {

namespace remote {
class OscService;
}

// "Show Control": turns the OSC server for cue systems and control surfaces on and off, on one
// address of this computer and a UDP port, for the senders of an allow-list. Apply starts or
// stops the server and says so; what was applied is kept (Applied) so the editor starts the
// same way next time. The server outlives the dialog.
class CShowControlDialog : public QDialog {
    Q_OBJECT
  public:
    CShowControlDialog(remote::OscService& service, const ShowControlSettings& shown,
                       QWidget* parent);

    QComboBox* AddressField() const { return address; }
    QSpinBox* PortField() const { return port; }
    QLineEdit* AllowField() const { return allow; }
    QCheckBox* OnBox() const { return on; }
    QPushButton* ApplyButton() const { return apply; }
    QString StatusText() const;
    // The settings as the fields show them.
    ShowControlSettings Shown() const;

  signals:
    // Apply was pressed; the settings to keep.
    void Applied(const ShowControlSettings& settings);

  private:
    void Apply();
    void ShowState();

    remote::OscService& service;
    QComboBox* address = nullptr;
    QSpinBox* port = nullptr;
    QLineEdit* allow = nullptr;
    QCheckBox* on = nullptr;
    QPushButton* apply = nullptr;
    QLabel* status = nullptr;
    QString failure;
    QTimer refresh;
};

}  // namespace arvestra
