#pragma once

#include <chrono>
#include <cstdint>
#include <map>
#include <span>
#include <string>
#include <vector>

#include "devsim/Fault.h"
#include "devsim/FrameParser.h"
#include "devsim/SimDevice.h"

namespace arvestra::devsim {

// What goes back on the line for one request.
struct Outgoing {
    bool answered = false;            // false: the line stays silent
    std::vector<std::uint8_t> bytes;  // the reply frame as sent (possibly damaged by a fault)
    std::chrono::milliseconds extraDelay{0};  // held back this long beyond the wire time
    std::vector<std::string> notes;           // faults applied, for the log
};

// The simulated bus: one device per configured address, and the faults injected into their
// answers. Requests for an address without a device go unanswered, as on a real bus.
class CSimBus {
  public:
    // Devices at `addresses` (1..126; duplicates and others ignored), faults per address, and
    // the delay the slow-reply fault adds.
    CSimBus(std::span<const int> addresses, std::vector<FaultSpec> faults,
            std::chrono::milliseconds slowReplyDelay);

    // Lets the addressed device act on a request and frames its answer, faults applied.
    Outgoing Answer(const Request& request, double seconds);

    // The device at `address`, or nullptr.
    CSimDevice* Device(int address);
    // Requests the device at `address` has received so far.
    int RequestCount(int address) const;
    // The configured addresses in increasing order.
    std::vector<int> Addresses() const;

  private:
    // Faults of `address` that are active for its request number `index` (counted from 0).
    std::vector<FaultKind> ActiveFaults(int address, int index) const;

    std::map<int, CSimDevice> devices_;
    std::map<int, int> requestCounts_;
    std::vector<FaultSpec> faults_;
    std::chrono::milliseconds slowReplyDelay_;
};

}  // namespace arvestra::devsim
