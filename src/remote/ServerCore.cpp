#include "remote/ServerCore.h"

#include <atomic>

namespace arvestra::remote {

std::uint64_t ServerCore::NewId() {
    static std::atomic<std::uint64_t> next{1};
    return next++;
}

bool ServerCore::MakeRoom() {
    for (auto it = connections_.begin(); it != connections_.end();) {
        it = it->second.expired() ? connections_.erase(it) : std::next(it);
    }
    if (static_cast<int>(connections_.size()) < limits.maxConnections) return true;
    std::shared_ptr<Connection> oldest;
    for (const auto& [id, weak] : connections_) {
        std::shared_ptr<Connection> connection = weak.lock();
        if (!connection || connection->Trusted()) continue;
        if (!oldest || connection->Since() < oldest->Since()) oldest = connection;
    }
    if (!oldest) return false;
    connections_.erase(oldest->Id());
    oldest->Abort();
    return true;
}

void ServerCore::Register(const std::shared_ptr<Connection>& connection) {
    connections_[connection->Id()] = connection;
}

void ServerCore::Unregister(std::uint64_t id, const Connection* connection) {
    const auto found = connections_.find(id);
    if (found == connections_.end()) return;
    const std::shared_ptr<Connection> held = found->second.lock();
    if (!held || held.get() == connection) connections_.erase(found);
}

std::shared_ptr<Connection> ServerCore::Find(std::uint64_t id) const {
    const auto found = connections_.find(id);
    return found == connections_.end() ? nullptr : found->second.lock();
}

void ServerCore::AbortAll() {
    const auto connections = connections_;
    connections_.clear();
    for (const auto& [id, weak] : connections) {
        if (std::shared_ptr<Connection> connection = weak.lock()) connection->Abort();
    }
}

}  // namespace arvestra::remote
