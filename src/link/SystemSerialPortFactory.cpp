#include "link/SystemSerialPortFactory.h"

#include "link/PosixSerialPort.h"
#include "link/TcpSerialPort.h"

namespace arvestra {

std::unique_ptr<SerialPort> SystemSerialPortFactory::Create(const std::string& path) {
    if (path.rfind("tcp:", 0) == 0) return std::make_unique<TcpSerialPort>();
    return std::make_unique<PosixSerialPort>();
}

SystemSerialPortFactory& SystemSerialPortFactory::Instance() {
    static SystemSerialPortFactory factory;
    return factory;
}

}  // namespace arvestra
