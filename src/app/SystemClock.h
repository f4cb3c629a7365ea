#pragma once

#include "app/Clock.h"

namespace arvestra {

// The real clock: the system's wall clock and thread sleeps.
class SystemClock final : public Clock {
  public:
    // Seconds since the epoch.
    std::int64_t NowSeconds() override;

    // Sleeps the calling thread; 0 yields.
    void Sleep(int milliseconds) override;
};

}  // namespace arvestra
