#include "osc/OscInbox.h"

namespace arvestra::osc {

void OscInbox::SetWake(std::function<void()> wake) {
    const std::lock_guard<std::mutex> guard(lock_);
    wake_ = std::move(wake);
}

bool OscInbox::Push(OscDatagram datagram) {
    std::function<void()> wake;
    {
        const std::lock_guard<std::mutex> guard(lock_);
        if (queue_.size() >= capacity_) {
            ++dropped_;
            return false;
        }
        if (queue_.empty()) wake = wake_;
        queue_.push_back(std::move(datagram));
    }
    if (wake) wake();
    return true;
}

std::vector<OscDatagram> OscInbox::TakeAll() {
    const std::lock_guard<std::mutex> guard(lock_);
    std::vector<OscDatagram> taken(std::make_move_iterator(queue_.begin()),
                                   std::make_move_iterator(queue_.end()));
    queue_.clear();
    return taken;
}

std::uint64_t OscInbox::Dropped() const {
    const std::lock_guard<std::mutex> guard(lock_);
    return dropped_;
}

std::size_t OscInbox::Size() const {
    const std::lock_guard<std::mutex> guard(lock_);
    return queue_.size();
}

}  // namespace arvestra::osc
