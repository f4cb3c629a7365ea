#include "ui/shell/MainFrame.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QLabel>
#include <QMenuBar>
#include <QMimeData>
#include <QStatusBar>
#include <QToolButton>
#include <QUrl>

#include "document/CQ7310Doc.h"
#include "document/RecoveryStore.h"
#include "remote/RemoteServer.h"
#include "ui/dialogs/PortDevicesDialog.h"
#include "ui/dialogs/RemoteControlDialog.h"
#ifdef ARVESTRA_HAVE_OSC
#include "remote/OscService.h"
#include "ui/dialogs/ShowControlDialog.h"
#endif
#include "app/CommandId.h"
#include "ui/shell/AppSettings.h"
#include "ui/shell/DocumentActions.h"
#include "ui/shell/EditHistory.h"
#include "ui/shell/FrameView.h"
#include "ui/shell/HelpLocator.h"
#include "ui/shell/SettingsTransfer.h"
#include "ui/shell/ViewScrollArea.h"

namespace arvestra {

namespace {

constexpr int kTitleRefreshMs = 250;
constexpr int kStatusNoteMs = 8000;

QString EnvironmentPortPath(int port) {
    return qEnvironmentVariable(QStringLiteral("ARVESTRA_COM%1").arg(port).toLatin1().constData());
}

static_assert(kPortCommands == CAppSettings::kPortCount);
static_assert(kRecentFileCommands == CAppSettings::kRecentFileCount);

}  // namespace

CMainFrame::CMainFrame(CQ7310Doc& document, CAppSettings& appSettings, CDocumentActions& docActions,
                       QWidget* parent)
    : QMainWindow(parent), doc(document), settings(appSettings), documentActions(docActions) {
    // An ordinary resizable window: the view scrolls inside it when the screen is too small for
    // the layout.
    setAcceptDrops(true);
    history = new CEditHistory(doc, this);
    settingsTransfer = std::make_unique<CSettingsTransfer>(doc, *history, this);
    BuildMenus();
    BuildEditHistory();

    openHelp = [](const QString& indexPath) {
        QDesktopServices::openUrl(QUrl::fromLocalFile(indexPath));
    };
    showAbout = [this](const AboutDeviceInfo& info) {
        CAboutDialog dialog(info, this);
        dialog.exec();
    };

    connect(&documentActions, &CDocumentActions::documentChanged, this, [this] {
        RefreshRecentFileEntries();
        UpdateTitle();
    });
    // The modified flag changes with every edit, on pages this frame does not know about.
    titleTimer.setInterval(kTitleRefreshMs);
    connect(&titleTimer, &QTimer::timeout, this, &CMainFrame::UpdateTitle);
    titleTimer.start();
    UpdateTitle();
    StartShowControl();
}

CMainFrame::~CMainFrame() {
    // The history's stack notifies this frame as it empties: it must go while the frame is
    // still whole, not among the children a QWidget deletes after the frame's members.
    delete history;
    history = nullptr;
}

QAction* CMainFrame::AddCommand(QMenu* menu, CommandId id, const QString& text,
                                const QList<QKeySequence>& keys, bool checkable) {
    auto* action = new QAction(text, this);
    action->setData(static_cast<int>(id));
    action->setCheckable(checkable);
    if (!keys.isEmpty()) {
        action->setShortcuts(keys);
        action->setShortcutContext(Qt::WindowShortcut);
    }
    if (menu != nullptr) {
        menu->addAction(action);
    } else {
        addAction(action);  // accelerator only
    }
    connect(action, &QAction::triggered, this, [this, id] { OnCommand(id); });
    actions.insert(id, action);
    return action;
}

void CMainFrame::BuildMenus() {
    using enum CommandId;
    fileMenu = menuBar()->addMenu(QStringLiteral("&File"));
    AddCommand(fileMenu, FileNew, QStringLiteral("&New"), {QKeySequence(Qt::CTRL | Qt::Key_N)});
    AddCommand(fileMenu, FileOpen, QStringLiteral("&Open..."),
               {QKeySequence(Qt::CTRL | Qt::Key_O)});
    AddCommand(fileMenu, FileSave, QStringLiteral("&Save"), {QKeySequence(Qt::CTRL | Qt::Key_S)});
    AddCommand(fileMenu, FileSaveAs, QStringLiteral("Save &As..."));
    fileMenu->addSeparator();
    AddCommand(fileMenu, FileExportSettings, QStringLiteral("&Export Settings..."));
    AddCommand(fileMenu, FileImportSettings, QStringLiteral("&Import Settings..."));
    fileMenu->addSeparator();
    BuildRecentFileEntries();
    fileMenu->addSeparator();
    AddCommand(fileMenu, AppExit, QStringLiteral("E&xit"));

    QMenu* edit = menuBar()->addMenu(QStringLiteral("&Edit"));
    AddCommand(edit, EditUndo, QStringLiteral("&Undo"), {QKeySequence(Qt::CTRL | Qt::Key_Z)});
    AddCommand(
        edit, EditRedo, QStringLiteral("&Redo"),
        {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), QKeySequence(Qt::CTRL | Qt::Key_Y)});
    AddCommand(edit, EditCompareAB, QStringLiteral("Compare &A/B"), {QKeySequence(Qt::Key_F6)});
    edit->addSeparator();
    AddCommand(edit, EditDeviceList, QStringLiteral("&Device List..."));
    AddCommand(edit, EditSaveCurrentPreset, QStringLiteral("&Save Current Preset"));
    AddCommand(nullptr, EditCopy, QString(),
               {QKeySequence(Qt::CTRL | Qt::Key_C), QKeySequence(Qt::CTRL | Qt::Key_Insert)});

    QMenu* viewMenu = menuBar()->addMenu(QStringLiteral("&View"));
    AddCommand(viewMenu, ViewDeviceConfiguration, QStringLiteral("Device &Configuration"), {},
               true);
    const struct {
        const char* title;
        CommandId idA;
        CommandId idB;
    } blocks[] = {{"&EQ", ViewEqA, ViewEqB},
                  {"&Low Pass", ViewLowPassA, ViewLowPassB},
                  {"&High Pass", ViewHighPassA, ViewHighPassB},
                  {"&Delay", ViewDelayA, ViewDelayB},
                  {"Co&mpressor/Limiter", ViewCompLimA, ViewCompLimB}};
    for (const auto& block : blocks) {
        QMenu* sub = viewMenu->addMenu(QString::fromLatin1(block.title));
        AddCommand(sub, block.idA, QStringLiteral("A"), {}, true);
        AddCommand(sub, block.idB, QStringLiteral("B"), {}, true);
        connect(sub, &QMenu::aboutToShow, this, &CMainFrame::UpdateCommandStates);
    }

    QMenu* online = menuBar()->addMenu(QStringLiteral("&Communications"));
    AddCommand(online, WorkOnline, QStringLiteral("&Work Online"), {}, true);
    online->addSeparator();
    for (int port = 1; port <= CAppSettings::kPortCount; ++port) {
        AddCommand(online, PortCommand(port), QStringLiteral("Com&%1").arg(port), {}, true);
    }
    online->addSeparator();
    AddCommand(online, Baud19200, QStringLiteral("&19200"), {}, true);
    AddCommand(online, Baud38400, QStringLiteral("&38400"), {}, true);
    online->addSeparator();
    AddCommand(online, PortDevices, QStringLiteral("Port &Devices..."));
    AddCommand(online, RemoteControl, QStringLiteral("&Remote Control..."));
#ifdef ARVESTRA_HAVE_OSC
    AddCommand(online, ShowControl, QStringLiteral("&Show Control..."));
#endif

    QMenu* help = menuBar()->addMenu(QStringLiteral("&Help"));
    AddCommand(help, HelpTopics, QStringLiteral("&Help Topics"),
               {QKeySequence(Qt::Key_F1), QKeySequence(Qt::SHIFT | Qt::Key_F1)});
    help->addSeparator();
    AddCommand(help, AppAbout, QStringLiteral("&About Korvanex Arvestra..."));

    menus = {fileMenu, edit, viewMenu, online, help};
    for (QMenu* menu : menus) {
        connect(menu, &QMenu::aboutToShow, this, &CMainFrame::UpdateCommandStates);
    }
    UpdateCommandStates();
}

void CMainFrame::BuildEditHistory() {
    // Any release of a mouse button or key in the editor closes the edits made so far into one
    // step, so pages that mark no gestures of their own are undoable too.
    history->WatchInput(QCoreApplication::instance());
    versionButton = new QToolButton(this);
    versionButton->setAutoRaise(true);
    versionButton->setToolTip(QStringLiteral("Swap the A and B versions of the edit buffer (F6)"));
    connect(versionButton, &QToolButton::clicked, this,
            [this] { OnCommand(CommandId::EditCompareAB); });
    // The bar takes its height from the button as it is when added: with its text, so the
    // window fitted to the view keeps fitting once the text is there.
    versionButton->setText(QStringLiteral("Version %1").arg(history->ActiveVersion()));
    statusBar()->addPermanentWidget(versionButton);
    // A recall or a device-list change can come from anywhere: the version shown and the
    // note about a cleared history follow within a moment.
    connect(&titleTimer, &QTimer::timeout, this,
            [this] { HistoryCommandEnabled(CommandId::EditCompareAB); });
    // Ctrl+Z works only on an enabled action: follow the stack as steps come and go.
    connect(&history->Stack(), &QUndoStack::canUndoChanged, this, &CMainFrame::UpdateCommandStates);
    connect(&history->Stack(), &QUndoStack::canRedoChanged, this, &CMainFrame::UpdateCommandStates);
    connect(history, &CEditHistory::note, this,
            [this](const QString& text) { statusBar()->showMessage(text, kStatusNoteMs); });
    UpdateCommandStates();
}

bool CMainFrame::HandleHistoryCommand(CommandId id) {
    switch (id) {
        case CommandId::EditUndo:
            history->Undo();
            return true;
        case CommandId::EditRedo:
            history->Redo();
            return true;
        case CommandId::EditCompareAB:
            history->SwapVersions();
            return true;
        case CommandId::FileExportSettings:
            settingsTransfer->Export();
            return true;
        case CommandId::FileImportSettings:
            settingsTransfer->Import();
            return true;
        default:
            return false;
    }
}

void CMainFrame::BuildRecentFileEntries() {
    for (int i = 0; i < CAppSettings::kRecentFileCount; ++i) {
        recentEntries.append(AddCommand(fileMenu, RecentFileCommand(i), QString()));
    }
    RefreshRecentFileEntries();
}

void CMainFrame::RefreshRecentFileEntries() {
    const CRecentFileList& recent = documentActions.Recent();
    for (int i = 0; i < recentEntries.size(); ++i) {
        QAction* entry = recentEntries.at(i);
        if (i < recent.Files().size()) {
            entry->setText(recent.MenuText(i));
            entry->setVisible(true);
            entry->setEnabled(true);
        } else if (i == 0) {
            // An empty list shows one greyed placeholder, as the menu always has.
            entry->setText(QStringLiteral("Recent File"));
            entry->setVisible(true);
            entry->setEnabled(false);
        } else {
            entry->setVisible(false);
        }
    }
}

void CMainFrame::SetView(IFrameView* frameView) {
    view = frameView;
    if (view != nullptr) {
        auto* scroller = new CViewScrollArea(this);
        scroller->setWidget(view->Widget());
        setCentralWidget(scroller);
    }
    UpdateCommandStates();
}

void CMainFrame::UpdateCommandStates() {
    using enum CommandId;
    const bool online = doc.IsOnline() != 0;
    for (auto it = actions.cbegin(); it != actions.cend(); ++it) {
        const CommandId id = it.key();
        QAction* action = it.value();
        bool enabled = true;
        bool checked = false;
        if (id == WorkOnline) {
            checked = online;
        } else if (PortOfCommand(id) != 0) {
            enabled = !online;
            checked = PortOfCommand(id) == portNumber;
        } else if (id == Baud19200 || id == Baud38400) {
            enabled = !online;
            checked = (id == Baud19200 ? 19200 : 38400) == baudRate;
        } else if (id == PortDevices) {
            enabled = !online;
        } else if (RecentFileOfCommand(id) >= 0) {
            continue;  // managed with the list
        } else if (id == FileNew || id == FileOpen || id == FileSave || id == FileSaveAs ||
                   id == AppExit || id == AppAbout || id == HelpTopics || id == RemoteControl ||
                   id == ShowControl || id == FileExportSettings || id == FileImportSettings) {
            enabled = true;
        } else if (id == EditUndo || id == EditRedo || id == EditCompareAB) {
            enabled = HistoryCommandEnabled(id);
        } else if (view == nullptr || !view->CommandState(id, enabled, checked)) {
            enabled = false;  // a command nobody handles is greyed
        }
        action->setEnabled(enabled);
        if (action->isCheckable()) {
            action->setChecked(checked);
        }
    }
}

bool CMainFrame::HistoryCommandEnabled(CommandId id) {
    if (history == nullptr) return false;
    const QString version = QStringLiteral("Version %1").arg(history->ActiveVersion());
    if (versionButton != nullptr && versionButton->text() != version)
        versionButton->setText(version);
    if (id == CommandId::EditUndo) return history->CanUndo();
    if (id == CommandId::EditRedo) return history->CanRedo();
    return doc.Devices().CurrentSlot() != kNoDevice;
}

bool CMainFrame::OnCommand(CommandId id) {
    const bool handled = HandleFrameCommand(id) || HandleHistoryCommand(id) ||
                         (view != nullptr && view->OnCommand(id));
    UpdateCommandStates();
    UpdateTitle();
    return handled;
}

bool CMainFrame::HandleFrameCommand(CommandId id) {
    using enum CommandId;
    if (const int port = PortOfCommand(id); port != 0) {
        if (doc.IsOnline() == 0) {
            SetPort(port);
        }
        return true;
    }
    if (const int index = RecentFileOfCommand(id); index >= 0) {
        const QStringList files = documentActions.Recent().Files();
        if (index < files.size()) {
            documentActions.OpenFile(files.at(index));
        }
        return true;
    }
    switch (id) {
        case WorkOnline:
            if (doc.IsOnline() != 0) {
                documentActions.GoOffline();
            } else {
                documentActions.GoOnline();
            }
            return true;
        case Baud19200:
        case Baud38400:
            if (doc.IsOnline() == 0) {
                SetBaud(id == Baud19200 ? 19200 : 38400);
            }
            return true;
        case PortDevices:
            if (doc.IsOnline() == 0) {
                EditPortDevices();
            }
            return true;
        case ShowControl:
            ShowShowControl();
            return true;
        case RemoteControl:
            ShowRemoteControl();
            return true;
        case FileNew:
            documentActions.FileNew();
            return true;
        case FileOpen:
            documentActions.FileOpen();
            return true;
        case FileSave:
            documentActions.FileSave();
            return true;
        case FileSaveAs:
            documentActions.FileSaveAs();
            return true;
        case AppExit:
            close();
            return true;
        case AppAbout:
            showAbout(CurrentDeviceInfo());
            return true;
        case HelpTopics:
            ShowHelp();
            return true;
        default:
            return false;
    }
}

void CMainFrame::SetPort(int port) {
    portNumber = port;
    doc.Bus().Link().SetPortNumber(port);
    if (doc.IsOnline() != 0) {
        doc.Bus().OpenLink();
    }
    settings.SetSerialPortNumber(port);
    UpdateCommandStates();
}

void CMainFrame::SetBaud(int baud) {
    baudRate = baud;
    doc.Bus().Link().SetBaudRate(baud);
    if (doc.IsOnline() != 0) {
        doc.Bus().OpenLink();
    }
    settings.SetBaudRate(baud);
    UpdateCommandStates();
}

void CMainFrame::ApplyPortPaths() {
    for (int port = 1; port <= CAppSettings::kPortCount; ++port) {
        // The environment variable names this run's device; a stored path must not hide it.
        const QString stored =
            EnvironmentPortPath(port).isEmpty() ? settings.PortDevicePath(port) : QString();
        doc.Bus().Link().Ports().SetPath(port, stored.toStdString());
    }
}

void CMainFrame::ShowRemoteControl() {
    // Made on first use, on this (the document's) thread; it stays until the window goes.
    if (!remoteServer) {
        remoteServer = std::make_unique<remote::RemoteServer>(doc);
        // A box, a dialog other than this one, or a long operation's wait cursor means the
        // document is busy; the waits of such operations still serve the network.
        remoteServer->SetBusyCheck([] {
            QWidget* modal = QApplication::activeModalWidget();
            const bool otherDialog =
                modal != nullptr && !qobject_cast<CRemoteControlDialog*>(modal);
            return otherDialog || QApplication::overrideCursor() != nullptr;
        });
        const std::string state = RecoveryStore::StateDirectory();
        if (!state.empty() && RecoveryStore::EnsureDirectory(state) == 0) {
            remoteServer->SetLogPath(state + "/remote-changes.log");
        }
        // The status bar says while pages are connected, so nobody forgets the remote is on.
        remoteLabel = new QLabel(this);
        remoteLabel->hide();
        statusBar()->addPermanentWidget(remoteLabel);
        connect(remoteServer.get(), &remote::RemoteServer::ClientCountChanged, this,
                [this](int pages) {
                    remoteLabel->setText(QStringLiteral("Remote: %1 page(s)").arg(pages));
                    remoteLabel->setVisible(pages > 0);
                });
    }
    CRemoteControlDialog dialog(*remoteServer, this);
    dialog.exec();
}

void CMainFrame::StartShowControl() {
#ifdef ARVESTRA_HAVE_OSC
    showControl = std::make_unique<remote::OscService>(doc);
    // A box, a dialog other than Show Control, or a long operation's wait cursor means the
    // document is busy: messages are then answered with an error, not applied.
    showControl->SetBusyCheck([] {
        QWidget* modal = QApplication::activeModalWidget();
        const bool otherDialog = modal != nullptr && !qobject_cast<CShowControlDialog*>(modal);
        return otherDialog || QApplication::overrideCursor() != nullptr;
    });
    connect(showControl.get(), &remote::OscService::DocumentChanged, this,
            [this] { doc.Ui().DocumentChanged(); });
    const ShowControlSettings stored = settings.ShowControl();
    if (stored.on) {
        // A port taken at start leaves show control off, as its dialog then shows.
        showControl->Start(stored.address.toStdString() + ':' + std::to_string(stored.port),
                           stored.allow.toStdString());
    }
#endif
}

void CMainFrame::ShowShowControl() {
#ifdef ARVESTRA_HAVE_OSC
    CShowControlDialog dialog(*showControl, settings.ShowControl(), this);
    connect(&dialog, &CShowControlDialog::Applied, this,
            [this](const ShowControlSettings& applied) { settings.SetShowControl(applied); });
    dialog.exec();
#endif
}

void CMainFrame::EditPortDevices() {
    QStringList stored;
    QStringList environment;
    for (int port = 1; port <= CAppSettings::kPortCount; ++port) {
        stored.append(settings.PortDevicePath(port));
        environment.append(EnvironmentPortPath(port));
    }
    CPortDevicesDialog dialog(stored, environment, this);
    if (dialog.exec() != QDialog::Accepted) {
        return;
    }
    const QStringList paths = dialog.Paths();
    for (int port = 1; port <= CAppSettings::kPortCount; ++port) {
        settings.SetPortDevicePath(port, paths.value(port - 1));
    }
    ApplyPortPaths();
}

void CMainFrame::UpdateTitle() {
    const QString title = documentActions.DocumentName() + QStringLiteral("[*] - ") +
                          QString::fromLatin1(CAboutDialog::kProductName);
    if (windowTitle() != title) {
        setWindowTitle(title);
    }
    const bool modified = doc.IsModified();
    if (isWindowModified() != modified) {
        setWindowModified(modified);
    }
}

AboutDeviceInfo CMainFrame::CurrentDeviceInfo() const {
    AboutDeviceInfo info;
    info.online = doc.IsOnline() != 0;
    const int slot = doc.Devices().CurrentSlot();
    if (!info.online || !CLocationImage::IsSlot(slot)) {
        info.online = false;
        return info;
    }
    const CLocationImage& location = doc.Devices().Location();
    info.address = doc.Devices().AddressOfSlot(slot);
    info.applicationNumber = location.RecordInt(slot, kRecApplicationNumber);
    info.appFirmware = location.RecordInt(slot, kRecAppFirmware);
    info.baseFirmware = location.RecordInt(slot, kRecBaseFirmware);
    return info;
}

void CMainFrame::ShowHelp() {
    const QString index = CHelpLocator::FindIndex(QCoreApplication::applicationDirPath());
    if (index.isEmpty()) {
        UiQuestion question;
        question.title = kAppTitle;
        question.text = "The help file could not be found.";
        question.buttons = ButtonSet::Ok;
        question.icon = IconKind::Warning;
        doc.Ui().Ask(question);
        return;
    }
    openHelp(index);
}

void CMainFrame::SaveWindowPlacement() {
    if (placementSaved) {
        return;
    }
    placementSaved = true;
    const QRect frame = frameGeometry();
    settings.SaveWindowLocation(frame.left(), frame.top());
    settings.Sync();
}

void CMainFrame::closeEvent(QCloseEvent* event) {
    if (!documentActions.SaveModified()) {
        event->ignore();
        return;
    }
    SaveWindowPlacement();
    documentActions.SaveRecentList();
    titleTimer.stop();
    doc.CloseLocation();
    event->accept();
}

QString CMainFrame::DroppedLocationFile(const QMimeData* mime) {
    if (mime == nullptr || !mime->hasUrls()) {
        return {};
    }
    // Only a Location File is taken; anything else is refused before it is dropped.
    for (const QUrl& url : mime->urls()) {
        if (url.isLocalFile() && CDocumentActions::HasLocationSuffix(url.toLocalFile())) {
            return url.toLocalFile();
        }
    }
    return {};
}

void CMainFrame::dragEnterEvent(QDragEnterEvent* event) {
    if (!DroppedLocationFile(event->mimeData()).isEmpty()) {
        event->acceptProposedAction();
    }
}

void CMainFrame::dropEvent(QDropEvent* event) {
    const QString path = DroppedLocationFile(event->mimeData());
    if (path.isEmpty()) {
        return;
    }
    event->acceptProposedAction();
    activateWindow();
    documentActions.OpenDroppedFile(path);
    UpdateCommandStates();
}

}  // namespace arvestra
