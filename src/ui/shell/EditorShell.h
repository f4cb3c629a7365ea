#pragma once

#include <QObject>
#include <QStringList>

#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "app/AppState.h"
#include "app/ErrorReporter.h"
#include "app/SystemClock.h"
#include "ui/ports/QtUiPort.h"
#include "ui/shell/AppSettings.h"
#include "ui/shell/WindowPlacement.h"

class QScreen;

namespace arvestra {

class CQ7310Doc;
class CMainFrame;
class CDocumentActions;
class CDevUtilsKeyFilter;
class IFrameView;

// The screen the main window is placed on.
struct DisplayInfo {
    ScreenArea screen;
    int bitsPerPixel = 24;
};

// The editor as a whole: the settings, the online flag, the Qt user-interface port, the error
// reporter, the one document, the main frame and its view. Start-up runs in the fixed order the
// editor has always used; the exit step waits for the worker once.
class CEditorShell : public QObject {
    Q_OBJECT
  public:
    // Makes the view for a frame; the default is the stand-in view.
    using ViewFactory =
        std::function<IFrameView*(CQ7310Doc& doc, CAppSettings& settings, QWidget* frame)>;

    explicit CEditorShell(ViewFactory viewFactory = {}, QObject* parent = nullptr);
    ~CEditorShell() override;

    // Start-up: opens the Location File named in `files` (the first one) or makes a new
    // location, places and shows the window, warns about the display, feeds port and baud rate
    // to the link, and starts offline. False when the file could not be opened: the
    // application then ends.
    bool Startup(const QStringList& files);
    // Waits for the worker to become idle, the first time only, then answers any question the
    // worker still raises without showing it.
    void ExitStep();
    // Keeps working copies, with recovery notes, in this directory (before Startup).
    void UseRecoveryDirectory(const std::string& directory);
    // Offers back the working copies left by editors that no longer run; the number recovered.
    int OfferRecovery();

    // Replaces the screen queries (tests).
    void SetDisplayOverride(const DisplayInfo& display) { displayOverride = display; }
    // The screen the window is placed on: the override, else the screen holding the saved
    // position, else the primary screen.
    DisplayInfo Display() const;

    CQ7310Doc& Doc() { return *doc; }
    CMainFrame* Frame() { return frame.get(); }
    CDocumentActions& Actions() { return *actions; }
    IFrameView* View() { return view; }
    AppState& App() { return appState; }
    CQtUiPort& Ui() { return uiPort; }
    CAppSettings& Settings() { return settings; }

  private:
    const QScreen* PlacementScreen() const;
    // Sizes and moves the window to its start position; the outer size the position was computed
    // for.
    QSize PlaceWindow(const DisplayInfo& display);
    void ApplyStoredLinkSettings();

    CAppSettings settings;
    AppState appState;
    CQtUiPort uiPort;
    ErrorReporter reporter{appState, uiPort};
    SystemClock clock;
    std::unique_ptr<CQ7310Doc> doc;
    std::unique_ptr<CDocumentActions> actions;
    std::unique_ptr<CMainFrame> frame;
    IFrameView* view = nullptr;
    std::unique_ptr<CDevUtilsKeyFilter> keyFilter;
    std::optional<DisplayInfo> displayOverride;
    bool exitStepDone = false;
};

}  // namespace arvestra
