#include "link/PosixSerialPort.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>

#include "link/FdTransfer.h"

namespace arvestra {
namespace {

struct BaudEntry {
    int rate;
    speed_t constant;
};

constexpr BaudEntry kBaudRates[] = {
    {1200, B1200},   {2400, B2400},   {4800, B4800},   {9600, B9600},
    {19200, B19200}, {38400, B38400}, {57600, B57600}, {115200, B115200},
};

// The termios constant for a rate, or B0 when the rate is not one we drive.
speed_t BaudConstant(int rate) {
    for (const BaudEntry& entry : kBaudRates) {
        if (entry.rate == rate) return entry.constant;
    }
    return B0;
}

int BaudRate(speed_t constant) {
    for (const BaudEntry& entry : kBaudRates) {
        if (entry.constant == constant) return entry.rate;
    }
    return 0;
}

// A pseudo-terminal (or a USB bridge without handshake lines) has no modem lines; the ioctls
// then answer one of these, which is not a failure of the port.
bool NoModemLines(int error) {
    return error == ENOTTY || error == EINVAL || error == ENOTSUP;
}

int SetDtr(int fd, bool on) {
    int bits = TIOCM_DTR;
    if (::ioctl(fd, on ? TIOCMBIS : TIOCMBIC, &bits) == 0) return 0;
    return NoModemLines(errno) ? 0 : errno;
}

}  // namespace

PosixSerialPort::~PosixSerialPort() {
    Close();
}

int PosixSerialPort::Open(const std::string& path) {
    Close();
    const int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return errno;
    // TIOCEXCL keeps other openers out, but not root; the advisory lock also stops a second
    // instance running as root. The lock comes first, so whoever finds the exclusive flag set
    // without a lock on the terminal knows its holder has gone (the simulator clears it then).
    // A plain file gives ENOTTY here and fails at the line settings.
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        const int error = errno == EWOULDBLOCK ? EBUSY : errno;
        ::close(fd);
        return error;
    }
    ::ioctl(fd, TIOCEXCL);
    // A program killed in the middle of an exchange leaves its request's reply queued on a
    // terminal whose other side stays open (a simulator, a network serial server).
    ::tcflush(fd, TCIOFLUSH);
    fd_ = fd;
    timeouts_ = PortTimeouts{};
    return 0;
}

void PosixSerialPort::Close() {
    if (fd_ < 0) return;
    // The exclusive flag can outlive this descriptor on a pseudo-terminal whose other side stays
    // open, which would keep a later open by an ordinary user out.
    ::ioctl(fd_, TIOCNXCL);
    ::close(fd_);  // also drops the advisory lock
    fd_ = -1;
}

int PosixSerialPort::GetLineSettings(LineSettings& settings) {
    termios attributes{};
    if (::tcgetattr(fd_, &attributes) != 0) return errno;
    settings.baudRate = BaudRate(::cfgetospeed(&attributes));
    settings.dataBits = (attributes.c_cflag & CSIZE) == CS8   ? 8
                        : (attributes.c_cflag & CSIZE) == CS7 ? 7
                        : (attributes.c_cflag & CSIZE) == CS6 ? 6
                                                              : 5;
    settings.parityEnabled = (attributes.c_cflag & PARENB) != 0;
    int bits = 0;
    settings.dtrOn = ::ioctl(fd_, TIOCMGET, &bits) == 0 && (bits & TIOCM_DTR) != 0;
    return 0;
}

int PosixSerialPort::SetLineSettings(const LineSettings& settings) {
    termios attributes{};
    if (::tcgetattr(fd_, &attributes) != 0) return errno;
    const speed_t speed = BaudConstant(settings.baudRate);
    if (speed == B0) return EINVAL;
    // Without raw mode the line discipline turns CR into LF, eats XON/XOFF and ^C, and the
    // binary frames arrive mangled.
    ::cfmakeraw(&attributes);
    attributes.c_iflag &= ~static_cast<tcflag_t>(IXOFF | IXANY);
    attributes.c_cflag |= CLOCAL | CREAD;
    attributes.c_cflag &= ~static_cast<tcflag_t>(CSIZE | PARENB);
    attributes.c_cflag |= settings.dataBits == 7 ? CS7 : CS8;
    if (settings.parityEnabled) attributes.c_cflag |= PARENB;
    attributes.c_cc[VMIN] = 1;
    attributes.c_cc[VTIME] = 0;
    if (::cfsetispeed(&attributes, speed) != 0 || ::cfsetospeed(&attributes, speed) != 0) {
        return errno;
    }
    if (::tcsetattr(fd_, TCSANOW, &attributes) != 0) return errno;
    return SetDtr(fd_, settings.dtrOn);
}

int PosixSerialPort::GetTimeouts(PortTimeouts& timeouts) {
    if (fd_ < 0) return EBADF;
    timeouts = timeouts_;
    return 0;
}

int PosixSerialPort::SetTimeouts(const PortTimeouts& timeouts) {
    if (fd_ < 0) return EBADF;
    timeouts_ = timeouts;
    return 0;
}

IoResult PosixSerialPort::Write(const std::uint8_t* bytes, int count, int waitMs) {
    if (fd_ < 0) return {IoOutcome::StartFailed, EBADF, 0, 0};
    const IoResult result = WriteWithDeadline(fd_, FdKind::Terminal, bytes, count, waitMs);
    // The reply's time limit counts from the moment the request has left the port, not from
    // when it was handed to the driver: wait until the driver has sent the last byte.
    if (result.outcome == IoOutcome::Completed && result.bytes > 0) {
        while (::tcdrain(fd_) != 0 && errno == EINTR) {
        }
    }
    return result;
}

IoResult PosixSerialPort::Read(std::uint8_t* buffer, int count, int waitMs) {
    if (fd_ < 0) return {IoOutcome::StartFailed, EBADF, 0, 0};
    return ReadWithDeadline(fd_, FdKind::Terminal, buffer, count, ReadLimitMs(timeouts_, count),
                            waitMs);
}

void PosixSerialPort::ClearErrors() {
    // A terminal keeps no latched error state that stops transfers (framing and overrun errors
    // are not reported in raw mode); restarting suspended output is the nearest thing.
    if (fd_ >= 0) ::tcflow(fd_, TCOON);
}

void PosixSerialPort::Purge() {
    if (fd_ >= 0) ::tcflush(fd_, TCIOFLUSH);
}

void PosixSerialPort::DiscardInput() {
    if (fd_ >= 0) ::tcflush(fd_, TCIFLUSH);
}

}  // namespace arvestra
