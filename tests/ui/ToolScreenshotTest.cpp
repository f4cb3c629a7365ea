// Pictures of the development utilities window and of each copy wizard page, for the
// documentation. Written only when ARVESTRA_SCREENSHOT_DIR names a directory; otherwise the
// test checks that each window paints at its size.
#include <gtest/gtest.h>

#include <QDir>
#include <QLineEdit>
#include <QListWidget>
#include <QRadioButton>

#include "document/DocTestSupport.h"
#include "document/LocationFileTestDir.h"
#include "model/CurveDisplayOptions.h"
#include "model/ResponseDump.h"
#include "ui/DocumentPageHost.h"
#include "ui/UiTestSupport.h"
#include "ui/dialogs/DevUtilitiesDialog.h"
#include "ui/pages/PageDialog.h"
#include "ui/pages/PageHost.h"
#include "ui/pages/ResponseDumpSource.h"
#include "ui/wizard/CopyWiz.h"
#include "ui/wizard/CopyWizChoicePage.h"
#include "ui/wizard/CopyWizFilePage.h"
#include "ui/wizard/CopyWizListPage.h"

namespace arvestra {
namespace {

using namespace copywiz;

// A graphic EQ page stand-in whose graph holds a high-pass, a low-pass and a graphic cut.
class CurvePage : public CPageDialog, public IResponseDumpSource {
  public:
    CurvePage(IPageHost& host, QWidget* parent) : CPageDialog(134, host, parent) {
        path.Add(0, CurveKind::LowPass);
        path.Add(0, CurveKind::HighPass);
        settings[0].lowPass = {12500.0, 1};
        settings[0].highPass = {40.0, 0};
    }
    int GetBitmapId() const override { return 133; }
    std::string ResponseDump() override {
        return DumpResponse(response, path, settings,
                            GraphMapping({0, 0, 640, 300}, kGraphicEqGraph));
    }
    FilterResponse response;
    CurveSet path;
    FilterResponse::ChannelSettings settings{};
};

class ToolScreenshots : public ::testing::Test {
  protected:
    void SetUp() override {
        SharedCurveDisplayOptions() = {};
        directory = qEnvironmentVariable("ARVESTRA_SCREENSHOT_DIR");
        bench.doc.SetDeviceName("Main Left", 1);
        bench.doc.AddDevice(3);
        bench.doc.SetDeviceName("Main Right", 3);
        bench.doc.AddDevice(7);
        bench.doc.SetDeviceName("Delay Tower", 7);
        bench.doc.SelectDevice(1);
        bench.doc.SetPresetName("Sunday Service");
    }
    void TearDown() override { SharedCurveDisplayOptions() = {}; }

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
    }

    testing::DocBench bench;
    QString directory;
};

TEST_F(ToolScreenshots, DevelopmentUtilities) {
    test::DocumentPageHost host(&bench.doc);
    QWidget frame;
    auto* page = new CurvePage(host, &frame);
    page->Create();
    frame.show();
    page->show();
    CDevUtilitiesDialog dialog(bench.doc, nullptr);
    dialog.Bind(page, nullptr);
    dialog.Refresh();
    EXPECT_FALSE(dialog.DumpText().empty());
    Shoot(dialog, QStringLiteral("dev-utilities"));
}

TEST_F(ToolScreenshots, EveryCopyWizardPage) {
    testing::ScratchDir dir;
    const std::string file = dir.File("balcony.kvx");
    ASSERT_EQ(bench.doc.SaveLocation(file), 1);
    CCopyWiz wizard(bench.doc, nullptr);
    wizard.resize(560, 400);
    wizard.show();
    wizard.restart();
    const auto shoot = [&](const char* name) {
        Shoot(wizard, QStringLiteral("copy-wiz-%1-%2").arg(wizard.currentId()).arg(name));
    };
    const auto choose = [&](int id, int index) {
        dynamic_cast<CCopyWizChoicePage*>(wizard.page(id))->Radio(index)->click();
    };
    // A setting between current locations.
    shoot("copy-what");
    wizard.next();
    shoot("from-where");
    wizard.next();
    dynamic_cast<CCopyWizListPage*>(wizard.page(kSourceSetting))->SettingList()->setCurrentRow(1);
    shoot("source-setting");
    wizard.next();
    shoot("to-where");
    wizard.next();
    auto* target = dynamic_cast<CCopyWizListPage*>(wizard.page(kDestSetting));
    target->UnitList()->item(1)->setSelected(true);
    target->UnitList()->item(2)->setSelected(true);
    target->PresetList()->item(0)->setSelected(true);
    target->SettingList()->item(2)->setSelected(true);
    shoot("destination-setting");
    // A preset from a file into a file.
    wizard.restart();
    choose(kType, 1);
    wizard.next();
    choose(kSourceFl, 1);
    wizard.next();
    dynamic_cast<CCopyWizFilePage*>(wizard.page(kSourceFile))
        ->FileEdit()
        ->setText(QString::fromStdString(file));
    shoot("source-file");
    wizard.next();
    shoot("source-preset");
    wizard.next();
    choose(kDestFl, 1);
    wizard.next();
    dynamic_cast<CCopyWizFilePage*>(wizard.page(kDestFile))
        ->FileEdit()
        ->setText(QString::fromStdString(file));
    shoot("destination-file");
    wizard.next();
    shoot("destination-preset");
    // A whole device within the current location.
    wizard.restart();
    choose(kType, 2);
    choose(kSourceFl, 0);
    choose(kDestFl, 0);
    wizard.next();
    wizard.next();
    shoot("source-unit");
    wizard.next();
    wizard.next();
    shoot("destination-unit");
    EXPECT_EQ(wizard.currentId(), kDestUnit);
}

}  // namespace
}  // namespace arvestra
