#include "model/SignalPath.h"

#include "model/ParamField.h"

namespace arvestra {

namespace {

// True for the nodes that own a source field: the blocks and the two outputs.
bool HasSourceField(int node) {
    using namespace RoutingNode;
    switch (node) {
        case kEqualiserA:
        case kEqualiserB:
        case kDelayA:
        case kDelayB:
        case kCompLimiterA:
        case kCompLimiterB:
        case kLowPassA:
        case kLowPassB:
        case kHighPassA:
        case kHighPassB:
        case kOutputA:
        case kOutputB:
            return true;
        default:
            return false;
    }
}

// The next node after `node`: its source field, bounded to the nodes a field may name. Nodes
// without a block lead nowhere, whatever a snapshot holds for them.
int NextNode(const RoutingSnapshot& routing, int node) {
    if (!HasSourceField(node)) return RoutingNode::kNone;
    const int source = routing.sourceOf[static_cast<std::size_t>(node)];
    if (source < RoutingNode::kNone || source > RoutingNode::kHighestStoredSource) {
        return RoutingNode::kNone;
    }
    return source;
}

bool IsSignalSource(int node) {
    return node == RoutingNode::kInputA || node == RoutingNode::kInputB ||
           node == RoutingNode::kPinkNoise;
}

CurveKind EqualiserCurve(const RoutingSnapshot& routing, int channel) {
    return routing.equaliserType[static_cast<std::size_t>(channel)] != 0 ? CurveKind::Parametric
                                                                         : CurveKind::Graphic;
}

// Adds the curve a node contributes to the path, if it is a filter or equaliser block.
void MarkNode(const RoutingSnapshot& routing, int node, CurveSet& curves) {
    switch (node) {
        case RoutingNode::kEqualiserA:
            curves.Add(kChannelA, EqualiserCurve(routing, kChannelA));
            break;
        case RoutingNode::kEqualiserB:
            curves.Add(kChannelB, EqualiserCurve(routing, kChannelB));
            break;
        case RoutingNode::kLowPassA:
            curves.Add(kChannelA, CurveKind::LowPass);
            break;
        case RoutingNode::kLowPassB:
            curves.Add(kChannelB, CurveKind::LowPass);
            break;
        case RoutingNode::kHighPassA:
            curves.Add(kChannelA, CurveKind::HighPass);
            break;
        case RoutingNode::kHighPassB:
            curves.Add(kChannelB, CurveKind::HighPass);
            break;
        default:
            break;
    }
}

void StoreSource(RoutingSnapshot& routing, int node,
                 std::span<const std::uint8_t, kPresetImageSize> image, ParamField field,
                 int channel) {
    routing.sourceOf[static_cast<std::size_t>(node)] = ReadField(image, field, channel);
}

}  // namespace

RoutingSnapshot RoutingSnapshot::FromImage(std::span<const std::uint8_t, kPresetImageSize> image) {
    using namespace RoutingNode;
    RoutingSnapshot routing;
    StoreSource(routing, kEqualiserA, image, ParamField::EqSource, kChannelA);
    StoreSource(routing, kEqualiserB, image, ParamField::EqSource, kChannelB);
    StoreSource(routing, kDelayA, image, ParamField::DelaySource, kChannelA);
    StoreSource(routing, kDelayB, image, ParamField::DelaySource, kChannelB);
    StoreSource(routing, kCompLimiterA, image, ParamField::ClSource, kChannelA);
    StoreSource(routing, kCompLimiterB, image, ParamField::ClSource, kChannelB);
    StoreSource(routing, kLowPassA, image, ParamField::LpSource, kChannelA);
    StoreSource(routing, kLowPassB, image, ParamField::LpSource, kChannelB);
    StoreSource(routing, kHighPassA, image, ParamField::HpSource, kChannelA);
    StoreSource(routing, kHighPassB, image, ParamField::HpSource, kChannelB);
    StoreSource(routing, kOutputA, image, ParamField::OutputSource, kChannelA);
    StoreSource(routing, kOutputB, image, ParamField::OutputSource, kChannelB);
    routing.equaliserType[0] = ReadField(image, ParamField::EqType, kChannelA);
    routing.equaliserType[1] = ReadField(image, ParamField::EqType, kChannelB);
    return routing;
}

SignalPath WalkSignalPath(const RoutingSnapshot& routing, int outputChannel) {
    SignalPath path;
    int node = outputChannel == 0 ? RoutingNode::kOutputA : RoutingNode::kOutputB;
    while (true) {
        ++path.nodesVisited;
        MarkNode(routing, node, path.curves);
        const int next = NextNode(routing, node);
        if (IsSignalSource(next)) {
            path.sourceNode = next;
            break;
        }
        // Nothing connected, or a routing loop: what was met so far is the path.
        if (next == RoutingNode::kNone || path.nodesVisited >= SignalPath::kMaxNodes) break;
        node = next;
    }
    return path;
}

SignalPath WalkSignalPath(std::span<const std::uint8_t, kPresetImageSize> image,
                          int outputChannel) {
    return WalkSignalPath(RoutingSnapshot::FromImage(image), outputChannel);
}

}  // namespace arvestra
