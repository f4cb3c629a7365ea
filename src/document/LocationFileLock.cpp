#include "document/LocationFileLock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <vector>

#include "document/TextFormat.h"

namespace arvestra {

namespace {

// The program name the system keeps for a process ("arvestra", "arvestra-cli"), or empty.
std::string ProgramOf(int pid) {
    std::ifstream in("/proc/" + std::to_string(pid) + "/comm");
    std::string name;
    std::getline(in, name);
    return name;
}

// Opens `path` for locking: reading is enough for flock, and O_NONBLOCK keeps a FIFO from
// hanging the open.
int OpenForLock(const std::string& path) {
    return ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
}

bool SameFile(int fd, const std::string& path) {
    struct stat held {};
    struct stat now {};
    return ::fstat(fd, &held) == 0 && ::stat(path.c_str(), &now) == 0 &&
           held.st_dev == now.st_dev && held.st_ino == now.st_ino;
}

}  // namespace

LocationFileLock::~LocationFileLock() {
    Release();
}

int LocationFileLock::Acquire(const std::string& path, LockHolder* holder) {
    const int fd = OpenForLock(path);
    if (fd < 0) {
        if (errno != ENOENT) return errno;
        Release();
        path_ = path;
        return 0;
    }
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        const int error = errno;
        if (holder != nullptr && error == EWOULDBLOCK) *holder = FindLockHolder(fd);
        ::close(fd);
        return error;
    }
    Release();
    fd_ = fd;
    path_ = path;
    return 0;
}

int LocationFileLock::Renew() {
    if (path_.empty()) return 0;
    if (fd_ >= 0 && SameFile(fd_, path_)) return 0;  // written in place: still the same file
    const std::string path = path_;
    return Acquire(path);
}

void LocationFileLock::Release() {
    if (fd_ >= 0) ::close(fd_);  // closing drops the lock
    fd_ = -1;
    path_.clear();
}

LockHolder FindLockHolder(int fd) {
    LockHolder holder;
    struct stat info {};
    if (::fstat(fd, &info) != 0) return holder;
    char file[64];
    std::snprintf(file, sizeof file, "%02x:%02x:%lu", ::major(info.st_dev), ::minor(info.st_dev),
                  static_cast<unsigned long>(info.st_ino));
    std::ifstream in("/proc/locks");
    std::string line;
    while (std::getline(in, line)) {
        // "1: FLOCK  ADVISORY  WRITE 1234 08:01:5678 0 EOF"; a waiter has "->" after the number.
        std::istringstream fields(line);
        std::vector<std::string> field;
        for (std::string word; fields >> word;) field.push_back(word);
        if (field.size() < 6 || field[1] != "FLOCK" || field[5] != file) continue;
        holder.pid = std::atoi(field[4].c_str());
        holder.program = holder.pid > 0 ? ProgramOf(holder.pid) : std::string();
        break;
    }
    return holder;
}

std::string LockedFileMessage(const std::string& path, const LockHolder& holder) {
    if (holder.pid <= 0) {
        return FormatText("%s is open for editing in another program; close it there first.",
                          path.c_str());
    }
    const std::string program = holder.program.empty() ? "another program" : holder.program;
    return FormatText("%s is open for editing in %s (process %d); close it there first.",
                      path.c_str(), program.c_str(), holder.pid);
}

}  // namespace arvestra
