#include "model/PresetImageView.h"

#include <algorithm>
#include <cstring>

namespace arvestra {
namespace {

bool ValidSlot(int slotIndex) {
    return slotIndex >= 0 && slotIndex < static_cast<int>(kImagesPerDevice);
}

}  // namespace

bool PresetImageView::rebind(std::uint8_t* firstSlot, int slotIndex) {
    if (firstSlot == nullptr || !ValidSlot(slotIndex)) {
        unbind();
        return false;
    }
    firstSlot_ = firstSlot;
    slotIndex_ = slotIndex;
    return true;
}

void PresetImageView::unbind() {
    firstSlot_ = nullptr;
    slotIndex_ = 0;
}

std::uint8_t* PresetImageView::slot(int slotIndex) const {
    if (firstSlot_ == nullptr || !ValidSlot(slotIndex)) return nullptr;
    return firstSlot_ + static_cast<std::size_t>(slotIndex) * kImageSlotSize;
}

std::uint8_t* PresetImageView::data() const {
    return slot(slotIndex_);
}

int PresetImageView::Get(ParamField field, int channel, int index) const {
    const std::uint8_t* image = data();
    if (image == nullptr) return 0;
    return ReadField(std::span<const std::uint8_t, kPresetImageSize>(image, kPresetImageSize),
                     field, channel, index);
}

int PresetImageView::Set(ParamField field, int channel, int index, long long value) {
    std::uint8_t* image = data();
    if (image == nullptr) return ClampToField(field, value);
    return WriteField(std::span<std::uint8_t, kPresetImageSize>(image, kPresetImageSize), field,
                      channel, index, value);
}

int PresetImageView::byteAt(int offset) const {
    const std::uint8_t* image = data();
    if (image == nullptr || offset < 0 || offset >= static_cast<int>(kPresetImageSize)) return 0;
    return image[offset];
}

void PresetImageView::setByteAt(int offset, std::uint8_t value) {
    std::uint8_t* image = data();
    if (image == nullptr || offset < 0 || offset >= static_cast<int>(kPresetImageSize)) return;
    image[offset] = value;
}

int PresetImageView::delaySamples(int channel) const {
    return JoinDelayBytes(
        DelayBytes{static_cast<std::uint8_t>(Get(ParamField::DelayHigh, channel)),
                   static_cast<std::uint8_t>(Get(ParamField::DelayMiddle, channel)),
                   static_cast<std::uint8_t>(Get(ParamField::DelayLow, channel))});
}

int PresetImageView::setDelaySamples(int channel, long long samples) {
    const int count = static_cast<int>(std::clamp<long long>(samples, 0, kMaxDelaySamples));
    const DelayBytes bytes = SplitDelaySamples(count);
    Set(ParamField::DelayLow, channel, bytes.low);
    Set(ParamField::DelayMiddle, channel, bytes.middle);
    Set(ParamField::DelayHigh, channel, bytes.high);
    return count;
}

int PresetImageView::temperatureTenths(int channel) const {
    return JoinTemperatureBytes(
        TemperatureBytes{static_cast<std::uint8_t>(Get(ParamField::TemperatureHigh, channel)),
                         static_cast<std::uint8_t>(Get(ParamField::TemperatureLow, channel))});
}

int PresetImageView::setTemperatureTenths(int channel, long long tenths) {
    const int count = static_cast<int>(std::clamp<long long>(tenths, 0, kMaxTemperatureTenths));
    const TemperatureBytes bytes = SplitTemperatureTenths(count);
    Set(ParamField::TemperatureLow, channel, bytes.low);
    Set(ParamField::TemperatureHigh, channel, bytes.high);
    return count;
}

bool PresetImageView::setName(int slotIndex, std::string_view latin1Text) {
    std::uint8_t* image = slot(slotIndex);
    if (image == nullptr) return false;
    const std::string_view text = latin1Text.substr(0, latin1Text.find('\0'));
    const std::size_t length = std::min(text.size(), kNameLength);
    std::uint8_t* name = image + kNameOffset;
    std::memset(name, 0, kNameLength);
    if (length > 0) std::memcpy(name, text.data(), length);
    return true;
}

std::string PresetImageView::getName(int slotIndex) const {
    const std::uint8_t* image = slot(slotIndex);
    if (image == nullptr) return {};
    const char* name = reinterpret_cast<const char*>(image + kNameOffset);
    std::size_t length = 0;
    while (length < kNameLength && name[length] != '\0') ++length;
    return std::string(name, length);
}

}  // namespace arvestra
