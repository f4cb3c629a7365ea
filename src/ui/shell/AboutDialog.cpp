#include "ui/shell/AboutDialog.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>

#include <cstdint>

namespace arvestra {

namespace {

int AsByte(int value) {
    return static_cast<std::uint8_t>(value);
}

QString Revision(int tenths) {
    return QStringLiteral("%1.%2").arg(tenths / 10).arg(tenths % 10);
}

}  // namespace

QStringList CAboutDialog::DeviceLines(const AboutDeviceInfo& info) {
    if (!info.online) {
        return {QStringLiteral("Offline"), QString(), QString(), QString()};
    }
    return {QStringLiteral("Address = %1").arg(AsByte(info.address)),
            QStringLiteral("Application Number = %1").arg(AsByte(info.applicationNumber)),
            QStringLiteral("App FW Revision = ") + Revision(AsByte(info.appFirmware)),
            QStringLiteral("Base FW Revision = ") + Revision(info.baseFirmware)};
}

CAboutDialog::CAboutDialog(const AboutDeviceInfo& info, QWidget* parent)
    : CUnitDialog(QStringLiteral("About Korvanex Arvestra"), 217, 120, parent) {
    auto* icon = new QLabel(this);
    icon->setPixmap(QApplication::windowIcon().pixmap(32, 32));
    Place(icon, 11, 10, 20, 20);

    auto* name = new QLabel(QString::fromLatin1(kProductName), this);
    Place(name, 40, 10, 119, 8);
    auto* version = new QLabel(QString::fromLatin1(kVersion), this);
    Place(version, 40, 22, 119, 8);
    auto* heading = new QLabel(QStringLiteral("Current Device Information:"), this);
    Place(heading, 40, 44, 119, 8);

    const QStringList lines = DeviceLines(info);
    for (int i = 0; i < lines.size(); ++i) {
        auto* line = new QLabel(lines.at(i), this);
        Place(line, 52, 58 + i * 12, 119, 8);
        deviceLabels.append(line);
    }

    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setDefault(true);
    Place(ok, 170, 10, 40, 14);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
}

QStringList CAboutDialog::LabelTexts() const {
    QStringList texts;
    for (const QLabel* label : deviceLabels) {
        texts.append(label->text());
    }
    return texts;
}

}  // namespace arvestra
