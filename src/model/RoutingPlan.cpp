#include "model/RoutingPlan.h"

#include <algorithm>

namespace arvestra {

namespace {

constexpr int kNodeInputA = 1;
constexpr int kNodePink = 17;
constexpr int kNodeOutputA = 18;

std::size_t At(int i) {
    return static_cast<std::size_t>(i);
}

int SlotCode(const RoutingConfig& config, int row, int i) {
    return config.chainSlots[At(row * kRoutingSlotsPerRow + i)];
}

// Where a chain starts: the pink noise generator when selected, else its own input.
int ChainStart(const RoutingConfig& config, int row) {
    return config.pink[At(row)] != 0 ? kNodePink : kNodeInputA + row;
}

// Keeps the first occurrence of each block code; `seen` carries the codes already kept.
template <std::size_t N>
std::array<int, N> KeepFirst(const std::array<int, N>& codes,
                             std::array<bool, kBlockCodeLimit>& seen) {
    std::array<int, N> kept{};
    for (std::size_t i = 0; i < N; ++i) {
        const int code = codes[i];
        if (!IsBlockCode(code) || seen[At(code)]) continue;
        seen[At(code)] = true;
        kept[i] = code;
    }
    return kept;
}

// The tie: the tap on the feeding chain before its tie point feeds the first block of the tied
// chain from its tie point on (or the tied output when none follows).
void ApplyTie(const RoutingConfig& config, RoutingPlan& plan) {
    const int tied = config.tie.direction == 1 ? 1 : 0;
    const int feeding = 1 - tied;
    int tap = ChainStart(config, feeding);
    for (int i = LimitTiePosition(config.tie.position[At(feeding)]) - 1; i >= 0; --i) {
        const int code = SlotCode(config, feeding, i);
        if (IsBlockCode(code)) {
            tap = code + 2;
            break;
        }
    }
    int first = kNodeOutputA + tied;
    for (int j = LimitTiePosition(config.tie.position[At(tied)]); j < kRoutingSlotsPerRow; ++j) {
        const int code = SlotCode(config, tied, j);
        if (IsBlockCode(code)) {
            first = code + 2;
            plan.feed[At(tied)][At(j)] = tap;
            break;
        }
    }
    plan.sources[At(first)] = tap;
}

}  // namespace

bool IsBlockCode(int code) {
    return (code >= 1 && code <= 5) || code == 8 || (code >= 11 && code <= 14);
}

int LimitTiePosition(int position) {
    return std::clamp(position, 0, kMaxTiePosition);
}

RoutingConfig RoutingConfig::FromImage(std::span<const std::uint8_t, kPresetImageSize> image) {
    RoutingConfig config;
    for (int s = 0; s < kRoutingSlots; ++s) {
        config.chainSlots[At(s)] = ReadField(image, ParamField::ChainSlot, kChannelA, s);
    }
    for (int p = 0; p < kPaletteEntries; ++p) {
        config.palette[At(p)] = ReadField(image, ParamField::PalettePosition, kChannelA, p);
    }
    for (int row = 0; row < 2; ++row) {
        config.pink[At(row)] = ReadField(image, ParamField::PinkNoiseOn, kChannelA, row);
        config.tie.position[At(row)] = ReadField(image, ParamField::JoinPosition, kChannelA, row);
    }
    config.tie.enabled = ReadField(image, ParamField::JoinOn, kChannelA) != 0;
    config.tie.direction = ReadField(image, ParamField::JoinTarget, kChannelA);
    return config;
}

CleanedRouting CleanRouting(const RoutingConfig& config) {
    std::array<bool, kBlockCodeLimit> seen{};
    CleanedRouting cleaned;
    cleaned.chainSlots = KeepFirst(config.chainSlots, seen);
    cleaned.palette = KeepFirst(config.palette, seen);
    return cleaned;
}

RoutingPlan PlanRouting(const RoutingConfig& config) {
    RoutingPlan plan;
    for (int row = 0; row < 2; ++row) {
        int feeding = ChainStart(config, row);
        for (int i = 0; i < kRoutingSlotsPerRow; ++i) {
            const int code = SlotCode(config, row, i);
            if (!IsBlockCode(code)) continue;
            plan.feed[At(row)][At(i)] = feeding;
            plan.sources[At(code + 2)] = feeding;
            feeding = code + 2;
        }
        plan.sources[At(kNodeOutputA + row)] = feeding;
    }
    if (config.tie.enabled) ApplyTie(config, plan);
    return plan;
}

std::vector<SourceWrite> RoutingWriteOrder(const RoutingConfig& config, const RoutingPlan& plan) {
    std::vector<SourceWrite> writes;
    for (int i = 0; i < kRoutingSlotsPerRow; ++i) {
        for (int row = 0; row < 2; ++row) {
            const int code = SlotCode(config, row, i);
            if (IsBlockCode(code)) writes.push_back({code + 2, plan.feed[At(row)][At(i)], true});
        }
    }
    writes.push_back({kNodeOutputA, plan.sources[At(kNodeOutputA)], false});
    writes.push_back({kNodeOutputA + 1, plan.sources[At(kNodeOutputA + 1)], true});
    for (int node = 0; node < kRoutingNodeCount; ++node) {
        if (plan.sources[At(node)] == 0 && SourceFieldOf(node)) writes.push_back({node, 0, false});
    }
    return writes;
}

std::optional<SourceField> SourceFieldOf(int node) {
    using PF = ParamField;
    switch (node) {
        case 3:
            return SourceField{PF::EqSource, kChannelA};
        case 4:
            return SourceField{PF::EqSource, kChannelB};
        case 5:
            return SourceField{PF::DelaySource, kChannelA};
        case 6:
            return SourceField{PF::DelaySource, kChannelB};
        case 7:
            return SourceField{PF::ClSource, kChannelA};
        case 10:
            return SourceField{PF::ClSource, kChannelB};
        case 13:
            return SourceField{PF::LpSource, kChannelA};
        case 14:
            return SourceField{PF::LpSource, kChannelB};
        case 15:
            return SourceField{PF::HpSource, kChannelA};
        case 16:
            return SourceField{PF::HpSource, kChannelB};
        case 18:
            return SourceField{PF::OutputSource, kChannelA};
        case 19:
            return SourceField{PF::OutputSource, kChannelB};
        default:
            return std::nullopt;
    }
}

bool IsSignalSourceNode(int node) {
    return node == 1 || node == 2 || node == kNodePink;
}

}  // namespace arvestra
