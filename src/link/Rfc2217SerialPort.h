#pragma once

#include <cstdint>
#include <map>
#include <vector>

#include "link/SerialPort.h"
#include "link/TelnetDecoder.h"

namespace arvestra {

// A serial line served by a network serial server speaking Telnet with COM port control
// ("rfc2217:HOST:PORT"): unlike raw TCP, the line settings reach the server's port. The baud
// rate, data size, parity and stop size must be acknowledged; a server that will not switch DTR
// (a pseudo-terminal has no modem lines) is no failure.
class Rfc2217SerialPort final : public SerialPort {
  public:
    Rfc2217SerialPort() = default;
    ~Rfc2217SerialPort() override;
    Rfc2217SerialPort(const Rfc2217SerialPort&) = delete;
    Rfc2217SerialPort& operator=(const Rfc2217SerialPort&) = delete;

    // Connects and agrees COM port control; EPROTONOSUPPORT when the server refuses it,
    // ETIMEDOUT when it does not say.
    int Open(const std::string& path) override;
    void Close() override;
    bool IsOpen() const override { return fd_ >= 0; }
    // Asks the server for its current settings (keeping its stop size for the next set).
    int GetLineSettings(LineSettings& settings) override;
    // Sets baud rate, data size, parity, the stop size the server reported and DTR; EIO when the
    // server acknowledges another baud rate or data size than asked.
    int SetLineSettings(const LineSettings& settings) override;
    int GetTimeouts(PortTimeouts& timeouts) override;
    int SetTimeouts(const PortTimeouts& timeouts) override;
    IoResult Write(const std::uint8_t* bytes, int count, int waitMs) override;
    IoResult Read(std::uint8_t* buffer, int count, int waitMs) override;
    void ClearErrors() override {}
    // Asks the server to purge both of its buffers and drops the input already received.
    void Purge() override;
    // Drops the line data received so far, keeping the server's answers (no round trip).
    void DiscardInput() override;

    // How long the server gets to answer a negotiation or a setting.
    static constexpr int kAnswerWaitMs = 3000;

  private:
    // Sends protocol bytes in full; 0 or the system error.
    int SendRaw(const std::vector<std::uint8_t>& bytes);
    // Reads once from the socket, waiting up to waitMs; 0, or the system error (ECONNRESET when
    // the server closed). Data goes to pending_, answers to answers_.
    int ReceiveSome(int waitMs);
    // Receives until every command in `commands` has been answered or waitMs has passed; 0,
    // ETIMEDOUT or the system error.
    int AwaitAnswers(const std::vector<std::uint8_t>& commands, int waitMs);
    // Sends one COM port control request and forgets any older answer to it.
    int Request(std::uint8_t command, const std::vector<std::uint8_t>& value);

    int fd_ = -1;
    TelnetDecoder decoder_;
    std::vector<std::uint8_t> pending_;                          // line data received, not yet read
    std::map<std::uint8_t, std::vector<std::uint8_t>> answers_;  // by the server's command code
    LineSettings settings_{};
    std::uint8_t stopSize_ = 1;
    PortTimeouts timeouts_{};
};

}  // namespace arvestra
