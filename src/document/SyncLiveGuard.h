// Sets syncLive for the length of a scope and puts the old value back on every way out, so that
// an operation can keep the document's own writes of what a device reported from being echoed
// back to it (off), or make sure its edits are sent (on).
#pragma once

#include "document/BusSession.h"

namespace arvestra {

class SyncLiveGuard {
  public:
    SyncLiveGuard(BusSession& bus, bool live) : bus_(bus), saved_(bus.IsSyncLive()) {
        bus.SetSyncLive(live);
    }
    ~SyncLiveGuard() { bus_.SetSyncLive(saved_); }
    SyncLiveGuard(const SyncLiveGuard&) = delete;
    SyncLiveGuard& operator=(const SyncLiveGuard&) = delete;

  private:
    BusSession& bus_;
    bool saved_;
};

}  // namespace arvestra
