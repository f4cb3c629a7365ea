// Replaces a file without ever leaving it half written: the new contents go to a new file in
// the destination's directory, which is synced and then renamed over the destination. A full
// disk, a killed process or a failed write leaves the old file whole (and at most a stray
// ".kvx-XXXXXX" file beside it when the process itself dies).
//
// A file its owner made read-only is refused. Where the directory takes no new file but the
// file itself is writable, the file is written in place and synced instead.
#pragma once

#include <cstdint>
#include <span>
#include <string>

namespace arvestra {

// Test hook step (see FileStepFaults): the new file beside the destination cannot be created.
inline constexpr int kStepCreateBeside = 1273;

class AtomicFileWriter {
  public:
    AtomicFileWriter() = default;
    // Deletes the new file unless it has been committed.
    ~AtomicFileWriter();

    AtomicFileWriter(const AtomicFileWriter&) = delete;
    AtomicFileWriter& operator=(const AtomicFileWriter&) = delete;

    // Creates the new, empty file beside destination (beside the file a symbolic link points
    // to, so the link survives), or opens the destination itself when its directory is not
    // writable; 0 on success, else errno (EACCES for a read-only destination).
    int Begin(const std::string& destination);

    // Writes bytes to the new file, gives it the permissions of the file it replaces, syncs it,
    // renames it over the destination and syncs the directory; 0 on success, else errno.
    int Commit(std::span<const uint8_t> bytes);

    // The path that Commit replaces (the destination with symbolic links resolved).
    const std::string& Target() const { return target_; }
    // True when Begin fell back to writing the destination in place.
    bool InPlace() const { return inPlace_; }

  private:
    void Discard();
    int CommitInPlace(std::span<const uint8_t> bytes);

    std::string target_;
    std::string newPath_;
    int fd_ = -1;
    bool inPlace_ = false;
};

}  // namespace arvestra
