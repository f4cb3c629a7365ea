// CQ7310Doc: the dirty range of the edit buffer and the image writes that copy their bytes
// under its lock before they go to the bus.
#include <algorithm>

#include "document/CQ7310Doc.h"

namespace arvestra {

int CQ7310Doc::MarkDirty(uint8_t offset) {
    std::lock_guard<std::mutex> lock(dirtyLock);
    dirtyFirst = std::min(dirtyFirst, offset);
    dirtyLast = std::max(dirtyLast, offset);
    return 1;
}

std::pair<uint8_t, uint8_t> CQ7310Doc::DirtyRange() const {
    std::lock_guard<std::mutex> lock(dirtyLock);
    return {dirtyFirst, dirtyLast};
}

bool CQ7310Doc::HasDirtyRange() const {
    std::lock_guard<std::mutex> lock(dirtyLock);
    return dirtyFirst <= dirtyLast;
}

int CQ7310Doc::WriteImageRange(int first, int last, int imageNumber) {
    if (first < 0 || last < first || last >= static_cast<int>(kImageSlotSize)) return 0;
    std::array<uint8_t, kImageSlotSize> bytes{};
    const int count = last - first + 1;
    {
        std::lock_guard<std::mutex> lock(dirtyLock);
        if (!model.isBound()) return 0;
        const uint8_t* image = model.firstSlot() + model.slotIndex() * kImageSlotSize;
        std::copy_n(image + first, count, bytes.begin());
    }
    return bus_.WriteImage(first,
                           std::span<const uint8_t>(bytes.data(), static_cast<std::size_t>(count)),
                           imageNumber);
}

int CQ7310Doc::SendStoredImage(int image, int imageNumber) {
    if (devices_.CurrentSlot() == kNoDevice || image < 0 || image >= kImageCount) return 0;
    std::array<uint8_t, kPresetImageSize> bytes{};
    {
        std::lock_guard<std::mutex> lock(dirtyLock);
        const uint8_t* source = devices_.Location().Image(devices_.CurrentSlot(), image);
        std::copy_n(source, kPresetImageSize, bytes.begin());
    }
    return bus_.WriteImage(0, bytes, imageNumber);
}

void CQ7310Doc::ClearDirtyRange() {
    std::lock_guard<std::mutex> lock(dirtyLock);
    dirtyFirst = 255;
    dirtyLast = 0;
}

}  // namespace arvestra
