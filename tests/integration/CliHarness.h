// Running arvestra-cli as a program against arvestra-devsim: each test gets a fresh directory,
// runs the tool with its output captured, reads the Location Files it wrote and the frames the
// simulator logged.
#pragma once

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "document/LocationImage.h"
#include "document/LocationLayout.h"
#include "integration/DevsimChild.h"

namespace arvestra::cli_it {

// What one run of the tool left behind.
struct CliRun {
    int status = -1;  // exit status; -1 when it did not exit normally or in time
    std::string out;
    std::string err;
};

// Reads everything from two pipes until both close or the deadline passes.
inline void DrainPipes(int outFd, int errFd, std::string& out, std::string& err,
                       std::chrono::steady_clock::time_point deadline) {
    bool outOpen = outFd >= 0;
    bool errOpen = errFd >= 0;
    while ((outOpen || errOpen) && std::chrono::steady_clock::now() < deadline) {
        pollfd fds[2] = {{outOpen ? outFd : -1, POLLIN, 0}, {errOpen ? errFd : -1, POLLIN, 0}};
        if (::poll(fds, 2, 50) <= 0) continue;
        char buffer[4096];
        for (int i = 0; i < 2; ++i) {
            if ((fds[i].revents & (POLLIN | POLLHUP | POLLERR)) == 0) continue;
            const ssize_t n = ::read(fds[i].fd, buffer, sizeof buffer);
            if (n > 0) {
                (i == 0 ? out : err).append(buffer, static_cast<std::size_t>(n));
            } else {
                (i == 0 ? outOpen : errOpen) = false;
            }
        }
    }
}

// Runs arvestra-cli with the arguments; standard error goes to a pipe, or to `stderrFd` when
// that is given (a terminal, for the progress tests).
inline CliRun RunCli(const std::vector<std::string>& args, int stderrFd = -1,
                     std::chrono::seconds limit = std::chrono::seconds(90)) {
    CliRun run;
    std::vector<std::string> argv{ARVESTRA_CLI_PATH};
    argv.insert(argv.end(), args.begin(), args.end());
    int out[2];
    int err[2];
    if (::pipe2(out, O_CLOEXEC) != 0) return run;
    if (::pipe2(err, O_CLOEXEC) != 0) {
        ::close(out[0]);
        ::close(out[1]);
        return run;
    }
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::dup2(out[1], STDOUT_FILENO);
        ::dup2(stderrFd >= 0 ? stderrFd : err[1], STDERR_FILENO);
        std::vector<char*> pointers;
        for (std::string& a : argv) pointers.push_back(a.data());
        pointers.push_back(nullptr);
        ::execv(pointers[0], pointers.data());
        ::_exit(127);
    }
    ::close(out[1]);
    ::close(err[1]);
    const auto deadline = std::chrono::steady_clock::now() + limit;
    DrainPipes(out[0], err[0], run.out, run.err, deadline);
    ::close(out[0]);
    ::close(err[0]);
    if (pid < 0) return run;
    int status = 0;
    while (::waitpid(pid, &status, WNOHANG) == 0) {
        if (std::chrono::steady_clock::now() > deadline) {
            ::kill(pid, SIGKILL);
            ::waitpid(pid, &status, 0);
            return run;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    if (WIFEXITED(status)) run.status = WEXITSTATUS(status);
    return run;
}

// A whole file's bytes; empty when it cannot be read.
inline std::vector<std::uint8_t> ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<std::uint8_t>(std::istreambuf_iterator<char>(in), {});
}

// A Location File read back as the 528,638 bytes of a location (shorter files padded with 0).
class SavedLocation {
  public:
    explicit SavedLocation(const std::string& path) : bytes_(ReadBytes(path)) {
        fileSize_ = bytes_.size();
        bytes_.resize(kLocationSize, 0);
        location_.Attach(CLocationImage::Bytes(bytes_.data(), kLocationSize));
    }
    std::size_t FileSize() const { return fileSize_; }
    const CLocationImage& Location() const { return location_; }
    // Every address 1..126 with a table entry, in order.
    std::vector<int> Addresses() const {
        std::vector<int> addresses;
        for (int a = kFirstAddress; a <= kMaxAddress; ++a) {
            if (location_.SlotOf(a) != kNoDevice) addresses.push_back(a);
        }
        return addresses;
    }
    // Bytes 0..249 of image 0..8 of the device at an address.
    std::vector<std::uint8_t> Image(int address, int image) const {
        const std::uint8_t* first = location_.Image(location_.SlotOf(address), image);
        return std::vector<std::uint8_t>(first, first + kPresetImageSize);
    }

  private:
    std::vector<std::uint8_t> bytes_;
    std::size_t fileSize_ = 0;
    CLocationImage location_;
};

// One request the simulator logged: "<seconds> rx addr A cmd C: <wire bytes in hex>".
struct LoggedRequest {
    int address = 0;
    int command = 0;
    std::vector<std::uint8_t> payload;  // de-stuffed
};

// One line of the simulator's log as a request addressed to a present device; false for any
// other line.
inline bool ParseLoggedRequest(const std::string& line, LoggedRequest& request) {
    std::istringstream fields(line);
    std::string seconds, tag, addrWord, cmdWord;
    if (!(fields >> seconds >> tag >> addrWord >> request.address >> cmdWord) || tag != "rx" ||
        addrWord != "addr" || cmdWord != "cmd") {
        return false;
    }
    std::string commandText;
    fields >> commandText;  // "160:"
    request.command = std::atoi(commandText.c_str());
    std::vector<std::uint8_t> wire;
    std::string hex;
    while (fields >> hex) wire.push_back(static_cast<std::uint8_t>(std::stoi(hex, nullptr, 16)));
    // Start byte, then every doubled 0xFB stands for one.
    std::vector<std::uint8_t> frame;
    for (std::size_t i = 1; i < wire.size(); ++i) {
        frame.push_back(wire[i]);
        if (wire[i] == 0xFB && i + 1 < wire.size() && wire[i + 1] == 0xFB) ++i;
    }
    // Address, length (2), command, payload, checksum.
    request.payload.clear();
    if (frame.size() >= 5) request.payload.assign(frame.begin() + 4, frame.end() - 1);
    return true;
}

// The requests addressed to a present device, in the order the simulator received them.
inline std::vector<LoggedRequest> ReadRequests(const std::string& logPath) {
    std::vector<LoggedRequest> requests;
    std::ifstream in(logPath);
    std::string line;
    LoggedRequest request;
    while (std::getline(in, line)) {
        if (ParseLoggedRequest(line, request)) requests.push_back(request);
    }
    return requests;
}

// Only the requests with one command code.
inline std::vector<LoggedRequest> WithCommand(const std::vector<LoggedRequest>& all, int command) {
    std::vector<LoggedRequest> some;
    for (const LoggedRequest& r : all) {
        if (r.command == command) some.push_back(r);
    }
    return some;
}

// A fresh directory for one test, removed with everything in it at the end.
class TestDirectory {
  public:
    TestDirectory() {
        const char* base = std::getenv("TMPDIR");
        std::string pattern =
            std::string(base != nullptr ? base : "/tmp") + "/arvestra-cli-it-XXXXXX";
        if (::mkdtemp(pattern.data()) != nullptr) path_ = pattern;
    }
    ~TestDirectory() {
        std::error_code ignored;
        if (!path_.empty()) std::filesystem::remove_all(path_, ignored);
    }
    TestDirectory(const TestDirectory&) = delete;
    TestDirectory& operator=(const TestDirectory&) = delete;

    const std::string& Path() const { return path_; }
    std::string File(const std::string& name) const { return path_ + "/" + name; }

  private:
    std::string path_;
};

// A simulated bus with a log, started for one test.
class SimulatedBus {
  public:
    SimulatedBus(const TestDirectory& dir, const std::string& devices,
                 const std::vector<std::string>& extra = {})
        : logPath_(dir.File("bus.log")), child_(Options(devices, extra, logPath_)) {}

    // The path of the bus's terminal, for --port.
    const std::string& Port() const { return child_.FirstLine(); }
    // The requests received so far.
    std::vector<LoggedRequest> Requests() const { return ReadRequests(logPath_); }
    const std::string& LogPath() const { return logPath_; }

  private:
    static std::vector<std::string> Options(const std::string& devices,
                                            const std::vector<std::string>& extra,
                                            const std::string& log) {
        std::vector<std::string> options{"--devices", devices, "--log", log};
        options.insert(options.end(), extra.begin(), extra.end());
        return options;
    }

    std::string logPath_;
    devsim_it::DevsimChild child_;
};

}  // namespace arvestra::cli_it
