#include "osc/OscRoute.h"

#include <charconv>
#include <vector>

#include "model/PresetImage.h"

namespace arvestra::osc {

namespace {

constexpr std::string_view kRoot = "arvestra";
constexpr int kLowestAddress = 1;
constexpr int kHighestAddress = 126;

std::vector<std::string_view> Segments(std::string_view path) {
    std::vector<std::string_view> parts;
    path.remove_prefix(1);  // the leading '/'
    while (true) {
        const std::size_t slash = path.find('/');
        parts.push_back(path.substr(0, slash));
        if (slash == std::string_view::npos) break;
        path.remove_prefix(slash + 1);
    }
    return parts;
}

OscRouteParse Unknown(std::string text) {
    return OscRouteParse{std::nullopt, std::move(text)};
}

OscRouteParse Found(const OscRoute& route) {
    return OscRouteParse{route, {}};
}

OscRouteParse Found(OscVerb verb) {
    OscRoute route;
    route.verb = verb;
    return Found(route);
}

std::optional<int> DeviceAddress(std::string_view text) {
    if (text == "all") return kAllDevices;
    int address = 0;
    const auto [end, fault] = std::from_chars(text.data(), text.data() + text.size(), address);
    if (fault != std::errc{} || end != text.data() + text.size() || text.front() == '0' ||
        address < kLowestAddress || address > kHighestAddress) {
        return std::nullopt;
    }
    return address;
}

OscRouteParse PresetRoute(OscRoute route, const std::vector<std::string_view>& parts) {
    if (parts.size() == 4) {
        if (parts[3] == "recall") route.verb = OscVerb::Recall;
        if (parts[3] == "store") route.verb = OscVerb::Store;
        if (parts[3] == "get") route.verb = OscVerb::PresetGet;
        if (parts[3] == "recall" || parts[3] == "store" || parts[3] == "get") return Found(route);
    }
    return Unknown("a preset address ends in /recall, /store or /get");
}

OscRouteParse BypassRoute(OscRoute route, const std::vector<std::string_view>& parts) {
    if (parts.size() < 4 || parts.size() > 5 || (parts[3] != "1" && parts[3] != "2") ||
        (parts.size() == 5 && parts[4] != "get")) {
        return Unknown("a bypass address is /bypass/1 or /bypass/2, optionally with /get");
    }
    route.channel = parts[3] == "1" ? kChannelA : kChannelB;
    route.verb = parts.size() == 5 ? OscVerb::BypassGet : OscVerb::Bypass;
    return Found(route);
}

OscRouteParse ParamRoute(OscRoute route, const std::vector<std::string_view>& parts) {
    const ParamNameParse name = ParseParamName(parts[2]);
    if (!name.ref) {
        // The name parser points at the tool's help; a controller's user needs the list.
        std::string error = name.error;
        const std::string help = " (see --help)";
        if (error.ends_with(help)) error.replace(error.size() - help.size(), help.size(), "");
        return Unknown(error + " (\"arvestra-cli params\" lists the names)");
    }
    route.param = *name.ref;
    if (parts.size() == 3) {
        route.verb = OscVerb::Set;
        return Found(route);
    }
    if (parts.size() == 4 && parts[3] == "inc") {
        route.verb = OscVerb::Inc;
        return Found(route);
    }
    if (parts.size() == 4 && parts[3] == "get") {
        route.verb = OscVerb::Get;
        return Found(route);
    }
    return Unknown("a parameter address ends in the name, /inc or /get");
}

}  // namespace

OscRouteParse ParseOscPath(std::string_view path) {
    if (path.empty() || path.front() != '/') return Unknown("an OSC address starts with '/'");
    const std::vector<std::string_view> parts = Segments(path);
    if (parts[0] != kRoot) return Unknown("addresses start with /arvestra/");
    if (parts.size() == 2 && parts[1] == "subscribe") return Found(OscVerb::Subscribe);
    if (parts.size() == 2 && parts[1] == "unsubscribe") return Found(OscVerb::Unsubscribe);
    if (parts.size() < 3) return Unknown("expected /arvestra/<address>/...");
    const std::optional<int> address = DeviceAddress(parts[1]);
    if (!address) return Unknown("the device is a bus address 1 to 126, or \"all\"");
    OscRoute route;
    route.address = *address;
    if (parts[2] == "preset") return PresetRoute(route, parts);
    if (parts[2] == "bypass") return BypassRoute(route, parts);
    return ParamRoute(route, parts);
}

std::string DevicePrefix(int address) {
    return "/arvestra/" + (address == kAllDevices ? std::string("all") : std::to_string(address));
}

}  // namespace arvestra::osc
