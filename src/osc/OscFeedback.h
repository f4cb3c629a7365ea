// Feedback to subscribers: each peer that sent /arvestra/subscribe receives, at its own rate,
// the current preset and bypass of every device present (once at first, then as they change),
// every parameter of a device's edit buffer that changed since its last feedback, whoever
// changed it (a page, the remote, OSC, a device read back), and the meters while online.
//
// Changes are found by comparing, at the feedback rate, what each subscriber was last told
// with what the document holds: a value changed and changed back between two feedbacks is
// not sent.
#pragma once

#include <array>
#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

#include "model/PresetImage.h"
#include "osc/OscMessage.h"

namespace arvestra {
class CQ7310Doc;
}

namespace arvestra::osc {

class OscFeedback {
  public:
    using Clock = std::chrono::steady_clock;
    static constexpr std::size_t kMaxSubscribers = 16;
    static constexpr double kDefaultRateHz = 10.0;
    static constexpr double kLowestRateHz = 0.5;
    static constexpr double kHighestRateHz = 50.0;

    // Adds a subscriber, or changes the rate of one already there; the rate is limited to
    // kLowestRateHz..kHighestRateHz. Returns the reason when it cannot (the list is full).
    std::string Subscribe(const OscPeer& peer, double rateHz, Clock::time_point now);
    // Ends a subscription; false when the peer had none.
    bool Unsubscribe(const OscPeer& peer);
    std::size_t Count() const { return subscribers_.size(); }

    // The feedback due at `now`, for every subscriber whose time has come.
    std::vector<OscOutgoing> Tick(const CQ7310Doc& doc, Clock::time_point now);

  private:
    // What a subscriber was last told about one device.
    struct DeviceState {
        int address = 0;
        int preset = 0;  // 0: not yet told
        int bypass[2] = {-1, -1};
        std::array<std::uint8_t, kPresetImageSize> image{};
    };
    struct Subscriber {
        OscPeer peer;
        Clock::duration interval{};
        Clock::time_point due{};
        std::vector<DeviceState> devices;
    };

    static std::vector<DeviceState> CurrentState(const CQ7310Doc& doc);
    static void Compare(const DeviceState* before, const DeviceState& now,
                        std::vector<OscMessage>& out);
    static void AddMeters(const CQ7310Doc& doc, std::vector<OscMessage>& out);

    std::vector<Subscriber> subscribers_;
};

}  // namespace arvestra::osc
