// Standard error, shared by the answers the tool prints (from either thread) and the progress
// line. A message first clears the progress line so the two never mix on one line.
#pragma once

#include <cstdio>
#include <mutex>
#include <string>

namespace arvestra::cli {

class CliConsole {
  public:
    // Writes to `stream`; the progress line is shown only when the stream is a terminal.
    explicit CliConsole(std::FILE* stream);

    // Prints one message (a newline is added when it has none).
    void Message(const std::string& text);
    // Replaces the progress line (nothing when the stream is not a terminal).
    void Progress(const std::string& text);
    // Clears the progress line.
    void EndProgress();
    // True when progress is shown.
    bool ShowsProgress() const { return isTerminal_; }

  private:
    void ClearProgressLocked();

    std::FILE* stream_;
    bool isTerminal_;
    bool progressShown_ = false;
    std::mutex mutex_;
};

}  // namespace arvestra::cli
