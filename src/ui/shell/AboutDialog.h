#pragma once

#include <QStringList>

#include "ui/dialogs/UnitDialog.h"

class QLabel;

namespace arvestra {

// What the About box shows of the current device.
struct AboutDeviceInfo {
    bool online = false;
    int address = 0;
    int applicationNumber = 0;
    int appFirmware = 0;   // revision in tenths
    int baseFirmware = 0;  // revision in tenths
};

// "About Korvanex Arvestra" (dialog 100): program icon, name, version, and four lines about the
// current device, filled when the box opens.
class CAboutDialog : public CUnitDialog {
    Q_OBJECT
  public:
    CAboutDialog(const AboutDeviceInfo& info, QWidget* parent);

    // The four device lines: online "Address = %d", "Application Number = %d",
    // "App FW Revision = %d.%d", "Base FW Revision = %d.%d" (the first three values taken as
    // 8-bit); offline "Offline" and three empty lines.
    static QStringList DeviceLines(const AboutDeviceInfo& info);

    // The texts on the labels, in order (for tests and screenshots).
    QStringList LabelTexts() const;

    static constexpr const char* kProductName = "Korvanex Arvestra";
    static constexpr const char* kVersion = "Version 1.03 (Build 379)";

  private:
    QList<QLabel*> deviceLabels;
};

}  // namespace arvestra
