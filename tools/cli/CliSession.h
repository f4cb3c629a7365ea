// Everything one run of a verb works with: the console, the application state, the tool's
// user-interface port and error reporter, and the document with its link; and the steps the
// verbs are made of (open, save, go online, upload, go offline), each of which says whether the
// verb can go on.
#pragma once

#include <functional>
#include <optional>
#include <string>

#include "app/AppState.h"
#include "app/ErrorReporter.h"
#include "app/SystemClock.h"
#include "cli/AnswerPolicy.h"
#include "cli/CliConsole.h"
#include "cli/CliUiPort.h"
#include "cli/PortOption.h"
#include "document/CQ7310Doc.h"
#include "document/GoOnline.h"
#include "document/LocationFileLock.h"

namespace arvestra::cli {

class CliSession {
  public:
    // A session for `verb` (named in progress lines) answering questions by `policy`.
    CliSession(std::string verb, AnswerPolicy policy);
    // Takes the application offline (closing the port) before the document goes.
    ~CliSession();
    CliSession(const CliSession&) = delete;
    CliSession& operator=(const CliSession&) = delete;

    CQ7310Doc& Doc() { return doc_; }
    AppState& App() { return app_; }
    CliUiPort& Ui() { return ui_; }

    // Points the link at the port and baud rate used when going online.
    void UsePort(const PortSpec& port, int baudRate);

    // Opens a Location File offline; false (after a message) when it cannot be used.
    bool OpenFile(const std::string& path);
    // Saves the location to a file; false after a message, also when another program has the
    // file open for editing.
    bool SaveFile(const std::string& path);
    // Locks a file this run edits until it ends, so no other program writes it meanwhile;
    // false after a message naming the program that holds it already.
    bool HoldForEditing(const std::string& path);
    // Refuses to replace an existing file unless forced; false after a message.
    bool MayWriteNewFile(const std::string& path, bool force);

    // Runs a long operation with the progress line shown.
    void WithProgress(const std::function<void()>& work);
    // Goes online the chosen way, showing progress; true when online with the devices ready.
    bool GoOnline(GoOnlineChoice choice);
    // Reads every present device's information and nine images into the location (what saving
    // while online does), showing progress; true when every exchange succeeded.
    bool UploadAllDevices();
    // Takes the application offline; the port closes.
    void GoOffline();

    // True while nothing has failed and, online, the bus is still in use.
    bool Healthy() const { return !ui_.Failed(); }
    bool StillOnline() const { return Healthy() && app_.IsOnline() != 0; }

    // The device at an address: listed in the location (offline) or found on the bus (online);
    // false after a message.
    bool RequireDevice(int address);

    // The exit status: success only when `ok` and nothing failed on the way.
    int Finish(bool ok);

  private:
    std::string ProgressText();

    std::string verb_;
    CliConsole console_;
    AppState app_;
    CliUiPort ui_;
    ErrorReporter reporter_;
    SystemClock clock_;
    CQ7310Doc doc_;
    LocationFileLock fileLock_;
};

}  // namespace arvestra::cli
