// The document's Location File operations: the working copy, new, open, save and close.
//
// A new or opened location is built in a fresh working copy and only replaces the one in use
// once it has passed every check, so a file that cannot be read leaves the user's document as
// it was. Saving writes the used length to a new file beside the destination and renames it
// over, so a failed save leaves the old file whole; the document then stays open and modified.
#include <unistd.h>

#include <ctime>
#include <memory>
#include <span>

#include "document/AskQuestion.h"
#include "document/AtomicFileWriter.h"
#include "document/CQ7310Doc.h"
#include "document/LocationFileFormat.h"
#include "document/LocationMessages.h"
#include "document/RecoveryStore.h"
#include "document/TextFormat.h"
#include "document/WaitCursor.h"
#include "document/WorkingCopy.h"

namespace arvestra {

namespace {

// The message of a failed new or open step.
const char* MessageForFault(int number) {
    if (number >= kErrTempDirectory && number <= kErrCopyToWorking) return kMsgCannotSaveTemporary;
    if (number >= kErrOpenWorking && number <= kErrMapWorking) return kMsgCannotCreateNew;
    return kMsgCorruptLocationFile;
}

// Reports a failed new or open step; the application closes, as after every file error.
void ReportOpenFault(CQ7310Doc& doc, const FileFault& fault) {
    doc.Reporter().ReportFatalError(MessageForFault(fault.number), fault.number, fault.systemError,
                                    fault.detail1, fault.detail2);
}

// Reports a failed save with its message and numbers but leaves the application running: the
// document is still open and modified, so the user can save it somewhere else.
void ReportSaveFault(CQ7310Doc& doc, const std::string& path, int number, int systemError) {
    AskQuestion(doc.Ui(),
                ErrorReporter::FormatFatalText(FormatText(kMsgCannotSaveFileFormat, path.c_str()),
                                               number, systemError, 0, 0),
                ButtonSet::Ok, IconKind::Stop);
}

// Checks an opened file's copy and, for the older version, asks whether to convert it.
// False when the file is refused or the user chose to exit.
bool AcceptLocationFile(CQ7310Doc& doc, const std::string& path, WorkingCopy& copy) {
    CLocationImage fresh(copy.Bytes());
    const HeaderCheck check = CheckLocationFile(fresh, copy.SourceLength());
    if (check.verdict == HeaderVerdict::kRefused) {
        ReportOpenFault(doc, check.fault);
        return false;
    }
    if (check.verdict == HeaderVerdict::kCurrent) return true;

    const UiAnswer answer = AskQuestion(doc.Ui(), FormatText(kMsgOldVersionFormat, path.c_str()),
                                        ButtonSet::YesNoCancel, IconKind::Warning);
    if (answer == UiAnswer::Yes) {
        ConvertFromOldVersion(fresh);
        return true;
    }
    if (answer == UiAnswer::No) return true;  // used as it is; saved with the old version word
    doc.Reporter().CloseMainWindow();
    return false;
}

}  // namespace

int CQ7310Doc::MapWorkingCopy(const std::string& path) {
    FileFault fault;
    std::unique_ptr<WorkingCopy> copy = WorkingCopy::Create(path, fault, recoveryDirectory);
    if (!copy) {
        ReportOpenFault(*this, fault);
        return 0;
    }
    if (path.empty()) {
        CLocationImage(copy->Bytes()).FormatNew();
    } else if (!AcceptLocationFile(*this, path, *copy)) {
        return 0;  // the refused copy is deleted here; the document keeps the one it had
    }

    AttachStorage(copy->Bytes());
    tempPath = copy->Path();
    workingCopy = std::move(copy);  // the previous working copy is unmapped and deleted now
    pathName = path;
    UpdateRecoveryNote();
    if (path.empty() && !IsOnline()) AddDevice(-1);
    return 1;
}

void CQ7310Doc::UpdateRecoveryNote() {
    if (recoveryDirectory.empty() || !workingCopy) return;
    RecoveryNote note;
    note.originalPath = pathName;
    note.time = static_cast<std::int64_t>(std::time(nullptr));
    note.pid = static_cast<long>(::getpid());
    note.modified = IsModified();
    // Best effort: without a note the copy is simply not offered after a crash.
    RecoveryStore::WriteNote(workingCopy->Path(), note);
}

int CQ7310Doc::RecoverLocation(const std::string& copyPath, const std::string& originalPath) {
    App().SetOnline(0);
    FileFault fault;
    std::unique_ptr<WorkingCopy> copy = WorkingCopy::Create(copyPath, fault, recoveryDirectory);
    if (!copy) return 0;
    {
        CLocationImage fresh(copy->Bytes());
        // An older version word was the user's choice when the copy was made: kept as it is.
        if (CheckLocationFile(fresh, copy->SourceLength()).verdict == HeaderVerdict::kRefused) {
            return 0;
        }
    }
    ClearLocation();
    AttachStorage(copy->Bytes());
    tempPath = copy->Path();
    workingCopy = std::move(copy);
    pathName = originalPath;
    if (!ListsAnyDevice(Location())) AddDevice(-1);
    SelectDevice(RebuildPresentTable());
    SetModifiedFlag(true);
    UpdateRecoveryNote();
    UpdateAllViews(kHintLoaded);
    return 1;
}

void CQ7310Doc::UnmapWorkingCopy() {
    if (workingCopy) {
        DetachStorage();
        workingCopy.reset();
    }
    tempPath.clear();
}

int CQ7310Doc::NewLocation() {
    newDocumentDone = 1;
    if (IsOnline() && !StartWorker()) return 0;
    if (!PauseWorker(true).ok) return 0;
    syncLive = 0;
    ClearLocation();
    if (!MapWorkingCopy("")) return 0;

    if (IsOnline()) {
        WaitCursor wait(Ui());
        if (!OpenLink()) return 0;
        if (!Discover(false)) {
            // The failure has taken the application offline (or is closing it): the link
            // follows, and the empty location gets its default device, which is then shown.
            ApplyOnlineState();
            AddDevice(-1);
            if (!IsOnline()) SelectDevice(RebuildPresentTable());
            UpdateAllViews(kHintLoaded);
            return 0;
        }
        // Slot 0 may hold a device that discovery entered and then refused for its firmware
        // (its table entry stays in the file): edit the first device that was accepted.
        const int first = FirstPresentAddress();
        if (first == 0 || !EditDevice(first)) return 0;
        syncLive = 1;
        EnableSync();
    } else {
        if (!CloseLink()) return 0;
        SelectDevice(RebuildPresentTable());
        SetModifiedFlag(false);
    }
    editingStarted = 1;
    UpdateAllViews(kHintLoaded);
    SetModifiedFlag(false);
    return 1;
}

int CQ7310Doc::OpenLocation(const std::string& path) {
    App().SetOnline(0);
    if (!MapWorkingCopy(path)) return 0;
    ClearLocation();
    pathName = path;
    // A table without devices (only possible in a file made elsewhere) gets one default device,
    // so that a device is always selected; the document then differs from the file.
    const bool addedDefault = !ListsAnyDevice(Location());
    if (addedDefault) AddDevice(-1);
    SelectDevice(RebuildPresentTable());
    SetModifiedFlag(addedDefault);
    UpdateAllViews(kHintLoaded);
    return 1;
}

int CQ7310Doc::SaveLocation(const std::string& path) {
    if (editingStarted && PresetModified() &&
        AskQuestion(Ui(), kMsgSavePreset, ButtonSet::YesNo) == UiAnswer::Yes) {
        StorePreset();
    }
    const PauseResult pause = PauseWorker(true);
    if (!pause.ok) return 0;

    AtomicFileWriter writer;
    if (int error = writer.Begin(path)) {
        ReportSaveFault(*this, path, kErrSaveCreate, error);
        ResumeWorker(pause.saved);
        return 0;
    }
    if (IsOnline()) UploadAllDevices();
    if (workingCopy) {
        if (int error = workingCopy->Flush()) {
            ReportSaveFault(*this, path, kErrSaveFlush, error);
            ResumeWorker(pause.saved);
            return 0;
        }
    }
    const std::span<const uint8_t> used(Location().Data(), UsedLength(Location()));
    if (int error = writer.Commit(used)) {
        ReportSaveFault(*this, path, kErrSaveCopy, error);
        ResumeWorker(pause.saved);
        return 0;
    }
    pathName = path;
    ResumeWorker(pause.saved);
    SetModifiedFlag(false);
    UpdateRecoveryNote();  // the path may have changed
    return 1;
}

void CQ7310Doc::CloseLocation() {
    App().SetOnline(0);
    UnmapWorkingCopy();
    pathName.clear();
    SetModifiedFlag(false);
}

void CQ7310Doc::ClearLocation() {
    syncLive = 0;
    if (CloseLink()) present.fill(0);
}

}  // namespace arvestra
