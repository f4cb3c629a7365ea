#include "devsim/LineWatch.h"

#include <termios.h>

#include <array>
#include <utility>

namespace arvestra::devsim {

namespace {

// The speeds a serial server is likely to set, as numbers.
int SpeedValue(speed_t speed) {
    static constexpr std::array<std::pair<speed_t, int>, 12> kSpeeds{{{B1200, 1200},
                                                                      {B2400, 2400},
                                                                      {B4800, 4800},
                                                                      {B9600, 9600},
                                                                      {B19200, 19200},
                                                                      {B38400, 38400},
                                                                      {B57600, 57600},
                                                                      {B115200, 115200},
                                                                      {B230400, 230400},
                                                                      {B460800, 460800},
                                                                      {B921600, 921600},
                                                                      {B0, 0}}};
    for (const auto& [code, value] : kSpeeds) {
        if (code == speed) return value;
    }
    return -1;
}

int DataBits(tcflag_t cflag) {
    switch (cflag & CSIZE) {
        case CS5:
            return 5;
        case CS6:
            return 6;
        case CS7:
            return 7;
        default:
            return 8;
    }
}

}  // namespace

std::string DescribeLine(const termios& settings) {
    const int speed = SpeedValue(::cfgetospeed(&settings));
    std::string text = speed < 0 ? std::string("unknown baud") : std::to_string(speed) + " baud";
    text += ", " + std::to_string(DataBits(settings.c_cflag)) + " data bits, ";
    if ((settings.c_cflag & PARENB) == 0) {
        text += "no parity";
    } else {
        text += (settings.c_cflag & PARODD) != 0 ? "odd parity" : "even parity";
    }
    text += (settings.c_cflag & CSTOPB) != 0 ? ", 2 stop bits" : ", 1 stop bit";
    return text;
}

std::optional<std::string> CLineWatch::Changed() {
    termios settings{};
    if (::tcgetattr(fd_, &settings) != 0) return std::nullopt;
    std::string now = DescribeLine(settings);
    if (now == last_) return std::nullopt;
    last_ = now;
    return now;
}

}  // namespace arvestra::devsim
