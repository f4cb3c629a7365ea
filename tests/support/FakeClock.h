#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <mutex>

#include "app/Clock.h"

namespace arvestra::testing {

// A clock that never really sleeps: time moves only by Advance and by each Sleep (a yield moves
// it by yieldStepMs, so wait loops reach their limits in a few thousand turns). Thread-safe.
class FakeClock final : public arvestra::Clock {
  public:
    explicit FakeClock(std::int64_t startSeconds = 1000, int yieldStepMs = 10)
        : nowMs_(startSeconds * 1000), yieldStepMs_(yieldStepMs) {}

    std::int64_t NowSeconds() override { return nowMs_.load() / 1000; }

    void Sleep(int milliseconds) override {
        sleeps_.fetch_add(1);
        if (milliseconds == 0) yields_.fetch_add(1);
        Advance(milliseconds > 0 ? milliseconds : yieldStepMs_.load());
        std::function<void()> hook;
        {
            std::lock_guard<std::mutex> lock(hookMutex_);
            hook = onSleep_;
        }
        if (hook) hook();
    }

    // Moves the clock forward.
    void Advance(std::int64_t milliseconds) { nowMs_.fetch_add(milliseconds); }
    // Current time in milliseconds.
    std::int64_t NowMs() const { return nowMs_.load(); }
    // How far one Sleep(0) moves the clock.
    void SetYieldStep(int milliseconds) { yieldStepMs_.store(milliseconds); }
    // Runs after every Sleep, on the sleeping thread (lets a test act inside a wait loop).
    void OnSleep(std::function<void()> hook) {
        std::lock_guard<std::mutex> lock(hookMutex_);
        onSleep_ = std::move(hook);
    }
    int SleepCount() const { return sleeps_.load(); }
    int YieldCount() const { return yields_.load(); }

  private:
    std::atomic<std::int64_t> nowMs_;
    std::atomic<int> yieldStepMs_;
    std::atomic<int> sleeps_{0};
    std::atomic<int> yields_{0};
    std::mutex hookMutex_;
    std::function<void()> onSleep_;
};

}  // namespace arvestra::testing
