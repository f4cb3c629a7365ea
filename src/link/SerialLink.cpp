#include "link/SerialLink.h"

#include <algorithm>
#include <cerrno>
#include <chrono>

#include "app/ErrorMessages.h"
#include "link/FrameCodec.h"
#include "link/PortOpenAdvice.h"
#include "link/SystemSerialPortFactory.h"

namespace arvestra {
namespace {

// The read limit the port is given: the exchange time-out less 500 ms, never under 20 ms, so a
// silent device ends as a short read before the wait itself runs out.
int ReadLimitFor(int exchangeTimeoutMs) {
    return std::max(exchangeTimeoutMs - 500, 20);
}

}  // namespace

CSerialLink::CSerialLink(ErrorReporter& reporter)
    : CSerialLink(reporter, SystemSerialPortFactory::Instance()) {}

CSerialLink::CSerialLink(ErrorReporter& reporter, SerialPortFactory& factory)
    : reporter_(reporter), factory_(factory) {}

CSerialLink::~CSerialLink() {
    ClosePort();
}

int CSerialLink::OpenPort() {
    ClosePort();
    portName_ = "COM" + std::to_string(portNumber_);
    const std::string path = portMap_.Resolve(portName_);
    std::unique_ptr<SerialPort> port = factory_.Create(path);
    if (!port) return FailOpen(kErrCreatePort, 0);
    if (const int error = port->Open(path); error != 0) return FailOpen(kErrOpenPort, error);

    // A port that fails half-way is closed again, so "open" always means "configured".
    LineSettings settings;
    if (const int error = port->GetLineSettings(settings); error != 0) {
        port->Close();
        return FailOpen(kErrGetLineSettings, error);
    }
    settings.baudRate = baudRate_;
    settings.dtrOn = false;
    settings.dataBits = 8;
    settings.parityEnabled = false;
    if (const int error = port->SetLineSettings(settings); error != 0) {
        port->Close();
        return FailOpen(kErrSetLineSettings, error);
    }
    port_ = std::move(port);
    quickProbe.store(0);
    if (ApplyTimeouts() != 1) {
        ClosePort();
        return 0;
    }
    // Input queued before we came (a killed program's reply) must not answer our first request.
    PurgePort();
    return 1;
}

void CSerialLink::ClosePort() {
    if (!port_) return;
    port_->Close();
    port_.reset();
}

void CSerialLink::PurgePort() {
    if (!port_) return;
    port_->ClearErrors();
    port_->Purge();
}

int CSerialLink::ApplyTimeouts() {
    const int timeout = quickProbe.load() != 0 ? kProbeTimeoutMs : kExchangeTimeoutMs;
    exchangeTimeoutMs_.store(timeout);
    if (!port_) return 1;
    PortTimeouts timeouts;
    if (const int error = port_->GetTimeouts(timeouts); error != 0) {
        ReportPortError(portName_, kErrGetTimeouts, error);
        return 0;
    }
    timeouts.readIntervalMs = 0;
    timeouts.readTotalMultiplierMs = 0;
    timeouts.readTotalConstantMs = ReadLimitFor(timeout);
    if (const int error = port_->SetTimeouts(timeouts); error != 0) {
        ReportPortError(portName_, kErrSetTimeouts, error);
        return 0;
    }
    return 1;
}

int CSerialLink::WriteFrame(std::uint8_t command, const std::uint8_t* bytes, int count) {
    if (!port_) return FailIo(kErrWriteStart, command, EBADF, 0);
    const int timeout = ExchangeTimeoutMs();
    const IoResult result = port_->Write(bytes, count, timeout);
    switch (result.outcome) {
        case IoOutcome::StartFailed:
            return FailIo(kErrWriteStart, command, result.systemError, 0);
        case IoOutcome::TimedOut:
            return FailIo(kErrWriteTimeout, command, result.waitResult, timeout);
        case IoOutcome::Completed:
            break;
    }
    if (result.bytes != count) return FailIo(kErrWriteShort, command, count, result.bytes);
    return kAnswerProceed;
}

int CSerialLink::ReadReply(std::uint8_t command, std::uint8_t* buffer, int count) {
    if (!port_) return FailIo(kErrReadStart, command, EBADF, 0);
    const int timeout = ExchangeTimeoutMs();
    const IoResult result = port_->Read(buffer, count, timeout);
    if (result.outcome == IoOutcome::StartFailed) {
        return FailIo(kErrReadStart, command, result.systemError, 0);
    }
    // The simulated time-out is consumed by every read that got going, answered or not.
    const bool simulated = simulateTimeoutOnce.exchange(0) != 0;
    if (result.outcome == IoOutcome::TimedOut || simulated) {
        return FailIo(kErrReadTimeout, command, result.waitResult, timeout);
    }
    // Always compared: a short read must never let stale buffer bytes pass as a reply.
    if (result.bytes != count)
        return FailIo(kErrReadShort, command, result.systemError, result.bytes);
    return kAnswerProceed;
}

int CSerialLink::ReportLinkError(int code, int command, int a, int b, int c) {
    // Remembered and restored rather than cleared, so nested reports keep the flag up.
    const int previous = errorDialogShowing.exchange(1);
    const int answer = reporter_.ReportError(kMsgCannotCommunicate, true, code, command, a, b, c);
    if (answer == kAnswerRetry) PurgePort();
    errorDialogShowing.store(previous);
    return answer;
}

int CSerialLink::ReportPortError(const std::string& portName, int code, int systemError) {
    if (reportErrors.load() == 0) return kAnswerPortNotReported;
    std::string text = kMsgCouldntOpenPortFormat;
    text.replace(text.find("%s"), 2, portName);
    if (code == kErrOpenPort) {
        const std::string advice =
            PortOpenAdvice(systemError, portMap_.Resolve(portName), ListSerialPortsById());
        if (!advice.empty()) text += "\n\n" + advice;
    }
    return reporter_.ReportError(text, false, code, portNumber_, systemError, 0, 0);
}

int CSerialLink::FailOpen(int code, int systemError) {
    ReportPortError(portName_, code, systemError);
    return 0;
}

int CSerialLink::FailIo(int code, int command, int a, int b) {
    if (reportErrors.load() == 0) return kAnswerNotReported;
    return ReportLinkError(code, command, a, b, 0);
}

int CSerialLink::Transact(std::uint8_t command, const std::uint8_t* payload, int payloadLength,
                          std::uint8_t* reply, int replyLength) {
    if (!port_) return 1;
    // Outside the protocol: nothing fits the buffers, so nothing is sent.
    if (payloadLength < 0 || payloadLength > kMaxPayload || replyLength < 0) return 0;
    if (payloadLength > 0 && payload == nullptr) return 0;

    std::uint8_t staging[kStagingSize];
    std::uint8_t stuffed[kStuffedSize];
    const int readLength = ReplyReadLength(replyLength);
    int staleReplies = 0;
    for (;;) {
        // Each attempt starts from a freshly built frame: the reply overwrote the staging buffer.
        const std::uint8_t address = Address();
        const int frameSize = BuildRequestFrame(address, command, payload, payloadLength, staging);
        const int stuffedSize = StuffFrame(staging, frameSize, stuffed);
        // Whatever is waiting now answers nobody's current request: a reply that came too late,
        // or one left by a program killed in the middle of an exchange.
        port_->DiscardInput();
        int answer = WriteFrame(command, stuffed, stuffedSize);
        if (answer == kAnswerRetry) continue;
        if (answer != kAnswerProceed) return 0;

        answer = ReadReply(command, staging, readLength);
        if (answer == kAnswerRetry) continue;
        if (answer != kAnswerProceed) return 0;

        // An earlier request's reply that arrived after the discard: our own reply is still on
        // its way behind it, so let the line go quiet and ask again, without troubling the user.
        if (!EchoesRequest(staging, address, command) && staleReplies < kStaleRepliesSkipped) {
            ++staleReplies;
            DrainUntilQuiet();
            continue;
        }

        const ReplyVerdict verdict = CheckReply(command, staging, readLength, reply, replyLength);
        if (verdict == ReplyVerdict::Retry) continue;
        return verdict == ReplyVerdict::Accept ? 1 : 0;
    }
}

CSerialLink::ReplyVerdict CSerialLink::CheckReply(std::uint8_t command, const std::uint8_t* bytes,
                                                  int readLength, std::uint8_t* reply,
                                                  int replyLength) {
    const int expectedLength = replyLength + 2;
    const int receivedLength = bytes[3] * 256 + bytes[4];
    if (receivedLength != expectedLength) {
        const int answer =
            ReportLinkError(kErrReplyLength, command, expectedLength, receivedLength, 0);
        if (answer != kAnswerProceed) return VerdictOf(answer);
    }
    const std::uint8_t status = bytes[readLength - 2];
    if (status != 0) {
        const int answer = ReportLinkError(kErrReplyStatus, command, status, 0, 0);
        if (answer != kAnswerProceed) return VerdictOf(answer);
    }
    // One walk: the checksum over all bytes, and the payload (offsets 5 to R-3) into the
    // caller's buffer. The payload is at most R - 7 <= M bytes, so it always fits.
    std::uint8_t sum = 0;
    for (int i = 0; i < readLength; ++i) {
        sum = static_cast<std::uint8_t>(sum + bytes[i]);
        if (reply != nullptr && i >= 5 && i <= readLength - 3) reply[i - 5] = bytes[i];
    }
    if (sum != 0) {
        const int answer = ReportLinkError(kErrReplyChecksum, command, sum, 0, 0);
        if (answer != kAnswerProceed) return VerdictOf(answer);
    }
    return ReplyVerdict::Accept;
}

bool CSerialLink::EchoesRequest(const std::uint8_t* bytes, std::uint8_t address,
                                std::uint8_t command) {
    return bytes[0] == kFrameStart && bytes[1] == address && bytes[2] == command;
}

void CSerialLink::DrainUntilQuiet() {
    std::uint8_t scratch[kStagingSize];
    const auto deadline = std::chrono::steady_clock::now() +
                          std::chrono::milliseconds(ExchangeTimeoutMs() + kQuietLineMs);
    // A line that never falls silent is given up on at the exchange time-out.
    while (std::chrono::steady_clock::now() < deadline) {
        const IoResult result = port_->Read(scratch, kStagingSize, kQuietLineMs);
        if (result.outcome == IoOutcome::StartFailed || result.bytes == 0) return;
    }
}

CSerialLink::ReplyVerdict CSerialLink::VerdictOf(int answer) {
    return answer == kAnswerRetry ? ReplyVerdict::Retry : ReplyVerdict::Fail;
}

int CSerialLink::SendByte(std::uint8_t command, std::uint8_t value) {
    const std::uint8_t payload[1] = {value};
    return Transact(command, payload, 1, nullptr, 0);
}

}  // namespace arvestra
