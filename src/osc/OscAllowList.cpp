#include "osc/OscAllowList.h"

#include <arpa/inet.h>

#include <algorithm>
#include <charconv>

namespace arvestra::osc {

namespace {

std::string_view Trim(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
    return text;
}

std::optional<OscAllowList::Network> ParseNetwork(std::string_view item, std::string& error) {
    const std::size_t slash = item.find('/');
    const std::string host(item.substr(0, slash));
    OscAllowList::Network network;
    if (::inet_pton(AF_INET, host.c_str(), network.address.data()) == 1) {
        network.prefix = 32;
    } else if (::inet_pton(AF_INET6, host.c_str(), network.address.data()) == 1) {
        network.v6 = true;
        network.prefix = 128;
    } else {
        error = "\"" + host + "\" is not an IPv4 or IPv6 address";
        return std::nullopt;
    }
    if (slash == std::string_view::npos) return network;
    const std::string_view bits = item.substr(slash + 1);
    int prefix = -1;
    const auto [end, fault] = std::from_chars(bits.data(), bits.data() + bits.size(), prefix);
    if (fault != std::errc{} || end != bits.data() + bits.size() || prefix < 0 ||
        prefix > network.prefix) {
        error = "\"" + std::string(item) + "\": the prefix length must be 0 to " +
                std::to_string(network.prefix);
        return std::nullopt;
    }
    network.prefix = prefix;
    return network;
}

bool PrefixMatches(const std::uint8_t* a, const std::uint8_t* b, int bits) {
    const int whole = bits / 8;
    if (!std::equal(a, a + whole, b)) return false;
    const int rest = bits % 8;
    if (rest == 0) return true;
    const auto mask = static_cast<std::uint8_t>(0xFF << (8 - rest));
    return (a[whole] & mask) == (b[whole] & mask);
}

// The peer's address as IPv4 when it is an IPv4 address mapped into IPv6.
OscPeer Unmapped(const OscPeer& peer) {
    static constexpr std::uint8_t kMapped[12] = {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0xFF, 0xFF};
    if (!peer.v6 || !std::equal(kMapped, kMapped + 12, peer.address.begin())) return peer;
    OscPeer v4 = OscPeer::V4(peer.address[12], peer.address[13], peer.address[14], peer.address[15],
                             peer.port);
    return v4;
}

}  // namespace

std::optional<OscAllowList> OscAllowList::Parse(std::string_view text, std::string* error) {
    OscAllowList list;
    std::string reason;
    while (!Trim(text).empty()) {
        const std::size_t comma = text.find(',');
        const std::string_view item = Trim(text.substr(0, comma));
        text = comma == std::string_view::npos ? std::string_view{} : text.substr(comma + 1);
        if (item.empty()) continue;
        std::optional<Network> network = ParseNetwork(item, reason);
        if (!network) {
            if (error) *error = reason;
            return std::nullopt;
        }
        list.networks_.push_back(*network);
    }
    return list;
}

bool OscAllowList::Allows(const OscPeer& peer) const {
    if (networks_.empty()) return true;
    const OscPeer sender = Unmapped(peer);
    return std::any_of(networks_.begin(), networks_.end(), [&](const Network& network) {
        return network.v6 == sender.v6 &&
               PrefixMatches(network.address.data(), sender.address.data(), network.prefix);
    });
}

std::string OscAllowList::ToString() const {
    std::string text;
    for (const Network& network : networks_) {
        char host[INET6_ADDRSTRLEN] = {};
        ::inet_ntop(network.v6 ? AF_INET6 : AF_INET, network.address.data(), host, sizeof host);
        if (!text.empty()) text += ',';
        text += host;
        if (network.prefix != (network.v6 ? 128 : 32)) text += '/' + std::to_string(network.prefix);
    }
    return text;
}

}  // namespace arvestra::osc
