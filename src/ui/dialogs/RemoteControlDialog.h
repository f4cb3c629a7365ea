#pragma once

#include <QDialog>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;
class QTreeWidget;

namespace arvestra {

namespace remote {
class RemoteServer;
}

// "Remote Control": turns the remote-control server on and off. The server listens on one
// address of this computer (none by default: off) and a port; while on, the dialog shows the
// page's address as a QR code to scan with a phone or tablet (and as text, with the address
// that only watches and the certificate's fingerprint), lists the connected pages, drops one,
// or makes new codes, which drops them all. The server outlives the dialog; closing the dialog
// leaves it as it is.
class CRemoteControlDialog : public QDialog {
    Q_OBJECT
  public:
    static constexpr int kDefaultPort = 8080;

    CRemoteControlDialog(remote::RemoteServer& server, QWidget* parent);

    // The addresses offered: "None" first, then this computer's IPv4 addresses.
    QComboBox* AddressField() const { return address; }
    QSpinBox* PortField() const { return port; }
    QPushButton* ApplyButton() const { return apply; }
    QPushButton* NewCodeButton() const { return newCode; }
    QPushButton* DropButton() const { return drop; }
    QTreeWidget* PageList() const { return pages; }
    // The page's address while on, empty while off.
    QString ShownPageAddress() const;
    QString ShownFingerprint() const;
    // True while a QR code is shown.
    bool ShowsQrCode() const;
    QString StatusText() const;

  private:
    void Apply();
    void ShowState();
    void ShowPages();
    void DropSelected();

    remote::RemoteServer& server;
    QComboBox* address = nullptr;
    QSpinBox* port = nullptr;
    QPushButton* apply = nullptr;
    QLabel* status = nullptr;
    QLabel* qr = nullptr;
    QLineEdit* code = nullptr;
    QLineEdit* page = nullptr;
    QLineEdit* watch = nullptr;
    QLineEdit* fingerprint = nullptr;
    QTreeWidget* pages = nullptr;
    QPushButton* drop = nullptr;
    QPushButton* newCode = nullptr;
    QString failure;
};

}  // namespace arvestra
