#include "link/PosixSerialPort.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/wait.h>
#include <chrono>

#include <cerrno>
#include <cstdio>
#include <numeric>
#include <thread>

#include "LinkTestSupport.h"
#include "PtyPair.h"
#include "link/SystemSerialPortFactory.h"

namespace arvestra {
namespace {

using testing::Bytes;
using testing::PtyPair;

// A port opened on the slave side of a fresh pseudo-terminal, in raw mode at 19200 baud.
struct PtyPort {
    PtyPair pty;
    PosixSerialPort port;
    int openError = -1;
    int lineError = -1;
    PtyPort() {
        if (!pty.Ok()) return;
        openError = port.Open(pty.SlavePath());
        if (openError != 0) return;
        LineSettings line;
        lineError = port.GetLineSettings(line);
        line.baudRate = 19200;
        line.dataBits = 8;
        line.parityEnabled = false;
        line.dtrOn = false;
        if (lineError == 0) lineError = port.SetLineSettings(line);
    }
    bool Ready() const { return pty.Ok() && openError == 0 && lineError == 0; }
    void SetReadLimit(int ms) {
        PortTimeouts timeouts;
        timeouts.readTotalConstantMs = ms;
        port.SetTimeouts(timeouts);
    }
};

Bytes AllByteValues() {
    Bytes bytes(256);
    std::iota(bytes.begin(), bytes.end(), 0);
    // The bytes a cooked line discipline would change or swallow, in a row.
    const Bytes touchy{0x0D, 0x0A, 0x11, 0x13, 0x03, 0xFB, 0x7F, 0x1A, 0x04, 0x00, 0xFF, 0x0D};
    bytes.insert(bytes.end(), touchy.begin(), touchy.end());
    return bytes;
}

TEST(PosixSerialPort, RawBytesPassUnchangedToTheDevice) {
    PtyPort p;
    ASSERT_TRUE(p.Ready()) << p.openError << " " << p.lineError;
    const Bytes bytes = AllByteValues();
    const IoResult result = p.port.Write(bytes.data(), static_cast<int>(bytes.size()), 2000);
    EXPECT_EQ(result.outcome, IoOutcome::Completed);
    EXPECT_EQ(result.bytes, static_cast<int>(bytes.size()));
    EXPECT_EQ(p.pty.Receive(bytes.size()), bytes);
}

TEST(PosixSerialPort, RawBytesPassUnchangedFromTheDevice) {
    PtyPort p;
    ASSERT_TRUE(p.Ready());
    p.SetReadLimit(2000);
    const Bytes bytes = AllByteValues();
    ASSERT_TRUE(p.pty.Send(bytes));
    Bytes received(bytes.size());
    const IoResult result = p.port.Read(received.data(), static_cast<int>(received.size()), 3000);
    EXPECT_EQ(result.outcome, IoOutcome::Completed);
    EXPECT_EQ(result.bytes, static_cast<int>(bytes.size()));
    EXPECT_EQ(received, bytes);
}

struct ReadLimitCase {
    const char* name;
    Bytes sent;       // what the device sends before the read
    int readLimitMs;  // 0: no read limit
    int waitMs;
    IoOutcome outcome;
    int waitResult;
    int bytes;
};

class ReadEnds : public ::testing::TestWithParam<ReadLimitCase> {};

TEST_P(ReadEnds, AtTheReadLimitOrWhenTheWaitRunsOut) {
    const ReadLimitCase& c = GetParam();
    PtyPort p;
    ASSERT_TRUE(p.Ready());
    p.SetReadLimit(c.readLimitMs);
    if (!c.sent.empty()) {
        ASSERT_TRUE(p.pty.Send(c.sent));
    }
    std::uint8_t buffer[16] = {};
    const IoResult result = p.port.Read(buffer, 7, c.waitMs);
    EXPECT_EQ(result.outcome, c.outcome);
    EXPECT_EQ(result.waitResult, c.waitResult);
    EXPECT_EQ(result.bytes, c.bytes);
    EXPECT_EQ(result.systemError, 0);
}

INSTANTIATE_TEST_SUITE_P(
    Limits, ReadEnds,
    ::testing::Values(
        ReadLimitCase{"SilentDevice", {}, 50, 1000, IoOutcome::Completed, 0, 0},
        ReadLimitCase{"ShortAnswer", {1, 2, 3}, 50, 1000, IoOutcome::Completed, 0, 3},
        ReadLimitCase{"FullAnswer", {1, 2, 3, 4, 5, 6, 7, 8}, 50, 1000, IoOutcome::Completed, 0, 7},
        ReadLimitCase{"NoLimitWaitRunsOut", {1}, 0, 50, IoOutcome::TimedOut, kWaitTimedOut, 1},
        ReadLimitCase{"LimitBeyondWait", {}, 500, 50, IoOutcome::TimedOut, kWaitTimedOut, 0}),
    [](const auto& info) { return std::string(info.param.name); });

// A silent device costs the whole read limit, never less: a probe that gave up a millisecond
// early would miss a device answering just inside its 20 ms.
class ReadLimitIsAFloor : public ::testing::TestWithParam<int> {};

TEST_P(ReadLimitIsAFloor, SilentReadLastsAtLeastTheLimit) {
    PtyPort p;
    ASSERT_TRUE(p.Ready());
    p.SetReadLimit(GetParam());
    std::uint8_t buffer[8] = {};
    for (int round = 0; round < 10; ++round) {
        const auto start = std::chrono::steady_clock::now();
        const IoResult result = p.port.Read(buffer, 7, 1000);
        const auto waited = std::chrono::steady_clock::now() - start;
        EXPECT_EQ(result.bytes, 0);
        EXPECT_GE(waited, std::chrono::milliseconds(GetParam())) << "round " << round;
    }
}

INSTANTIATE_TEST_SUITE_P(Limits, ReadLimitIsAFloor, ::testing::Values(1, 20, 37));

TEST(PosixSerialPort, PurgeDropsWaitingInput) {
    PtyPort p;
    ASSERT_TRUE(p.Ready());
    ASSERT_TRUE(p.pty.Send({9, 9, 9}));
    std::this_thread::sleep_for(std::chrono::milliseconds(50));  // let the bytes arrive
    p.port.ClearErrors();
    p.port.Purge();
    p.SetReadLimit(30);
    std::uint8_t buffer[4];
    EXPECT_EQ(p.port.Read(buffer, 3, 1000).bytes, 0);
}

TEST(PosixSerialPort, SecondOpenOfTheSamePortIsRefused) {
    PtyPort p;
    ASSERT_TRUE(p.Ready());
    PosixSerialPort second;
    EXPECT_EQ(second.Open(p.pty.SlavePath()), EBUSY);
    EXPECT_FALSE(second.IsOpen());
    p.port.Close();
    EXPECT_EQ(second.Open(p.pty.SlavePath()), 0);
}

TEST(PosixSerialPort, LineSettingsReadBack) {
    PtyPort p;
    ASSERT_TRUE(p.Ready());
    LineSettings line;
    line.baudRate = 38400;
    ASSERT_EQ(p.port.SetLineSettings(line), 0);
    LineSettings back;
    ASSERT_EQ(p.port.GetLineSettings(back), 0);
    EXPECT_EQ(back.baudRate, 38400);
    EXPECT_EQ(back.dataBits, 8);
    EXPECT_FALSE(back.parityEnabled);
    line.baudRate = 12345;
    EXPECT_EQ(p.port.SetLineSettings(line), EINVAL);
}

TEST(PosixSerialPort, ClosedPortRefusesTransfers) {
    PosixSerialPort port;
    std::uint8_t byte = 0;
    EXPECT_EQ(port.Write(&byte, 1, 10).outcome, IoOutcome::StartFailed);
    EXPECT_EQ(port.Read(&byte, 1, 10).systemError, EBADF);
    PortTimeouts timeouts;
    EXPECT_EQ(port.GetTimeouts(timeouts), EBADF);
}

// Paths that are not usable serial ports, and where each one fails.
struct BadPathCase {
    const char* name;
    const char* path;
    int openError;
    int lineError;  // when the open succeeds
};

class BadPaths : public ::testing::TestWithParam<BadPathCase> {};

TEST_P(BadPaths, FailAtTheirStepWithTheSystemError) {
    const BadPathCase& c = GetParam();
    PosixSerialPort port;
    EXPECT_EQ(port.Open(c.path), c.openError);
    if (c.openError == 0) {
        LineSettings line;
        EXPECT_EQ(port.GetLineSettings(line), c.lineError);
    }
}

INSTANTIATE_TEST_SUITE_P(Paths, BadPaths,
                         ::testing::Values(BadPathCase{"Missing", "/dev/no-such-serial-port",
                                                       ENOENT, 0},
                                           BadPathCase{"Directory", "/tmp", EISDIR, 0},
                                           BadPathCase{"NotATerminal", "/dev/null", 0, ENOTTY}),
                         [](const auto& info) { return std::string(info.param.name); });

// Runs `body` where permissions apply: in this process for an ordinary user, in a child that
// has given up root otherwise (root opens any file). Returns what body wrote, or "" on failure.
std::string RunUnprivileged(const std::function<std::string()>& body) {
    if (::geteuid() != 0) return body();
    int fds[2];
    if (::pipe(fds) != 0) return "";
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(fds[0]);
        std::string out = "setuid failed";
        if (::setgid(65534) == 0 && ::setuid(65534) == 0) out = body();
        (void)!::write(fds[1], out.data(), out.size());
        ::_exit(0);
    }
    ::close(fds[1]);
    std::string out;
    char chunk[256];
    ssize_t n;
    while ((n = ::read(fds[0], chunk, sizeof chunk)) > 0)
        out.append(chunk, static_cast<std::size_t>(n));
    ::close(fds[0]);
    int status = 0;
    ::waitpid(child, &status, 0);
    return out;
}

// A file only its owner may open.
struct PrivateFile {
    std::string path;
    PrivateFile() {
        char name[] = "/tmp/arvestra-private-XXXXXX";
        const int fd = ::mkstemp(name);
        if (fd >= 0) ::close(fd);
        path = name;
        ::chmod(path.c_str(), 0600);
        if (::geteuid() != 0) ::chmod(path.c_str(), 0000);
    }
    ~PrivateFile() { ::unlink(path.c_str()); }
};

TEST(PosixSerialPort, PermissionDeniedGivesEacces) {
    PrivateFile file;
    const std::string result = RunUnprivileged([&] {
        PosixSerialPort port;
        return std::to_string(port.Open(file.path));
    });
    EXPECT_EQ(result, std::to_string(EACCES));
}

TEST(SerialLinkOverPty, PermissionDeniedIsReportedAsOpenFailure) {
    PrivateFile file;
    const std::string result = RunUnprivileged([&] {
        testing::LinkBench b;
        CSerialLink real(b.reporter, SystemSerialPortFactory::Instance());
        real.SetPortNumber(1);
        real.Ports().SetPath(1, file.path);
        b.ui.Push(UiAnswer::Yes);
        const int opened = real.OpenPort();
        return std::to_string(opened) + " " + b.ErrorNumber(0);
    });
    EXPECT_EQ(result, "0 12 - 1 - d - 0");
}

// A link on the real port layer, with COM2 mapped to the slave side of a pseudo-terminal.
struct PtyLink {
    PtyPair pty;
    testing::LinkBench bench;
    CSerialLink link{bench.reporter, SystemSerialPortFactory::Instance()};
    PtyLink() {
        link.SetPortNumber(2);
        link.SetBaudRate(19200);
        link.Ports().SetPath(2, pty.SlavePath());
    }
};

TEST(SerialLinkOverPty, ExchangesAFrameWithTheDevice) {
    PtyLink l;
    ASSERT_TRUE(l.pty.Ok());
    ASSERT_EQ(l.link.OpenPort(), 1);
    l.link.SetAddress(7);
    std::thread device([&] {
        const Bytes request = l.pty.Receive(6);
        if (request == Bytes{0xFB, 0x07, 0x00, 0x02, 0x02, 0xFC}) {
            l.pty.Send(testing::MakeReplyTo(7, 2, {34, 56}));
        }
    });
    std::uint8_t reply[2] = {};
    EXPECT_EQ(l.link.Transact(2, nullptr, 0, reply, 2), 1);
    device.join();
    EXPECT_EQ(reply[0], 34);
    EXPECT_EQ(reply[1], 56);
    EXPECT_TRUE(l.bench.ui.Questions().empty());
}

// Plays device 7 answering `requests` identify requests with {34, 56}; `before` goes out in front
// of the first answer, as a reply to an earlier request that came late.
std::thread AnswerIdentify(PtyPair& pty, int requests, Bytes before = {}) {
    return std::thread([&pty, requests, before] {
        for (int i = 0; i < requests; ++i) {
            if (pty.Receive(6).size() != 6) return;
            Bytes answer = i == 0 ? before : Bytes{};
            const Bytes reply = testing::MakeReplyTo(7, 2, {34, 56});
            answer.insert(answer.end(), reply.begin(), reply.end());
            pty.Send(answer);
        }
    });
}

// The reply to an identify request from device 3: the same length as device 7's, so nothing
// but its address tells it from the reply the test waits for.
Bytes StaleReply() {
    return testing::MakeReplyTo(3, 2, {1, 1});
}

// A reply that nobody asked for is waiting on the line: queued before the link opened the port
// (left by a killed program), or after (a reply that came too late).
class StaleReplyQueued : public ::testing::TestWithParam<bool> {};

TEST_P(StaleReplyQueued, IsDroppedAndTheDevicesOwnReplyTaken) {
    const bool beforeTheOpen = GetParam();
    PtyLink l;
    ASSERT_TRUE(l.pty.Ok());
    ASSERT_TRUE(l.pty.KeepSlaveOpen());
    if (beforeTheOpen) {
        ASSERT_TRUE(l.pty.Send(StaleReply()));
        ASSERT_TRUE(l.pty.WaitQueued());
    }
    ASSERT_EQ(l.link.OpenPort(), 1);
    l.link.SetAddress(7);
    if (!beforeTheOpen) {
        ASSERT_TRUE(l.pty.Send(StaleReply()));
        ASSERT_TRUE(l.pty.WaitQueued());
    }
    std::thread device = AnswerIdentify(l.pty, 1);
    std::uint8_t reply[2] = {};
    EXPECT_EQ(l.link.Transact(2, nullptr, 0, reply, 2), 1);
    device.join();
    EXPECT_EQ(reply[0], 34);
    EXPECT_EQ(reply[1], 56);
    EXPECT_TRUE(l.bench.ui.Questions().empty());
}

INSTANTIATE_TEST_SUITE_P(When, StaleReplyQueued, ::testing::Values(true, false),
                         [](const auto& info) {
                             return std::string(info.param ? "BeforeTheOpen" : "AfterTheOpen");
                         });

TEST(SerialLinkOverPty, AReplyArrivingInFrontOfOursIsSkippedAndTheRequestSentAgain) {
    PtyLink l;
    ASSERT_TRUE(l.pty.Ok());
    ASSERT_EQ(l.link.OpenPort(), 1);
    l.link.SetAddress(7);
    // A stale reply longer than ours, so that ours is cut in two as well.
    const Bytes longStale = testing::MakeReplyTo(3, 18, Bytes(95, 0x20));
    std::thread device = AnswerIdentify(l.pty, 2, longStale);
    std::uint8_t reply[2] = {};
    EXPECT_EQ(l.link.Transact(2, nullptr, 0, reply, 2), 1);
    device.join();
    EXPECT_EQ(reply[0], 34);
    EXPECT_EQ(reply[1], 56);
    EXPECT_TRUE(l.bench.ui.Questions().empty());
}

struct PtyReplyCase {
    const char* name;
    Bytes answer;
    const char* errorNumber;
};

class SerialLinkOverPtyShortReplies : public ::testing::TestWithParam<PtyReplyCase> {};

TEST_P(SerialLinkOverPtyShortReplies, EndAtTheReadLimitAsShortReads) {
    PtyLink l;
    ASSERT_TRUE(l.pty.Ok());
    ASSERT_TRUE(l.pty.KeepSlaveOpen());  // before the link makes the terminal exclusive
    ASSERT_EQ(l.link.OpenPort(), 1);
    l.link.quickProbe = 1;  // 20 ms, so the silent device does not hold the test up
    ASSERT_EQ(l.link.ApplyTimeouts(), 1);
    // Bytes that were waiting before the request answer nothing: they are dropped, and the
    // device stays silent.
    if (!GetParam().answer.empty()) {
        ASSERT_TRUE(l.pty.Send(GetParam().answer));
        ASSERT_TRUE(l.pty.WaitQueued());
    }
    l.bench.ui.Push(UiAnswer::Ignore);
    std::uint8_t reply[2] = {};
    EXPECT_EQ(l.link.Transact(2, nullptr, 0, reply, 2), 0);
    EXPECT_EQ(l.bench.ErrorNumber(0), GetParam().errorNumber);
    EXPECT_EQ(l.bench.app.IsOnline(), 0);
}

INSTANTIATE_TEST_SUITE_P(
    Replies, SerialLinkOverPtyShortReplies,
    ::testing::Values(PtyReplyCase{"Silent", {}, "33 - 2 - 0 - 0"},
                      PtyReplyCase{"ThreeBytesFromBefore", {1, 2, 3}, "33 - 2 - 0 - 0"}),
    [](const auto& info) { return std::string(info.param.name); });

struct LinkOpenCase {
    const char* name;
    int portNumber;
    const char* path;
    const char* errorNumber;
};

class SerialLinkOpenFailures : public ::testing::TestWithParam<LinkOpenCase> {};

TEST_P(SerialLinkOpenFailures, ReportTheStepPortAndSystemError) {
    const LinkOpenCase& c = GetParam();
    testing::LinkBench b;
    CSerialLink link(b.reporter, SystemSerialPortFactory::Instance());
    link.SetPortNumber(c.portNumber);
    link.Ports().SetPath(c.portNumber, c.path);
    b.ui.Push(UiAnswer::Yes);
    EXPECT_EQ(link.OpenPort(), 0);
    EXPECT_FALSE(link.IsOpen());
    EXPECT_EQ(b.ErrorNumber(0), c.errorNumber);
    const std::string name = "COM" + std::to_string(c.portNumber);
    EXPECT_NE(b.QuestionText(0).find("serial port " + name + "."), std::string::npos);
}

INSTANTIATE_TEST_SUITE_P(
    Paths, SerialLinkOpenFailures,
    ::testing::Values(LinkOpenCase{"Missing", 4, "/dev/no-such-serial-port", "12 - 4 - 2 - 0"},
                      LinkOpenCase{"Directory", 2, "/tmp", "12 - 2 - 15 - 0"},
                      LinkOpenCase{"NotATerminal", 1, "/dev/null", "13 - 1 - 19 - 0"},
                      LinkOpenCase{"BadTcpName", 3, "tcp:nohostport", "12 - 3 - 16 - 0"}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace arvestra
