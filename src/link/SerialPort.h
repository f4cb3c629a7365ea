#pragma once

#include <cstdint>
#include <string>

namespace arvestra {

// Line settings of a port. Only the fields the link changes are kept.
struct LineSettings {
    int baudRate = 19200;
    int dataBits = 8;
    bool parityEnabled = false;
    bool dtrOn = false;
};

// Read and write time-outs in the serial driver's terms (milliseconds). The read completes when
// `count` bytes are in or when readTotalConstantMs + count * readTotalMultiplierMs has passed;
// 0 for both means "no read limit": only the caller's wait limit ends it.
struct PortTimeouts {
    int readIntervalMs = 0;
    int readTotalMultiplierMs = 0;
    int readTotalConstantMs = 0;
    int writeTotalMultiplierMs = 0;
    int writeTotalConstantMs = 0;
};

// Wait result reported when an exchange's wait runs out.
inline constexpr int kWaitTimedOut = 258;

// How a write or read ended.
enum class IoOutcome {
    Completed,    // finished within the wait; `bytes` says how many moved (may be short)
    StartFailed,  // the system refused the transfer before any byte moved; see systemError
    TimedOut,     // the wait ran out before the transfer finished; waitResult = 258
};

// The numbers a write or read gives back; they are what the link's error reports show.
struct IoResult {
    IoOutcome outcome = IoOutcome::Completed;
    int systemError = 0;  // errno of the failure, 0 when none
    int waitResult = 0;   // 0, or kWaitTimedOut
    int bytes = 0;        // bytes written or read
};

// One serial port (or a transport that behaves like one). Implementations: PosixSerialPort
// (termios + poll), TcpSerialPort ("tcp:HOST:PORT") and the in-memory fake of the tests.
// Every call returns 0 or the system error (errno) of the failing step.
class SerialPort {
  public:
    virtual ~SerialPort() = default;

    // Opens the path for exclusive reading and writing; 0 or the system error.
    virtual int Open(const std::string& path) = 0;

    // Closes the port if it is open.
    virtual void Close() = 0;

    // True while the port is open.
    virtual bool IsOpen() const = 0;

    // Reads the current line settings; 0 or the system error.
    virtual int GetLineSettings(LineSettings& settings) = 0;

    // Applies line settings (raw mode, 8 data bits, no parity, DTR); 0 or the system error.
    virtual int SetLineSettings(const LineSettings& settings) = 0;

    // Reads the time-outs; 0 or the system error.
    virtual int GetTimeouts(PortTimeouts& timeouts) = 0;

    // Sets the time-outs used by Write and Read; 0 or the system error.
    virtual int SetTimeouts(const PortTimeouts& timeouts) = 0;

    // Sends `count` bytes unchanged, waiting at most waitMs for them to leave.
    virtual IoResult Write(const std::uint8_t* bytes, int count, int waitMs) = 0;

    // Reads until `count` bytes are in or the read time-out passes; waitMs bounds the whole wait.
    virtual IoResult Read(std::uint8_t* buffer, int count, int waitMs) = 0;

    // Clears the port's error state.
    virtual void ClearErrors() = 0;

    // Discards pending output and input.
    virtual void Purge() = 0;

    // Drops the input already waiting here, without a round trip to a network serial server:
    // cheap enough to run before every request.
    virtual void DiscardInput() = 0;
};

}  // namespace arvestra
