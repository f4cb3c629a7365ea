#pragma once

#include <map>
#include <string>

namespace arvestra {

// Resolves the port names the menus use ("COM1" to "COM4", any "COM<n>") to device paths, so a
// user with a USB adapter picks its path once and keeps "COM2" in the menu. Order: the path set
// for the port, the ARVESTRA_COM<n> environment variable, then /dev/ttyS<n-1>. Any other name is
// taken as a path already.
class PortMap {
  public:
    // Remembers the path for port n (an empty path forgets it).
    void SetPath(int portNumber, const std::string& path);

    // The path set for port n, or empty.
    std::string PathFor(int portNumber) const;

    // The device path (or "tcp:HOST:PORT") a port name stands for.
    std::string Resolve(const std::string& portName) const;

    // The port number of "COM<n>" (n >= 1), or 0 when the name is not of that form.
    static int ComNumber(const std::string& portName);

  private:
    std::map<int, std::string> paths_;
};

}  // namespace arvestra
