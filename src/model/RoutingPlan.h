// The routing of a preset as the configuration edits it: the two chains of eight chainSlots, the
// palette of unused blocks, the pink noise selects and the tie between the chains, and what
// follows from them: which node feeds every block and output, and the order in which a device
// must receive the new sources. Pure functions on plain values; the document applies them.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "model/ParamField.h"
#include "model/PresetImage.h"

namespace arvestra {

inline constexpr int kRoutingSlots = 16;       // chain chainSlots: 0-7 channel A, 8-15 channel B
inline constexpr int kRoutingSlotsPerRow = 8;  // a chain row
inline constexpr int kPaletteEntries = 12;     // palette entries: 0-5 row A, 6-11 row B
inline constexpr int kPalettePerRow = 6;
inline constexpr int kMaxTiePosition = 8;  // the tie point after the last slot
inline constexpr int kRoutingNodeCount = 20;
inline constexpr int kBlockCodeLimit = 15;  // block codes are 0..14

// True for the codes of the ten blocks (1-5, 8, 11-14); false for 0 and every other number.
bool IsBlockCode(int code);

// The tie: one chain taps the other chain's signal at a tie point and feeds it into itself.
struct RoutingTie {
    bool enabled = false;
    int direction = 0;              // 1: chain A feeds chain B (B is tied); 0: B feeds A
    std::array<int, 2> position{};  // tie point of each chain, 0..8 (before slot k, 8 = after)
};

// The routing fields of one image, as stored (a file may hold any value the bits allow).
struct RoutingConfig {
    std::array<int, kRoutingSlots> chainSlots{};
    std::array<int, kPaletteEntries> palette{};
    std::array<int, 2> pink{};  // pink noise select of chain A and chain B
    RoutingTie tie;

    static RoutingConfig FromImage(std::span<const std::uint8_t, kPresetImageSize> image);
};

// A tie position read from an image limited to the tie points 0..8.
int LimitTiePosition(int position);

// The clean-up of chains and palette: every slot keeps the first occurrence of each block code
// and every empty slot; repeats and unknown codes become 0. The palette drops, in the same way,
// every code the chain already holds, repeats within itself and unknown codes.
struct CleanedRouting {
    std::array<int, kRoutingSlots> chainSlots{};
    std::array<int, kPaletteEntries> palette{};
};
CleanedRouting CleanRouting(const RoutingConfig& config);

// What the chains make of the sources: for each routing node the node that feeds it (0 for
// none), and for each chain slot the node feeding the block in it.
struct RoutingPlan {
    std::array<int, kRoutingNodeCount> sources{};
    std::array<std::array<int, kRoutingSlotsPerRow>, 2> feed{};
};
// Derives the sources from cleaned chains (repeated codes are taken as they come).
RoutingPlan PlanRouting(const RoutingConfig& config);

// One source-node write of the routing update, in the order a device must receive it.
struct SourceWrite {
    int node = 0;            // the block or output whose source is written
    int source = 0;          // the node that feeds it (0: nothing)
    bool waitAfter = false;  // the device must have it before the next write goes out
};
// The writes of a routing update: each chained block slot by slot (channel A before B within a
// slot), each followed by a wait; the two outputs, then a wait; then every other block source
// cleared to 0, without waits.
std::vector<SourceWrite> RoutingWriteOrder(const RoutingConfig& config, const RoutingPlan& plan);

// The source-node field of a routing node (a block or an output) with its channel.
struct SourceField {
    ParamField field;
    int channel;
};
// Empty for nodes without a source field (signal sources, unused numbers).
std::optional<SourceField> SourceFieldOf(int node);

// True for the nodes where a signal starts: the two inputs and the pink noise generator.
bool IsSignalSourceNode(int node);

}  // namespace arvestra
