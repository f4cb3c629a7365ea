#pragma once

#include <QStringList>

#include "ui/dialogs/UnitDialog.h"

class QComboBox;

namespace arvestra {

// "Port Devices": which device each of COM1 to COM4 stands for, for example
// /dev/serial/by-id/usb-FTDI_..., tcp:192.168.1.20:4001 or rfc2217:192.168.1.20:4001 (a server
// that also takes the baud rate). An empty field means the default
// (/dev/ttyS0 to /dev/ttyS3). A port whose ARVESTRA_COM<n> environment variable is set shows that
// value and cannot be edited for this run.
class CPortDevicesDialog : public CUnitDialog {
    Q_OBJECT
  public:
    static constexpr int kPorts = 4;

    // `paths` and `environment` hold one entry per port (COM1 first); an empty environment
    // entry means the variable is not set.
    CPortDevicesDialog(const QStringList& paths, const QStringList& environment, QWidget* parent);

    // The paths as entered, trimmed, one per port.
    QStringList Paths() const;
    // The editable field of port n (1..4), for tests.
    QComboBox* Field(int port) const { return fields.at(port - 1); }

    // The device files a user would likely pick: /dev/serial/by-id links, USB and ACM adapters
    // and the first four built-in ports that exist.
    static QStringList CandidateDevices();
    // The path a port uses when nothing is set.
    static QString DefaultPath(int port);

  private:
    QList<QComboBox*> fields;
    QStringList environmentPaths;
    QStringList storedPaths;
};

}  // namespace arvestra
