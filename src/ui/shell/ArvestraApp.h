#pragma once

#include <QApplication>

#include <memory>

namespace arvestra {

class CEditorShell;
class CSignalCloser;

// The application object: names the settings' organisation and application, sets the program
// icon, starts the editor and runs its exit step before the event loop's end is processed.
class CArvestraApp : public QApplication {
    Q_OBJECT
  public:
    CArvestraApp(int& argc, char** argv);
    ~CArvestraApp() override;

    // Starts the editor with the files named on the command line; false when start-up failed.
    bool Startup();
    CEditorShell* Shell() const { return shell.get(); }
    // Puts the C library's number formats back to the C ones after Qt took the desktop's.
    static void KeepNumbersWithDot();

  private:
    // SIGTERM, SIGHUP, SIGINT: closes the main window as the user would.
    void CloseOnSignal();

    std::unique_ptr<CEditorShell> shell;
    std::unique_ptr<CSignalCloser> signalCloser;
    bool closingOnSignal = false;
};

}  // namespace arvestra
