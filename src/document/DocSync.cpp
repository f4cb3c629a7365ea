// CQ7310Doc: the dirty range of the edit buffer and the image writes that copy their bytes
// under its lock before they go to the bus.
#include <algorithm>

#include "document/CQ7310Doc.h"

namespace arvestra {

bool CQ7310Doc::HasDirtyRange() const {
    return !edits_.DirtyRangeEmpty();
}

int CQ7310Doc::WriteImageRange(int first, int last, int imageNumber) {
    if (first < 0 || last < first || last >= static_cast<int>(kImageSlotSize)) return 0;
    std::array<uint8_t, kImageSlotSize> bytes{};
    const int count = last - first + 1;
    if (!edits_.CopyBytes(first, count, bytes.data())) return 0;
    return bus_.WriteImage(first,
                           std::span<const uint8_t>(bytes.data(), static_cast<std::size_t>(count)),
                           imageNumber);
}

int CQ7310Doc::SendStoredImage(int image, int imageNumber) {
    if (devices_.CurrentSlot() == kNoDevice || image < 0 || image >= kImageCount) return 0;
    std::array<uint8_t, kPresetImageSize> bytes{};
    {
        const auto hold = edits_.Hold();
        const uint8_t* source = devices_.Location().Image(devices_.CurrentSlot(), image);
        std::copy_n(source, kPresetImageSize, bytes.begin());
    }
    return bus_.WriteImage(0, bytes, imageNumber);
}

}  // namespace arvestra
