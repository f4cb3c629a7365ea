// Feeds arbitrary datagrams (messages and bundles) to the show-control dispatcher, applied to
// an offline document with devices at addresses 1 and 3, and runs the subscribers' feedback
// after each one. Every reply must be one the wire format can carry.
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "app/AppState.h"
#include "app/ErrorReporter.h"
#include "app/SystemClock.h"
#include "document/CQ7310Doc.h"
#include "osc/OscDispatcher.h"
#include "osc/OscPacket.h"
#include "support/ScriptedUi.h"

namespace {

using namespace arvestra;

struct Bench {
    AppState app;
    testing::ScriptedUi ui;
    SystemClock clock;
    ErrorReporter reporter{app, ui};
    CQ7310Doc doc{reporter, clock};
    osc::OscFeedback feedback;
    osc::OscDispatcher dispatcher{doc, feedback};

    Bench() {
        doc.AddDevice(1);
        doc.AddDevice(3);
        doc.SetEditingStarted(true);
        doc.SelectDevice(1);
    }
};

void CheckSendable(const std::vector<osc::OscOutgoing>& out) {
    for (const osc::OscOutgoing& o : out) {
        if (osc::EncodeOscMessage(o.message).empty()) std::abort();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static Bench bench;
    static auto now = std::chrono::steady_clock::time_point{};
    now += std::chrono::seconds(1);  // every subscriber is due after each datagram
    const osc::OscPeer from = osc::OscPeer::V4(127, 0, 0, 1, 9000);
    CheckSendable(bench.dispatcher.HandleDatagram(
        osc::OscDatagram{from, std::vector<std::uint8_t>(data, data + size)}, now));
    CheckSendable(bench.feedback.Tick(bench.doc, now));
    if (bench.doc.Devices().CurrentSlot() == kNoDevice || bench.doc.Devices().CurrentAddress() != 1)
        std::abort();
    return 0;
}
