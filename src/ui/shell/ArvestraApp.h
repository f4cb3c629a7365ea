#pragma once

#include <QApplication>

#include <memory>

namespace arvestra {

class CEditorShell;

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
    std::unique_ptr<CEditorShell> shell;
};

}  // namespace arvestra
