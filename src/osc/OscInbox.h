// The queue between the thread that receives datagrams and the thread that owns the document:
// the receiver only pushes, the owner takes. It holds at most `capacity` datagrams; the rest are
// dropped and counted, so a flood costs a bounded amount of memory and of the owner's time.
#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <vector>

#include "osc/OscPeer.h"

namespace arvestra::osc {

struct OscDatagram {
    OscPeer from;
    std::vector<std::uint8_t> bytes;
};

class OscInbox {
  public:
    static constexpr std::size_t kDefaultCapacity = 256;

    explicit OscInbox(std::size_t capacity = kDefaultCapacity) : capacity_(capacity) {}

    // Called (on the pushing thread) when a datagram arrives in an empty queue, so the owner
    // wakes once per batch rather than once per datagram.
    void SetWake(std::function<void()> wake);

    // Queues a datagram; false (and counted) when the queue is full.
    bool Push(OscDatagram datagram);
    // Takes everything queued, oldest first.
    std::vector<OscDatagram> TakeAll();

    std::uint64_t Dropped() const;
    std::size_t Size() const;
    std::size_t Capacity() const { return capacity_; }

  private:
    const std::size_t capacity_;
    mutable std::mutex lock_;
    std::deque<OscDatagram> queue_;
    std::uint64_t dropped_ = 0;
    std::function<void()> wake_;
};

}  // namespace arvestra::osc
