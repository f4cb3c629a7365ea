#pragma once

#include <chrono>
#include <cstddef>

namespace arvestra::devsim {

// Bits one byte takes on the line: start bit, 8 data bits, stop bit.
inline constexpr long long kBitsPerByte = 10;

// Time `bytes` take on a line at `baud` (0: no emulation, no time).
constexpr std::chrono::nanoseconds WireTime(std::size_t bytes, int baud) {
    if (baud <= 0) {
        return std::chrono::nanoseconds{0};
    }
    return std::chrono::nanoseconds{static_cast<long long>(bytes) * kBitsPerByte * 1'000'000'000LL /
                                    baud};
}

}  // namespace arvestra::devsim
