// The "&Work Online" command as operations over the application state and the document: the
// three ways online chosen in the Go Online dialog, and going offline with its question. The
// dialog itself, and the framework's file dialogs, belong to the user interface, which hands
// them in as the two file steps below.
#pragma once

#include <functional>

#include "app/AppState.h"
#include "document/CQ7310Doc.h"

namespace arvestra {

// Results of the Go Online dialog (template 173).
enum class GoOnlineChoice {
    kCancel = 2,
    kCreateNewLocationFile = 1016,
    kUploadFromDevices = 1017,
    kDownloadToDevices = 1018,
};

// The framework's file steps the going online and offline need.
struct FrameworkFileSteps {
    // Offers to save a modified location; false when the user cancelled. Unset: nothing to offer.
    std::function<bool()> saveModified;
    // File Save (asks for a name first when the location has none or its file is read-only);
    // true when saved. Unset: saves to the document's path, fails when it has none.
    std::function<bool()> fileSave;
};

class GoOnline {
  public:
    GoOnline(AppState& app, CQ7310Doc& doc, FrameworkFileSteps steps = {});

    // "&Upload From Devices" replaces the open location: true when the user confirms. The
    // dialog closes with kUploadFromDevices only after a Yes.
    bool ConfirmUpload();

    // Goes online the chosen way; 1 when the application ended up online with the devices
    // ready, 0 otherwise (cancelled, or a failure that was already reported).
    int Run(GoOnlineChoice choice);

    // "&Work Online" while online: offers to upload and save a modified location first, then
    // takes the application offline. 0 when the user cancelled or the save failed (still online).
    int GoOffline();

  private:
    bool SaveModified();
    bool FileSave();
    int CreateNewLocationFile();
    int UploadFromDevices();
    int DownloadToDevices();

    AppState& app_;
    CQ7310Doc& doc_;
    FrameworkFileSteps steps_;
};

}  // namespace arvestra
