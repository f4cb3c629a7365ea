#pragma once

#include <QSettings>
#include <QString>
#include <QStringList>

namespace arvestra {

// The per-user settings of the editor: organisation "Korvanex", application "Arvestra",
// every value an integer in the section "Settings", plus the recent-file list. Each accessor
// reads or writes the store at once, so a value written is on disk even if the program is
// killed later.
// Show control over OSC, section "Show Control": "On", "Address", "Port", "Allow".
struct ShowControlSettings {
    static constexpr int kDefaultPort = 9000;
    bool on = false;
    QString address = QStringLiteral("127.0.0.1");
    int port = kDefaultPort;
    QString allow;  // hosts and networks, e.g. "127.0.0.1,10.0.0.0/24"; empty: every sender
};

class CAppSettings {
  public:
    static constexpr int kDefaultPort = 2;
    static constexpr int kDefaultBaud = 19200;
    static constexpr int kRecentFileCount = 4;
    static constexpr int kPortCount = 4;

    CAppSettings();

    // "Serial Port Num", 2 when absent.
    int SerialPortNumber() const;
    void SetSerialPortNumber(int port);
    // "Baud Rate", 19200 when absent.
    int BaudRate() const;
    void SetBaudRate(int baud);

    // "WindowLocationSet", "WindowLocationLeft", "WindowLocationTop".
    bool WindowLocationSet() const;
    int WindowLocationLeft() const;
    int WindowLocationTop() const;
    // Writes left and top first and then the flag, so a half-written placement is never used.
    void SaveWindowLocation(int left, int top);

    // "DontWarnAboutNumberOfColors" and "DontWarnAboutNonSmallFonts".
    bool DontWarnAboutNumberOfColors() const;
    void SetDontWarnAboutNumberOfColors();
    bool DontWarnAboutNonSmallFonts() const;
    void SetDontWarnAboutNonSmallFonts();

    // The device path chosen for COM<port> (1..4), empty when none was chosen.
    QString PortDevicePath(int port) const;
    void SetPortDevicePath(int port, const QString& path);

    // The most recently used Location Files, newest first, at most four.
    QStringList RecentFiles() const;
    void SetRecentFiles(const QStringList& files);

    // Show control as last applied; the defaults (off) when never set.
    ShowControlSettings ShowControl() const;
    void SetShowControl(const ShowControlSettings& showControl);

    // Pushes the values to disk now.
    void Sync();

  private:
    int ReadInt(const char* key, int fallback) const;
    void WriteInt(const char* key, int value);

    mutable QSettings store;
};

}  // namespace arvestra
