// Delay and temperature writes as the worker sees them: every byte of one value (both channels
// when linked) is in the edit buffer before the worker can take the dirty range, so the device
// never hears a half-written delay.
#include <gtest/gtest.h>

#include <atomic>
#include <set>
#include <thread>

#include "document/DocTestSupport.h"
#include "model/DelayMath.h"
#include "model/PresetImage.h"

namespace arvestra::testing {
namespace {

using PF = ParamField;

// Takes dirty ranges on a second thread, as the worker does, and applies them to a copy of the
// edit buffer standing for the device; records every delay and temperature the copy held.
class DeviceSide {
  public:
    explicit DeviceSide(CQ7310Doc& doc) : doc_(doc) {
        const uint8_t* image = doc.Edits().Data();
        // Nothing is pending when the device side starts: it begins equal to the edit buffer.
        std::copy(image, image + kImageBytes, device_.begin());
        thread_ = std::thread([this] { Run(); });
    }
    ~DeviceSide() { Stop(); }

    void Stop() {
        stop_.store(true);
        if (thread_.joinable()) thread_.join();
        Apply(doc_.TakeDirtyRange());
    }

    // Every (channel A delay, channel B delay, channel A temperature) the device held.
    const std::set<std::tuple<int, int, int>>& Heard() const { return heard_; }

  private:
    void Run() {
        while (!stop_.load()) Apply(doc_.TakeDirtyRange());
    }
    void Apply(const DirtyChunk& chunk) {
        if (chunk.count == 0) return;
        for (int i = 0; i < chunk.count; ++i) {
            device_[static_cast<std::size_t>(chunk.first + i)] =
                chunk.bytes[static_cast<std::size_t>(i)];
        }
        PresetImageView view;
        view.rebind(device_.data(), 0);
        heard_.insert({view.delaySamples(kChannelA), view.delaySamples(kChannelB),
                       view.temperatureTenths(kChannelA)});
    }

    static constexpr int kImageBytes = 256;
    CQ7310Doc& doc_;
    std::array<uint8_t, kImageBytes> device_{};
    std::atomic<bool> stop_{false};
    std::thread thread_;
    std::set<std::tuple<int, int, int>> heard_;
};

struct LiveBench : DocBench {
    LiveBench() {
        doc.Bus().SetSyncLive(1);
        doc.TakeDirtyRange();
    }
};

constexpr int kRounds = 200000;

TEST(DelayWrite, TheDeviceNeverHearsAHalfWrittenDelay) {
    LiveBench t;
    t.doc.Edits().SetPerChannel(PF::DelayMaster, kChannelA,
                                1);  // linked: both channels in one write
    t.doc.Edits().SetDelaySamples(kChannelA, 65535);
    t.doc.TakeDirtyRange();
    DeviceSide device(t.doc);
    for (int i = 0; i < kRounds; ++i)
        t.doc.Edits().SetDelaySamples(kChannelA, i % 2 == 0 ? 65536 : 65535);
    device.Stop();
    ASSERT_FALSE(device.Heard().empty());
    for (const auto& [a, b, tenths] : device.Heard()) {
        ASSERT_TRUE(a == 65535 || a == 65536) << a;
        ASSERT_EQ(a, b) << "the two linked channels were sent apart";
    }
    EXPECT_EQ(t.doc.Edits().GetDelaySamples(kChannelB), 65535);
}

TEST(DelayWrite, TheDeviceNeverHearsAHalfWrittenTemperature) {
    LiveBench t;
    t.doc.Edits().SetTemperatureTenths(kChannelA, 255);  // bytes 0, 255; 256 is 1, 0
    t.doc.TakeDirtyRange();
    DeviceSide device(t.doc);
    for (int i = 0; i < kRounds; ++i) t.doc.Edits().SetTemperatureTenths(kChannelA, 256 - i % 2);
    device.Stop();
    ASSERT_FALSE(device.Heard().empty());
    for (const auto& [a, b, tenths] : device.Heard()) {
        ASSERT_TRUE(tenths == 255 || tenths == 256) << tenths;
    }
}

TEST(DelayWrite, ATemperatureChangeAndItsNewDelayTravelTogether) {
    LiveBench t;
    t.doc.Edits().SetDelaySamples(kChannelA, 30000);
    t.doc.Edits().SetTemperatureTenths(kChannelA, 600);
    t.doc.TakeDirtyRange();
    // The (temperature, delay) pairs the edits pass through, worked out without the document.
    std::set<std::pair<int, int>> allowed{{600, 30000}};
    int samples = 30000;
    int tenths = 600;
    for (int i = 0; i < kRounds / 4; ++i) {
        const int next = i % 2 == 0 ? 1400 : 600;
        samples = SamplesForNewTemperature(samples, tenths, next);
        tenths = next;
        allowed.insert({tenths, samples});
    }
    DeviceSide device(t.doc);
    for (int i = 0; i < kRounds / 4; ++i) {
        t.doc.Edits().SetTemperatureKeepingDistance(kChannelA, i % 2 == 0 ? 1400 : 600);
    }
    device.Stop();
    EXPECT_EQ(t.doc.Edits().GetDelaySamples(kChannelA), samples);
    for (const auto& [a, b, heardTenths] : device.Heard()) {
        ASSERT_TRUE(allowed.contains({heardTenths, a})) << "delay " << a << " at " << heardTenths;
    }
}

}  // namespace
}  // namespace arvestra::testing
