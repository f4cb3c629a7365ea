#pragma once

#include <cstdint>

namespace arvestra {

// The wall clock and the sleeps the wait loops use; tests drive the time limits with a fake.
class Clock {
  public:
    virtual ~Clock() = default;

    // Wall-clock time in whole seconds (any fixed origin).
    virtual std::int64_t NowSeconds() = 0;

    // Sleeps for the given time; 0 only yields the processor.
    virtual void Sleep(int milliseconds) = 0;
};

}  // namespace arvestra
