#include "link/PortMap.h"

#include <cstdlib>

namespace arvestra {

void PortMap::SetPath(int portNumber, const std::string& path) {
    if (path.empty()) {
        paths_.erase(portNumber);
    } else {
        paths_[portNumber] = path;
    }
}

std::string PortMap::PathFor(int portNumber) const {
    auto it = paths_.find(portNumber);
    return it == paths_.end() ? std::string() : it->second;
}

int PortMap::ComNumber(const std::string& portName) {
    // "COM" followed by 1 to 3 digits, no leading zero.
    if (portName.size() < 4 || portName.size() > 6 || portName.compare(0, 3, "COM") != 0) return 0;
    if (portName[3] == '0') return 0;
    int number = 0;
    for (std::size_t i = 3; i < portName.size(); ++i) {
        const char c = portName[i];
        if (c < '0' || c > '9') return 0;
        number = number * 10 + (c - '0');
    }
    return number;
}

std::string PortMap::Resolve(const std::string& portName) const {
    const int number = ComNumber(portName);
    if (number == 0) return portName;
    std::string path = PathFor(number);
    if (!path.empty()) return path;
    const std::string variable = "ARVESTRA_COM" + std::to_string(number);
    if (const char* fromEnvironment = std::getenv(variable.c_str());
        fromEnvironment != nullptr && *fromEnvironment != '\0') {
        return fromEnvironment;
    }
    return "/dev/ttyS" + std::to_string(number - 1);
}

}  // namespace arvestra
