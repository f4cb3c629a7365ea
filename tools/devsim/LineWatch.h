#pragma once

#include <optional>
#include <string>

struct termios;

namespace arvestra::devsim {

// The line settings of a terminal as the log shows them: "38400 baud, 8 data bits, no parity,
// 1 stop bit".
std::string DescribeLine(const termios& settings);

// Watches the line settings of the simulator's own terminal side, so that a client that sets
// the baud rate (directly or through a network serial server) can be seen doing it. A
// pseudo-terminal keeps whatever speed is set on it, without acting on it.
class CLineWatch {
  public:
    explicit CLineWatch(int fd) : fd_(fd) {}

    // The settings' description when they changed since the last call (the first call always
    // reports), or nothing.
    std::optional<std::string> Changed();

  private:
    int fd_;
    std::string last_;
};

}  // namespace arvestra::devsim
