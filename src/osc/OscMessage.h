// One OSC message as the show-control server handles it: the address path and the arguments,
// each kept with its OSC type tag, and the peer it came from or goes to.
#pragma once

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "osc/OscPeer.h"

namespace arvestra::osc {

// A number rounded toward zero, limited to what a long long holds (NaN: 0), so that a float
// from the network never converts with undefined behaviour.
inline long long TruncateToWhole(double number) {
    constexpr double kLimit = 9.2e18;
    if (!(number == number)) return 0;
    return static_cast<long long>(std::clamp(number, -kLimit, kLimit));
}

// One argument. `type` is the OSC type tag ('i', 'f', 's', ...); numbers of every numeric type
// are kept both as `number` and, rounded toward zero, as `whole`; strings and symbols in `text`.
struct OscArg {
    char type = 'i';
    long long whole = 0;
    double number = 0.0;
    std::string text;

    static OscArg Int(long long value) {
        return OscArg{'i', value, static_cast<double>(value), {}};
    }
    static OscArg Float(double value) { return OscArg{'f', TruncateToWhole(value), value, {}}; }
    static OscArg String(std::string value) { return OscArg{'s', 0, 0.0, std::move(value)}; }
    bool operator==(const OscArg&) const = default;
};

struct OscMessage {
    std::string path;
    std::vector<OscArg> args;
    bool operator==(const OscMessage&) const = default;
};

// A message and where it goes.
struct OscOutgoing {
    OscPeer to;
    OscMessage message;
};

}  // namespace arvestra::osc
