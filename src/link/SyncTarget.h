// What the synchronisation worker needs from the document it serves. The worker lives in the
// link layer and knows no document: it takes the dirty range, copies the bytes it sends and
// the inputs of the status decode, and hands back the decoded meters, all through this
// interface. Every call is made on the worker thread (or on the user-interface thread while
// the worker is paused); the implementation guards the edit buffer with its dirty lock.
#pragma once

#include <array>
#include <cstdint>

#include "link/DeviceCommands.h"

namespace arvestra {

// A dirty byte range of the edit buffer and a copy of its bytes, taken in one step.
struct DirtyChunk {
    int first = 0;  // image offset of bytes[0]
    int count = 0;  // 0 when the range was empty
    std::array<std::uint8_t, kMaxWriteImageData> bytes{};
};

// The parts of the edit buffer and the chains that the status decode reads.
struct StatusInputs {
    std::array<ChainMembership, 2> chains{};
    std::uint8_t outputLevelA = 0;  // image byte 191
    std::uint8_t outputLevelB = 0;  // image byte 193
};

class ISyncTarget {
  public:
    virtual ~ISyncTarget() = default;

    // True while edits of the edit buffer are to be sent to the device.
    virtual bool IsSyncLive() const = 0;

    // True while the worker is to poll the device status.
    virtual bool IsStatusPolling() const = 0;

    // Under the dirty lock: copies the bytes of the dirty range and resets it to empty. The
    // result has count 0 when the range was empty.
    virtual DirtyChunk TakeDirtyRange() = 0;

    // Under the dirty lock: the chain memberships and the two output-level bytes.
    virtual StatusInputs ReadStatusInputs() = 0;

    // Stores a decoded status (meters, indicator bits, the preset the device runs).
    virtual void StoreMeters(const MeterRecord& meters) = 0;

    // Asks the view to show the new meters (posts the refresh command).
    virtual void PostMeterRefresh() = 0;
};

}  // namespace arvestra
