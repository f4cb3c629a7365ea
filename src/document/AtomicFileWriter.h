// Replaces a file without ever leaving it half written: the new contents go to a new file in
// the destination's directory, which is synced and then renamed over the destination. A full
// disk, a killed process or a failed write leaves the old file whole (and at most a stray
// ".kvx-XXXXXX" file beside it when the process itself dies).
#pragma once

#include <cstdint>
#include <span>
#include <string>

namespace arvestra {

class AtomicFileWriter {
  public:
    AtomicFileWriter() = default;
    // Deletes the new file unless it has been committed.
    ~AtomicFileWriter();

    AtomicFileWriter(const AtomicFileWriter&) = delete;
    AtomicFileWriter& operator=(const AtomicFileWriter&) = delete;

    // Creates the new, empty file beside destination (beside the file a symbolic link points
    // to, so the link survives); 0 on success, else errno.
    int Begin(const std::string& destination);

    // Writes bytes to the new file, gives it the permissions of the file it replaces, syncs it,
    // renames it over the destination and syncs the directory; 0 on success, else errno.
    int Commit(std::span<const uint8_t> bytes);

    // The path that Commit replaces (the destination with symbolic links resolved).
    const std::string& Target() const { return target_; }

  private:
    void Discard();

    std::string target_;
    std::string newPath_;
    int fd_ = -1;
};

}  // namespace arvestra
