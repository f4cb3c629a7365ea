#include "app/SystemClock.h"

#include <chrono>
#include <thread>

namespace arvestra {

std::int64_t SystemClock::NowSeconds() {
    using namespace std::chrono;
    return duration_cast<seconds>(system_clock::now().time_since_epoch()).count();
}

void SystemClock::Sleep(int milliseconds) {
    if (milliseconds <= 0) {
        std::this_thread::yield();
        return;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

}  // namespace arvestra
