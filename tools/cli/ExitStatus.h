// The exit statuses of arvestra-cli.
#pragma once

namespace arvestra::cli {

inline constexpr int kExitSuccess = 0;
inline constexpr int kExitFailure = 1;  // the operation failed; the message is on stderr
inline constexpr int kExitUsage = 2;    // the command line is wrong

}  // namespace arvestra::cli
