// The editor with its real main view against arvestra-devsim: the frame fitted to the picture,
// meters that move while online, following a preset changed at the device, and pictures of the
// main window offline and online (written when ARVESTRA_SCREENSHOT_DIR names a directory).
#include <gtest/gtest.h>

#include <QAction>
#include <QDir>
#include <QLabel>
#include <QScrollArea>

#include <QTest>
#include <csignal>

#include "app/CommandId.h"
#include "document/CQ7310Doc.h"
#include "integration/DevsimChild.h"
#include "link/DeviceCommandsLink.h"
#include "ui/ShellTestSupport.h"
#include "ui/UiTestSupport.h"
#include "ui/controls/ColorButton.h"
#include "ui/controls/LedIndicator.h"
#include "ui/controls/LevelMeter.h"
#include "ui/controls/PanelSlider.h"
#include "ui/dialogs/GoOnlineDialog.h"
#include "ui/pages/PageDialog.h"
#include "ui/shell/DocumentActions.h"
#include "ui/shell/EditorShell.h"
#include "ui/shell/MainFrame.h"
#include "ui/view/Q7310View.h"

namespace arvestra {
namespace {

using devsim_it::DevsimChild;
using shelltest::BoxAnswerer;
using shelltest::ScopedSettings;

class ViewDevsimTest : public ::testing::Test {
  protected:
    void SetUp() override {
        settings.SetValue(QStringLiteral("DontWarnAboutNonSmallFonts"), 1);
        sim = std::make_unique<DevsimChild>(std::vector<std::string>{"--devices", "1,3"});
        ASSERT_FALSE(sim->FirstLine().empty()) << "the simulator did not start";
        qputenv("ARVESTRA_COM2", QByteArray::fromStdString(sim->FirstLine()));
        shell = std::make_unique<CEditorShell>(
            [this](CQ7310Doc& doc, CAppSettings& appSettings, QWidget* frame) {
                view = new CQ7310View(doc, appSettings, frame);
                return view;
            });
        shell->SetDisplayOverride({{0, 0, 1280, 1024}, 24});
        ASSERT_TRUE(shell->Startup({}));
        test::FlushEvents();
    }
    void TearDown() override {
        shell.reset();
        qunsetenv("ARVESTRA_COM2");
    }
    void WorkOnline(int choice) {
        shell->Actions().askGoOnlineChoice = [choice] { return choice; };
        shell->Frame()->Action(CommandId::WorkOnline)->trigger();
    }
    // Makes the device at the current address run another preset, as its front panel would.
    void RecallOnDevice(int preset) {
        CQ7310Doc& doc = shell->Doc();
        const PauseResult pause = doc.Bus().PauseWorker(true);
        ASSERT_EQ(pause.ok, 1);
        ASSERT_EQ(SendRecallPreset(doc.Bus().Link(), preset), 1);
        doc.Bus().ResumeWorker(pause.saved);
    }
    // Offline, every meter and lamp is dark: no level, no gain reduction.
    void ExpectDark() {
        test::FlushEvents();
        EXPECT_EQ(shell->App().IsOnline(), 0);
        EXPECT_EQ(view->OnlineLabel()->text(), QStringLiteral("Offline"));
        EXPECT_FALSE(AnyMeterAbove(0));
        for (const int id : {1131, 1132, 1133, 1134}) EXPECT_EQ(view->Meter(id)->Position(), 41);
        EXPECT_FALSE(view->Lamp(0)->IsLit());
        EXPECT_FALSE(view->Lamp(1)->IsLit());
    }
    bool AnyMeterAbove(int position) {
        for (const int id : {1127, 1128, 1129, 1130}) {
            if (view->Meter(id)->Position() > position) return true;
        }
        return false;
    }
    void Save(const QString& name) {
        const QPixmap picture = shell->Frame()->grab();
        ASSERT_FALSE(picture.isNull());
        const QString directory = qEnvironmentVariable("ARVESTRA_SCREENSHOT_DIR");
        if (directory.isEmpty()) return;
        QDir().mkpath(directory);
        EXPECT_TRUE(picture.save(QDir(directory).filePath(name + QStringLiteral(".png"))));
    }

    ScopedSettings settings;
    std::unique_ptr<DevsimChild> sim;
    std::unique_ptr<CEditorShell> shell;
    CQ7310View* view = nullptr;
};

TEST_F(ViewDevsimTest, FrameFitsThePictureAndTheViewIsItsCentralWidget) {
    ASSERT_NE(view, nullptr);
    auto* scroller = qobject_cast<QScrollArea*>(shell->Frame()->centralWidget());
    ASSERT_NE(scroller, nullptr);
    EXPECT_EQ(scroller->widget(), view);
    EXPECT_TRUE(view->IsInitialised());
    const PixelRect picture = view->PictureRectangle();
    EXPECT_EQ(view->size(), QSize(picture.right + 5, picture.bottom + 5));
    // The screen has room: the window shows the whole view, no more.
    EXPECT_EQ(scroller->viewport()->size(), view->size());
    EXPECT_EQ(view->width(), shell->Frame()->width());
    EXPECT_EQ(view->OnlineLabel()->text(), QStringLiteral("Offline"));
    Save(QStringLiteral("main-window-offline"));

    // A routed preset: channel 1 runs EQ, low pass, compressor; channel 2 taps it after the EQ.
    CQ7310Doc& doc = shell->Doc();
    const int chain[16] = {1, 11, 5, 0, 0, 0, 0, 0, 0, 2, 3, 0, 0, 0, 0, 0};
    for (int slot = 0; slot < 16; ++slot)
        doc.Edits().Set(ParamField::ChainSlot, 0, slot, chain[slot]);
    doc.Edits().Set(ParamField::JoinOn, 0, 1);
    doc.Edits().Set(ParamField::JoinTarget, 0, 1);
    doc.Edits().Set(ParamField::JoinPosition, 0, 0, 1);
    doc.Edits().Set(ParamField::JoinPosition, 0, 1, 1);
    view->OnUpdate(0);
    shell->Frame()->OnCommand(CommandId::ViewLowPassA);
    test::FlushEvents();
    EXPECT_TRUE(view->ChainButton(1)->isVisible());
    EXPECT_EQ(view->CurrentBlock(), 11);
    Save(QStringLiteral("main-window-chain"));
}

TEST_F(ViewDevsimTest, OnlineTheMetersMoveAndTheViewFollowsThePresetOfTheDevice) {
    BoxAnswerer answerer(shell->Ui());
    WorkOnline(CGoOnlineDialog::kCreateNew);
    ASSERT_EQ(shell->App().IsOnline(), 1);
    CQ7310Doc& doc = shell->Doc();
    EXPECT_EQ(view->OnlineLabel()->text(), QStringLiteral("Online"));
    ASSERT_TRUE(test::WaitUntil([&] { return AnyMeterAbove(0); }, 10000))
        << "no meter moved while online";

    // An edit leaves the preset modified; the device then runs preset 3. The view follows it
    // without asking whether to save the modified preset.
    doc.Edits().Set(ParamField::InputLevel, 0, 170);
    ASSERT_EQ(doc.Devices().PresetModified(), 1);
    RecallOnDevice(3);
    ASSERT_TRUE(test::WaitUntil([&] { return doc.Devices().CurrentPreset() == 3; }, 10000));
    test::FlushEvents();
    EXPECT_EQ(doc.Devices().PresetModified(), 0);
    EXPECT_EQ(answerer.Unexpected(), 0);
    EXPECT_TRUE(answerer.Shown().empty());
    EXPECT_EQ(view->VisiblePage()->PresetNameLabel()->text(), QStringLiteral("3 - Preset 3"));
    EXPECT_EQ(view->LevelSlider(0)->value(), 192);  // preset 3's level, read back
    EXPECT_EQ(shell->App().IsOnline(), 1);

    Save(QStringLiteral("main-window-online"));
    // The page's "Offline" latch goes offline through the frame's "&Work Online".
    answerer.Push(QMessageBox::No);
    QTest::mouseClick(view->VisiblePage()->OfflineButton(), Qt::LeftButton);
    test::FlushEvents();
    EXPECT_EQ(shell->App().IsOnline(), 0);
    EXPECT_EQ(answerer.Shown().size(), 1u);
    EXPECT_TRUE(view->VisiblePage()->OfflineButton()->IsLatched());
    EXPECT_EQ(view->OnlineLabel()->text(), QStringLiteral("Offline"));
    EXPECT_TRUE(test::WaitUntil([&] { return !AnyMeterAbove(0); }, 5000));
}

// Online with moving meters, then the device stops answering and the user answers Ignore
// ("continue offline"), or starts a new file: the meters and lamps go dark.
TEST_F(ViewDevsimTest, IgnoringASilentDeviceDarkensTheMeters) {
    BoxAnswerer answerer(shell->Ui());
    WorkOnline(CGoOnlineDialog::kCreateNew);
    ASSERT_EQ(shell->App().IsOnline(), 1);
    ASSERT_TRUE(test::WaitUntil([&] { return AnyMeterAbove(0); }, 10000));
    CQ7310Doc& doc = shell->Doc();
    // The short wait of a bus scan, so the silence is noticed at once.
    const PauseResult pause = doc.Bus().PauseWorker(true);
    ASSERT_EQ(pause.ok, 1);
    doc.Bus().Link().quickProbe.store(1);
    ASSERT_EQ(doc.Bus().Link().ApplyTimeouts(), 1);
    doc.Bus().ResumeWorker(pause.saved);
    answerer.Push(QMessageBox::Ignore);
    sim->Signal(SIGSTOP);
    const bool offline = test::WaitUntil(
        [&] { return !answerer.Shown().empty() && shell->App().IsOnline() == 0; }, 10000);
    sim->Signal(SIGCONT);
    ASSERT_TRUE(offline);
    EXPECT_EQ(answerer.Shown().front().buttons,
              QMessageBox::Abort | QMessageBox::Retry | QMessageBox::Ignore);
    ExpectDark();
}

TEST_F(ViewDevsimTest, FileNewWhileOnlineDarkensTheMeters) {
    BoxAnswerer answerer(shell->Ui());
    WorkOnline(CGoOnlineDialog::kCreateNew);
    ASSERT_EQ(shell->App().IsOnline(), 1);
    ASSERT_TRUE(test::WaitUntil([&] { return AnyMeterAbove(0); }, 10000));
    answerer.Push(QMessageBox::No);  // in case the new file asks to save the old one
    ASSERT_TRUE(shell->Actions().FileNew());
    ExpectDark();
}

}  // namespace
}  // namespace arvestra
