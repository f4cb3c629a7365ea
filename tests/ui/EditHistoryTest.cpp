// The editor's undo history and A/B compare over the document, and the settings import and
// export of the File menu; against arvestra-devsim an undo and a redo reach the device.
#include <gtest/gtest.h>

#include <QAction>
#include <QFile>
#include <QKeyEvent>
#include <QSignalSpy>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

#include <nlohmann/json.hpp>

#include "app/CommandId.h"
#include "document/DocTestSupport.h"
#include "integration/DevsimChild.h"
#include "link/DeviceCommandsLink.h"
#include "ui/ShellTestSupport.h"
#include "ui/UiTestSupport.h"
#include "ui/dialogs/GoOnlineDialog.h"
#include "ui/shell/CurveExport.h"
#include "ui/shell/DocumentActions.h"
#include "ui/shell/EditHistory.h"
#include "ui/shell/EditorShell.h"
#include "ui/shell/GestureScope.h"
#include "ui/shell/MainFrame.h"
#include "ui/shell/SettingsTransfer.h"

namespace arvestra {
namespace {

using PF = ParamField;
using testing::DocBench;

struct HistoryBench : DocBench {
    CEditHistory history{doc};
    std::vector<uint8_t> Buffer() { return ImageOf(doc.Devices().CurrentAddress(), 0); }
};

TEST(EditHistories, AGestureIsOneStepThatUndoesAndRedoes) {
    HistoryBench b;
    const std::vector<uint8_t> before = b.Buffer();
    {
        CGestureScope drag(b.history, QStringLiteral("Drag"));
        for (int code = 31; code <= 40; ++code)
            b.doc.Edits().Set(PF::EqGraphicGain, kChannelA, 4, code);
        CGestureScope nested(b.history, QStringLiteral("Inner"));
        b.doc.Edits().Set(PF::LpCutoff, kChannelB, 0, 20);
    }
    const std::vector<uint8_t> after = b.Buffer();
    ASSERT_EQ(b.history.Stack().count(), 1);
    EXPECT_EQ(b.history.Stack().undoText(), QStringLiteral("Drag"));
    b.history.Undo();
    EXPECT_EQ(b.Buffer(), before);
    b.history.Redo();
    EXPECT_EQ(b.Buffer(), after);
    EXPECT_FALSE(b.history.CanRedo());
}

TEST(EditHistories, AnUndoAfterAMasterToggleRestoresBothChannels) {
    HistoryBench b;
    b.doc.Edits().Set(PF::EqGraphicGain, kChannelA, 0, 10);
    b.history.Sync();
    const std::vector<uint8_t> before = b.Buffer();
    {
        CGestureScope toggle(b.history, QStringLiteral("Master"));
        b.doc.Edits().SetMasterWithCopy(FieldBlock::Equaliser, kChannelA, 1);
    }
    ASSERT_EQ(b.doc.Edits().Get(PF::EqGraphicGain, kChannelB, 0), 10);
    b.history.Undo();
    EXPECT_EQ(b.Buffer(), before);
    EXPECT_EQ(b.doc.Edits().Get(PF::EqMaster, kChannelA), 0);
    EXPECT_EQ(b.doc.Edits().Get(PF::EqGraphicGain, kChannelB, 0), 30);
    EXPECT_EQ(b.history.Stack().count(), 2);  // the earlier edit is a step of its own
}

TEST(EditHistories, EditsOutsideAGestureCloseWhenAMouseButtonOrKeyIsReleased) {
    HistoryBench b;
    QWidget widget;
    b.history.WatchInput(&widget);
    b.doc.Edits().Set(PF::HpCutoff, kChannelA, 0, 3);
    b.doc.Edits().Set(PF::HpCutoff, kChannelA, 0, 4);
    QTest::mouseRelease(&widget, Qt::LeftButton);
    test::FlushEvents();
    EXPECT_EQ(b.history.Stack().count(), 1);
    // A held key: the releases of its repeats do not close the gesture, the last one does.
    b.doc.Edits().Set(PF::HpCutoff, kChannelA, 0, 5);
    QKeyEvent repeat(QEvent::KeyRelease, Qt::Key_Up, Qt::NoModifier, QString(), true);
    QCoreApplication::sendEvent(&widget, &repeat);
    test::FlushEvents();
    EXPECT_EQ(b.history.Stack().count(), 1);
    b.doc.Edits().Set(PF::HpCutoff, kChannelA, 0, 6);
    QTest::keyRelease(&widget, Qt::Key_Up);
    test::FlushEvents();
    EXPECT_EQ(b.history.Stack().count(), 2);
    b.history.Undo();
    EXPECT_EQ(b.doc.Edits().Get(PF::HpCutoff, kChannelA), 4);
}

TEST(EditHistories, StepsOnTwoDevicesUndoOnTheirOwnDevice) {
    HistoryBench b;
    b.doc.AddDevice(4);
    b.doc.SelectDevice(1);
    b.history.Sync();  // adding a device ended the history
    b.doc.Edits().Set(PF::DelayLow, kChannelA, 0, 11);
    b.history.Sync();
    b.doc.SelectDevice(4);
    b.doc.Edits().Set(PF::DelayLow, kChannelA, 0, 22);
    b.history.Undo();
    EXPECT_EQ(b.doc.Edits().Get(PF::DelayLow, kChannelA), 0);
    b.history.Undo();
    EXPECT_EQ(b.doc.Devices().CurrentAddress(), 1);
    EXPECT_EQ(b.doc.Edits().Get(PF::DelayLow, kChannelA), 0);
    b.history.Redo();
    EXPECT_EQ(b.doc.Edits().Get(PF::DelayLow, kChannelA), 11);
}

TEST(EditHistories, ARecallClearsTheHistoryWithANote) {
    HistoryBench b;
    QSignalSpy notes(&b.history, &CEditHistory::note);
    b.doc.Edits().Set(PF::HpCutoff, kChannelA, 0, 3);
    b.history.Sync();
    b.doc.SetEditingStarted(false);
    b.doc.RecallPreset(2, true);
    EXPECT_FALSE(b.history.CanUndo());
    ASSERT_EQ(notes.count(), 1);
    EXPECT_EQ(notes.at(0).at(0).toString(),
              QStringLiteral("Undo history cleared: a preset was recalled."));
    // The recalled buffer is not an edit.
    EXPECT_EQ(b.history.Stack().count(), 0);
}

TEST(EditHistories, ABCompareRoundTripsAndIsAStepOfItsOwn) {
    HistoryBench b;
    const std::vector<uint8_t> a = b.Buffer();
    EXPECT_EQ(b.history.ActiveVersion(), QStringLiteral("A"));
    b.history.SwapVersions();
    EXPECT_EQ(b.history.ActiveVersion(), QStringLiteral("B"));
    b.doc.Edits().Set(PF::LpSlope, kChannelA, 0, 0);
    const std::vector<uint8_t> versionB = b.Buffer();
    b.history.SwapVersions();
    EXPECT_EQ(b.Buffer(), a);
    EXPECT_EQ(b.history.ActiveVersion(), QStringLiteral("A"));
    // Undoing the swap goes back to B as it was.
    b.history.Undo();
    EXPECT_EQ(b.history.ActiveVersion(), QStringLiteral("B"));
    EXPECT_EQ(b.Buffer(), versionB);
    EXPECT_EQ(b.history.Stack().count(), 3);
}

// F6, drag, F6, select device 3, Ctrl+Z, Ctrl+Y, select device 1, F6: the swap steps belong to
// device 1, and version B (with the drag) is still there at the end.
TEST(EditHistories, ASwapUndoneWhileAnotherDeviceIsEditedSwapsItsOwnDevice) {
    HistoryBench b;
    b.doc.AddDevice(3);
    b.doc.SelectDevice(1);
    const std::vector<uint8_t> device3 = b.ImageOf(3, 0);
    b.history.SwapVersions();
    {
        CGestureScope drag(b.history, QStringLiteral("Drag"));
        b.doc.Edits().Set(PF::EqGraphicGain, kChannelA, 9, 44);
    }
    const std::vector<uint8_t> versionB = b.Buffer();
    b.history.SwapVersions();
    const std::vector<uint8_t> versionA = b.Buffer();
    b.doc.SelectDevice(3);
    b.history.Undo();
    EXPECT_EQ(b.doc.Devices().CurrentAddress(), 1);
    EXPECT_EQ(b.Buffer(), versionB);
    EXPECT_EQ(b.ImageOf(3, 0), device3);
    b.doc.SelectDevice(3);
    b.history.Redo();
    EXPECT_EQ(b.doc.Devices().CurrentAddress(), 1);
    EXPECT_EQ(b.Buffer(), versionA);
    EXPECT_EQ(b.ImageOf(3, 0), device3);
    b.doc.SelectDevice(1);
    b.history.SwapVersions();
    EXPECT_EQ(b.history.ActiveVersion(), QStringLiteral("B"));
    EXPECT_EQ(b.Buffer(), versionB);
}

TEST(EditHistories, KeepsTheLatestThousandSteps) {
    HistoryBench b;
    for (int i = 0; i < CEditHistory::kUndoLimit + 5; ++i) {
        CGestureScope step(b.history, QStringLiteral("Step"));
        b.doc.Edits().Set(PF::EqGraphicGain, kChannelA, 0, i % 2 == 0 ? 10 : 20);
    }
    EXPECT_EQ(b.history.Stack().count(), CEditHistory::kUndoLimit);
}

TEST(EditHistories, AnEditFromElsewhereIsAStepOfItsOwnAndAReadBackIsNone) {
    HistoryBench b;
    {
        const EditScope remote(b.doc.Edits(), EditReason::Remote);
        b.doc.Edits().Set(PF::InputLevel, kChannelA, 0, 200);
    }
    EXPECT_EQ(b.history.Stack().count(), 1);
    {
        const EditScope read(b.doc.Edits(), EditReason::DeviceRead);
        b.doc.Edits().Set(PF::InputLevel, kChannelA, 0, 210);
    }
    EXPECT_FALSE(b.history.CanRedo());
    EXPECT_EQ(b.history.Stack().count(), 1);
}

TEST(SettingsTransfers, AnImportedPresetEndsTheHistoryAndABadFileChangesNothing) {
    HistoryBench b;
    QTemporaryDir dir;
    CSettingsTransfer transfer(b.doc, b.history, nullptr);
    b.doc.Edits().Set(PF::LpCutoff, kChannelA, 0, 5);
    QString error;
    const QString path = dir.filePath(QStringLiteral("p.json"));
    ASSERT_TRUE(transfer.ExportTo(path, SettingsKind::Preset, error)) << error.toStdString();
    b.doc.Edits().Set(PF::LpCutoff, kChannelA, 0, 9);
    b.doc.Edits().Set(PF::HpCutoff, kChannelB, 0, 9);
    b.history.Sync();
    const ImportReport report = transfer.ImportFrom(path);
    ASSERT_FALSE(report.refused);
    EXPECT_EQ(b.doc.Edits().Get(PF::LpCutoff, kChannelA), 5);
    EXPECT_EQ(b.doc.Edits().Get(PF::HpCutoff, kChannelB), 0);
    // The settings replaced the edit buffer as a recall does: nothing is left to half revert.
    EXPECT_FALSE(b.history.CanUndo());

    const std::vector<uint8_t> before = b.Buffer();
    EXPECT_TRUE(transfer.ImportFrom(dir.filePath(QStringLiteral("missing.json"))).refused);
    EXPECT_FALSE(transfer.ExportTo(dir.filePath(QStringLiteral("no/such/dir/x.json")),
                                   SettingsKind::Location, error));
    EXPECT_EQ(b.Buffer(), before);
}

TEST(SettingsTransfers, TheMenuCommandsAskThenReport) {
    HistoryBench b;
    QTemporaryDir dir;
    CSettingsTransfer transfer(b.doc, b.history, nullptr);
    const QString path = dir.filePath(QStringLiteral("hall.json"));
    transfer.askKind = [] { return SettingsKind::Location; };
    transfer.askPath = [&](bool) { return path; };
    std::vector<std::pair<bool, QString>> reports;
    transfer.showReport = [&](bool warning, const QString& text, const QString& details) {
        reports.emplace_back(warning, text + QLatin1Char('|') + details);
    };
    ASSERT_TRUE(transfer.Export());
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const auto json = nlohmann::json::parse(file.readAll().toStdString(), nullptr, false);
    EXPECT_EQ(json["kind"], "location");
    EXPECT_TRUE(transfer.Import());
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_FALSE(reports[0].first);
    transfer.askKind = [] { return std::nullopt; };  // cancelled
    EXPECT_FALSE(transfer.Export());
    QFile garbage(path);
    ASSERT_TRUE(garbage.open(QIODevice::WriteOnly));
    garbage.write("{\"format\": \"arvestra-settings\", \"version\": 7}");
    garbage.close();
    EXPECT_FALSE(transfer.Import());
    ASSERT_EQ(reports.size(), 2u);
    EXPECT_TRUE(reports[1].first);
    EXPECT_TRUE(
        reports[1].second.startsWith(QStringLiteral("Nothing was changed: the file was "
                                                    "written in format version 7")));
}

TEST(CurveExports, PngSvgAndCsvByTheFilesSuffix) {
    QTemporaryDir dir;
    const std::vector<CurvePoint> curve = {{20.0, 0.0}, {1000.0, 6.0}, {20000.0, -12.0}};
    QString error;
    const struct {
        const char* name;
        const char* start;
    } cases[] = {{"c.png", "\x89PNG"},
                 {"c", "\x89PNG"},
                 {"c.SVG", "<?xml"},
                 {"c.csv", "frequency_hz,level_db\n20.00,0.0000\n1000.00,6.0000\n"}};
    for (const auto& c : cases) {
        const QString path = dir.filePath(QString::fromLatin1(c.name));
        ASSERT_TRUE(CCurveExport::Save(path, curve, QStringLiteral("EQ A"), error))
            << c.name << error.toStdString();
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        EXPECT_TRUE(file.readAll().startsWith(QByteArray(c.start))) << c.name;
    }
    EXPECT_FALSE(
        CCurveExport::Save(dir.filePath(QStringLiteral("no/dir/c.png")), curve, QString(), error));
    EXPECT_FALSE(error.isEmpty());
}

// ---- The editor against the simulator
// ------------------------------------------------------------

class EditHistoryDevsimTest : public ::testing::Test {
  protected:
    void SetUp() override {
        settings.SetValue(QStringLiteral("DontWarnAboutNonSmallFonts"), 1);
        sim = std::make_unique<devsim_it::DevsimChild>(std::vector<std::string>{"--devices", "2"});
        ASSERT_FALSE(sim->FirstLine().empty()) << "the simulator did not start";
        qputenv("ARVESTRA_COM2", QByteArray::fromStdString(sim->FirstLine()));
        shell = std::make_unique<CEditorShell>();
        shell->SetDisplayOverride({{0, 0, 1280, 1024}, 24});
        ASSERT_TRUE(shell->Startup({}));
        test::FlushEvents();
    }
    void TearDown() override {
        shell.reset();
        qunsetenv("ARVESTRA_COM2");
    }
    // The device's edit buffer as it reports it.
    std::vector<uint8_t> DeviceBuffer() {
        CQ7310Doc& doc = shell->Doc();
        std::vector<uint8_t> bytes(kPresetImageSize);
        const PauseResult pause = doc.Bus().PauseWorker(true);
        EXPECT_EQ(pause.ok, 1);
        EXPECT_EQ(RequestImageBytes(doc.Bus().Link(), 0, 0, bytes), 1);
        doc.Bus().ResumeWorker(pause.saved);
        return bytes;
    }
    std::vector<uint8_t> DocBuffer() {
        const uint8_t* p = shell->Doc().Edits().Data();
        return std::vector<uint8_t>(p, p + kPresetImageSize);
    }

    shelltest::ScopedSettings settings;
    std::unique_ptr<devsim_it::DevsimChild> sim;
    std::unique_ptr<CEditorShell> shell;
};

TEST_F(EditHistoryDevsimTest, UndoAndRedoOfADragLeaveTheDeviceEqualToTheDocument) {
    shelltest::BoxAnswerer answerer(shell->Ui());
    shell->Actions().askGoOnlineChoice = [] { return CGoOnlineDialog::kCreateNew; };
    shell->Frame()->Action(CommandId::WorkOnline)->trigger();
    ASSERT_EQ(shell->App().IsOnline(), 1);
    CQ7310Doc& doc = shell->Doc();
    CEditHistory& history = shell->Frame()->EditHistory();
    history.Sync();
    const std::vector<uint8_t> before = DocBuffer();
    {
        CGestureScope drag(history, QStringLiteral("Drag"));
        for (int code = 30; code <= 50; code += 2)
            doc.Edits().Set(PF::EqGraphicGain, kChannelA, 7, code);
        doc.Edits().SetMasterWithCopy(FieldBlock::LowPass, kChannelA, 1);
    }
    ASSERT_EQ(doc.Bus().WaitDirtyFlushed(), 1);
    const std::vector<uint8_t> after = DocBuffer();
    EXPECT_EQ(DeviceBuffer(), after);

    shell->Frame()->Action(CommandId::EditUndo)->trigger();
    ASSERT_EQ(doc.Bus().WaitDirtyFlushed(), 1);
    EXPECT_EQ(DocBuffer(), before);
    EXPECT_EQ(DeviceBuffer(), before);
    EXPECT_EQ(shell->Frame()->statusBar()->currentMessage(), QStringLiteral("Undo: Drag"));

    shell->Frame()->Action(CommandId::EditRedo)->trigger();
    ASSERT_EQ(doc.Bus().WaitDirtyFlushed(), 1);
    EXPECT_EQ(DeviceBuffer(), after);

    // A/B: the device follows each swap.
    shell->Frame()->Action(CommandId::EditCompareAB)->trigger();
    doc.Edits().Set(PF::HpCutoff, kChannelB, 0, 44);
    shell->Frame()->Action(CommandId::EditCompareAB)->trigger();
    ASSERT_EQ(doc.Bus().WaitDirtyFlushed(), 1);
    EXPECT_EQ(DeviceBuffer(), after);
    const auto* button = shell->Frame()->statusBar()->findChild<QToolButton*>();
    ASSERT_NE(button, nullptr);
    EXPECT_EQ(button->text(), QStringLiteral("Version A"));
    EXPECT_EQ(answerer.Unexpected(), 0);
}

}  // namespace
}  // namespace arvestra
