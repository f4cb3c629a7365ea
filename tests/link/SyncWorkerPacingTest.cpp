// The worker's loop with meter polling off: it must rest between passes instead of spinning.
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "LinkTestSupport.h"
#include "link/SyncWorker.h"
#include "support/FakeClock.h"

namespace arvestra::testing {
namespace {

// A target with nothing to send and polling switched off.
class QuietTarget final : public ISyncTarget {
  public:
    bool IsSyncLive() const override { return true; }
    bool IsStatusPolling() const override { return false; }
    DirtyChunk TakeDirtyRange() override { return {}; }
    StatusInputs ReadStatusInputs() override { return {}; }
    void StoreMeters(const MeterRecord&) override {}
    void PostMeterRefresh() override {}
};

TEST(WorkerPacing, WithPollingOffEveryPassRestsInsteadOfOnlyYielding) {
    LinkBench bench;
    QuietTarget target;
    FakeClock clock;
    CSyncWorker worker(target, bench.link, clock);
    worker.Enable();  // before the thread starts, so every counted sleep is an active pass's
    ASSERT_EQ(worker.Start(), 0);
    const auto limit = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (clock.SleepCount() < 60 && std::chrono::steady_clock::now() < limit) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    worker.syncEnabled.store(0);
    worker.Stop();
    const int rests = clock.SleepCount() - clock.YieldCount();
    ASSERT_GE(clock.SleepCount(), 60);
    // One yield and one rest per pass: a spinning loop would only ever yield.
    EXPECT_GE(rests * 2, clock.YieldCount());
    EXPECT_GE(clock.NowMs() - 1000 * 1000, static_cast<long long>(rests) * kWorkerIdleNapMs);
}

}  // namespace
}  // namespace arvestra::testing
