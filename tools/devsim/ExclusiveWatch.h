#pragma once

#include <chrono>
#include <string>

namespace arvestra::devsim {

// True when /proc/locks (its text in `locks`) lists any lock on the file with this device and
// inode number: a client holding the terminal keeps an advisory lock on it.
bool LocksListFile(const std::string& locks, unsigned major, unsigned minor, unsigned long inode);

// Clears the exclusive flag of the simulator's terminal once the client that set it has gone.
// A client killed in the middle of an exchange never clears it, and because the simulator
// keeps its own side of the terminal open the flag would then keep every later ordinary user
// out, until the simulator was restarted. Our clients take an advisory lock on the terminal
// before they set the flag, so "flag set, no lock" means the holder has gone.
class CExclusiveWatch {
  public:
    explicit CExclusiveWatch(int terminalFd) : fd_(terminalFd) {}

    // Looks (at most every 100 ms); true when it cleared an abandoned flag.
    bool Check();

  private:
    int fd_;
    std::chrono::steady_clock::time_point next_{};
};

}  // namespace arvestra::devsim
