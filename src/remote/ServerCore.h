// What every connection of the remote server shares on the network thread: the limits, the
// page's files, the access policy, the table of open connections and the way to the document.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>

#include "remote/AccessPolicy.h"
#include "remote/Connection.h"
#include "remote/ServerLimits.h"

namespace arvestra::remote {

// The page's files, served as they are.
struct PageFiles {
    std::string page;
    std::string script;
    std::string style;
};

// What the network thread reports about pages' sockets. Called on the network thread: each
// must hand its work to the document's thread and return at once.
struct NetworkEvents {
    std::function<void(std::uint64_t id, const std::string& peer, Access access)> opened;
    std::function<void(std::uint64_t id, std::string text)> message;
    std::function<void(std::uint64_t id)> closed;
};

class ServerCore {
  public:
    ServerCore(const ServerLimits& limits, PageFiles files, NetworkEvents events, bool secure)
        : limits(limits),
          files(std::move(files)),
          events(std::move(events)),
          policy(secure),
          secure(secure) {}

    const ServerLimits limits;
    const PageFiles files;
    const NetworkEvents events;
    AccessPolicy policy;
    const bool secure;

    // A number no other connection of this process had.
    static std::uint64_t NewId();

    // True when a new connection may be taken: there is room, or the oldest connection that
    // has not been let in has been ended to make some.
    bool MakeRoom();
    void Register(const std::shared_ptr<Connection>& connection);
    // Forgets a connection, unless its number now belongs to another (a socket it became).
    void Unregister(std::uint64_t id, const Connection* connection);
    std::shared_ptr<Connection> Find(std::uint64_t id) const;
    int Count() const { return static_cast<int>(connections_.size()); }
    void AbortAll();

  private:
    std::map<std::uint64_t, std::weak_ptr<Connection>> connections_;
};

}  // namespace arvestra::remote
