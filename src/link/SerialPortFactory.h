#pragma once

#include <memory>
#include <string>

#include "link/SerialPort.h"

namespace arvestra {

// Makes the port object that suits a resolved port path (not yet opened).
class SerialPortFactory {
  public:
    virtual ~SerialPortFactory() = default;

    // A new, closed port for the path, or nullptr when none can be made.
    virtual std::unique_ptr<SerialPort> Create(const std::string& path) = 0;
};

}  // namespace arvestra
