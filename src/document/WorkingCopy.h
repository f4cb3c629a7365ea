// The working copy of a location: a temporary file ("kvx" prefix, in the temporary directory)
// of exactly 528,638 bytes, mapped shared into memory. Every device record is read and written
// in place in the mapping; the user's own file is read once when opened and written only on save.
// A copy may instead live in memory only, for tests and tools that read many locations and must
// not pay for a file each time.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "document/FileFault.h"
#include "document/LocationLayout.h"

namespace arvestra {

class WorkingCopy {
  public:
    // Makes a working copy filled from sourcePath (empty path: every byte zero); a source
    // shorter than 528,638 bytes is extended with zero bytes, a longer one is cut. The copy goes
    // to `directory`, or to the temporary directory when that is empty. Returns null with the
    // failing step (289 to 294) and errno in fault.
    static std::unique_ptr<WorkingCopy> Create(const std::string& sourcePath, FileFault& fault,
                                               const std::string& directory = {});

    // A copy in `memory` (the caller's, which must outlive the copy) filled from `source` as
    // Create fills it from a file: cut at 528,638 bytes or extended with zero bytes. It has no
    // path, leaves nothing on disk and has nothing to flush.
    static std::unique_ptr<WorkingCopy> InMemory(std::span<const uint8_t> source,
                                                 std::span<uint8_t, kLocationSize> memory);
    // The same in memory of its own.
    static std::unique_ptr<WorkingCopy> InMemory(std::span<const uint8_t> source);

    // Unmaps the view, closes the file and deletes it and its recovery note (a failure to
    // delete is ignored).
    ~WorkingCopy();

    WorkingCopy(const WorkingCopy&) = delete;
    WorkingCopy& operator=(const WorkingCopy&) = delete;

    // The mapped location bytes, valid for the life of this object.
    std::span<uint8_t, kLocationSize> Bytes() const {
        return std::span<uint8_t, kLocationSize>(base_, kLocationSize);
    }

    // Path of the temporary file; empty for a copy in memory.
    const std::string& Path() const { return path_; }

    // Length of the file the copy was made from (0 for a new location), before any cut.
    std::size_t SourceLength() const { return sourceLength_; }

    // Writes the mapped bytes back to the temporary file; 0 on success, else errno.
    int Flush() const;

    // The directory working copies go to: TMPDIR when set and not empty, otherwise /tmp.
    static std::string TemporaryDirectory();

  private:
    WorkingCopy() = default;

    std::string path_;
    int fd_ = -1;
    uint8_t* base_ = nullptr;
    std::size_t sourceLength_ = 0;
    bool inMemory_ = false;
    std::vector<uint8_t> ownMemory_;
};

}  // namespace arvestra
