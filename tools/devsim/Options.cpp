#include "devsim/Options.h"

#include <algorithm>

#include "devsim/ParseNumber.h"

namespace arvestra::devsim {

namespace {

// "1,3,7" as addresses 1..126, sorted and without duplicates.
std::optional<std::vector<int>> ParseAddressList(std::string_view text) {
    std::vector<int> addresses;
    while (true) {
        const auto comma = text.find(',');
        const auto address = ParseNumber(text.substr(0, comma), 1, 126);
        if (!address) {
            return std::nullopt;
        }
        addresses.push_back(*address);
        if (comma == std::string_view::npos) {
            break;
        }
        text = text.substr(comma + 1);
    }
    std::ranges::sort(addresses);
    addresses.erase(std::unique(addresses.begin(), addresses.end()), addresses.end());
    return addresses;
}

// Applies one option that takes a value; returns an error message or "".
std::string ApplyValue(std::string_view name, std::string_view value, DevsimOptions& options) {
    if (name == "--devices") {
        const auto addresses = ParseAddressList(value);
        if (!addresses) {
            return "--devices wants bus addresses 1 to 126 separated by commas, e.g. 1,3,7";
        }
        options.addresses = *addresses;
    } else if (name == "--link") {
        options.linkPath = std::string(value);
    } else if (name == "--tcp") {
        const auto port = ParseNumber(value, 0, 65535);
        if (!port) {
            return "--tcp wants a port number 0 to 65535 (0 picks a free port)";
        }
        options.tcpPort = *port;
    } else if (name == "--fault") {
        const auto fault = ParseFault(value);
        if (!fault) {
            return "--fault wants ADDR:KIND, ADDR:KIND@N or ADDR:KIND@N-M, e.g. 3:no-reply@5-9 "
                   "(see --help)";
        }
        options.faults.push_back(*fault);
    } else if (name == "--baud") {
        const auto baud = ParseNumber(value, 0, 1'000'000);
        if (!baud || (*baud != 19200 && *baud != 38400)) {
            return "--baud wants 19200 or 38400";
        }
        options.baud = *baud;
    } else if (name == "--log") {
        options.logPath = std::string(value);
    } else if (name == "--slow-ms") {
        const auto ms = ParseNumber(value, 0, 600'000);
        if (!ms) {
            return "--slow-ms wants milliseconds 0 to 600000";
        }
        options.slowReplyDelay = std::chrono::milliseconds(*ms);
    } else if (name == "--idle-reset-ms") {
        const auto ms = ParseNumber(value, 1, 600'000);
        if (!ms) {
            return "--idle-reset-ms wants milliseconds 1 to 600000";
        }
        options.idleReset = std::chrono::milliseconds(*ms);
    } else {
        return "unknown option " + std::string(name) + " (see --help)";
    }
    return {};
}

}  // namespace

ParsedOptions ParseOptions(std::span<const std::string_view> args) {
    ParsedOptions parsed;
    for (std::size_t i = 0; i < args.size(); ++i) {
        std::string_view name = args[i];
        if (name == "--help" || name == "-h") {
            parsed.options.help = true;
            continue;
        }
        std::string_view value;
        if (const auto equals = name.find('='); equals != std::string_view::npos) {
            value = name.substr(equals + 1);
            name = name.substr(0, equals);
        } else if (i + 1 < args.size()) {
            value = args[++i];
        } else {
            parsed.error = std::string(name) + " wants a value (see --help)";
            return parsed;
        }
        parsed.error = ApplyValue(name, value, parsed.options);
        if (!parsed.error.empty()) {
            return parsed;
        }
    }
    if (parsed.options.tcpPort && !parsed.options.linkPath.empty()) {
        parsed.error = "--link makes a link to a pseudo-terminal and cannot be used with --tcp";
    }
    return parsed;
}

std::string HelpText() {
    return R"(Usage: arvestra-devsim [options]

A simulated bus of devices. It opens a pseudo-terminal (raw mode), prints its path as the first
line on standard output, and answers every command of the device command set for each
configured address from its own state: names, nine images per device (new devices hold the
initial values), the running preset, bypass and debug flags, firmware and type numbers, and
status replies whose meters move with a built-in test tone and whose gain reduction follows
the compressor/limiter settings of the edit buffer. Ends cleanly on SIGINT or SIGTERM.

Options:
  --devices LIST       bus addresses that answer, 1 to 126, e.g. 1,3,7 (default 1)
  --link PATH          also make a symbolic link PATH to the pseudo-terminal (an existing
                       symbolic link there is replaced; removed again at exit)
  --tcp PORT           listen on 127.0.0.1:PORT instead of a pseudo-terminal; 0 picks a free
                       port; the first line printed is then tcp:127.0.0.1:PORT
  --fault ADDR:KIND[@N[-M]]
                       inject a fault into the answers of ADDR, from its request N+1 on
                       (default N = 0: from the first request) up to and including its
                       request M (default: for good). May be given many times.
                       KIND is one of:
                         no-reply      stop answering (and stop acting on requests)
                         short-reply   send only the first half of each reply
                         bad-checksum  reply bytes do not sum to 0
                         bad-status    reply status byte 0x5A instead of 0
                         wrong-length  reply length field one too large
                         slow-reply    hold each reply back by --slow-ms
                         wrong-type    identify reports device type 35
                         wrong-maker   identify reports manufacturer 57
                         old-firmware  firmware reports compatibility level 10
  --baud RATE          emulate the wire time of 19200 or 38400 baud (10 bits a byte, request
                       and reply); without it replies go out at once
  --slow-ms MS         delay added by the slow-reply fault (default 300)
  --idle-reset-ms MS   a pause of MS within a frame drops the partial frame (default 50)
  --log FILE           log every request and reply in hex to FILE ("-" for standard error),
                       and on a pseudo-terminal the line settings (baud rate, data bits,
                       parity, stop bits) whenever a client changes them
  -h, --help           show this text

Device state: each device starts with the initial image in all nine images (named "Preset 0"
to "Preset 8"), preset 1 running, no bypass, debug off and the name "Device ADDR". Writes to
images are read back; a recall copies the preset into the edit buffer and the status reports
it; a store copies the edit buffer into the preset; a store of 255 restores the factory images,
preset 1 and no bypass (the name stays). Requests with a wrong size or an argument out of range
are refused with status 1. The device information reply carries the debug flag in byte 92.
)";
}

}  // namespace arvestra::devsim
