// The editor's start-up, settings, menus, About box, title, hidden key sequence, files and exit,
// driven through the real shell with a recording view.
#include <gtest/gtest.h>

#include <QAction>
#include <QCheckBox>
#include <QFile>
#include <QLayout>
#include <QMenu>
#include <QMimeData>
#include <QTest>
#include <QUrl>

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <thread>

#include "app/CommandId.h"
#include "document/CQ7310Doc.h"
#include "document/LocationFileLock.h"
#include "ui/ShellTestSupport.h"
#include "ui/UiTestSupport.h"
#include "ui/shell/DisplayChecks.h"
#include "ui/shell/DocumentActions.h"
#include "ui/shell/EditorShell.h"
#include "ui/shell/FrameView.h"
#include "ui/shell/MainFrame.h"

namespace arvestra {
namespace {

using shelltest::BoxAnswerer;
using shelltest::NextDialog;
using shelltest::ScopedSettings;

// A view that records what the frame hands it.
class RecordingView : public QWidget, public IFrameView {
  public:
    explicit RecordingView(QWidget* parent) : QWidget(parent) { setFixedSize(400, 300); }
    QWidget* Widget() override { return this; }
    bool OnCommand(CommandId id) override {
        commands.push_back(id);
        return id == CommandId::ShowDevUtilities || id == CommandId::MeterRefresh;
    }
    bool CommandState(CommandId id, bool& enabled, bool& checked) override {
        if (id != CommandId::ViewEqA) return false;
        enabled = eqEnabled;
        checked = true;
        return true;
    }
    void OnUpdate(int hint) override { updates.push_back(hint); }
    void OnInitialUpdate() override { ++initialUpdates; }

    std::vector<CommandId> commands;
    std::vector<int> updates;
    int initialUpdates = 0;
    bool eqEnabled = true;
};

class ShellTest : public ::testing::Test {
  protected:
    void SetUp() override { qunsetenv("ARVESTRA_COM3"); }

    // Starts a shell on a 1024 x 768 screen with the given colour depth.
    void Start(const QStringList& files = {}, int depth = 24) {
        MakeShell(depth);
        ASSERT_TRUE(shell->Startup(files));
    }
    void MakeShell(int depth = 24) {
        shell = std::make_unique<CEditorShell>([this](CQ7310Doc&, CAppSettings&, QWidget* frame) {
            view = new RecordingView(frame);
            return view;
        });
        shell->SetDisplayOverride({{0, 0, 1024, 768}, depth});
    }
    CMainFrame& Frame() { return *shell->Frame(); }
    CQ7310Doc& Doc() { return shell->Doc(); }
    // Sets the online flag without opening a port (the flag is what the menus follow).
    void SetOnlineFlag(int flag) {
        shell->App().SetActiveDocument(nullptr);
        shell->App().SetOnline(flag);
        shell->App().SetActiveDocument(&Doc().Bus());
        Frame().UpdateCommandStates();
    }
    QString TempFile(const QString& name) const { return settings.Directory() + '/' + name; }

    ScopedSettings settings;
    std::unique_ptr<CEditorShell> shell;
    RecordingView* view = nullptr;
};

TEST_F(ShellTest, FirstRunCentresTheWindowAndWritesPortAndBaud) {
    Start();
    const QRect frame = Frame().frameGeometry();
    EXPECT_EQ(frame.left(), (1024 - frame.width()) / 2);
    EXPECT_EQ(frame.top(), (768 - frame.height()) / 2);
    EXPECT_TRUE(Frame().isVisible());
    EXPECT_EQ(view->initialUpdates, 1);
    EXPECT_EQ(settings.Value("Serial Port Num").toInt(), 2);
    EXPECT_EQ(settings.Value("Baud Rate").toInt(), 19200);
    EXPECT_FALSE(settings.Contains("WindowLocationSet"));
    EXPECT_EQ(Doc().Bus().Link().PortNumber(), 2);
    EXPECT_EQ(Doc().Bus().Link().BaudRate(), 19200);
    EXPECT_EQ(shell->App().IsOnline(), 0);
    EXPECT_EQ(Doc().Devices().CountPresentDevices(), 1);  // a new offline location with one device
}

TEST_F(ShellTest, ClosingWritesThePositionAndThenTheFlag) {
    Start();
    Frame().move(40, 60);
    const QPoint corner = Frame().frameGeometry().topLeft();
    EXPECT_TRUE(Frame().close());
    EXPECT_EQ(settings.Value("WindowLocationSet").toInt(), 1);
    EXPECT_EQ(settings.Value("WindowLocationLeft").toInt(), corner.x());
    EXPECT_EQ(settings.Value("WindowLocationTop").toInt(), corner.y());
}

TEST_F(ShellTest, SavedPositionOffTheScreenIsClamped) {
    settings.SetValue("WindowLocationSet", 1);
    settings.SetValue("WindowLocationLeft", -50);
    settings.SetValue("WindowLocationTop", 3000);
    Start();
    const QRect frame = Frame().frameGeometry();
    EXPECT_EQ(frame.left(), 0);
    EXPECT_EQ(frame.top(), 768 - frame.height());
}

TEST_F(ShellTest, StoredPortAndBaudAreRestoredAndBadValuesFallBack) {
    struct Case {
        int port;
        int baud;
        int expectPort;
        int expectBaud;
    };
    for (const Case& c : {Case{3, 38400, 3, 38400}, Case{4, 19200, 4, 19200},
                          Case{9, 1234, 2, 19200}, Case{0, -1, 2, 19200}}) {
        settings.SetValue("Serial Port Num", c.port);
        settings.SetValue("Baud Rate", c.baud);
        Start();
        EXPECT_EQ(Frame().PortNumber(), c.expectPort);
        EXPECT_EQ(Frame().BaudRate(), c.expectBaud);
        EXPECT_EQ(Doc().Bus().Link().PortNumber(), c.expectPort);
        EXPECT_EQ(Doc().Bus().Link().BaudRate(), c.expectBaud);
        EXPECT_EQ(settings.Value("Serial Port Num").toInt(), c.expectPort);
        EXPECT_EQ(settings.Value("Baud Rate").toInt(), c.expectBaud);
        for (int port = 1; port <= 4; ++port) {
            EXPECT_EQ(Frame().Action(PortCommand(port))->isChecked(), port == c.expectPort);
        }
        EXPECT_EQ(Frame().Action(CommandId::Baud19200)->isChecked(), c.expectBaud == 19200);
        EXPECT_EQ(Frame().Action(CommandId::Baud38400)->isChecked(), c.expectBaud == 38400);
        shell.reset();
    }
}

TEST_F(ShellTest, PickingAPortOrRateIsStoredAndHandedToTheLink) {
    Start();
    Frame().Action(PortCommand(4))->trigger();
    Frame().Action(CommandId::Baud38400)->trigger();
    EXPECT_EQ(Doc().Bus().Link().PortNumber(), 4);
    EXPECT_EQ(Doc().Bus().Link().BaudRate(), 38400);
    EXPECT_EQ(settings.Value("Serial Port Num").toInt(), 4);
    EXPECT_EQ(settings.Value("Baud Rate").toInt(), 38400);
    EXPECT_TRUE(Frame().Action(PortCommand(4))->isChecked());
    EXPECT_FALSE(Frame().Action(PortCommand(2))->isChecked());
}

TEST_F(ShellTest, MenuStatesFollowTheOnlineFlag) {
    Start();
    struct Expect {
        CommandId id;
        bool enabledOffline;
        bool enabledOnline;
    };
    const Expect expectations[] = {
        {CommandId::WorkOnline, true, true},
        {CommandId::PortCom1, true, false},
        {PortCommand(2), true, false},
        {PortCommand(3), true, false},
        {PortCommand(4), true, false},
        {CommandId::Baud19200, true, false},
        {CommandId::Baud38400, true, false},
        {CommandId::PortDevices, true, false},
        {CommandId::FileNew, true, true},
        {CommandId::FileOpen, true, true},
        {CommandId::FileSave, true, true},
        {CommandId::FileSaveAs, true, true},
        {CommandId::AppExit, true, true},
        {CommandId::AppAbout, true, true},
        {CommandId::HelpTopics, true, true},
        // View commands follow the view; one the view does not handle is greyed.
        {CommandId::ViewEqA, true, true},
        {CommandId::ViewEqB, false, false},
        {CommandId::EditDeviceList, false, false},
    };
    for (int online : {0, 1}) {
        SetOnlineFlag(online);
        EXPECT_EQ(Frame().Action(CommandId::WorkOnline)->isChecked(), online == 1);
        for (const Expect& e : expectations) {
            EXPECT_EQ(Frame().Action(e.id)->isEnabled(),
                      online ? e.enabledOnline : e.enabledOffline)
                << "id " << e.id << " online " << online;
        }
        // The current port and rate stay ticked while greyed.
        EXPECT_TRUE(Frame().Action(PortCommand(2))->isChecked());
        EXPECT_TRUE(Frame().Action(CommandId::Baud19200)->isChecked());
    }
    view->eqEnabled = false;
    Frame().UpdateCommandStates();
    EXPECT_FALSE(Frame().Action(CommandId::ViewEqA)->isEnabled());
    SetOnlineFlag(0);
}

TEST_F(ShellTest, PortCommandsDoNothingWhileOnline) {
    Start();
    SetOnlineFlag(1);
    Frame().OnCommand(CommandId::PortCom1);
    Frame().OnCommand(CommandId::Baud38400);
    EXPECT_EQ(Frame().PortNumber(), 2);
    EXPECT_EQ(Frame().BaudRate(), 19200);
    SetOnlineFlag(0);
}

TEST_F(ShellTest, EveryCommandHasItsTextAndAccelerators) {
    Start();
    struct Case {
        CommandId id;
        const char* text;
        std::vector<QKeySequence> keys;
    };
    const Case cases[] = {
        {CommandId::FileNew, "&New", {QKeySequence(Qt::CTRL | Qt::Key_N)}},
        {CommandId::FileOpen, "&Open...", {QKeySequence(Qt::CTRL | Qt::Key_O)}},
        {CommandId::FileSave, "&Save", {QKeySequence(Qt::CTRL | Qt::Key_S)}},
        {CommandId::FileSaveAs, "Save &As...", {}},
        {CommandId::AppExit, "E&xit", {}},
        {CommandId::WorkOnline, "&Work Online", {}},
        {CommandId::PortCom1, "Com&1", {}},
        {PortCommand(4), "Com&4", {}},
        {CommandId::Baud19200, "&19200", {}},
        {CommandId::Baud38400, "&38400", {}},
        {CommandId::AppAbout, "&About Korvanex Arvestra...", {}},
        {CommandId::HelpTopics,
         "&Help Topics",
         {QKeySequence(Qt::Key_F1), QKeySequence(Qt::SHIFT | Qt::Key_F1)}},
        {CommandId::EditDeviceList, "&Device List...", {}},
        {CommandId::EditSaveCurrentPreset, "&Save Current Preset", {}},
        {CommandId::ViewDeviceConfiguration, "Device &Configuration", {}},
        {CommandId::EditCopy,
         "",
         {QKeySequence(Qt::CTRL | Qt::Key_C), QKeySequence(Qt::CTRL | Qt::Key_Insert)}},
    };
    for (const Case& c : cases) {
        QAction* action = Frame().Action(c.id);
        ASSERT_NE(action, nullptr) << c.id;
        EXPECT_EQ(action->text(), QString::fromLatin1(c.text)) << c.id;
        EXPECT_EQ(action->shortcuts(), QList<QKeySequence>(c.keys.begin(), c.keys.end())) << c.id;
        EXPECT_EQ(action->data().toInt(), static_cast<int>(c.id));
    }
    for (int id = static_cast<int>(CommandId::ViewDelayA);
         id <= static_cast<int>(CommandId::ViewHighPassB); ++id) {
        if (id == static_cast<int>(CommandId::MeterRefresh)) continue;
        EXPECT_NE(Frame().Action(static_cast<CommandId>(id)), nullptr) << id;
    }
}

TEST_F(ShellTest, WindowHasCaptionMenuMinimiseAndMaximiseAndCanBeResized) {
    Start();
    const Qt::WindowFlags flags = Frame().windowFlags();
    EXPECT_TRUE(flags & Qt::WindowTitleHint);
    EXPECT_TRUE(flags & Qt::WindowSystemMenuHint);
    EXPECT_TRUE(flags & Qt::WindowMinimizeButtonHint);
    EXPECT_TRUE(flags & Qt::WindowMaximizeButtonHint);
    EXPECT_NE(Frame().layout()->sizeConstraint(), QLayout::SetFixedSize);
    EXPECT_NE(Frame().minimumSize(), Frame().maximumSize());
    EXPECT_TRUE(Frame().acceptDrops());
}

TEST_F(ShellTest, TitleShowsTheDocumentNameAndTheModifiedMark) {
    Start();
    EXPECT_EQ(Frame().windowTitle(), QStringLiteral("Untitled[*] - Korvanex Arvestra"));
    EXPECT_FALSE(Frame().isWindowModified());
    Doc().SetModifiedFlag(true);
    Frame().UpdateTitle();
    EXPECT_TRUE(Frame().isWindowModified());
    // Saved under a name: the name, no mark.
    ASSERT_TRUE(Doc().SaveLocation(TempFile("hall.kvx").toStdString()));
    Frame().UpdateTitle();
    EXPECT_EQ(Frame().windowTitle(), QStringLiteral("hall.kvx[*] - Korvanex Arvestra"));
    EXPECT_FALSE(Frame().isWindowModified());
}

TEST_F(ShellTest, AboutBoxOfflineAndOnline) {
    Start();
    std::vector<QStringList> shown;
    Frame().showAbout = [&](const AboutDeviceInfo& info) {
        shown.push_back(CAboutDialog::DeviceLines(info));
        CAboutDialog dialog(info, &Frame());
        EXPECT_EQ(dialog.windowTitle(), QStringLiteral("About Korvanex Arvestra"));
        EXPECT_EQ(dialog.LabelTexts(), shown.back());
    };
    Frame().Action(CommandId::AppAbout)->trigger();
    const int slot = Doc().Devices().CurrentSlot();
    Doc().Devices().Location().SetRecordInt(slot, kRecApplicationNumber, 21);
    Doc().Devices().Location().SetRecordInt(slot, kRecAppFirmware, 12);
    Doc().Devices().Location().SetRecordInt(slot, kRecBaseFirmware, 37);
    SetOnlineFlag(1);
    Frame().Action(CommandId::AppAbout)->trigger();
    SetOnlineFlag(0);
    ASSERT_EQ(shown.size(), 2u);
    EXPECT_EQ(shown[0], (QStringList{"Offline", "", "", ""}));
    EXPECT_EQ(shown[1], (QStringList{"Address = 1", "Application Number = 21",
                                     "App FW Revision = 1.2", "Base FW Revision = 3.7"}));
}

TEST_F(ShellTest, CtrlKThenCtrlPPostsTheUtilitiesCommandOnce) {
    Start();
    struct Case {
        std::vector<std::pair<Qt::Key, Qt::KeyboardModifiers>> keys;
        int expected;
    };
    const Case cases[] = {
        {{{Qt::Key_K, Qt::ControlModifier}, {Qt::Key_P, Qt::ControlModifier}}, 1},
        {{{Qt::Key_P, Qt::ControlModifier}}, 0},
        {{{Qt::Key_K, Qt::ControlModifier},
          {Qt::Key_X, Qt::NoModifier},
          {Qt::Key_P, Qt::ControlModifier}},
         0},
        {{{Qt::Key_K, Qt::ControlModifier},
          {Qt::Key_Shift, Qt::ShiftModifier},
          {Qt::Key_P, Qt::ControlModifier}},
         1},
    };
    QWidget* target = view;
    for (const Case& c : cases) {
        view->commands.clear();
        QTest::keyClick(target, Qt::Key_Escape);  // start from a character other than Ctrl+K
        for (const auto& [key, modifiers] : c.keys) {
            QTest::keyClick(target, key, modifiers);
        }
        test::FlushEvents();
        const auto count =
            std::count(view->commands.begin(), view->commands.end(), CommandId::ShowDevUtilities);
        EXPECT_EQ(count, c.expected);
    }
}

TEST_F(ShellTest, SaveAddsTheFileToTheRecentListAndTheSettings) {
    Start();
    shell->Actions().askSavePath = [this](const QString&) { return TempFile("venue.kvx"); };
    Frame().Action(CommandId::FileSave)->trigger();  // untitled: asks for a name
    EXPECT_EQ(QString::fromStdString(Doc().Session().Path()), TempFile("venue.kvx"));
    EXPECT_TRUE(QFile::exists(TempFile("venue.kvx")));
    EXPECT_EQ(shell->Actions().Recent().Files(), QStringList{TempFile("venue.kvx")});
    EXPECT_EQ(Frame().Action(CommandId::FileMru1)->text(),
              QStringLiteral("&1 ") + TempFile("venue.kvx"));
    EXPECT_TRUE(Frame().Action(CommandId::FileMru1)->isEnabled());
    QSettings store(QSettings::NativeFormat, QSettings::UserScope, "Korvanex", "Arvestra");
    EXPECT_EQ(store.value("Recent File List/File1").toString(), TempFile("venue.kvx"));
}

TEST_F(ShellTest, SaveOnAReadOnlyFileAsksForAName) {
    Start();
    const QString locked = TempFile("locked.kvx");
    ASSERT_TRUE(Doc().SaveLocation(locked.toStdString()));
    QFile::setPermissions(locked, QFileDevice::ReadOwner);
    int asked = 0;
    shell->Actions().askSavePath = [&](const QString&) {
        ++asked;
        return TempFile("copy.kvx");
    };
    Frame().Action(CommandId::FileSave)->trigger();
    EXPECT_EQ(asked, 1);
    EXPECT_EQ(QString::fromStdString(Doc().Session().Path()), TempFile("copy.kvx"));
}

TEST_F(ShellTest, AFileAnotherProgramEditsIsNeitherOpenedNorSavedOver) {
    Start();
    const QString held = TempFile("held.kvx");
    ASSERT_TRUE(Doc().SaveLocation(held.toStdString()));
    ASSERT_TRUE(Doc().SaveLocation(TempFile("mine.kvx").toStdString()));
    ASSERT_TRUE(shell->Actions().FileNew());
    LocationFileLock elsewhere;  // the other program
    ASSERT_EQ(elsewhere.Acquire(held.toStdString()), 0);
    const QString holder = QStringLiteral("(process %1)").arg(::getpid());
    {
        BoxAnswerer answerer(shell->Ui(), {QMessageBox::Ok});
        EXPECT_FALSE(shell->Actions().OpenFile(held));
        ASSERT_EQ(answerer.Shown().size(), 1u);
        EXPECT_TRUE(answerer.Shown()[0].text.contains(holder))
            << answerer.Shown()[0].text.toStdString();
        EXPECT_TRUE(Doc().Session().Path().empty());
    }
    ASSERT_TRUE(shell->Actions().OpenFile(TempFile("mine.kvx")));
    shell->Actions().askSavePath = [&](const QString&) { return held; };
    {
        BoxAnswerer answerer(shell->Ui(), {QMessageBox::Ok});
        Frame().Action(CommandId::FileSaveAs)->trigger();
        ASSERT_EQ(answerer.Shown().size(), 1u);
        EXPECT_TRUE(answerer.Shown()[0].text.contains(holder));
        EXPECT_EQ(QString::fromStdString(Doc().Session().Path()), TempFile("mine.kvx"));
    }
    // The editor holds its own file, also after saving it.
    LocationFileLock other;
    EXPECT_EQ(other.Acquire(TempFile("mine.kvx").toStdString()), EWOULDBLOCK);
    Frame().Action(CommandId::FileSave)->trigger();
    EXPECT_EQ(other.Acquire(TempFile("mine.kvx").toStdString()), EWOULDBLOCK);
    elsewhere.Release();
    Frame().Action(CommandId::FileSaveAs)->trigger();
    EXPECT_EQ(QString::fromStdString(Doc().Session().Path()), held);
    EXPECT_EQ(other.Acquire(held.toStdString()), EWOULDBLOCK);
    EXPECT_EQ(other.Acquire(TempFile("mine.kvx").toStdString()), 0);  // let go of the old one
}

TEST_F(ShellTest, NewOffersToSaveAModifiedLocation) {
    Start();
    ASSERT_TRUE(Doc().SaveLocation(TempFile("kept.kvx").toStdString()));
    Doc().SetModifiedFlag(true);
    {
        BoxAnswerer answerer(shell->Ui(), {QMessageBox::Cancel});
        Frame().Action(CommandId::FileNew)->trigger();
        ASSERT_EQ(answerer.Shown().size(), 1u);
        EXPECT_EQ(answerer.Shown()[0].text, QStringLiteral("Save changes to kept.kvx?"));
        EXPECT_EQ(answerer.Shown()[0].buttons,
                  QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
        EXPECT_EQ(QString::fromStdString(Doc().Session().Path()),
                  TempFile("kept.kvx"));  // cancelled
    }
    {
        BoxAnswerer answerer(shell->Ui(), {QMessageBox::No});
        Frame().Action(CommandId::FileNew)->trigger();
        EXPECT_EQ(answerer.Shown().size(), 1u);
        EXPECT_TRUE(Doc().Session().Path().empty());  // a new, untitled location
        EXPECT_FALSE(Doc().IsModified());
    }
}

TEST_F(ShellTest, ExitWithAModifiedLocationCanBeCancelled) {
    Start();
    Doc().SetModifiedFlag(true);
    {
        BoxAnswerer answerer(shell->Ui(), {QMessageBox::Cancel});
        Frame().Action(CommandId::AppExit)->trigger();
        EXPECT_EQ(answerer.Shown().size(), 1u);
    }
    EXPECT_TRUE(Frame().isVisible());
    EXPECT_FALSE(settings.Contains("WindowLocationSet"));
    {
        BoxAnswerer answerer(shell->Ui(), {QMessageBox::No});
        Frame().Action(CommandId::AppExit)->trigger();
    }
    EXPECT_FALSE(Frame().isVisible());
    EXPECT_EQ(settings.Value("WindowLocationSet").toInt(), 1);
}

TEST_F(ShellTest, CommandLineFileIsOpenedAtStart) {
    {
        Start();
        ASSERT_TRUE(Doc().SaveLocation(TempFile("start.kvx").toStdString()));
        shell.reset();
    }
    Start({TempFile("start.kvx")});
    EXPECT_EQ(QString::fromStdString(Doc().Session().Path()), TempFile("start.kvx"));
    EXPECT_EQ(Frame().windowTitle(), QStringLiteral("start.kvx[*] - Korvanex Arvestra"));
}

TEST_F(ShellTest, AMissingCommandLineFileEndsStartUpWithAMessage) {
    MakeShell();
    BoxAnswerer answerer(shell->Ui(), {QMessageBox::Ok});
    EXPECT_FALSE(shell->Startup({TempFile("missing.kvx")}));
    ASSERT_EQ(answerer.Shown().size(), 1u);
    EXPECT_TRUE(answerer.Shown()[0].text.contains(QStringLiteral("missing.kvx")));
}

TEST_F(ShellTest, AMissingRecentFileIsReportedAndDropped) {
    Start();
    shell->Actions().Recent().Add(TempFile("gone.kvx"));
    shell->Actions().SaveRecentList();
    BoxAnswerer answerer(shell->Ui(), {QMessageBox::Ok});
    Frame().Action(CommandId::FileMru1)->trigger();
    EXPECT_EQ(answerer.Shown().size(), 1u);
    EXPECT_TRUE(shell->Actions().Recent().Files().isEmpty());
    EXPECT_EQ(Frame().Action(CommandId::FileMru1)->text(), QStringLiteral("Recent File"));
    EXPECT_FALSE(Frame().Action(CommandId::FileMru1)->isEnabled());
    EXPECT_TRUE(Doc().Session().Path().empty());
}

TEST_F(ShellTest, ADroppedLocationFileIsOpened) {
    Start();
    ASSERT_TRUE(Doc().SaveLocation(TempFile("dropped.kvx").toStdString()));
    ASSERT_EQ(shell->Actions().FileNew(), true);
    QMimeData mime;
    mime.setUrls({QUrl::fromLocalFile(TempFile("dropped.kvx"))});
    QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&Frame(), &enter);
    EXPECT_TRUE(enter.isAccepted());
    QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&Frame(), &drop);
    EXPECT_EQ(QString::fromStdString(Doc().Session().Path()), TempFile("dropped.kvx"));
    EXPECT_EQ(shell->Actions().Recent().Files().value(0), TempFile("dropped.kvx"));
}

TEST_F(ShellTest, HelpTopicsOpensTheUserGuide) {
    Start();
    QString opened;
    Frame().openHelp = [&](const QString& path) { opened = path; };
    Frame().Action(CommandId::HelpTopics)->trigger();
    EXPECT_TRUE(opened.endsWith(QStringLiteral("help/index.html"))) << opened.toStdString();
    EXPECT_TRUE(QFileInfo(opened).isFile());
}

TEST_F(ShellTest, PortDevicePathsReachThePortMapUnlessTheEnvironmentNamesThePort) {
    Start();
    shell->Settings().SetPortDevicePath(1, "/dev/serial/by-id/usb-test");
    shell->Settings().SetPortDevicePath(3, "tcp:127.0.0.1:4001");
    qputenv("ARVESTRA_COM3", "/dev/pts/99");
    Frame().ApplyPortPaths();
    EXPECT_EQ(Doc().Bus().Link().Ports().PathFor(1), "/dev/serial/by-id/usb-test");
    EXPECT_EQ(Doc().Bus().Link().Ports().PathFor(2), "");
    EXPECT_EQ(Doc().Bus().Link().Ports().PathFor(3), "");  // the environment decides for this run
    EXPECT_EQ(Doc().Bus().Link().Ports().Resolve("COM3"), "/dev/pts/99");
    qunsetenv("ARVESTRA_COM3");
    Frame().ApplyPortPaths();
    EXPECT_EQ(Doc().Bus().Link().Ports().Resolve("COM3"), "tcp:127.0.0.1:4001");
}

TEST_F(ShellTest, ColourWarningAtLowDepthStoresTheTick) {
    MakeShell(8);
    bool sawWarning = false;
    NextDialog tick([&](QWidget* dialog) {
        sawWarning = dialog->windowTitle() == QStringLiteral("Korvanex Arvestra");
        dialog->findChild<QCheckBox*>()->setChecked(true);
        static_cast<QDialog*>(dialog)->accept();
    });
    ASSERT_TRUE(shell->Startup({}));
    EXPECT_TRUE(sawWarning);
    EXPECT_EQ(settings.Value("DontWarnAboutNumberOfColors").toInt(), 1);
    shell.reset();
    // The next start stays quiet.
    MakeShell(8);
    ASSERT_TRUE(shell->Startup({}));
    EXPECT_FALSE(CDisplayChecks::CheckColours(&Frame(), shell->Settings(), 8));
}

TEST_F(ShellTest, FontCheckIsSkippedOnceTheBoxWasTicked) {
    Start();
    settings.SetValue("DontWarnAboutNonSmallFonts", 1);
    EXPECT_FALSE(CDisplayChecks::CheckFonts(view, shell->Settings()));
}

TEST_F(ShellTest, PostedMeterRefreshReachesTheView) {
    Start();
    view->commands.clear();
    std::thread worker([this] { shell->Ui().PostViewCommand(CommandId::MeterRefresh); });
    worker.join();
    test::FlushEvents();
    EXPECT_EQ(view->commands, (std::vector<CommandId>{CommandId::MeterRefresh}));
}

}  // namespace
}  // namespace arvestra
