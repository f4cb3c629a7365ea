// Feedback to subscribers: each peer that sent /arvestra/subscribe receives, at its own rate,
// the current preset and bypass of every device present (once at first, then as they change),
// every parameter of a device's edit buffer that changed since its last feedback, whoever
// changed it (a page, the remote, OSC, a device read back), and the meters while online.
//
// The feedback listens to the document's edit buffer: a device whose edit buffer was announced
// changed (or replaced whole, by a recall or a read) since a subscriber's last feedback has its
// parameters compared with what that subscriber was last told, so a value changed and changed
// back between two feedbacks is not sent, and a device nobody edited costs nothing.
#pragma once

#include <array>
#include <chrono>
#include <cstdint>
#include <set>
#include <string>
#include <vector>

#include "document/EditEvent.h"
#include "model/PresetImage.h"
#include "osc/OscMessage.h"

namespace arvestra {
class CLocationImage;
class IRemoteControl;
}  // namespace arvestra

namespace arvestra::osc {

class OscFeedback {
  public:
    using Clock = std::chrono::steady_clock;
    static constexpr std::size_t kMaxSubscribers = 16;
    static constexpr double kDefaultRateHz = 10.0;
    static constexpr double kLowestRateHz = 0.5;
    static constexpr double kHighestRateHz = 50.0;

    OscFeedback() = default;
    // Stops listening to the document it followed.
    ~OscFeedback();
    OscFeedback(const OscFeedback&) = delete;
    OscFeedback& operator=(const OscFeedback&) = delete;

    // Adds a subscriber, or changes the rate of one already there; the rate is limited to
    // kLowestRateHz..kHighestRateHz. Returns the reason when it cannot (the list is full).
    std::string Subscribe(const OscPeer& peer, double rateHz, Clock::time_point now);
    // Ends a subscription; false when the peer had none.
    bool Unsubscribe(const OscPeer& peer);
    std::size_t Count() const { return subscribers_.size(); }
    // Ends every subscription and stops listening.
    void Clear();

    // The feedback due at `now`, for every subscriber whose time has come. The first call starts
    // listening to the document's edits.
    std::vector<OscOutgoing> Tick(IRemoteControl& doc, Clock::time_point now);

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
        // Devices whose edit buffer changed since this subscriber's last feedback.
        std::set<int> edited;
        bool everyDeviceEdited = false;
    };

    void Follow(IRemoteControl& doc);
    void Heard(const EditEvent& event);

    static std::vector<DeviceState> CurrentState(const CLocationImage& location);
    static void Compare(const DeviceState* before, const DeviceState& now, bool edited,
                        std::vector<OscMessage>& out);
    static void AddMeters(const IRemoteControl& doc, std::vector<OscMessage>& out);

    std::vector<Subscriber> subscribers_;
    IRemoteControl* followed_ = nullptr;
    EditListenerId listener_ = 0;
};

}  // namespace arvestra::osc
