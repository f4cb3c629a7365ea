#include "ui/shell/ArvestraApp.h"

#include <QCommandLineParser>

#include <clocale>

#include "document/RecoveryStore.h"
#include "ui/shell/AppIcon.h"
#include "ui/shell/EditorShell.h"
#include "ui/shell/MainFrame.h"
#include "ui/shell/SignalCloser.h"
#include "ui/view/Q7310View.h"

namespace arvestra {

CArvestraApp::CArvestraApp(int& argc, char** argv) : QApplication(argc, argv) {
    setOrganizationName(QStringLiteral("Korvanex"));
    setApplicationName(QStringLiteral("Arvestra"));
    setApplicationDisplayName(QStringLiteral("Korvanex Arvestra"));
    setApplicationVersion(QStringLiteral("1.03"));
    setWindowIcon(MakeAppIcon());
    KeepNumbersWithDot();
    connect(this, &QCoreApplication::aboutToQuit, this, [this] {
        if (shell) {
            shell->ExitStep();
        }
    });
}

void CArvestraApp::KeepNumbersWithDot() {
    // Qt has set the C library's locale from the desktop; the numbers the program shows, reads
    // and writes keep "." whatever the desktop's language.
    std::setlocale(LC_NUMERIC, "C");
}

CArvestraApp::~CArvestraApp() {
    signalCloser.reset();
    shell.reset();
}

void CArvestraApp::CloseOnSignal() {
    // A second signal while the offer to save is on screen adds nothing.
    if (closingOnSignal || !shell || shell->Frame() == nullptr) {
        return;
    }
    closingOnSignal = true;
    shell->Frame()->close();
    closingOnSignal = false;
}

bool CArvestraApp::Startup() {
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Editor and remote controller for Korvanex rack processors."));
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addPositionalArgument(QStringLiteral("file"),
                                 QStringLiteral("A Location File (.kvx) to open."));
    parser.process(*this);
    shell = std::make_unique<CEditorShell>(
        [](CQ7310Doc& doc, CAppSettings& settings, QWidget* frame) -> IFrameView* {
            return new CQ7310View(doc, settings, frame);
        });
    // Working copies live in the user's state directory, where they outlast a crash.
    const std::string state = RecoveryStore::StateDirectory();
    if (RecoveryStore::EnsureDirectory(state) == 0) {
        shell->UseRecoveryDirectory(state);
    }
    signalCloser = std::make_unique<CSignalCloser>([this] { CloseOnSignal(); });
    if (!shell->Startup(parser.positionalArguments())) {
        return false;
    }
    shell->OfferRecovery();
    return true;
}

}  // namespace arvestra
