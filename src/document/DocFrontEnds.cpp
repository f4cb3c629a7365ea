// CQ7310Doc: the operations the editing pages and the remote controls start through their
// narrow views of the document (IPageDocument, IRemoteControl).
#include "document/CQ7310Doc.h"
#include "document/ChainRouting.h"
#include "document/EditPath.h"

namespace arvestra {

bool CQ7310Doc::ApplyEdits(std::span<const ParamEdit> edits, EditReason reason) {
    return ApplyDocumentEdits(*this, edits, reason);
}

int CQ7310Doc::DeriveRouting() {
    return UpdateRouting(*this);
}

int CQ7310Doc::RecallPresetDiscardingEdits(int preset) {
    // The edits are given up here, so the recall asks nothing.
    devices_.SetPresetModified(false);
    return RecallPreset(preset, true);
}

IRemoteControl::StoreOutcome CQ7310Doc::StorePresetAs(int preset,
                                                      std::optional<std::string_view> latin1Name) {
    // The name goes to the preset being stored into, so that preset is chosen first.
    devices_.SetCurrentPreset(preset);
    if (latin1Name && !SetPresetName(*latin1Name)) return StoreOutcome::NameNotSent;
    return StorePreset() ? StoreOutcome::Stored : StoreOutcome::NotStored;
}

}  // namespace arvestra
