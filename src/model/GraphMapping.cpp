#include "model/GraphMapping.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace arvestra {

namespace {

// Offsets beyond this many pixels are limited: far outside any screen, far inside int.
constexpr double kMaxPixelOffset = 1 << 24;

// Distance between two coordinates, in double so that no rectangle overflows int.
double Extent(int from, int to) {
    return static_cast<double>(to) - from;
}

// edge + trunc(offset), defined for every double: NaN counts as 0, infinities and huge offsets
// are limited, and the sum stays within int.
int PixelAt(int edge, double offset) {
    if (std::isnan(offset)) offset = 0.0;
    offset = std::clamp(offset, -kMaxPixelOffset, kMaxPixelOffset);
    const long long pixel = edge + static_cast<long long>(offset);
    return static_cast<int>(std::clamp<long long>(pixel, std::numeric_limits<int>::min(),
                                                  std::numeric_limits<int>::max()));
}

}  // namespace

GraphMapping::GraphMapping(GraphRect rect, GraphConstants constants)
    : rect_(rect), constants_(constants) {}

double GraphMapping::DbPerPixel() const {
    const double height = Extent(rect_.top, rect_.bottom);
    if (height == 0.0) return 0.0;
    return (constants_.topDb - constants_.bottomDb) / height;
}

int GraphMapping::DbToY(double db) const {
    const double span = constants_.bottomDb - constants_.topDb;
    if (span == 0.0) return rect_.top;
    const double fraction = (db - constants_.topDb) / span;
    return PixelAt(rect_.top, fraction * Extent(rect_.top, rect_.bottom) + 0.5);
}

double GraphMapping::YToDb(int y) const {
    const double height = Extent(rect_.top, rect_.bottom);
    if (height == 0.0) return constants_.topDb;
    return constants_.topDb +
           Extent(rect_.top, y) / height * (constants_.bottomDb - constants_.topDb);
}

int GraphMapping::DbToYFromTop(double db) const {
    const double perPixel = DbPerPixel();
    if (perPixel == 0.0) return rect_.top;
    return PixelAt(rect_.top, (constants_.topDb - db) / perPixel + 0.5);
}

int GraphMapping::DbToYFromBottom(double db) const {
    const double perPixel = DbPerPixel();
    if (perPixel == 0.0) return rect_.bottom;
    return PixelAt(rect_.bottom, (constants_.bottomDb - db) / perPixel + 0.5);
}

int GraphMapping::FrequencyToX(double hz) const {
    const double lowLog = std::log10(constants_.lowHz);
    const double decades = std::log10(constants_.highHz) - lowLog;
    if (decades == 0.0 || !std::isfinite(decades)) return rect_.left;
    const double fraction = (std::log10(hz) - lowLog) / decades;
    return PixelAt(rect_.left, fraction * Extent(rect_.left, rect_.right) + 0.5);
}

double GraphMapping::XToFrequency(int x) const {
    const double width = Extent(rect_.left, rect_.right);
    if (width == 0.0) return constants_.lowHz;
    const double lowLog = std::log10(constants_.lowHz);
    const double decades = std::log10(constants_.highHz) - lowLog;
    return std::pow(10.0, lowLog + Extent(rect_.left, x) / width * decades);
}

}  // namespace arvestra
