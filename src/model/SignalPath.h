#pragma once

#include <array>
#include <cstdint>
#include <span>

#include "model/CurveSet.h"
#include "model/PresetImage.h"

namespace arvestra {

// Routing node identifiers held by the source-node fields and the output source fields.
namespace RoutingNode {
inline constexpr int kNone = 0;
inline constexpr int kInputA = 1;
inline constexpr int kInputB = 2;
inline constexpr int kEqualiserA = 3;
inline constexpr int kEqualiserB = 4;
inline constexpr int kDelayA = 5;
inline constexpr int kDelayB = 6;
inline constexpr int kCompLimiterA = 7;
inline constexpr int kCompLimiterB = 10;
inline constexpr int kLowPassA = 13;
inline constexpr int kLowPassB = 14;
inline constexpr int kHighPassA = 15;
inline constexpr int kHighPassB = 16;
inline constexpr int kPinkNoise = 17;
inline constexpr int kOutputA = 18;
inline constexpr int kOutputB = 19;
inline constexpr int kCount = 20;
inline constexpr int kHighestStoredSource = kPinkNoise;  // outputs are never a stored source
}  // namespace RoutingNode

// The routing of one image as plain values: for every node the raw value of the field naming
// its source (0 for nodes that have no such field), and the raw equaliser type of each channel.
// Raw means unchecked: the walk bounds every value before using it.
struct RoutingSnapshot {
    std::array<int, RoutingNode::kCount> sourceOf{};
    std::array<int, 2> equaliserType{};  // 0 graphic, anything else parametric

    // Reads the source-node fields, the output source fields and the equaliser types of image.
    static RoutingSnapshot FromImage(std::span<const std::uint8_t, kPresetImageSize> image);
};

// What feeds one output: the curves of the filter and equaliser blocks met on the way back
// from the output, and where the walk ended.
struct SignalPath {
    static constexpr int kMaxNodes = 21;  // a longer walk is a routing loop and is cut

    CurveSet curves;
    int sourceNode = RoutingNode::kNone;  // 1, 2 or 17 when a signal source was reached, else 0
    int nodesVisited = 0;                 // including the output node itself

    bool ReachedSource() const { return sourceNode != RoutingNode::kNone; }
};

// Walks from the output of channel outputChannel (0 = A, anything else B) back along the
// source fields, at most 21 nodes, until an input or the pink noise generator. A node without a
// block, or a source value outside the routing nodes, ends the walk as "nothing connected".
SignalPath WalkSignalPath(const RoutingSnapshot& routing, int outputChannel);

// Walks the routing of an image; see the snapshot form.
SignalPath WalkSignalPath(std::span<const std::uint8_t, kPresetImageSize> image, int outputChannel);

}  // namespace arvestra
