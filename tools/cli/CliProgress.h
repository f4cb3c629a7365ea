// A progress line for the long operations (discovery, upload, download): while one runs, a
// helper thread shows what the status function returns, a few times a second, on the console's
// terminal. Nothing is shown when standard error is not a terminal.
#pragma once

#include <condition_variable>
#include <functional>
#include <mutex>
#include <string>
#include <thread>

#include "cli/CliConsole.h"

namespace arvestra::cli {

class CliProgress {
  public:
    // Starts showing `status` (read from the helper thread: it must only read atomics).
    CliProgress(CliConsole& console, std::function<std::string()> status);
    // Stops and clears the line.
    ~CliProgress();
    CliProgress(const CliProgress&) = delete;
    CliProgress& operator=(const CliProgress&) = delete;

  private:
    void Run();

    CliConsole& console_;
    std::function<std::string()> status_;
    std::mutex mutex_;
    std::condition_variable wake_;
    bool stop_ = false;
    std::thread thread_;
};

}  // namespace arvestra::cli
