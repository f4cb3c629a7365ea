// A new or opened location is built in a fresh working copy and only replaces the one in use
// once it has passed every check, so a file that cannot be read leaves the user's document as
// it was. Saving writes the used length to a new file beside the destination and renames it
// over, so a failed save leaves the old file whole; the document then stays open and modified.
#include "document/LocationSession.h"

#include <unistd.h>

#include <ctime>

#include "document/AskQuestion.h"
#include "document/AtomicFileWriter.h"
#include "document/LocationFileFormat.h"
#include "document/LocationImage.h"
#include "document/LocationMessages.h"
#include "document/RecoveryStore.h"
#include "document/TextFormat.h"
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
void ReportOpenFault(ErrorReporter& reporter, const FileFault& fault) {
    reporter.ReportFatalError(MessageForFault(fault.number), fault.number, fault.systemError,
                              fault.detail1, fault.detail2);
}

// Checks an opened file's copy and, for the older version, asks whether to convert it.
// False when the file is refused or the user chose to exit.
bool AcceptLocationFile(ErrorReporter& reporter, const std::string& path, WorkingCopy& copy) {
    CLocationImage fresh(copy.Bytes());
    const HeaderCheck check = CheckLocationFile(fresh, copy.SourceLength());
    if (check.verdict == HeaderVerdict::kRefused) {
        ReportOpenFault(reporter, check.fault);
        return false;
    }
    if (check.verdict == HeaderVerdict::kCurrent) return true;

    const UiAnswer answer =
        AskQuestion(reporter.Ui(), FormatText(kMsgOldVersionFormat, path.c_str()),
                    ButtonSet::YesNoCancel, IconKind::Warning);
    if (answer == UiAnswer::Yes) {
        ConvertFromOldVersion(fresh);
        return true;
    }
    if (answer == UiAnswer::No) return true;  // used as it is; saved with the old version word
    reporter.CloseMainWindow();
    return false;
}

}  // namespace

LocationSession::LocationSession(ErrorReporter& reporter) : reporter_(reporter) {}

LocationSession::~LocationSession() = default;

std::string LocationSession::TempPath() const {
    return workingCopy_ ? workingCopy_->Path() : std::string();
}

std::unique_ptr<WorkingCopy> LocationSession::MakeCopy(const std::string& sourcePath,
                                                       FileFault& fault) const {
    fault = {};
    if (makeCopy_) return makeCopy_(sourcePath, fault);
    return WorkingCopy::Create(sourcePath, fault, recoveryDirectory_);
}

std::unique_ptr<WorkingCopy> LocationSession::PrepareCopy(const std::string& path) {
    FileFault fault;
    std::unique_ptr<WorkingCopy> copy = MakeCopy(path, fault);
    if (!copy) {
        ReportOpenFault(reporter_, fault);
        return nullptr;
    }
    if (path.empty()) {
        CLocationImage(copy->Bytes()).FormatNew();
    } else if (!AcceptLocationFile(reporter_, path, *copy)) {
        return nullptr;  // the refused copy is deleted here
    }
    return copy;
}

std::unique_ptr<WorkingCopy> LocationSession::PrepareRecoveredCopy(const std::string& copyPath) {
    FileFault fault;
    std::unique_ptr<WorkingCopy> copy = MakeCopy(copyPath, fault);
    if (!copy) return nullptr;
    CLocationImage fresh(copy->Bytes());
    // An older version word was the user's choice when the copy was made: kept as it is.
    if (CheckLocationFile(fresh, copy->SourceLength()).verdict == HeaderVerdict::kRefused) {
        return nullptr;
    }
    return copy;
}

void LocationSession::Adopt(std::unique_ptr<WorkingCopy> copy, std::string path) {
    workingCopy_ = std::move(copy);
    path_ = std::move(path);
}

void LocationSession::Release() {
    workingCopy_.reset();
}

bool LocationSession::Save(const std::string& path,
                           const std::function<std::span<const std::uint8_t>()>& collect) {
    AtomicFileWriter writer;
    if (int error = writer.Begin(path)) {
        ReportSaveFault(path, kErrSaveCreate, error);
        return false;
    }
    const std::span<const std::uint8_t> used = collect();
    if (workingCopy_) {
        if (int error = workingCopy_->Flush()) {
            ReportSaveFault(path, kErrSaveFlush, error);
            return false;
        }
    }
    if (int error = writer.Commit(used)) {
        ReportSaveFault(path, kErrSaveCopy, error);
        return false;
    }
    path_ = path;
    return true;
}

void LocationSession::ReportSaveFault(const std::string& path, int number, int systemError) {
    // The application keeps running: the document is still open and modified, so the user can
    // save it somewhere else.
    AskQuestion(reporter_.Ui(),
                ErrorReporter::FormatFatalText(FormatText(kMsgCannotSaveFileFormat, path.c_str()),
                                               number, systemError, 0, 0),
                ButtonSet::Ok, IconKind::Stop);
}

void LocationSession::UpdateRecoveryNote(bool modified) {
    // A copy in memory has no file to recover (and its empty path would put the note in the
    // current directory).
    if (recoveryDirectory_.empty() || !workingCopy_ || workingCopy_->Path().empty()) return;
    RecoveryNote note;
    note.originalPath = path_;
    note.time = static_cast<std::int64_t>(std::time(nullptr));
    note.pid = static_cast<long>(::getpid());
    note.modified = modified;
    // Best effort: without a note the copy is simply not offered after a crash.
    RecoveryStore::WriteNote(workingCopy_->Path(), note);
}

}  // namespace arvestra
