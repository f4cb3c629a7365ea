// The exit statuses of arvestra-cli.
#pragma once

namespace arvestra::cli {

inline constexpr int kExitSuccess = 0;
inline constexpr int kExitFailure = 1;  // the operation failed; the message is on stderr
inline constexpr int kExitUsage = 2;    // the command line is wrong
// The work was done, but not everything as given (an import skipped or limited values); what
// was not is listed on stderr.
inline constexpr int kExitIncomplete = 3;

}  // namespace arvestra::cli
