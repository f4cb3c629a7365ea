// An advisory lock on a Location File while a program has it open for editing (the editor,
// `arvestra-cli serve`) or is writing it (the tool's writing verbs), so that two programs do
// not overwrite each other's work. Readers take no lock and are never kept out.
//
// The lock sits on the file itself (flock), so it goes with the process: a program that is
// killed leaves no lock behind. A save replaces the file with a new one, so the holder locks
// the new file again after each of its own saves (Renew).
#pragma once

#include <string>

namespace arvestra {

// The process holding a lock, as far as the system tells; pid 0 when it does not.
struct LockHolder {
    int pid = 0;
    std::string program;
};

class LocationFileLock {
  public:
    LocationFileLock() = default;
    ~LocationFileLock();
    LocationFileLock(const LocationFileLock&) = delete;
    LocationFileLock& operator=(const LocationFileLock&) = delete;

    // Locks the file at `path` for this program, giving up any lock held before; 0 when locked
    // or when there is no file yet (Renew locks it once a save has made it), EWOULDBLOCK when
    // another program (or another lock of this one) holds it, with `holder` filled in, or the
    // errno of a file that cannot be opened.
    int Acquire(const std::string& path, LockHolder* holder = nullptr);
    // After a save replaced the file at the locked path: locks the new file; 0 or as Acquire.
    int Renew();
    // Gives the lock up.
    void Release();

    // The path given to the last successful Acquire (empty when none).
    const std::string& Path() const { return path_; }

  private:
    int fd_ = -1;
    std::string path_;
};

// Who holds the lock on the open descriptor `fd`, read from the system's lock table.
LockHolder FindLockHolder(int fd);

// The refusal shown to a program that wants to write a file another one holds.
std::string LockedFileMessage(const std::string& path, const LockHolder& holder);

}  // namespace arvestra
