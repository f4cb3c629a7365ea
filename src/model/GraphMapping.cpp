#include "model/GraphMapping.h"

#include <cmath>

namespace arvestra {

namespace {

// Offsets beyond this many pixels are limited: far outside any screen, far inside int.
constexpr double kMaxPixelOffset = 1 << 24;

// Truncates toward zero as the integer conversion does, but defines the result for every
// double: NaN gives 0 and infinities and huge values are limited.
int TruncatedPixels(double value) {
    if (std::isnan(value)) return 0;
    if (value > kMaxPixelOffset) value = kMaxPixelOffset;
    if (value < -kMaxPixelOffset) value = -kMaxPixelOffset;
    return static_cast<int>(value);
}

}  // namespace

GraphMapping::GraphMapping(GraphRect rect, GraphConstants constants)
    : rect_(rect), constants_(constants) {}

double GraphMapping::DbPerPixel() const {
    const int height = rect_.bottom - rect_.top;
    if (height == 0) return 0.0;
    return (constants_.topDb - constants_.bottomDb) / height;
}

int GraphMapping::DbToY(double db) const {
    const double span = constants_.bottomDb - constants_.topDb;
    if (span == 0.0) return rect_.top;
    const double fraction = (db - constants_.topDb) / span;
    return rect_.top + TruncatedPixels(fraction * (rect_.bottom - rect_.top) + 0.5);
}

double GraphMapping::YToDb(int y) const {
    const int height = rect_.bottom - rect_.top;
    if (height == 0) return constants_.topDb;
    return constants_.topDb +
           static_cast<double>(y - rect_.top) / height * (constants_.bottomDb - constants_.topDb);
}

int GraphMapping::DbToYFromTop(double db) const {
    const double perPixel = DbPerPixel();
    if (perPixel == 0.0) return rect_.top;
    return rect_.top + TruncatedPixels((constants_.topDb - db) / perPixel + 0.5);
}

int GraphMapping::DbToYFromBottom(double db) const {
    const double perPixel = DbPerPixel();
    if (perPixel == 0.0) return rect_.bottom;
    return rect_.bottom + TruncatedPixels((constants_.bottomDb - db) / perPixel + 0.5);
}

int GraphMapping::FrequencyToX(double hz) const {
    const double lowLog = std::log10(constants_.lowHz);
    const double decades = std::log10(constants_.highHz) - lowLog;
    if (!(decades != 0.0) || !std::isfinite(decades)) return rect_.left;
    const double fraction = (std::log10(hz) - lowLog) / decades;
    return rect_.left + TruncatedPixels(fraction * (rect_.right - rect_.left) + 0.5);
}

double GraphMapping::XToFrequency(int x) const {
    const int width = rect_.right - rect_.left;
    if (width == 0) return constants_.lowHz;
    const double lowLog = std::log10(constants_.lowHz);
    const double decades = std::log10(constants_.highHz) - lowLog;
    return std::pow(10.0, lowLog + static_cast<double>(x - rect_.left) / width * decades);
}

}  // namespace arvestra
