// Pictures of the editor's windows and dialogs for the documentation. They are written only when
// ARVESTRA_SCREENSHOT_DIR names a directory (run under xvfb-run for the real look); otherwise the
// test only checks that every window paints at its size.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QPushButton>

#include "document/CQ7310Doc.h"
#include "ui/ShellTestSupport.h"
#include "ui/UiTestSupport.h"
#include "ui/dialogs/EditDeviceListDialog.h"
#include "ui/dialogs/EditNameDialog.h"
#include "ui/dialogs/GoOnlineDialog.h"
#include "ui/dialogs/NewDeviceAddressDialog.h"
#include "ui/dialogs/PortDevicesDialog.h"
#include "ui/dialogs/SelectDeviceDialog.h"
#include "ui/dialogs/SelectPresetDialog.h"
#include "ui/ports/GuardedMessageBox.h"
#include "ui/shell/AboutDialog.h"
#include "ui/shell/AppIcon.h"
#include "ui/shell/DisplayWarningDialog.h"
#include "ui/shell/EditorShell.h"
#include "ui/shell/MainFrame.h"
#include "ui/view/Q7310View.h"

namespace arvestra {
namespace {

class ShellScreenshots : public ::testing::Test {
  protected:
    void SetUp() override {
        QApplication::setWindowIcon(MakeAppIcon());
        settings.SetValue("DontWarnAboutNonSmallFonts", 1);  // whatever the test display's DPI
        shell = std::make_unique<CEditorShell>(
            [](CQ7310Doc& doc, CAppSettings& appSettings, QWidget* frame) -> IFrameView* {
                return new CQ7310View(doc, appSettings, frame);
            });
        shell->SetDisplayOverride({{0, 0, 1280, 1024}, 24});
        ASSERT_TRUE(shell->Startup({}));
        CQ7310Doc& doc = shell->Doc();
        doc.SetDeviceName("Main Left", 1);
        doc.AddDevice(3);
        doc.SetDeviceName("Main Right", 3);
        doc.AddDevice(7);
        doc.SetDeviceName("Delay Tower", 7);
        doc.SelectDevice(1);
        doc.Ui().DocumentChanged();
        directory = qEnvironmentVariable("ARVESTRA_SCREENSHOT_DIR");
    }

    // Shows the window, lets it lay out and paint, grabs it and saves it as <name>.png.
    void Shoot(QWidget& window, const QString& name) {
        window.show();
        test::FlushEvents();
        const QPixmap picture = window.grab();
        EXPECT_FALSE(picture.isNull()) << name.toStdString();
        EXPECT_EQ(picture.size() / picture.devicePixelRatio(), window.size()) << name.toStdString();
        if (!directory.isEmpty()) {
            QDir().mkpath(directory);
            EXPECT_TRUE(picture.save(QDir(directory).filePath(name + QStringLiteral(".png"))));
        }
        window.hide();
    }

    shelltest::ScopedSettings settings;
    std::unique_ptr<CEditorShell> shell;
    QString directory;
};

TEST_F(ShellScreenshots, EveryWindowAndDialog) {
    CQ7310Doc& doc = shell->Doc();
    QWidget* parent = shell->Frame();
    Shoot(*shell->Frame(), QStringLiteral("main-window"));

    CAboutDialog aboutOffline(AboutDeviceInfo{}, parent);
    Shoot(aboutOffline, QStringLiteral("about-offline"));
    CAboutDialog aboutOnline(AboutDeviceInfo{true, 3, 12, 105, 98}, parent);
    Shoot(aboutOnline, QStringLiteral("about-online"));

    CDisplayWarningDialog colours(CDisplayWarningDialog::Kind::Colours, parent);
    Shoot(colours, QStringLiteral("warning-180-colours"));
    CDisplayWarningDialog fonts(CDisplayWarningDialog::Kind::Fonts, parent);
    Shoot(fonts, QStringLiteral("warning-181-fonts"));

    CGoOnlineDialog goOnline([] { return false; }, parent);
    Shoot(goOnline, QStringLiteral("go-online"));
    CPortDevicesDialog ports(
        {QString(), QStringLiteral("/dev/serial/by-id/usb-FTDI_USB-RS485-if00"),
         QStringLiteral("tcp:192.168.1.20:4001"), QString()},
        {}, parent);
    Shoot(ports, QStringLiteral("port-devices"));

    CSelectDeviceDialog selectDevice(doc, 3, parent);
    Shoot(selectDevice, QStringLiteral("select-device"));
    CSelectPresetDialog selectPreset(doc, parent);
    Shoot(selectPreset, QStringLiteral("select-preset"));
    CEditNameDialog presetName(CEditNameDialog::Kind::Preset, QStringLiteral("Preset 1"), parent);
    Shoot(presetName, QStringLiteral("edit-preset-name"));
    CEditNameDialog deviceName(CEditNameDialog::Kind::Device, QStringLiteral("Main Left"), parent);
    Shoot(deviceName, QStringLiteral("edit-device-name"));
    CEditDeviceListDialog deviceList(doc, parent);
    Shoot(deviceList, QStringLiteral("edit-device-list"));
    CNewDeviceAddressDialog address(3, shell->Ui(), parent);
    Shoot(address, QStringLiteral("new-device-address"));

    UiQuestion error;
    error.title = kAppTitle;
    error.text = ErrorReporter::FormatErrorText(
        "Error: Cannot communicate with the Device.\nPlease make sure that the Device is "
        "correctly connected to your computer.",
        true, 0x42, 0xa0, 5, 0);
    error.buttons = ButtonSet::AbortRetryIgnore;
    error.icon = IconKind::Stop;
    CGuardedMessageBox box(error, nullptr);
    Shoot(box, QStringLiteral("error-abort-retry-ignore"));
}

}  // namespace
}  // namespace arvestra
