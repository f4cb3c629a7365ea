// arvestra-devsim started as a child process, for the tests that drive the real link against it.
#pragma once

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace arvestra::devsim_it {

// One simulator process. Its first line of standard output (the terminal path, or
// "tcp:127.0.0.1:PORT") is read at start; standard error goes to `stderrPath` when given.
// The destructor ends it with SIGTERM if a test did not.
class DevsimChild {
  public:
    explicit DevsimChild(const std::vector<std::string>& options,
                         const std::string& stderrPath = "") {
        std::vector<std::string> args{ARVESTRA_DEVSIM_PATH};
        args.insert(args.end(), options.begin(), options.end());
        int out[2];
        if (::pipe2(out, O_CLOEXEC) != 0) return;
        pid_ = ::fork();
        if (pid_ == 0) {
            ::dup2(out[1], STDOUT_FILENO);
            if (!stderrPath.empty()) {
                const int err = ::open(stderrPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
                if (err >= 0) ::dup2(err, STDERR_FILENO);
            }
            std::vector<char*> argv;
            for (std::string& a : args) argv.push_back(a.data());
            argv.push_back(nullptr);
            ::execv(argv[0], argv.data());
            ::_exit(127);
        }
        ::close(out[1]);
        stdout_ = out[0];
        if (pid_ > 0) firstLine_ = ReadLine(std::chrono::seconds(10));
    }
    ~DevsimChild() {
        if (pid_ > 0 && !exitStatus_) {
            ::kill(pid_, SIGTERM);
            WaitExit(std::chrono::seconds(5));
        }
        if (stdout_ >= 0) ::close(stdout_);
    }
    DevsimChild(const DevsimChild&) = delete;
    DevsimChild& operator=(const DevsimChild&) = delete;

    // The first line the simulator printed; empty when it printed none.
    const std::string& FirstLine() const { return firstLine_; }

    // Everything else on standard output until it closes (after exit).
    std::string RestOfOutput() {
        std::string text;
        char buffer[512];
        ssize_t n = 0;
        while ((n = ::read(stdout_, buffer, sizeof buffer)) > 0) text.append(buffer, n);
        return text;
    }

    // Sends a signal to the simulator.
    void Signal(int signal) {
        if (pid_ > 0) ::kill(pid_, signal);
    }

    // Waits for the simulator to end; its wait status, or nothing on time-out (then killed).
    std::optional<int> WaitExit(std::chrono::milliseconds limit) {
        if (exitStatus_) return exitStatus_;
        const auto deadline = std::chrono::steady_clock::now() + limit;
        while (pid_ > 0) {
            int status = 0;
            if (::waitpid(pid_, &status, WNOHANG) == pid_) {
                exitStatus_ = status;
                return exitStatus_;
            }
            if (std::chrono::steady_clock::now() > deadline) {
                ::kill(pid_, SIGKILL);
                ::waitpid(pid_, &status, 0);
                exitStatus_ = -1;
                return std::nullopt;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        return std::nullopt;
    }

  private:
    std::string ReadLine(std::chrono::seconds limit) {
        std::string line;
        const auto deadline = std::chrono::steady_clock::now() + limit;
        while (std::chrono::steady_clock::now() < deadline) {
            pollfd p{stdout_, POLLIN, 0};
            if (::poll(&p, 1, 50) <= 0) continue;
            char c = 0;
            if (::read(stdout_, &c, 1) != 1) break;
            if (c == '\n') return line;
            line += c;
        }
        return {};
    }

    pid_t pid_ = -1;
    int stdout_ = -1;
    std::string firstLine_;
    std::optional<int> exitStatus_;
};

// A unique path in the temporary directory for one test's files.
inline std::string TempPath(const std::string& stem) {
    static int counter = 0;
    const char* dir = std::getenv("TMPDIR");
    return std::string(dir != nullptr ? dir : "/tmp") + "/arvestra-devsim-it-" +
           std::to_string(::getpid()) + "-" + std::to_string(++counter) + "-" + stem;
}

}  // namespace arvestra::devsim_it
