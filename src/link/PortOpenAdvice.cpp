#include "link/PortOpenAdvice.h"

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <system_error>

namespace arvestra {

std::string PortOpenAdvice(int systemError, const std::string& devicePath,
                           const std::vector<std::string>& presentPorts) {
    switch (systemError) {
        case EACCES:
        case EPERM:
            return "Permission to use " + devicePath +
                   " was denied. Serial ports belong to the group \"dialout\"; add yourself to "
                   "it with\n    sudo usermod -aG dialout $USER\nthen log out and log in again.";
        case EBUSY:
            return devicePath +
                   " is busy: another program has the port open. Close that program, or pick "
                   "another port, and try again.";
        case ENOENT:
        case ENODEV:
        case ENXIO: {
            std::string text = "There is no device " + devicePath + ".";
            if (presentPorts.empty()) {
                return text + " No USB serial adapter is plugged in (/dev/serial/by-id is empty).";
            }
            text += " Serial adapters plugged in now:";
            for (const std::string& port : presentPorts) text += "\n    " + port;
            return text;
        }
        default:
            return {};
    }
}

std::vector<std::string> ListSerialPortsById(const std::string& directory) {
    std::vector<std::string> ports;
    std::error_code error;
    std::filesystem::directory_iterator it(directory, error);
    if (error) return ports;
    for (const std::filesystem::directory_entry& entry : it) {
        ports.push_back(entry.path().string());
    }
    std::sort(ports.begin(), ports.end());
    return ports;
}

}  // namespace arvestra
