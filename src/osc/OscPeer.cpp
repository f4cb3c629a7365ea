#include <arpa/inet.h>

#include "osc/OscPeer.h"

namespace arvestra::osc {

std::string OscPeer::ToString() const {
    char text[INET6_ADDRSTRLEN] = {};
    ::inet_ntop(v6 ? AF_INET6 : AF_INET, address.data(), text, sizeof text);
    const std::string host = v6 ? "[" + std::string(text) + "]" : std::string(text);
    return host + ":" + std::to_string(port);
}

OscPeer OscPeer::V4(std::uint8_t a, std::uint8_t b, std::uint8_t c, std::uint8_t d,
                    std::uint16_t port) {
    OscPeer peer;
    peer.address[0] = a;
    peer.address[1] = b;
    peer.address[2] = c;
    peer.address[3] = d;
    peer.port = port;
    return peer;
}

}  // namespace arvestra::osc
