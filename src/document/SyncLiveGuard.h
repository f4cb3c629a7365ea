// Sets syncLive for the length of a scope and puts the old value back on every way out, so that
// an operation can keep the document's own writes of what a device reported from being echoed
// back to it (off), or make sure its edits are sent (on).
#pragma once

#include <atomic>

namespace arvestra {

class SyncLiveGuard {
  public:
    SyncLiveGuard(std::atomic<int>& live, int value) : live_(live), saved_(live.exchange(value)) {}
    ~SyncLiveGuard() { live_.store(saved_); }
    SyncLiveGuard(const SyncLiveGuard&) = delete;
    SyncLiveGuard& operator=(const SyncLiveGuard&) = delete;

  private:
    std::atomic<int>& live_;
    int saved_;
};

}  // namespace arvestra
