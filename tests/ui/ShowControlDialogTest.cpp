// The Show Control dialog: Apply turns the OSC server on and off, a mistyped allow-list or a
// port in use is reported and leaves it off, and what was applied is handed back to be kept.
#include <gtest/gtest.h>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QUdpSocket>

#include "document/DocTestSupport.h"
#include "remote/OscService.h"
#include "ui/dialogs/ShowControlDialog.h"

namespace arvestra {
namespace {

struct ShowControl : ::testing::Test {
    testing::DocBench bench;
    remote::OscService service{bench.doc};
    QUdpSocket taken;  // holds a loopback UDP port nobody else may have
    std::vector<ShowControlSettings> kept;

    void SetUp() override { ASSERT_TRUE(taken.bind(QHostAddress::LocalHost, 0)); }
    void Watch(CShowControlDialog& dialog) {
        QObject::connect(&dialog, &CShowControlDialog::Applied,
                         [this](const ShowControlSettings& s) { kept.push_back(s); });
    }
};

TEST_F(ShowControl, TurnsOnWithTheAllowListAndOffAgain) {
    ShowControlSettings shown;
    shown.port = taken.localPort();
    taken.close();  // free again: the dialog's server takes it
    CShowControlDialog dialog(service, shown, nullptr);
    Watch(dialog);
    EXPECT_EQ(dialog.AddressField()->currentText(), "127.0.0.1");
    EXPECT_FALSE(dialog.OnBox()->isChecked());
    EXPECT_EQ(dialog.StatusText(), "Off.");

    dialog.AllowField()->setText("127.0.0.0/8");
    dialog.OnBox()->setChecked(true);
    dialog.ApplyButton()->click();
    ASSERT_TRUE(service.IsListening()) << dialog.StatusText().toStdString();
    EXPECT_EQ(service.ListenAddress(), "127.0.0.1:" + std::to_string(shown.port));
    EXPECT_EQ(service.Server().Allowed().ToString(), "127.0.0.0/8");
    EXPECT_TRUE(dialog.StatusText().startsWith("On: osc.udp://127.0.0.1:"));
    const QString directory = qEnvironmentVariable("ARVESTRA_SCREENSHOT_DIR");
    if (!directory.isEmpty()) dialog.grab().save(directory + "/show-control.png");
    ASSERT_EQ(kept.size(), 1u);
    EXPECT_TRUE(kept[0].on);
    EXPECT_EQ(kept[0].allow, "127.0.0.0/8");
    EXPECT_EQ(kept[0].port, shown.port);

    dialog.OnBox()->setChecked(false);
    dialog.ApplyButton()->click();
    EXPECT_FALSE(service.IsListening());
    EXPECT_FALSE(kept.back().on);
}

TEST_F(ShowControl, AMistypedAllowListOrAPortInUseIsReportedAndKeptOff) {
    ShowControlSettings shown;
    shown.on = true;
    shown.port = taken.localPort();
    CShowControlDialog dialog(service, shown, nullptr);
    Watch(dialog);
    dialog.OnBox()->setChecked(true);
    dialog.ApplyButton()->click();
    EXPECT_FALSE(service.IsListening());
    EXPECT_TRUE(dialog.StatusText().contains("cannot listen")) << dialog.StatusText().toStdString();
    EXPECT_FALSE(dialog.OnBox()->isChecked());
    ASSERT_EQ(kept.size(), 1u);
    EXPECT_FALSE(kept[0].on);

    taken.close();
    dialog.AllowField()->setText("10.0.0.0/33");
    dialog.OnBox()->setChecked(true);
    dialog.ApplyButton()->click();
    EXPECT_FALSE(service.IsListening());
    EXPECT_TRUE(dialog.StatusText().contains("0 to 32")) << dialog.StatusText().toStdString();
}

}  // namespace
}  // namespace arvestra
