#pragma once

#include <QDialog>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;

namespace arvestra {

namespace remote {
class RemoteServer;
}

// "Remote Control": turns the remote-control server on and off. The server listens on one
// address of this computer (none by default: off) and a port; while on, the dialog shows the
// access code and the page's address to type or scan into a phone or tablet. The server outlives
// the dialog; closing the dialog leaves it as it is.
class CRemoteControlDialog : public QDialog {
    Q_OBJECT
  public:
    static constexpr int kDefaultPort = 8080;

    CRemoteControlDialog(remote::RemoteServer& server, QWidget* parent);

    // The addresses offered: "None" first, then this computer's IPv4 addresses.
    QComboBox* AddressField() const { return address; }
    QSpinBox* PortField() const { return port; }
    QPushButton* ApplyButton() const { return apply; }
    // The page's address while on, empty while off.
    QString ShownPageAddress() const;
    QString StatusText() const;

  private:
    void Apply();
    void ShowState();

    remote::RemoteServer& server;
    QComboBox* address = nullptr;
    QSpinBox* port = nullptr;
    QPushButton* apply = nullptr;
    QLabel* status = nullptr;
    QLineEdit* code = nullptr;
    QLineEdit* page = nullptr;
    QString failure;
};

}  // namespace arvestra
