// The Location File the user works on: its path, the working copy the device records live in
// while it is open, and the recovery note kept beside that copy. The document decides when a
// location is made, opened, saved or closed; this part does the file work and reports its
// failures.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>

#include "app/ErrorReporter.h"
#include "document/FileFault.h"

namespace arvestra {

class WorkingCopy;

// Makes the working copy of the Location File at sourcePath (empty: a new location, every byte
// zero); null with the failing step and errno in fault.
using WorkingCopyMaker =
    std::function<std::unique_ptr<WorkingCopy>(const std::string& sourcePath, FileFault& fault)>;

class LocationSession {
  public:
    explicit LocationSession(ErrorReporter& reporter);
    // Deletes the working copy and its note.
    ~LocationSession();
    LocationSession(const LocationSession&) = delete;
    LocationSession& operator=(const LocationSession&) = delete;

    // Path of the Location File the user opened or saved; empty for an untitled location.
    const std::string& Path() const { return path_; }
    void SetPath(std::string path) { path_ = std::move(path); }
    // Path of the working copy; empty while none is open.
    std::string TempPath() const;
    bool HasWorkingCopy() const { return workingCopy_ != nullptr; }

    // Where working copies go, each with a recovery note; empty: the temporary directory and
    // no notes.
    const std::string& RecoveryDirectory() const { return recoveryDirectory_; }
    void SetRecoveryDirectory(std::string directory) { recoveryDirectory_ = std::move(directory); }

    // Where working copies come from: by default temporary files (WorkingCopy::Create in the
    // recovery directory); tests and tools that read many locations may keep them in memory.
    // An empty maker goes back to the default.
    void SetWorkingCopyMaker(WorkingCopyMaker maker) { makeCopy_ = std::move(maker); }

    // Set when a new location was really made, so that going online learns of it.
    bool NewLocationMade() const { return newLocationMade_; }
    void SetNewLocationMade(bool made) { newLocationMade_ = made; }

    // A fresh working copy of `path` (empty: a new, empty location), checked, and for a file of
    // the older version converted when the user agrees. Null after a failure (reported, the
    // application then closes) or when the user declined; the open copy stays as it was.
    std::unique_ptr<WorkingCopy> PrepareCopy(const std::string& path);
    // A working copy of a copy an earlier editor left behind; null, without a report, when it is
    // not a readable location.
    std::unique_ptr<WorkingCopy> PrepareRecoveredCopy(const std::string& copyPath);
    // Makes `copy` the working copy of `path`; the previous one is unmapped and deleted, so the
    // document must already work on the new bytes.
    void Adopt(std::unique_ptr<WorkingCopy> copy, std::string path);
    // Deletes the working copy; the document must no longer work on its bytes.
    void Release();

    // Saves to `path` without writing into it in place: a new file beside it receives the bytes
    // that `collect` returns (called once the new file exists, before the working copy is
    // flushed) and is renamed over `path`. A failure is shown with its numbers and leaves the old
    // file whole; the path is taken over only on success. True when saved.
    bool Save(const std::string& path,
              const std::function<std::span<const std::uint8_t>()>& collect);

    // Rewrites the note beside the working copy (path, time, process, modified) when working
    // copies are kept for recovery.
    void UpdateRecoveryNote(bool modified);

  private:
    void ReportSaveFault(const std::string& path, int number, int systemError);
    std::unique_ptr<WorkingCopy> MakeCopy(const std::string& sourcePath, FileFault& fault) const;

    ErrorReporter& reporter_;
    std::string path_;
    std::string recoveryDirectory_;
    bool newLocationMade_ = false;
    WorkingCopyMaker makeCopy_;
    std::unique_ptr<WorkingCopy> workingCopy_;
};

}  // namespace arvestra
