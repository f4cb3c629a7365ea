#pragma once

#include <array>

#include "model/CurveKind.h"

namespace arvestra {

// A set of response curves, per channel and kind: the curves that lie in a signal path, or the
// curves that must be recomputed.
class CurveSet {
  public:
    // Adds one curve (channel 0 is A, anything else B).
    void Add(int channel, CurveKind kind) { at(channel, kind) = true; }
    // Removes one curve.
    void Remove(int channel, CurveKind kind) { at(channel, kind) = false; }
    // True when the curve is in the set.
    bool Contains(int channel, CurveKind kind) const {
        return present_[CurveChannelIndex(channel)][CurveKindIndex(kind)];
    }
    // Empties the set.
    void Clear() { present_ = {}; }
    // True when no curve is in the set.
    bool Empty() const { return *this == CurveSet{}; }
    // Adds every curve.
    static CurveSet All() {
        CurveSet set;
        for (auto& channel : set.present_) channel.fill(true);
        return set;
    }

    bool operator==(const CurveSet&) const = default;

  private:
    bool& at(int channel, CurveKind kind) {
        return present_[CurveChannelIndex(channel)][CurveKindIndex(kind)];
    }

    std::array<std::array<bool, kCurveKindCount>, kCurveChannelCount> present_{};
};

}  // namespace arvestra
