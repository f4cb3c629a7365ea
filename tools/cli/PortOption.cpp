#include "cli/PortOption.h"

#include <cctype>
#include <charconv>

namespace arvestra::cli {

namespace {

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
    if (text.size() < prefix.size()) return false;
    for (std::size_t i = 0; i < prefix.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(text[i])) != prefix[i]) return false;
    }
    return true;
}

bool AllDigits(std::string_view text) {
    if (text.empty()) return false;
    for (const char c : text) {
        if (c < '0' || c > '9') return false;
    }
    return true;
}

PortParse Error(std::string message) {
    PortParse parse;
    parse.error = std::move(message);
    return parse;
}

// "tcp:HOST:PORT" or "rfc2217:HOST:PORT"; `scheme` is the prefix with its colon.
PortParse ParseNetwork(std::string_view text, std::string_view scheme) {
    const std::string_view rest = text.substr(scheme.size());
    const std::size_t colon = rest.rfind(':');
    if (colon == std::string_view::npos || colon == 0) {
        return Error("a network port is written " + std::string(scheme) + "HOST:PORT, e.g. " +
                     std::string(scheme) + "127.0.0.1:4001");
    }
    const std::string_view portText = rest.substr(colon + 1);
    int port = 0;
    const auto [end, fault] =
        std::from_chars(portText.data(), portText.data() + portText.size(), port);
    if (!AllDigits(portText) || fault != std::errc{} || end != portText.data() + portText.size() ||
        port < 1 || port > 65535) {
        return Error("the TCP port number in " + std::string(text) + " must be 1 to 65535");
    }
    PortParse parse;
    parse.spec = PortSpec{kPathPortNumber, std::string(text)};
    return parse;
}

}  // namespace

PortParse ParsePortOption(std::string_view text) {
    if (text.empty())
        return Error(
            "the port is empty; give COM1 to COM4, a device path, "
            "tcp:HOST:PORT or rfc2217:HOST:PORT (a server that sets the baud rate)");
    if (StartsWithNoCase(text, "tcp:")) return ParseNetwork(text, "tcp:");
    if (StartsWithNoCase(text, "rfc2217:")) return ParseNetwork(text, "rfc2217:");
    if (StartsWithNoCase(text, "com") && AllDigits(text.substr(3))) {
        const std::string_view digits = text.substr(3);
        const int number = digits.size() == 1 ? digits[0] - '0' : 0;
        if (number < 1 || number > kHighestComPort) {
            return Error(std::string(text) +
                         " is not one of COM1 to COM4; give other ports as a device path");
        }
        PortParse parse;
        parse.spec = PortSpec{number, std::string()};
        return parse;
    }
    PortParse parse;
    parse.spec = PortSpec{kPathPortNumber, std::string(text)};
    return parse;
}

}  // namespace arvestra::cli
