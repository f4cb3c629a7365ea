#include "ui/shell/EditorShell.h"

#include <QApplication>
#include <QGuiApplication>
#include <QLayout>
#include <QScreen>
#include <QStyle>

#include "app/CommandId.h"
#include "document/CQ7310Doc.h"
#include "ui/shell/DevUtilsKeyFilter.h"
#include "ui/shell/DisplayChecks.h"
#include "ui/shell/DocumentActions.h"
#include "ui/shell/FrameView.h"
#include "ui/shell/MainFrame.h"
#include "ui/shell/PlaceholderView.h"
#include "ui/shell/RecoveryOffer.h"

namespace arvestra {

namespace {

int ValidPort(int port) {
    return port >= 1 && port <= CAppSettings::kPortCount ? port : CAppSettings::kDefaultPort;
}

int ValidBaud(int baud) {
    return baud == 19200 || baud == 38400 ? baud : CAppSettings::kDefaultBaud;
}

}  // namespace

CEditorShell::CEditorShell(ViewFactory viewFactory, QObject* parent) : QObject(parent) {
    doc = std::make_unique<CQ7310Doc>(reporter, clock);
    appState.SetActiveDocument(&doc->Bus());
    actions = std::make_unique<CDocumentActions>(*doc, settings);
    frame = std::make_unique<CMainFrame>(*doc, settings, *actions);
    actions->SetWindow(frame.get());
    view = viewFactory ? viewFactory(*doc, settings, frame.get())
                       : new CPlaceholderView(*doc, settings, frame.get());
    frame->SetView(view);

    uiPort.SetMainWindow(frame.get());
    uiPort.SetCommandSink([this](CommandId id) {
        if (frame) {
            frame->OnCommand(id);
        }
    });
    uiPort.SetUpdateSink([this](int hint) {
        if (view != nullptr) {
            view->OnUpdate(hint);
        }
        if (frame) {
            frame->UpdateTitle();
        }
    });
    uiPort.SetCloseSink([this] {
        if (frame) {
            frame->close();
        }
    });

    keyFilter =
        std::make_unique<CDevUtilsKeyFilter>([this] { uiPort.DevelopmentUtilitiesRequested(); });
    qApp->installEventFilter(keyFilter.get());
}

CEditorShell::~CEditorShell() {
    if (qApp != nullptr) {
        qApp->removeEventFilter(keyFilter.get());
    }
    ExitStep();
    uiPort.SetCommandSink({});
    uiPort.SetUpdateSink({});
    uiPort.SetCloseSink({});
    uiPort.SetMainWindow(nullptr);
    frame.reset();
    view = nullptr;
    actions.reset();
    appState.SetActiveDocument(nullptr);
    doc.reset();
}

const QScreen* CEditorShell::PlacementScreen() const {
    // The screen the window was last left on, while that screen is still there.
    if (settings.WindowLocationSet()) {
        const QPoint corner(settings.WindowLocationLeft(), settings.WindowLocationTop());
        if (const QScreen* screen = QGuiApplication::screenAt(corner)) {
            return screen;
        }
    }
    return QGuiApplication::primaryScreen();
}

DisplayInfo CEditorShell::Display() const {
    if (displayOverride) {
        return *displayOverride;
    }
    DisplayInfo display;
    if (const QScreen* screen = PlacementScreen()) {
        const QRect area = screen->availableGeometry();
        display.screen = {area.x(), area.y(), area.width(), area.height()};
        display.bitsPerPixel = screen->depth();
    }
    return display;
}

bool CEditorShell::Startup(const QStringList& files) {
    // Command line: a Location File given there is opened, otherwise a new location is made.
    const bool processed = files.isEmpty() ? actions->FileNew() : actions->OpenFile(files.first());
    if (!processed) {
        return false;
    }
    view->OnInitialUpdate();
    frame->UpdateTitle();

    const DisplayInfo display = Display();
    const QSize placedSize = PlaceWindow(display);
    frame->show();
    // The window system adds the caption and border only when the window is shown; place it
    // again if they changed its outer size.
    if (frame->frameGeometry().size() != placedSize) {
        PlaceWindow(display);
    }
    CDisplayChecks::CheckColours(frame.get(), settings, display.bitsPerPixel);

    ApplyStoredLinkSettings();
    appState.ClearOnlineFlag();
    frame->UpdateCommandStates();
    return true;
}

QSize CEditorShell::PlaceWindow(const DisplayInfo& display) {
    frame->ensurePolished();
    if (frame->layout() != nullptr) {
        frame->layout()->activate();
    }
    // The size the layout wants, within the screen's available area; the window system's
    // caption and border (known once the window is shown) count towards it.
    const QSize decorations = frame->frameGeometry().size() - frame->size();
    const QSize wanted = frame->sizeHint() + decorations;
    const int scrollBar = frame->style()->pixelMetric(QStyle::PM_ScrollBarExtent);
    const WindowSize fitted =
        FitWindowToScreen({wanted.width(), wanted.height()}, display.screen, scrollBar);
    frame->resize(fitted.width - decorations.width(), fitted.height - decorations.height());
    SavedPlacement saved;
    saved.isSet = settings.WindowLocationSet();
    if (saved.isSet) {
        saved.left = settings.WindowLocationLeft();
        saved.top = settings.WindowLocationTop();
    }
    const QRect outer = frame->frameGeometry();
    const WindowPosition position =
        PlaceMainWindow(saved, display.screen, outer.width(), outer.height());
    frame->move(position.x, position.y);
    return outer.size();
}

void CEditorShell::ApplyStoredLinkSettings() {
    frame->ApplyPortPaths();
    frame->SetPort(ValidPort(settings.SerialPortNumber()));
    frame->SetBaud(ValidBaud(settings.BaudRate()));
}

void CEditorShell::UseRecoveryDirectory(const std::string& directory) {
    doc->Session().SetRecoveryDirectory(directory);
}

int CEditorShell::OfferRecovery() {
    if (doc->Session().RecoveryDirectory().empty()) {
        return 0;
    }
    return CRecoveryOffer(*doc, *actions).Run();
}

void CEditorShell::ExitStep() {
    if (exitStepDone) {
        return;
    }
    exitStepDone = true;
    doc->Bus().WaitWorkerIdle();
    uiPort.Shutdown();
}

}  // namespace arvestra
