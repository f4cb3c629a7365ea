#pragma once

#include <chrono>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "devsim/Fault.h"

namespace arvestra::devsim {

// Everything the command line of arvestra-devsim sets.
struct DevsimOptions {
    std::vector<int> addresses{1};
    std::string linkPath;        // symbolic link to make to the pseudo-terminal
    std::optional<int> tcpPort;  // listen on TCP (loopback) instead of a pseudo-terminal
    std::vector<FaultSpec> faults;
    int baud = 0;         // 0: no wire-time emulation
    std::string logPath;  // "-" for stderr; empty: no log
    std::chrono::milliseconds slowReplyDelay{300};
    std::chrono::milliseconds idleReset{50};  // a pause this long ends a partial frame
    bool help = false;
};

// Result of parsing: the options, or a message saying what is wrong.
struct ParsedOptions {
    DevsimOptions options;
    std::string error;  // empty on success
};

// Parses the arguments after the program name.
ParsedOptions ParseOptions(std::span<const std::string_view> args);

// The --help text.
std::string HelpText();

}  // namespace arvestra::devsim
