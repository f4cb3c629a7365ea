#pragma once

#include "link/SerialPort.h"

namespace arvestra {

// A terminal device (real tty, USB adapter or pseudo-terminal) driven with termios and poll.
class PosixSerialPort final : public SerialPort {
  public:
    PosixSerialPort() = default;
    ~PosixSerialPort() override;
    PosixSerialPort(const PosixSerialPort&) = delete;
    PosixSerialPort& operator=(const PosixSerialPort&) = delete;

    // Opens non-blocking with an exclusive advisory lock (which also keeps out root) and TIOCEXCL,
    // and drops whatever an earlier user of the port left in either direction.
    int Open(const std::string& path) override;
    void Close() override;
    bool IsOpen() const override { return fd_ >= 0; }
    int GetLineSettings(LineSettings& settings) override;
    // Raw mode (cfmakeraw), the baud rate, 8N1, receiver on, DTR as asked.
    int SetLineSettings(const LineSettings& settings) override;
    int GetTimeouts(PortTimeouts& timeouts) override;
    int SetTimeouts(const PortTimeouts& timeouts) override;
    IoResult Write(const std::uint8_t* bytes, int count, int waitMs) override;
    IoResult Read(std::uint8_t* buffer, int count, int waitMs) override;
    void ClearErrors() override;
    // tcflush of both directions.
    void Purge() override;
    // tcflush of the input.
    void DiscardInput() override;

  private:
    int fd_ = -1;
    PortTimeouts timeouts_{};
};

}  // namespace arvestra
