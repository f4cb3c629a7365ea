#include "ui/pages/BlockTable.h"

#include "app/CommandId.h"

namespace arvestra {

namespace {

constexpr int kEqA = 1;
constexpr int kEqB = 2;

constexpr std::array<BlockEntry, 10> kBlocks{{
    {1, "EQ", CommandId::ViewEqA, PageKind::EqForBlock},
    {2, "EQ", CommandId::ViewEqB, PageKind::EqForBlock},
    {3, "D", CommandId::ViewDelayA, PageKind::Delay},
    {4, "D", CommandId::ViewDelayB, PageKind::Delay},
    {5, "C", CommandId::ViewCompLimA, PageKind::CompLim},
    {8, "C", CommandId::ViewCompLimB, PageKind::CompLim},
    {11, "LP", CommandId::ViewLowPassA, PageKind::EqForBlock},
    {12, "LP", CommandId::ViewLowPassB, PageKind::EqForBlock},
    {13, "HP", CommandId::ViewHighPassA, PageKind::EqForBlock},
    {14, "HP", CommandId::ViewHighPassB, PageKind::EqForBlock},
}};

bool Holds(const EqPageInputs& inputs, int channel, int code) {
    if (code < 0 || code >= kBlockCodeCount) return false;
    return inputs.inChain[static_cast<std::size_t>(channel)][static_cast<std::size_t>(code)];
}

PageKind PageOfType(bool parametric) {
    return parametric ? PageKind::ParametricEq : PageKind::GraphicEq;
}

}  // namespace

std::span<const BlockEntry> Blocks() {
    return kBlocks;
}

const BlockEntry* FindBlock(int code) {
    for (const BlockEntry& entry : kBlocks) {
        if (entry.code == code) return &entry;
    }
    return nullptr;
}

const BlockEntry* FindBlockByCommand(CommandId command) {
    for (const BlockEntry& entry : kBlocks) {
        if (entry.viewCommand == command) return &entry;
    }
    return nullptr;
}

const char* ChainButtonLabel(int code) {
    const BlockEntry* entry = FindBlock(code);
    return entry != nullptr ? entry->label : "";
}

std::optional<CommandId> ViewCommandOfBlock(int code) {
    const BlockEntry* entry = FindBlock(code);
    if (entry == nullptr) return std::nullopt;
    return entry->viewCommand;
}

PageKind ResolveEqPage(int block, const EqPageInputs& inputs) {
    if (block == kEqA) return PageOfType(inputs.parametric[0]);
    if (block == kEqB) return PageOfType(inputs.parametric[1]);
    const BlockEntry* entry = FindBlock(block);
    if (entry == nullptr || entry->kind != PageKind::EqForBlock) return PageKind::GraphicEq;
    // A filter block belongs to the equaliser it shares a signal path with.
    for (int channel = 0; channel < 2; ++channel) {
        if (!Holds(inputs, channel, block)) continue;
        if (Holds(inputs, channel, kEqA)) return PageOfType(inputs.parametric[0]);
        if (Holds(inputs, channel, kEqB)) return PageOfType(inputs.parametric[1]);
    }
    return PageKind::GraphicEq;
}

}  // namespace arvestra
