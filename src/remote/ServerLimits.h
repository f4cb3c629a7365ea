// What one stranger on the network may cost the remote server, enforced before any work is
// done for a request: the defaults suit a venue's Wi-Fi; tests shrink them to stay short.
#pragma once

#include <chrono>
#include <cstddef>

namespace arvestra::remote {

struct ServerLimits {
    // Open connections at most, pages and requests together; at the limit a new connection
    // takes the place of the oldest one that has not yet sent a whole request.
    int maxConnections = 64;
    // A request's start line and headers together.
    std::size_t maxHeaderBytes = 16 * 1024;
    // From the connection (and its encryption handshake) to a whole request header, and
    // between two requests on one connection.
    std::chrono::milliseconds headerTimeout{5000};
    std::chrono::milliseconds idleTimeout{15000};
    // A page's socket is pinged when silent for half this long and dropped after it.
    std::chrono::milliseconds pingTimeout{20000};
    // Bytes waiting to go to one page; a page that stops reading is dropped past this.
    std::size_t maxQueuedBytes = 1024 * 1024;
    // Longest message a page may send.
    std::size_t maxMessageBytes = 4096;
    // Messages of one page handed to the document and not yet applied; reading pauses there.
    int maxMessagesInFlight = 32;
};

}  // namespace arvestra::remote
