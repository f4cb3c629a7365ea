// The processing blocks as the views know them: the label a chain button shows, the View command
// that opens the block's page, and which page that is. Pure data and lookups, no widgets.
#pragma once

#include <array>
#include <optional>
#include <span>

#include "app/CommandId.h"

namespace arvestra {

// The five editing pages, by the number the main view uses to pick one; EqForBlock is resolved
// to GraphicEq or ParametricEq from the equaliser type that applies to the block.
enum class PageKind : int {
    Configuration = 0,
    Delay = 1,
    GraphicEq = 2,
    CompLim = 3,
    ParametricEq = 4,
    EqForBlock = 5,
};

// The block codes a chain slot holds (0 is an empty slot).
enum class BlockCode : int {
    Empty = 0,
    EqA = 1,
    EqB = 2,
    DelayA = 3,
    DelayB = 4,
    CompLimA = 5,
    CompLimB = 8,
    LowPassA = 11,
    LowPassB = 12,
    HighPassA = 13,
    HighPassB = 14,
};
inline constexpr int ToInt(BlockCode code) {
    return static_cast<int>(code);
}
// The equaliser block of a channel (0 is A), and its low-pass and high-pass blocks.
inline constexpr BlockCode EqBlockOf(int channel) {
    return channel == 0 ? BlockCode::EqA : BlockCode::EqB;
}
inline constexpr BlockCode LowPassBlockOf(int channel) {
    return channel == 0 ? BlockCode::LowPassA : BlockCode::LowPassB;
}
inline constexpr BlockCode HighPassBlockOf(int channel) {
    return channel == 0 ? BlockCode::HighPassA : BlockCode::HighPassB;
}

inline constexpr int kPageCount = 5;
// Block codes 0..14 (0 = empty slot); the selected-block flags have one entry per code.
inline constexpr int kBlockCodeCount = 15;
inline constexpr int kChainSlotCount = 16;
inline constexpr int kSlotsPerRow = 8;

// One block that can sit in a chain slot.
struct BlockEntry {
    int code;
    const char* label;      // chain button label
    CommandId viewCommand;  // View menu command that shows the block's page
    PageKind kind;
};

// The ten blocks, in code order.
std::span<const BlockEntry> Blocks();
// The entry of a block code, or nullptr for a code that names no block.
const BlockEntry* FindBlock(int code);
// The entry whose View command is `command`, or nullptr.
const BlockEntry* FindBlockByCommand(CommandId command);
// The chain button label of a code; empty for a code that names no block.
const char* ChainButtonLabel(int code);
// The View command of a code; none for a code that names no block.
std::optional<CommandId> ViewCommandOfBlock(int code);

// What decides which EQ page a block opens: the equaliser type of each channel and which block
// codes each channel's chain list holds.
struct EqPageInputs {
    std::array<bool, 2> parametric{};                            // per channel A, B
    std::array<std::array<bool, kBlockCodeCount>, 2> inChain{};  // [channel][code]
};

// The EQ page for a block: EQ A and EQ B follow their own channel's type; a low-pass or
// high-pass block follows the type of the first chain list (A, then B) that holds it together
// with an equaliser (EQ A before EQ B); anything else, or no such list, gives the graphic page.
PageKind ResolveEqPage(int block, const EqPageInputs& inputs);

}  // namespace arvestra
