// The senders a show-control server takes messages from: a list of hosts and networks, typed as
// "127.0.0.1,10.0.0.0/24,::1,fd00::/8". An empty list lets every sender in (the server still
// listens only on the one address it is given).
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "osc/OscPeer.h"

namespace arvestra::osc {

class OscAllowList {
  public:
    // One host (a network of the address's full length) or network.
    struct Network {
        bool v6 = false;
        std::array<std::uint8_t, 16> address{};
        int prefix = 32;
    };

    OscAllowList() = default;

    // The list, or empty with the reason in `error` ("10.0.0.0/33: ...").
    static std::optional<OscAllowList> Parse(std::string_view text, std::string* error = nullptr);

    // True when the list is empty or a network in it holds the peer's address. An IPv4 address
    // mapped into IPv6 (::ffff:a.b.c.d) counts as the IPv4 address.
    bool Allows(const OscPeer& peer) const;
    bool Empty() const { return networks_.empty(); }
    // The list as Parse reads it, networks in their canonical form.
    std::string ToString() const;

  private:
    std::vector<Network> networks_;
};

}  // namespace arvestra::osc
