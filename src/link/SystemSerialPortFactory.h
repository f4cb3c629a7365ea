#pragma once

#include "link/SerialPortFactory.h"

namespace arvestra {

// The real ports: "tcp:HOST:PORT" gives a TcpSerialPort, "rfc2217:HOST:PORT" an
// Rfc2217SerialPort, anything else a PosixSerialPort.
class SystemSerialPortFactory final : public SerialPortFactory {
  public:
    // A closed port of the kind the path names.
    std::unique_ptr<SerialPort> Create(const std::string& path) override;

    // One shared instance for links that are not given a factory.
    static SystemSerialPortFactory& Instance();
};

}  // namespace arvestra
