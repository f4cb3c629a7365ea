// A document over a fake port, with a scripted user and a fake clock, and a small device that
// answers the fake port's frames from its own state (separate from the host's frame code, so
// a fault in one is not hidden by the same fault in the other).
#pragma once

#include <array>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "app/AppState.h"
#include "app/ErrorReporter.h"
#include "document/CQ7310Doc.h"
#include "support/FakeClock.h"
#include "support/FakeSerialPort.h"
#include "support/ReplyFrame.h"
#include "support/ScriptedUi.h"

namespace arvestra::testing {

using Bytes = std::vector<std::uint8_t>;

// A reply frame as the device sends it.
inline Bytes DeviceReply(const Bytes& payload, std::uint8_t status = 0) {
    return MakeReply(payload, status);
}

// One request as the device understood it.
struct Request {
    int address = 0;
    int command = 0;
    Bytes payload;
};

// Undoes the byte stuffing and splits a request frame; false for a malformed frame.
inline bool ParseRequest(const Bytes& wire, Request& out) {
    if (wire.empty() || wire[0] != 0xFB) return false;
    Bytes frame{wire[0]};
    for (std::size_t i = 1; i < wire.size(); ++i) {
        frame.push_back(wire[i]);
        if (wire[i] == 0xFB && i + 1 < wire.size() && wire[i + 1] == 0xFB) ++i;
    }
    if (frame.size() < 6) return false;
    const int length = frame[2] * 256 + frame[3];
    if (static_cast<int>(frame.size()) != 4 + length) return false;
    std::uint8_t sum = 0;
    for (std::size_t i = 2; i < frame.size(); ++i) sum = static_cast<std::uint8_t>(sum + frame[i]);
    if (sum != 0) return false;
    out.address = frame[1];
    out.command = frame[4];
    out.payload.assign(frame.begin() + 5, frame.end() - 1);
    return true;
}

// The state of one simulated device and the requests it received. Thread-safe.
class FakeDevice {
  public:
    FakeDevice() {
        for (auto& image : images) image.fill(0);
    }

    // Answers one written frame (called by the fake port under its own lock).
    Bytes Answer(const Bytes& wire) {
        std::function<void(const Request&)> hook;
        Request request;
        Bytes reply;
        {
            std::lock_guard<std::mutex> lock(mutex);
            if (!ParseRequest(wire, request)) return {};
            requests.push_back(request);
            hook = onRequest;
            reply = AnswerLocked(request);
        }
        if (hook) hook(request);
        return reply;
    }

    // Every request received with this command.
    std::vector<Request> RequestsOf(int command) {
        std::lock_guard<std::mutex> lock(mutex);
        std::vector<Request> out;
        for (const Request& r : requests) {
            if (r.command == command) out.push_back(r);
        }
        return out;
    }
    std::vector<Request> Requests() {
        std::lock_guard<std::mutex> lock(mutex);
        return requests;
    }
    void ClearRequests() {
        std::lock_guard<std::mutex> lock(mutex);
        requests.clear();
    }

    std::mutex mutex;
    std::array<std::array<std::uint8_t, 256>, 9> images{};
    std::string name = "Sim Device";
    int preset = 1;
    int bypassBits = 0;
    int midiDebug = 0;
    std::array<std::uint8_t, 16> status{};
    // Commands the device leaves unanswered (silence gives a short read).
    std::vector<int> silentCommands;
    std::vector<Request> requests;
    // Runs after each request, outside the device's lock (a test may block here).
    std::function<void(const Request&)> onRequest;

  private:
    Bytes AnswerLocked(const Request& r) {
        for (int c : silentCommands) {
            if (c == r.command) return {};
        }
        const Bytes& p = r.payload;
        switch (r.command) {
            case CMD_READ_DEVICE_INFO: {
                Bytes info(95, 0);
                for (std::size_t i = 0; i < name.size() && i < 32; ++i) {
                    info[i] = static_cast<std::uint8_t>(name[i]);
                }
                info[91] = static_cast<std::uint8_t>(preset);
                info[94] = static_cast<std::uint8_t>(bypassBits);
                return DeviceReply(info);
            }
            case CMD_READ_IMAGE: {
                if (p.size() != 3 || p[0] > 8 || p[1] + p[2] > 256) return DeviceReply({}, 1);
                const auto& image = images[p[0]];
                return DeviceReply(Bytes(image.begin() + p[1], image.begin() + p[1] + p[2]));
            }
            case CMD_READ_STATUS: {
                Bytes s(status.begin(), status.end());
                s[15] = static_cast<std::uint8_t>(preset);
                return DeviceReply(s);
            }
            case CMD_WRITE_IMAGE: {
                if (p.size() < 3 || p[0] > 8 || p[1] + (p.size() - 2) > 256) {
                    return DeviceReply({}, 1);
                }
                std::copy(p.begin() + 2, p.end(), images[p[0]].begin() + p[1]);
                return DeviceReply({});
            }
            case CMD_RECALL_PRESET:
                if (p.size() == 1 && p[0] >= 1 && p[0] <= 8) {
                    preset = p[0];
                    images[0] = images[p[0]];
                }
                return DeviceReply({});
            case CMD_STORE_PRESET:
                if (p.size() == 1 && p[0] >= 1 && p[0] <= 8) images[p[0]] = images[0];
                return DeviceReply({});
            case CMD_WRITE_DEVICE_NAME: {
                if (p.size() != 97) return DeviceReply({}, 1);
                std::size_t n = 0;
                while (n < 32 && p[65 + n] != 0) ++n;
                name.assign(p.begin() + 65, p.begin() + 65 + static_cast<long>(n));
                return DeviceReply({});
            }
            case CMD_SET_BYPASS:
                if (p.size() == 1) bypassBits = p[0];
                return DeviceReply({});
            case CMD_SET_MIDI_DEBUG:
                if (p.size() == 1) midiDebug = p[0];
                return DeviceReply({});
            default:
                return DeviceReply({}, 1);
        }
    }
};

// Polls `condition` with real sleeps for at most `limit`; true when it became true.
inline bool WaitUntil(const std::function<bool()>& condition,
                      std::chrono::milliseconds limit = std::chrono::milliseconds(5000)) {
    const auto end = std::chrono::steady_clock::now() + limit;
    while (std::chrono::steady_clock::now() < end) {
        if (condition()) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return condition();
}

// A one-shot gate a blocked thread waits on until the test opens it.
class Gate {
  public:
    void Wait() {
        std::unique_lock<std::mutex> lock(mutex_);
        entered_ = true;
        changed_.notify_all();
        changed_.wait(lock, [this] { return open_; });
    }
    void Open() {
        std::lock_guard<std::mutex> lock(mutex_);
        open_ = true;
        changed_.notify_all();
    }
    bool WaitEntered(std::chrono::milliseconds limit = std::chrono::milliseconds(5000)) {
        std::unique_lock<std::mutex> lock(mutex_);
        return changed_.wait_for(lock, limit, [this] { return entered_; });
    }

  private:
    std::mutex mutex_;
    std::condition_variable changed_;
    bool open_ = false;
    bool entered_ = false;
};

// A document with its ports. Offline by default with one default device at address 1.
struct DocBench {
    AppState app;
    ScriptedUi ui;
    FakeClock clock{1000, 1};
    ErrorReporter reporter{app, ui};
    FakePortFactory ports;
    FakeDevice device;
    CQ7310Doc doc{reporter, clock, ports};

    explicit DocBench(bool withDevice = true) {
        // Every fake "yield" really yields a little, so a worker thread gets to run while the
        // document waits; the fake time still reaches the 10-second limits only when a test
        // makes it jump.
        clock.OnSleep([] { std::this_thread::sleep_for(std::chrono::microseconds(200)); });
        ports.Script().responder = [this](const Bytes& wire) { return device.Answer(wire); };
        if (withDevice) {
            doc.AddDevice(-1);
            doc.SetEditingStarted(true);
        }
    }

    // Takes the document online over the fake port as a go-online does, without discovery.
    void GoOnline() {
        app.SetOnline(1);
        doc.Bus().SetSyncLive(1);
        ASSERT_EQ(doc.Bus().OpenLink(), 1);
        doc.Devices().ClearPresent();
        for (int a = 1; a <= 126; ++a) {
            if (doc.Devices().Location().SlotOf(a) != kNoDevice) doc.Devices().SetPresent(a, true);
        }
        ASSERT_EQ(doc.Bus().StartWorker(), 1);
    }

    // The 256 bytes of image `image` of the device at `address`.
    std::vector<std::uint8_t> ImageOf(int address, int image) {
        const std::uint8_t* p =
            doc.Devices().Location().Image(doc.Devices().Location().SlotOf(address), image);
        return std::vector<std::uint8_t>(p, p + 256);
    }

    // Texts asked so far.
    std::vector<std::string> Asked() const {
        std::vector<std::string> out;
        for (const auto& q : ui.Questions()) out.push_back(q.text);
        return out;
    }
};

}  // namespace arvestra::testing
