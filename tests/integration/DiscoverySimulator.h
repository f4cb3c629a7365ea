// Runs arvestra-devsim as a child process for the discovery tests and reads its traffic log.
#pragma once

#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "DevsimChild.h"

namespace arvestra::testing {

// One simulated bus on a pseudo-terminal with a traffic log, ended when the object goes.
class DevsimProcess {
  public:
    // Starts the simulator with these options and a traffic log at logPath (empty: none).
    DevsimProcess(const std::vector<std::string>& options, const std::string& logPath = "")
        : child_(WithLog(options, logPath)) {}

    // The pseudo-terminal's path; empty when the simulator did not start.
    const std::string& Path() const { return child_.FirstLine(); }

  private:
    static std::vector<std::string> WithLog(std::vector<std::string> options,
                                            const std::string& logPath) {
        if (!logPath.empty()) {
            options.push_back("--log");
            options.push_back(logPath);
        }
        return options;
    }

    devsim_it::DevsimChild child_;
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
