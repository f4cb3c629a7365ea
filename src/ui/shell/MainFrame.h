#pragma once

#include <QMainWindow>
#include <QMap>
#include <QTimer>

#include <functional>
#include <memory>

#include "app/CommandId.h"
#include "ui/shell/AboutDialog.h"

class QAction;
class QLabel;
class QMenu;
class QMimeData;
class QToolButton;

namespace arvestra {

class CQ7310Doc;
class CAppSettings;
class CDocumentActions;
class CEditHistory;
class CSettingsTransfer;
class IFrameView;
namespace remote {
class RemoteServer;
class OscService;
}  // namespace remote

// The main window: the menus with their ids, accelerators, check marks and enabled states, the
// serial port and baud rate, the title with the document's name and modified mark, and dropped
// files. The view sits in a scroll area, so the window can be smaller than the layout. Commands
// it does not handle itself go to the view.
class CMainFrame : public QMainWindow {
    Q_OBJECT
  public:
    CMainFrame(CQ7310Doc& doc, CAppSettings& settings, CDocumentActions& actions,
               QWidget* parent = nullptr);
    ~CMainFrame() override;

    // Hosts the view (the frame does not own it beyond Qt's parenting).
    void SetView(IFrameView* view);
    IFrameView* View() const { return view; }

    // Runs a command by id (menus, accelerators and posted commands); false when nobody
    // handles it.
    bool OnCommand(CommandId id);
    // Recomputes enabled states and check marks of every command.
    void UpdateCommandStates();
    // The action of a command id, or nullptr.
    QAction* Action(CommandId id) const { return actions.value(id, nullptr); }
    // The top-level menus, in order.
    QList<QMenu*> Menus() const { return menus; }
    // Undo, redo and A/B compare of the edit buffers; pages mark their gestures here.
    CEditHistory& EditHistory() { return *history; }
    // File > Export Settings... and Import Settings...
    CSettingsTransfer& SettingsTransfer() { return *settingsTransfer; }

    // Remembers the port, hands it to the link (reopening it while online) and stores it.
    void SetPort(int port);
    // The same for the baud rate.
    void SetBaud(int baud);
    int PortNumber() const { return portNumber; }
    int BaudRate() const { return baudRate; }
    // Hands the device paths chosen for COM1..COM4 to the link's port map; a port named by an
    // ARVESTRA_COM<n> environment variable keeps that for this run.
    void ApplyPortPaths();

    // Title: "<document>[*] - Korvanex Arvestra" with the modified mark.
    void UpdateTitle();
    // What the About box shows of the current device.
    AboutDeviceInfo CurrentDeviceInfo() const;
    // Stores the window's position ("WindowLocationLeft", "WindowLocationTop", then
    // "WindowLocationSet" = 1); done once, when the window goes away.
    void SaveWindowPlacement();

    // Hooks for tests: opening the help page and showing the About box.
    std::function<void(const QString& indexPath)> openHelp;
    std::function<void(const AboutDeviceInfo& info)> showAbout;

  protected:
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

  private:
    QAction* AddCommand(QMenu* menu, CommandId id, const QString& text,
                        const QList<QKeySequence>& keys = {}, bool checkable = false);
    void BuildMenus();
    void BuildEditHistory();
    bool HandleHistoryCommand(CommandId id);
    bool HistoryCommandEnabled(CommandId id);
    void BuildRecentFileEntries();
    void RefreshRecentFileEntries();
    bool HandleFrameCommand(CommandId id);
    void ShowHelp();
    void EditPortDevices();
    void ShowRemoteControl();
    // Show control: made at start (and started when the settings say so) and by its dialog.
    void StartShowControl();
    void ShowShowControl();
    static QString DroppedLocationFile(const QMimeData* mime);

    CQ7310Doc& doc;
    CAppSettings& settings;
    CDocumentActions& documentActions;
    IFrameView* view = nullptr;
    QMap<CommandId, QAction*> actions;
    QList<QMenu*> menus;
    QMenu* fileMenu = nullptr;
    QList<QAction*> recentEntries;
    int portNumber = 2;
    int baudRate = 19200;
    bool placementSaved = false;
    QTimer titleTimer;
    std::unique_ptr<remote::RemoteServer> remoteServer;  // made when first turned on
    std::unique_ptr<remote::OscService> showControl;
    CEditHistory* history = nullptr;
    std::unique_ptr<CSettingsTransfer> settingsTransfer;
    QToolButton* versionButton = nullptr;
    QLabel* remoteLabel = nullptr;  // "Remote: N page(s)" while pages are connected
};

}  // namespace arvestra
