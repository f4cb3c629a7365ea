// Runs arvestra-devsim as a child process for the discovery tests and reads its traffic log.
#pragma once

#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace arvestra::testing {

// One simulated bus on a pseudo-terminal, ended with SIGTERM when the object goes.
class DevsimProcess {
  public:
    // Starts the simulator with these options and a traffic log at logPath (empty: none).
    DevsimProcess(const std::vector<std::string>& options, const std::string& logPath = "") {
        std::vector<std::string> args{ARVESTRA_DEVSIM_PATH};
        args.insert(args.end(), options.begin(), options.end());
        if (!logPath.empty()) {
            args.push_back("--log");
            args.push_back(logPath);
        }
        int out[2];
        if (::pipe(out) != 0) return;
        pid_ = ::fork();
        if (pid_ == 0) {
            ::dup2(out[1], STDOUT_FILENO);
            ::close(out[0]);
            ::close(out[1]);
            std::vector<char*> argv;
            for (std::string& a : args) argv.push_back(a.data());
            argv.push_back(nullptr);
            ::execv(argv[0], argv.data());
            ::_exit(127);
        }
        ::close(out[1]);
        stdout_ = out[0];
        if (pid_ > 0) path_ = ReadFirstLine();
    }
    ~DevsimProcess() {
        if (pid_ > 0) {
            ::kill(pid_, SIGTERM);
            int status = 0;
            ::waitpid(pid_, &status, 0);
        }
        if (stdout_ >= 0) ::close(stdout_);
    }
    DevsimProcess(const DevsimProcess&) = delete;
    DevsimProcess& operator=(const DevsimProcess&) = delete;

    // The pseudo-terminal's path; empty when the simulator did not start.
    const std::string& Path() const { return path_; }

  private:
    std::string ReadFirstLine() {
        std::string line;
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        while (std::chrono::steady_clock::now() < deadline) {
            pollfd p{stdout_, POLLIN, 0};
            if (::poll(&p, 1, 100) <= 0) continue;
            char c = 0;
            if (::read(stdout_, &c, 1) != 1) break;
            if (c == '\n') return line;
            line += c;
        }
        return {};
    }

    pid_t pid_ = -1;
    int stdout_ = -1;
    std::string path_;
};

// Requests the simulator logged, per bus address ("<t> rx addr A cmd C: ..." lines; "rx-" for
// addresses where no device answers).
inline std::map<int, std::vector<int>> RequestsByAddress(const std::string& logPath) {
    std::map<int, std::vector<int>> requests;
    std::ifstream in(logPath);
    std::string line;
    while (std::getline(in, line)) {
        std::istringstream words(line);
        std::string time, tag, addrWord, cmdWord;
        int address = 0;
        std::string command;
        if (!(words >> time >> tag >> addrWord >> address >> cmdWord >> command)) continue;
        if ((tag != "rx" && tag != "rx-") || addrWord != "addr" || cmdWord != "cmd") continue;
        requests[address].push_back(std::stoi(command));
    }
    return requests;
}

}  // namespace arvestra::testing
