#include "document/ChainRouting.h"

#include "document/CQ7310Doc.h"

namespace arvestra {

namespace {

std::size_t At(int i) {
    return static_cast<std::size_t>(i);
}

}  // namespace

RoutingConfig RoutingConfigOf(const CQ7310Doc& doc) {
    return RoutingConfigOf(doc.Edits());
}

RoutingConfig RoutingConfigOf(const EditBuffer& buffer) {
    RoutingConfig config;
    for (int s = 0; s < kRoutingSlots; ++s) {
        config.chainSlots[At(s)] = buffer.Get(ParamField::ChainSlot, kChannelA, s);
    }
    for (int p = 0; p < kPaletteEntries; ++p) {
        config.palette[At(p)] = buffer.Get(ParamField::PalettePosition, kChannelA, p);
    }
    for (int row = 0; row < 2; ++row) {
        config.pink[At(row)] = buffer.Get(ParamField::PinkNoiseOn, kChannelA, row);
        config.tie.position[At(row)] = buffer.Get(ParamField::JoinPosition, kChannelA, row);
    }
    config.tie.enabled = buffer.Get(ParamField::JoinOn) != 0;
    config.tie.direction = buffer.Get(ParamField::JoinTarget);
    return config;
}

void CleanChainsAndPalette(CQ7310Doc& doc) {
    CleanChainsAndPalette(doc.Edits());
}

void CleanChainsAndPalette(EditBuffer& buffer) {
    const RoutingConfig config = RoutingConfigOf(buffer);
    const CleanedRouting cleaned = CleanRouting(config);
    for (int s = 0; s < kRoutingSlots; ++s) {
        if (cleaned.chainSlots[At(s)] != config.chainSlots[At(s)])
            buffer.SetConfig(ParamField::ChainSlot, s, 0);
    }
    for (int p = 0; p < kPaletteEntries; ++p) {
        if (cleaned.palette[At(p)] != config.palette[At(p)]) {
            buffer.SetConfig(ParamField::PalettePosition, p, 0);
        }
    }
}

int UpdateRouting(CQ7310Doc& doc) {
    const RoutingConfig config = RoutingConfigOf(doc);
    const std::vector<SourceWrite> writes = RoutingWriteOrder(config, PlanRouting(config));
    // Whatever is still pending goes out before the first new source.
    if (!doc.Bus().WaitDirtyFlushed()) return 0;
    // The writes up to each wait go out together (the two outputs move at once).
    std::vector<EditBuffer::RoutingWrite> group;
    for (const SourceWrite& write : writes) {
        if (const std::optional<SourceField> field = SourceFieldOf(write.node)) {
            group.push_back({field->field, field->channel, write.source});
        }
        if (!write.waitAfter) continue;
        doc.Edits().SetRoutingTogether(group);
        group.clear();
        if (!doc.Bus().WaitDirtyFlushed()) return 0;
    }
    doc.Edits().SetRoutingTogether(group);
    doc.RecordChains();
    return 1;
}

int ApplyRouting(CQ7310Doc& doc) {
    CleanChainsAndPalette(doc);
    return UpdateRouting(doc);
}

}  // namespace arvestra
