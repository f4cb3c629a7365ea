#pragma once

#include "link/SerialPort.h"

namespace arvestra {

// A serial line served as raw TCP ("tcp:HOST:PORT", e.g. by a network serial server or the
// simulator). Line settings are remembered but cannot reach the far end.
class TcpSerialPort final : public SerialPort {
  public:
    TcpSerialPort() = default;
    ~TcpSerialPort() override;
    TcpSerialPort(const TcpSerialPort&) = delete;
    TcpSerialPort& operator=(const TcpSerialPort&) = delete;

    // Connects to HOST:PORT of a "tcp:HOST:PORT" path; 0 or the system error.
    int Open(const std::string& path) override;
    void Close() override;
    bool IsOpen() const override { return fd_ >= 0; }
    int GetLineSettings(LineSettings& settings) override;
    int SetLineSettings(const LineSettings& settings) override;
    int GetTimeouts(PortTimeouts& timeouts) override;
    int SetTimeouts(const PortTimeouts& timeouts) override;
    IoResult Write(const std::uint8_t* bytes, int count, int waitMs) override;
    IoResult Read(std::uint8_t* buffer, int count, int waitMs) override;
    void ClearErrors() override {}
    // Discards the input already received; sent bytes cannot be called back.
    void Purge() override;
    void DiscardInput() override { Purge(); }

  private:
    int fd_ = -1;
    LineSettings settings_{};
    PortTimeouts timeouts_{};
};

}  // namespace arvestra
