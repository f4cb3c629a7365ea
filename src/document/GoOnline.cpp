#include "document/GoOnline.h"

#include "document/AskQuestion.h"
#include "document/LocationMessages.h"

namespace arvestra {

GoOnline::GoOnline(AppState& app, CQ7310Doc& doc, FrameworkFileSteps steps)
    : app_(app), doc_(doc), steps_(std::move(steps)) {}

bool GoOnline::ConfirmUpload() {
    return AskQuestion(doc_.Ui(), kMsgConfirmUpload, ButtonSet::YesNo) == UiAnswer::Yes;
}

int GoOnline::Run(GoOnlineChoice choice) {
    switch (choice) {
        case GoOnlineChoice::kCreateNewLocationFile:
            return CreateNewLocationFile();
        case GoOnlineChoice::kUploadFromDevices:
            return UploadFromDevices();
        case GoOnlineChoice::kDownloadToDevices:
            return DownloadToDevices();
        case GoOnlineChoice::kCancel:
            break;
    }
    return 0;
}

int GoOnline::CreateNewLocationFile() {
    // The offer to save comes while still offline: a save made online would first upload every
    // device listed in the file over the edits the user is being asked to keep.
    doc_.Session().SetNewLocationMade(false);
    if (!SaveModified()) return 0;
    app_.SetOnline(1);
    // The port could not be opened and the user chose to stay offline: nothing to scan.
    if (!app_.IsOnline()) return 0;
    const int made = doc_.NewLocation();
    if (doc_.Session().NewLocationMade()) {
        doc_.SetModifiedFlag();
    } else {
        app_.SetOnline(0);  // the user kept the old location
    }
    return made && app_.IsOnline() ? 1 : 0;
}

int GoOnline::UploadFromDevices() {
    app_.SetOnline(1);
    if (!app_.IsOnline()) return 0;
    const int made = doc_.NewLocation();
    doc_.Ui().DocumentChanged();
    doc_.SetModifiedFlag();
    return made && app_.IsOnline() ? 1 : 0;
}

int GoOnline::DownloadToDevices() {
    app_.SetOnline(1);
    if (!app_.IsOnline()) return 0;
    if (!doc_.DownloadToDevices()) return 0;
    doc_.SetModifiedFlag(false);
    return 1;
}

int GoOnline::GoOffline() {
    if (doc_.IsModified()) {
        const UiAnswer answer =
            AskQuestion(doc_.Ui(), kMsgUploadBeforeOffline, ButtonSet::YesNoCancel);
        if (answer == UiAnswer::Cancel) return 0;
        // Saving while still online uploads every present device into the file first.
        if (answer == UiAnswer::Yes && !FileSave()) return 0;
    }
    app_.SetOnline(0);
    return 1;
}

bool GoOnline::SaveModified() {
    return steps_.saveModified ? steps_.saveModified() : true;
}

bool GoOnline::FileSave() {
    if (steps_.fileSave) return steps_.fileSave();
    return !doc_.Session().Path().empty() && doc_.SaveLocation(doc_.Session().Path()) != 0;
}

}  // namespace arvestra
