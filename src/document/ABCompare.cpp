#include "document/ABCompare.h"

#include <algorithm>

namespace arvestra {

bool CABCompare::Follows(const IPageDocument& doc) const {
    return started_ && doc.Devices().CurrentAddress() == address_ &&
           doc.Devices().CurrentSlot() == slot_ && doc.Edits().HistoryEpoch() == epoch_;
}

CABCompare::Version CABCompare::Active(const IPageDocument& doc) const {
    return Follows(doc) ? active_ : Version::A;
}

bool CABCompare::Swap(IPageDocument& doc) {
    if (doc.Devices().CurrentSlot() == kNoDevice) return false;
    const uint8_t* buffer = doc.Devices().Location().Image(doc.Devices().CurrentSlot(), 0);
    if (!Follows(doc)) {
        std::copy_n(buffer, kept_.size(), kept_.begin());
        started_ = true;
        address_ = doc.Devices().CurrentAddress();
        slot_ = doc.Devices().CurrentSlot();
        epoch_ = doc.Edits().HistoryEpoch();
        active_ = Version::A;
    }
    std::array<uint8_t, kPresetImageSize> shown{};
    std::copy_n(buffer, shown.size(), shown.begin());
    const EditScope swap(doc.Edits(), EditReason::CompareSwap);
    for (std::size_t i = 0; i < kept_.size(); ++i) {
        doc.Edits().RestoreByte(static_cast<int>(i), kept_[i]);
    }
    kept_ = shown;
    active_ = active_ == Version::A ? Version::B : Version::A;
    return true;
}

}  // namespace arvestra
