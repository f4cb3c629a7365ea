// What a Linux user can do when a serial port does not open, in words, for the port-error
// message (which keeps its error numbers).
#pragma once

#include <string>
#include <vector>

namespace arvestra {

// The advice for an open that failed with `systemError` on `devicePath`: permission denied
// names the "dialout" group and the command that adds the user to it; busy says another
// program has the port; no such device lists `presentPorts` (the stable paths of the adapters
// plugged in). Empty for any other error.
std::string PortOpenAdvice(int systemError, const std::string& devicePath,
                           const std::vector<std::string>& presentPorts);

// The entries of `directory` (normally /dev/serial/by-id, where the system names each USB
// serial adapter after its maker and serial number) as full paths, sorted; empty when the
// directory is missing or empty.
std::vector<std::string> ListSerialPortsById(const std::string& directory = "/dev/serial/by-id");

}  // namespace arvestra
