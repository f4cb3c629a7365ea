#pragma once

namespace arvestra {

// The four response curves of one channel, in the order in which they are composed.
enum class CurveKind { LowPass = 0, HighPass = 1, Graphic = 2, Parametric = 3 };

inline constexpr int kCurveKindCount = 4;
inline constexpr int kCurveChannelCount = 2;

// Maps any channel value to a curve store index: 0 is channel A, anything else channel B.
inline constexpr int CurveChannelIndex(int channel) {
    return channel == 0 ? 0 : 1;
}

// Maps a curve kind to its store index, bounding values outside the enumeration to LowPass.
inline constexpr int CurveKindIndex(CurveKind kind) {
    const int index = static_cast<int>(kind);
    return index >= 0 && index < kCurveKindCount ? index : 0;
}

}  // namespace arvestra
