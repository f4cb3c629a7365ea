// Applies OSC messages to the document, on the thread that owns it: each message is read as a
// route of the address space (OscRoute.h) and its arguments, applied through the document's
// operations to the device it names (or every device present), and answered where it asks for
// an answer. A message that cannot be applied (an unknown address, a wrong argument type, no
// such device) changes nothing and is answered with /arvestra/error; a value out of range is
// limited, applied, and answered with /arvestra/error saying so.
//
// A device other than the one being edited is selected for the message and the earlier
// selection restored afterwards, so an editor's pages stay on their device.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <vector>

#include "osc/OscFeedback.h"
#include "osc/OscInbox.h"
#include "osc/OscMessage.h"
#include "osc/OscRoute.h"

namespace arvestra {
class IRemoteControl;
}

namespace arvestra::osc {

class OscDispatcher {
  public:
    // Messages one datagram (a bundle) may carry; the rest are refused.
    static constexpr std::size_t kMaxMessagesPerDatagram = 64;

    OscDispatcher(IRemoteControl& doc, OscFeedback& feedback) : doc_(doc), feedback_(feedback) {}

    // Says whether the document is in an operation of its own (a dialog, a long exchange);
    // messages are then answered with an error and not applied.
    void SetBusyCheck(std::function<bool()> busy) { busy_ = std::move(busy); }

    // Applies every message of a datagram; the replies to send.
    std::vector<OscOutgoing> HandleDatagram(const OscDatagram& datagram,
                                            OscFeedback::Clock::time_point now);
    // Applies one message from `from`; the replies to send.
    std::vector<OscOutgoing> Handle(const OscMessage& message, const OscPeer& from,
                                    OscFeedback::Clock::time_point now);

    // Messages that changed the document since the last call (the editor then refreshes).
    bool TakeChanged();
    std::uint64_t Errors() const { return errors_; }

  private:
    // The replies of one message, and whether it changed anything.
    struct Outcome {
        std::vector<OscMessage> replies;
        bool changed = false;
    };
    Outcome Apply(const OscMessage& message, const OscRoute& route, const OscPeer& from,
                  OscFeedback::Clock::time_point now);
    Outcome Subscription(const OscMessage& message, const OscRoute& route, const OscPeer& from,
                         OscFeedback::Clock::time_point now);
    Outcome ApplyToDevice(const OscMessage& message, const OscRoute& route, int address);
    void Recall(int preset, Outcome& outcome, const std::string& path);
    void Store(int preset, Outcome& outcome, const std::string& path);
    void SetBypass(const OscRoute& route, const OscMessage& message, Outcome& outcome);
    void SetParam(const OscRoute& route, const OscMessage& message, Outcome& outcome);
    void StepParam(const OscRoute& route, const OscMessage& message, Outcome& outcome);
    // Runs `apply` with `address` selected, then selects the earlier device again.
    void OnDevice(int address, const std::function<void()>& apply);

    IRemoteControl& doc_;
    OscFeedback& feedback_;
    std::function<bool()> busy_;
    bool changed_ = false;
    std::uint64_t errors_ = 0;
};

}  // namespace arvestra::osc
