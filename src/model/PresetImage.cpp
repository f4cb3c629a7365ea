#include "model/PresetImage.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "model/ParamField.h"

namespace arvestra {
namespace {

using F = ParamField;

// Initial value of a field for channel A and channel B (the same for every index).
struct InitialValue {
    ParamField field;
    int valueA;
    int valueB;
};

// Only fields whose initial value is not 0; every other byte of a new image is 0.
constexpr InitialValue kNonZeroInitials[] = {
    {F::EqGraphicQ, 6, 6},
    {F::EqGraphicGain, 30, 30},
    {F::EqParamBandwidth, 19, 19},
    {F::EqParamGain, 97, 97},
    {F::LpCutoff, 100, 100},
    {F::LpSlope, 1, 1},
    {F::HpSlope, 1, 1},
    {F::InputLevel, 192, 192},
    {F::TemperatureHigh, kDefaultTemperatureTenths / 256, kDefaultTemperatureTenths / 256},
    {F::TemperatureLow, kDefaultTemperatureTenths % 256, kDefaultTemperatureTenths % 256},
    {F::ClLinkMode, 1, 2},
    {F::ClLinkFlag, 0, 1},
    {F::ClCrossover, 56, 56},
    {F::ClMode, 1, 1},
    {F::ClAttack, 10, 10},
    {F::ClRelease, 59, 59},
    {F::ClBandReserved, 48, 48},
    {F::ClThreshold, 200, 200},
    {F::ClKnee, 1, 1},
    {F::ClGain, 40, 40},
    {F::OutputSource, 1, 2},
    {F::OutputLevel, 192, 192},
    {F::Reserved195, 1, 1},
};

// Block codes of the configuration page's palette: row A, then row B.
constexpr int kInitialPalette[12] = {1, 11, 13, 5, 3, 0, 2, 12, 14, 8, 4, 0};

// Parametric band n starts at frequency code 7 + 9n, spread over the audio range.
constexpr int InitialParametricFrequency(int band) {
    return 7 + 9 * band;
}

void WriteInitials(std::span<std::uint8_t, kPresetImageSize> image) {
    std::fill(image.begin(), image.end(), std::uint8_t{0});
    for (const InitialValue& init : kNonZeroInitials) {
        const FieldDescriptor& info = FieldInfo(init.field);
        for (int index = 0; index < info.indexCount; ++index) {
            WriteField(image, init.field, kChannelA, index, init.valueA);
            WriteField(image, init.field, kChannelB, index, init.valueB);
        }
    }
    for (int band = 0; band < FieldInfo(F::EqParamFrequency).indexCount; ++band) {
        WriteField(image, F::EqParamFrequency, kChannelA, band, InitialParametricFrequency(band));
        WriteField(image, F::EqParamFrequency, kChannelB, band, InitialParametricFrequency(band));
    }
    for (int position = 0; position < 12; ++position) {
        WriteField(image, F::PalettePosition, kChannelA, position, kInitialPalette[position]);
    }
}

}  // namespace

PresetImage InitialPresetImage() {
    PresetImage image;
    WriteInitials(image.bytes);
    return image;
}

void FillInitialSlot(ImageSlot slot) {
    std::fill(slot.begin(), slot.end(), std::uint8_t{0});
    WriteInitials(slot.first<kPresetImageSize>());
}

void FillInitialImageArea(ImageArea area) {
    for (std::size_t s = 0; s < kImagesPerDevice; ++s) {
        ImageSlot slot = area.subspan(s * kImageSlotSize).first<kImageSlotSize>();
        FillInitialSlot(slot);
        char name[kNameLength + 1];
        const int length = std::snprintf(name, sizeof name, "Preset %zu", s);
        std::memcpy(slot.data() + kNameOffset, name, static_cast<std::size_t>(length));
    }
}

DelayBytes SplitDelaySamples(int samples) {
    const int count = std::clamp(samples, 0, kMaxDelaySamples);
    return DelayBytes{static_cast<std::uint8_t>((count >> 16) & 0xFF),
                      static_cast<std::uint8_t>((count >> 8) & 0xFF),
                      static_cast<std::uint8_t>(count & 0xFF)};
}

int JoinDelayBytes(DelayBytes bytes) {
    return (bytes.high << 16) | (bytes.middle << 8) | bytes.low;
}

TemperatureBytes SplitTemperatureTenths(int tenths) {
    const int count = std::clamp(tenths, 0, kMaxTemperatureTenths);
    return TemperatureBytes{static_cast<std::uint8_t>(count / 256),
                            static_cast<std::uint8_t>(count % 256)};
}

int JoinTemperatureBytes(TemperatureBytes bytes) {
    return bytes.high * 256 + bytes.low;
}

}  // namespace arvestra
