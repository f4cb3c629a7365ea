#include "ui/shell/AppSettings.h"

namespace arvestra {

namespace {

constexpr const char* kSection = "Settings";
constexpr const char* kRecentSection = "Recent File List";
constexpr const char* kPortSection = "Port Devices";
constexpr const char* kShowControlSection = "Show Control";

QString ShowControlKey(const char* key) {
    return QString::fromLatin1(kShowControlSection) + '/' + key;
}

QString SettingsKey(const char* key) {
    return QString::fromLatin1(kSection) + '/' + key;
}

}  // namespace

CAppSettings::CAppSettings()
    : store(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("Korvanex"),
            QStringLiteral("Arvestra")) {}

int CAppSettings::ReadInt(const char* key, int fallback) const {
    bool ok = false;
    const int value = store.value(SettingsKey(key), fallback).toInt(&ok);
    return ok ? value : fallback;
}

void CAppSettings::WriteInt(const char* key, int value) {
    store.setValue(SettingsKey(key), value);
}

int CAppSettings::SerialPortNumber() const {
    return ReadInt("Serial Port Num", kDefaultPort);
}
void CAppSettings::SetSerialPortNumber(int port) {
    WriteInt("Serial Port Num", port);
}

int CAppSettings::BaudRate() const {
    return ReadInt("Baud Rate", kDefaultBaud);
}
void CAppSettings::SetBaudRate(int baud) {
    WriteInt("Baud Rate", baud);
}

bool CAppSettings::WindowLocationSet() const {
    return ReadInt("WindowLocationSet", 0) != 0;
}
int CAppSettings::WindowLocationLeft() const {
    return ReadInt("WindowLocationLeft", 0);
}
int CAppSettings::WindowLocationTop() const {
    return ReadInt("WindowLocationTop", 0);
}

void CAppSettings::SaveWindowLocation(int left, int top) {
    WriteInt("WindowLocationLeft", left);
    WriteInt("WindowLocationTop", top);
    WriteInt("WindowLocationSet", 1);
}

bool CAppSettings::DontWarnAboutNumberOfColors() const {
    return ReadInt("DontWarnAboutNumberOfColors", 0) != 0;
}
void CAppSettings::SetDontWarnAboutNumberOfColors() {
    WriteInt("DontWarnAboutNumberOfColors", 1);
}

bool CAppSettings::DontWarnAboutNonSmallFonts() const {
    return ReadInt("DontWarnAboutNonSmallFonts", 0) != 0;
}
void CAppSettings::SetDontWarnAboutNonSmallFonts() {
    WriteInt("DontWarnAboutNonSmallFonts", 1);
}

QString CAppSettings::PortDevicePath(int port) const {
    return store.value(QString::fromLatin1(kPortSection) + QStringLiteral("/COM%1").arg(port))
        .toString();
}

void CAppSettings::SetPortDevicePath(int port, const QString& path) {
    const QString key = QString::fromLatin1(kPortSection) + QStringLiteral("/COM%1").arg(port);
    if (path.isEmpty()) {
        store.remove(key);
    } else {
        store.setValue(key, path);
    }
}

ShowControlSettings CAppSettings::ShowControl() const {
    ShowControlSettings stored;
    stored.on = store.value(ShowControlKey("On"), false).toBool();
    stored.address = store.value(ShowControlKey("Address"), stored.address).toString();
    bool ok = false;
    const int port = store.value(ShowControlKey("Port"), stored.port).toInt(&ok);
    if (ok && port >= 1 && port <= 65535) stored.port = port;
    stored.allow = store.value(ShowControlKey("Allow"), QString()).toString();
    return stored;
}

void CAppSettings::SetShowControl(const ShowControlSettings& showControl) {
    store.setValue(ShowControlKey("On"), showControl.on);
    store.setValue(ShowControlKey("Address"), showControl.address);
    store.setValue(ShowControlKey("Port"), showControl.port);
    store.setValue(ShowControlKey("Allow"), showControl.allow);
}

QStringList CAppSettings::RecentFiles() const {
    QStringList files;
    for (int i = 1; i <= kRecentFileCount; ++i) {
        const QString file =
            store.value(QString::fromLatin1(kRecentSection) + QStringLiteral("/File%1").arg(i))
                .toString();
        if (!file.isEmpty()) {
            files.append(file);
        }
    }
    return files;
}

void CAppSettings::SetRecentFiles(const QStringList& files) {
    for (int i = 1; i <= kRecentFileCount; ++i) {
        const QString key = QString::fromLatin1(kRecentSection) + QStringLiteral("/File%1").arg(i);
        if (i <= files.size()) {
            store.setValue(key, files.at(i - 1));
        } else {
            store.remove(key);
        }
    }
}

void CAppSettings::Sync() {
    store.sync();
}

}  // namespace arvestra
