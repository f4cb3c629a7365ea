#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>

#include "app/ErrorReporter.h"
#include "link/PortMap.h"
#include "link/SerialPort.h"
#include "link/SerialPortFactory.h"

namespace arvestra {

// Failing steps of the link, the first field of the error number it reports.
enum LinkErrorCode : int {
    kErrCreatePort = 17,       // making the port object
    kErrOpenPort = 18,         // opening the port
    kErrGetLineSettings = 19,  // reading the line settings
    kErrSetLineSettings = 20,  // writing the line settings
    kErrWriteStart = 33,       // the write failed to start
    kErrWriteTimeout = 34,     // the write did not finish within the exchange time-out
    kErrWriteShort = 35,       // fewer bytes written than asked
    kErrReadStart = 49,        // the read failed to start
    kErrReadTimeout = 50,      // the read's wait ran out, or a time-out is simulated
    kErrReadShort = 51,        // fewer bytes read than asked
    kErrReplyLength = 65,      // reply length field is not M + 2
    kErrReplyStatus = 66,      // reply status byte is not 0
    kErrReplyChecksum = 67,    // reply bytes do not sum to 0
    kErrGetTimeouts = 81,      // reading the port's time-outs
    kErrSetTimeouts = 82,      // writing the port's time-outs
};

// Exchange time-outs in milliseconds.
inline constexpr int kExchangeTimeoutMs = 10000;
inline constexpr int kProbeTimeoutMs = 20;
// A line with no byte for this long has finished sending whatever was under way.
inline constexpr int kQuietLineMs = 20;
// Replies that echo another request, skipped in one exchange before the checks judge the next.
inline constexpr int kStaleRepliesSkipped = 3;

// The one serial port through which the application talks to every device on the bus, and the
// request/reply exchange over it. Exclusion between the user-interface thread and the worker
// comes from the worker pause; the flags below are atomics because the other thread reads them.
class CSerialLink {
  public:
    // A link over the real ports.
    explicit CSerialLink(ErrorReporter& reporter);
    // A link whose ports come from `factory` (tests pass a fake).
    CSerialLink(ErrorReporter& reporter, SerialPortFactory& factory);
    ~CSerialLink();
    CSerialLink(const CSerialLink&) = delete;
    CSerialLink& operator=(const CSerialLink&) = delete;

    // Set while a communication error dialog raised by the link is on screen.
    std::atomic<int> errorDialogShowing{0};
    // When set, the next ReadReply reports a time-out and clears the flag.
    std::atomic<int> simulateTimeoutOnce{0};
    // Selects the 20 ms exchange time-out used while probing bus addresses.
    std::atomic<int> quickProbe{0};
    // When clear, port-level failures return without a dialog.
    std::atomic<int> reportErrors{1};

    // Stores the COM port number; used at the next OpenPort.
    void SetPortNumber(int portNumber) { portNumber_ = portNumber; }
    // Stores the baud rate (19200 or 38400); used at the next OpenPort.
    void SetBaudRate(int baudRate) { baudRate_ = baudRate; }
    // Selects the bus address placed in every request frame.
    void SetAddress(int address) { address_.store(static_cast<std::uint8_t>(address)); }

    int PortNumber() const { return portNumber_; }
    int BaudRate() const { return baudRate_; }
    std::uint8_t Address() const { return address_.load(); }
    // "COM<n>" as formatted at the last OpenPort (empty before the first).
    const std::string& PortName() const { return portName_; }
    // The exchange time-out in force: 10000 ms, or 20 ms while probing.
    int ExchangeTimeoutMs() const { return exchangeTimeoutMs_.load(); }
    // True while the port is open.
    bool IsOpen() const { return port_ != nullptr; }
    // The names-to-paths map consulted at each open (the user interface may set paths).
    PortMap& Ports() { return portMap_; }
    // The reporter the link's failures go through.
    ErrorReporter& Reporter() { return reporter_; }

    // (Re)opens and configures the port and purges it; 1 when open, 0 after a reported failure.
    int OpenPort();
    // Closes the port if it is open.
    void ClosePort();
    // Clears the port's error state and purges both directions.
    void PurgePort();
    // Recomputes the exchange time-out from quickProbe and programs the port's read time-out;
    // 1 on success or when closed, 0 after a reported failure.
    int ApplyTimeouts();

    // Sends `count` bytes; answer 0 success, 1 retry, 2 offline, 3 unreported failure, 4 exit.
    int WriteFrame(std::uint8_t command, const std::uint8_t* bytes, int count);
    // Reads exactly `count` bytes; answers as WriteFrame.
    int ReadReply(std::uint8_t command, std::uint8_t* buffer, int count);

    // Shows the communication error (Abort/Retry/Ignore) whatever reportErrors says; purges the
    // port on Retry; returns the reporter's answer.
    int ReportLinkError(int code, int command, int a, int b, int c);
    // Shows the port-open error (Yes/No) with (code, port number, system error, 0), or returns 5
    // at once while reportErrors is clear.
    int ReportPortError(const std::string& portName, int code, int systemError);

    // One request/reply exchange with the selected device: 1 on success (the reply payload is in
    // `reply`), 0 when the application went offline or is closing. With the port closed it returns
    // 1 at once and touches nothing.
    int Transact(std::uint8_t command, const std::uint8_t* payload, int payloadLength,
                 std::uint8_t* reply, int replyLength);
    // Transact with one payload byte and no reply payload.
    int SendByte(std::uint8_t command, std::uint8_t value);

  private:
    // What the reply checks decided.
    enum class ReplyVerdict { Accept, Retry, Fail };

    int FailOpen(int code, int systemError);
    int FailIo(int code, int command, int a, int b);
    ReplyVerdict CheckReply(std::uint8_t command, const std::uint8_t* bytes, int readLength,
                            std::uint8_t* reply, int replyLength);
    // A report's answer other than "carry on": Retry repeats the exchange, the rest end it.
    static ReplyVerdict VerdictOf(int answer);
    // True when the reply starts with the start byte, the request's address and its command.
    static bool EchoesRequest(const std::uint8_t* bytes, std::uint8_t address,
                              std::uint8_t command);
    // Reads and drops input until none has come for kQuietLineMs.
    void DrainUntilQuiet();

    ErrorReporter& reporter_;
    SerialPortFactory& factory_;
    PortMap portMap_;
    std::unique_ptr<SerialPort> port_;
    std::string portName_;
    int portNumber_ = 2;
    int baudRate_ = 19200;
    std::atomic<int> exchangeTimeoutMs_{kExchangeTimeoutMs};
    std::atomic<std::uint8_t> address_{1};
};

}  // namespace arvestra
