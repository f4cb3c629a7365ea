#include "link/SystemSerialPortFactory.h"

#include "link/PosixSerialPort.h"
#include "link/Rfc2217SerialPort.h"
#include "link/TcpConnect.h"
#include "link/TcpSerialPort.h"

namespace arvestra {

std::unique_ptr<SerialPort> SystemSerialPortFactory::Create(const std::string& path) {
    if (HasScheme(path, "tcp:")) return std::make_unique<TcpSerialPort>();
    if (HasScheme(path, "rfc2217:")) return std::make_unique<Rfc2217SerialPort>();
    return std::make_unique<PosixSerialPort>();
}

SystemSerialPortFactory& SystemSerialPortFactory::Instance() {
    static SystemSerialPortFactory factory;
    return factory;
}

}  // namespace arvestra
