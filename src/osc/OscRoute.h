// The show-control address space: what an OSC address path asks for.
//
//   /arvestra/subscribe [f rate [i port]] feedback to the sender, `rate` times a second, at the
//                                         port it sent from or the port given (same host)
//   /arvestra/unsubscribe [i port]
//   /arvestra/<A>/preset/recall i N       A: a bus address 1..126, or "all" (every device)
//   /arvestra/<A>/preset/store i N
//   /arvestra/<A>/preset/get
//   /arvestra/<A>/bypass/<ch> i 0|1       ch: 1 or 2
//   /arvestra/<A>/bypass/<ch>/get
//   /arvestra/<A>/<param> f|i|s           param: a name of "arvestra-cli params"
//   /arvestra/<A>/<param>/inc f|i
//   /arvestra/<A>/<param>/get
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "model/ParamName.h"

namespace arvestra::osc {

enum class OscVerb {
    Subscribe,
    Unsubscribe,
    Recall,
    Store,
    PresetGet,
    Bypass,
    BypassGet,
    Set,
    Inc,
    Get,
};

// The address that stands for every device present.
inline constexpr int kAllDevices = 0;

struct OscRoute {
    OscVerb verb = OscVerb::Get;
    int address = kAllDevices;  // 1..126 or kAllDevices
    ParamRef param;             // Set, Inc, Get
    int channel = 0;            // Bypass, BypassGet: kChannelA or kChannelB

    bool operator==(const OscRoute&) const = default;
};

struct OscRouteParse {
    std::optional<OscRoute> route;
    std::string error;
};

// Reads an address path; an error says what in it is unknown.
OscRouteParse ParseOscPath(std::string_view path);

// "/arvestra/3" or "/arvestra/all": the start of every path for a device.
std::string DevicePrefix(int address);

}  // namespace arvestra::osc
