#include "ui/shell/ArvestraApp.h"

#include <QCommandLineParser>

#include <clocale>

#include "ui/shell/AppIcon.h"
#include "ui/shell/EditorShell.h"
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
    shell.reset();
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
    return shell->Startup(parser.positionalArguments());
}

}  // namespace arvestra
