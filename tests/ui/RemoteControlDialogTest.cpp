#include <gtest/gtest.h>
#include <QComboBox>
#include <QPushButton>
#include <QSpinBox>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QTreeWidget>

#include "document/DocTestSupport.h"
#include "remote/RemoteServer.h"
#include "ui/dialogs/RemoteControlDialog.h"

namespace arvestra {
namespace {

// A port nobody listens on right now.
quint16 FreePort() {
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost, 0);
    return probe.serverPort();
}

// The certificate the server makes on first use goes to a directory of the test's own.
class ConfigInTemporaryDirectory {
  public:
    ConfigInTemporaryDirectory() : old(qgetenv("XDG_CONFIG_HOME")) {
        qputenv("XDG_CONFIG_HOME", directory.path().toLocal8Bit());
    }
    ~ConfigInTemporaryDirectory() { qputenv("XDG_CONFIG_HOME", old); }

  private:
    QTemporaryDir directory;
    QByteArray old;
};

TEST(RemoteControlDialog, IsOffByDefaultAndTurnsOnAndOff) {
    ConfigInTemporaryDirectory config;
    testing::DocBench bench;
    remote::RemoteServer server(bench.doc);
    CRemoteControlDialog dialog(server, nullptr);
    EXPECT_EQ(dialog.AddressField()->currentIndex(), 0);
    EXPECT_EQ(dialog.PortField()->value(), CRemoteControlDialog::kDefaultPort);
    EXPECT_TRUE(dialog.ShownPageAddress().isEmpty());

    const int loopback = dialog.AddressField()->findText("127.0.0.1");
    ASSERT_GT(loopback, 0);
    dialog.AddressField()->setCurrentIndex(loopback);
    const quint16 port = FreePort();
    dialog.PortField()->setValue(port);
    dialog.ApplyButton()->click();
    ASSERT_TRUE(server.IsListening()) << dialog.StatusText().toStdString();
    EXPECT_EQ(dialog.ShownPageAddress(),
              QStringLiteral("https://127.0.0.1:%1/?code=%2").arg(port).arg(server.Code()));
    EXPECT_TRUE(dialog.ShowsQrCode());
    EXPECT_TRUE(dialog.ShownFingerprint().contains(server.Fingerprint()));
    EXPECT_EQ(server.Fingerprint().size(), 32 * 3 - 1);
    EXPECT_EQ(dialog.PageList()->topLevelItemCount(), 0);
    EXPECT_FALSE(dialog.DropButton()->isEnabled());

    // With ARVESTRA_SCREENSHOT_DIR set, the dialog is shot while on.
    const QString shots = qEnvironmentVariable("ARVESTRA_SCREENSHOT_DIR");
    if (!shots.isEmpty()) {
        dialog.show();
        EXPECT_TRUE(dialog.grab().save(shots + "/remote-control-dialog.png"));
    }

    // A new code: a new address and picture.
    const QString before = dialog.ShownPageAddress();
    dialog.NewCodeButton()->click();
    EXPECT_NE(dialog.ShownPageAddress(), before);
    EXPECT_TRUE(dialog.ShownPageAddress().endsWith(server.Code()));

    // Opened again, the dialog shows the server as it is.
    CRemoteControlDialog again(server, nullptr);
    EXPECT_EQ(again.AddressField()->currentIndex(), loopback);
    EXPECT_EQ(again.PortField()->value(), port);

    again.AddressField()->setCurrentIndex(0);
    again.ApplyButton()->click();
    EXPECT_FALSE(server.IsListening());
    EXPECT_TRUE(again.ShownPageAddress().isEmpty());
    EXPECT_FALSE(again.ShowsQrCode());
    EXPECT_FALSE(again.NewCodeButton()->isEnabled());
}

TEST(RemoteControlDialog, APortInUseIsReportedAndLeavesItOff) {
    ConfigInTemporaryDirectory config;
    testing::DocBench bench;
    remote::RemoteServer server(bench.doc);
    QTcpServer taken;
    ASSERT_TRUE(taken.listen(QHostAddress::LocalHost, 0));
    CRemoteControlDialog dialog(server, nullptr);
    dialog.AddressField()->setCurrentIndex(dialog.AddressField()->findText("127.0.0.1"));
    dialog.PortField()->setValue(taken.serverPort());
    dialog.ApplyButton()->click();
    EXPECT_FALSE(server.IsListening());
    EXPECT_TRUE(dialog.StatusText().contains("Cannot listen"));
    EXPECT_TRUE(dialog.ShownPageAddress().isEmpty());
}

}  // namespace
}  // namespace arvestra
