#include "devsim/ExclusiveWatch.h"

#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>

#include <cstdio>
#include <fstream>
#include <sstream>

namespace arvestra::devsim {

namespace {

constexpr auto kCheckEvery = std::chrono::milliseconds(100);

// The lock list, or nothing when it cannot be read (then nobody is taken for gone).
bool ReadLocks(std::string& text) {
    std::ifstream in("/proc/locks");
    if (!in) return false;
    std::ostringstream all;
    all << in.rdbuf();
    text = all.str();
    return true;
}

}  // namespace

bool LocksListFile(const std::string& locks, unsigned major, unsigned minor, unsigned long inode) {
    char wanted[64];
    std::snprintf(wanted, sizeof wanted, "%02x:%02x:%lu", major, minor, inode);
    std::istringstream lines(locks);
    std::string line;
    while (std::getline(lines, line)) {
        // "1: FLOCK  ADVISORY  WRITE 1234 00:19:5 0 EOF", with "->" after the number for a
        // waiter: the file is the first field of the form major:minor:inode.
        std::istringstream fields(line);
        std::string field;
        while (fields >> field) {
            if (field == wanted) return true;
        }
    }
    return false;
}

bool CExclusiveWatch::Check() {
    const auto now = std::chrono::steady_clock::now();
    if (now < next_) return false;
    next_ = now + kCheckEvery;
    int exclusive = 0;
    if (::ioctl(fd_, TIOCGEXCL, &exclusive) != 0 || exclusive == 0) return false;
    struct stat info {};
    std::string locks;
    if (::fstat(fd_, &info) != 0 || !ReadLocks(locks)) return false;
    if (LocksListFile(locks, ::major(info.st_dev), ::minor(info.st_dev), info.st_ino)) return false;
    return ::ioctl(fd_, TIOCNXCL) == 0;
}

}  // namespace arvestra::devsim
