#include "ui/dialogs/PortDevicesDialog.h"

#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace arvestra {

QString CPortDevicesDialog::DefaultPath(int port) {
    return QStringLiteral("/dev/ttyS%1").arg(port - 1);
}

QStringList CPortDevicesDialog::CandidateDevices() {
    QStringList devices;
    const QDir byId(QStringLiteral("/dev/serial/by-id"));
    for (const QString& name :
         byId.entryList(QDir::System | QDir::Files | QDir::NoDotAndDotDot, QDir::Name)) {
        devices.append(byId.filePath(name));
    }
    const QDir dev(QStringLiteral("/dev"));
    for (const QString& name : dev.entryList({QStringLiteral("ttyUSB*"), QStringLiteral("ttyACM*")},
                                             QDir::System, QDir::Name)) {
        devices.append(dev.filePath(name));
    }
    for (int port = 1; port <= kPorts; ++port) {
        if (QFileInfo::exists(DefaultPath(port))) {
            devices.append(DefaultPath(port));
        }
    }
    return devices;
}

CPortDevicesDialog::CPortDevicesDialog(const QStringList& paths, const QStringList& environment,
                                       QWidget* parent)
    : CUnitDialog(QStringLiteral("Port Devices"), 260, 112, parent),
      environmentPaths(environment),
      storedPaths(paths) {
    auto* intro = new QLabel(
        QStringLiteral("Device, tcp:HOST:PORT or rfc2217:HOST:PORT; empty: the default."), this);
    Place(intro, 7, 7, 246, 8);

    const QStringList candidates = CandidateDevices();
    for (int port = 1; port <= kPorts; ++port) {
        const int y = 22 + (port - 1) * 18;
        auto* label = new QLabel(QStringLiteral("Com&%1").arg(port), this);
        Place(label, 7, y + 2, 28, 8);
        auto* field = new QComboBox(this);
        field->setEditable(true);
        field->setInsertPolicy(QComboBox::NoInsert);
        field->addItems(candidates);
        field->lineEdit()->setPlaceholderText(DefaultPath(port));
        const QString environmentPath = environment.value(port - 1);
        if (!environmentPath.isEmpty()) {
            field->setEditText(environmentPath);
            field->setEnabled(false);
            field->setToolTip(QStringLiteral("Set by ARVESTRA_COM%1 for this run").arg(port));
        } else {
            field->setEditText(paths.value(port - 1));
        }
        label->setBuddy(field);
        Place(field, 36, y, 217, 13);
        fields.append(field);
    }

    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    auto* cancel = new QPushButton(QStringLiteral("Cancel"), this);
    ok->setDefault(true);
    Place(ok, 149, 94, 50, 14);
    Place(cancel, 203, 94, 50, 14);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
}

QStringList CPortDevicesDialog::Paths() const {
    QStringList paths;
    for (int i = 0; i < fields.size(); ++i) {
        // A port held by the environment keeps its stored path for later runs.
        paths.append(fields.at(i)->isEnabled() ? fields.at(i)->currentText().trimmed()
                                               : storedPaths.value(i));
    }
    return paths;
}

}  // namespace arvestra
