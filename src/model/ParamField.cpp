#include "model/ParamField.h"

#include <algorithm>
#include <array>

namespace arvestra {
namespace {

using B = FieldBlock;
using R = FieldRole;

// A field's storage shape: which bits of its byte, and how its array elements are spaced.
struct Bits {
    std::uint8_t mask;
    std::uint8_t shift;
};
constexpr Bits kByte{0xFF, 0};
constexpr Bits kSourceBits{0x3F, 0};
constexpr Bits kBit6{0x40, 6};
constexpr Bits kBit7{0x80, 7};
constexpr Bits kLow7{0x7F, 0};

struct Array {
    int step;
    int count;
};
constexpr Array kSingle{0, 1};

constexpr FieldDescriptor Field(const char* name, FieldBlock block, FieldRole role, int offsetB,
                                int stride, Bits bits, int lo, int hi, Scale scale = Scale::None,
                                Array array = kSingle) {
    return FieldDescriptor{name,        block,     role,       offsetB, stride, array.step,
                           array.count, bits.mask, bits.shift, lo,      hi,     scale};
}

// Compressor/limiter band fields: band 2 lies seven bytes above band 1.
constexpr Array kClBands{7, 2};

// Offsets are channel B's (or the only one); channel A is the stride lower.
constexpr std::array<FieldDescriptor, kParamFieldCount> kFields{{
    Field("eq.type", B::Equaliser, R::Value, 65, 65, kByte, 0, 1),
    Field("eq.source", B::Equaliser, R::Source, 66, 65, kSourceBits, 0, 17),
    Field("eq.master", B::Equaliser, R::Master, 66, 65, kBit6, 0, 1),
    Field("eq.bypass", B::Equaliser, R::Value, 66, 65, kBit7, 0, 1),
    Field("eq.reserved", B::Equaliser, R::Value, 67, 65, kByte, 0, 1),
    Field("eq.graphic_q", B::Equaliser, R::Value, 68, 65, kByte, 0, 18, Scale::GraphicQ),
    Field("eq.graphic_gain", B::Equaliser, R::Value, 69, 65, kByte, 0, 60, Scale::GraphicGain,
          {1, 31}),
    Field("eq.param_frequency", B::Equaliser, R::Value, 100, 65, kByte, 0, 100, Scale::Frequency,
          {1, 10}),
    Field("eq.param_bandwidth", B::Equaliser, R::Value, 110, 65, kByte, 0, 39, Scale::Bandwidth,
          {1, 10}),
    Field("eq.param_gain", B::Equaliser, R::Value, 120, 65, kLow7, 0, 121, Scale::ParametricGain,
          {1, 10}),
    Field("eq.param_bypass", B::Equaliser, R::Value, 120, 65, kBit7, 0, 1, Scale::None, {1, 10}),

    Field("lp.source", B::LowPass, R::Source, 136, 6, kSourceBits, 0, 17),
    Field("lp.master", B::LowPass, R::Master, 136, 6, kBit6, 0, 1),
    Field("lp.flag", B::LowPass, R::Value, 136, 6, kBit7, 0, 1),
    Field("lp.cutoff", B::LowPass, R::Value, 137, 6, kByte, 0, 100, Scale::Frequency),
    Field("lp.slope", B::LowPass, R::Value, 138, 6, kByte, 0, 1),

    Field("hp.source", B::HighPass, R::Source, 139, 6, kSourceBits, 0, 17),
    Field("hp.master", B::HighPass, R::Master, 139, 6, kBit6, 0, 1),
    Field("hp.flag", B::HighPass, R::Value, 139, 6, kBit7, 0, 1),
    Field("hp.cutoff", B::HighPass, R::Value, 140, 6, kByte, 0, 100, Scale::Frequency),
    Field("hp.slope", B::HighPass, R::Value, 141, 6, kByte, 0, 1),

    Field("input.level", B::Input, R::Value, 143, 1, kByte, 152, 232, Scale::Level),

    Field("delay.source", B::Delay, R::Source, 148, 4, kSourceBits, 0, 17),
    Field("delay.master", B::Delay, R::Master, 148, 4, kBit6, 0, 1),
    Field("delay.bypass", B::Delay, R::Value, 148, 4, kBit7, 0, 1),
    Field("delay.high", B::Delay, R::Value, 149, 4, kByte, 0, 255),
    Field("delay.middle", B::Delay, R::Value, 150, 4, kByte, 0, 255),
    Field("delay.low", B::Delay, R::Value, 151, 4, kByte, 0, 255),
    Field("delay.temperature_high", B::Delay, R::Value, 215, 1, kByte, 0, 255),
    Field("delay.temperature_low", B::Delay, R::Value, 217, 1, kByte, 0, 255),

    Field("cl.source", B::CompLimiter, R::Source, 171, 19, kSourceBits, 0, 17),
    Field("cl.master", B::CompLimiter, R::Master, 171, 19, kBit6, 0, 1),
    Field("cl.bypass", B::CompLimiter, R::Value, 171, 19, kBit7, 0, 1),
    Field("cl.link_mode", B::CompLimiter, R::LinkDerived, 172, 19, kByte, 0, 2),
    Field("cl.reserved", B::CompLimiter, R::Value, 173, 19, kByte, 0, 95),
    Field("cl.link_flag", B::CompLimiter, R::LinkDerived, 174, 19, kByte, 0, 1),
    Field("cl.crossover", B::CompLimiter, R::Value, 175, 19, kLow7, 23, 86, Scale::Frequency),
    Field("cl.mode", B::CompLimiter, R::Value, 175, 19, kBit7, 0, 1),
    Field("cl.attack", B::CompLimiter, R::Value, 176, 19, kByte, 10, 74, Scale::Attack, kClBands),
    Field("cl.release", B::CompLimiter, R::Value, 177, 19, kByte, 59, 82, Scale::Release, kClBands),
    Field("cl.band_reserved", B::CompLimiter, R::Value, 178, 19, kByte, 0, 96, Scale::None,
          kClBands),
    Field("cl.threshold", B::CompLimiter, R::Value, 179, 19, kByte, 100, 200, Scale::Threshold,
          kClBands),
    Field("cl.ratio", B::CompLimiter, R::Value, 180, 19, kByte, 0, 39, Scale::Ratio, kClBands),
    Field("cl.knee", B::CompLimiter, R::Value, 181, 19, kByte, 0, 3, Scale::None, kClBands),
    Field("cl.gain", B::CompLimiter, R::Value, 182, 19, kByte, 0, 80, Scale::CompressorGain,
          kClBands),

    Field("output.source", B::Output, R::Source, 192, 2, kByte, 0, 17),
    Field("output.level", B::Output, R::Value, 193, 2, kByte, 152, 232, Scale::Level),

    Field("config.pink_noise_level", B::Configuration, R::Value, 194, 0, kByte, 0, 80,
          Scale::PinkNoiseLevel),
    Field("config.reserved", B::Configuration, R::Value, 195, 0, kByte, 0, 255),
    Field("config.chain_slot", B::Configuration, R::Value, 196, 0, Bits{0x0F, 0}, 0, 14,
          Scale::None, {1, 16}),
    Field("config.palette", B::Configuration, R::Value, 196, 0, Bits{0xF0, 4}, 0, 14, Scale::None,
          {1, 12}),
    Field("config.pink_noise_on", B::Configuration, R::Value, 212, 0, Bits{0x01, 0}, 0, 1,
          Scale::None, {1, 2}),
    Field("config.join_position", B::Configuration, R::Value, 212, 0, Bits{0x1E, 1}, 0, 8,
          Scale::None, {1, 2}),
    Field("config.join_on", B::Configuration, R::Value, 212, 0, Bits{0x20, 5}, 0, 1),
    Field("config.join_target", B::Configuration, R::Value, 212, 0, Bits{0x40, 6}, 0, 1),
    Field("name.char", B::Name, R::Value, 218, 0, kByte, 0, 255, Scale::None, {1, 32}),
}};

// Every element of every field must lie in the parameter bytes and fit its bits.
constexpr bool TableIsSound() {
    for (const FieldDescriptor& f : kFields) {
        const int lowest = f.offsetB - f.channelStride;
        const int highest = f.offsetB + f.indexStep * (f.indexCount - 1);
        if (lowest < 0 || highest >= static_cast<int>(kPresetImageSize)) return false;
        if (f.lo < 0 || f.lo > f.hi || (f.hi << f.shift) & ~f.mask & 0xFF) return false;
        if ((f.mask >> f.shift) < f.hi) return false;
    }
    return true;
}
static_assert(TableIsSound(), "a field lies outside the image or does not fit its bits");

// The table as a plain array for the lookups: reading an image looks fields up hundreds of
// times, and unoptimised builds (the sanitizer and fuzz builds) would otherwise pay two calls
// into std::array for each.
constexpr const FieldDescriptor* kFieldTable = kFields.data();

// Every field access looks its descriptor up once and works from it: reads of whole images
// (views, checks, exports) do this hundreds of times.
int OffsetIn(const FieldDescriptor& f, int channel, int index) {
    if (index < 0 || index >= f.indexCount) return -1;
    const int base = (channel == kChannelA) ? f.offsetB - f.channelStride : f.offsetB;
    return base + index * f.indexStep;
}

int ClampTo(const FieldDescriptor& f, long long value) {
    return static_cast<int>(std::min<long long>(f.hi, std::max<long long>(value, f.lo)));
}

}  // namespace

const FieldDescriptor& FieldInfo(ParamField field) {
    const int i = static_cast<int>(field);
    return kFieldTable[(i >= 0 && i < kParamFieldCount) ? i : 0];
}

std::span<const FieldDescriptor> AllFields() {
    return kFields;
}

int FieldOffset(ParamField field, int channel, int index) {
    return OffsetIn(FieldInfo(field), channel, index);
}

int ClampToField(ParamField field, long long value) {
    return ClampTo(FieldInfo(field), value);
}

std::optional<ParamField> FieldByName(std::string_view name) {
    for (int i = 0; i < kParamFieldCount; ++i) {
        if (name == kFields[i].name) return static_cast<ParamField>(i);
    }
    return std::nullopt;
}

int ReadField(std::span<const std::uint8_t, kPresetImageSize> image, ParamField field, int channel,
              int index) {
    const FieldDescriptor& f = FieldInfo(field);
    const int offset = OffsetIn(f, channel, index);
    if (offset < 0) return 0;
    return (image[offset] & f.mask) >> f.shift;
}

int WriteField(std::span<std::uint8_t, kPresetImageSize> image, ParamField field, int channel,
               int index, long long value) {
    const FieldDescriptor& f = FieldInfo(field);
    const int clamped = ClampTo(f, value);
    const int offset = OffsetIn(f, channel, index);
    if (offset < 0) return clamped;
    const int bits = (clamped << f.shift) & f.mask;
    image[offset] = static_cast<std::uint8_t>((image[offset] & ~f.mask) | bits);
    return clamped;
}

}  // namespace arvestra
