#include "model/ValueFormat.h"

#include <cstdarg>
#include <cstdio>

#include "model/DotDecimalScope.h"

namespace arvestra {
namespace {

// printf into a string of whatever length the value needs (1e300 with "%.0f" is 301 digits).
__attribute__((format(printf, 1, 2))) std::string Printf(const char* format, ...) {
    const DotDecimalScope dot;
    char small[64];
    va_list args;
    va_start(args, format);
    va_list again;
    va_copy(again, args);
    const int length = std::vsnprintf(small, sizeof small, format, args);
    va_end(args);
    std::string out;
    if (length < 0) {
        va_end(again);
        return out;
    }
    if (static_cast<std::size_t>(length) < sizeof small) {
        out.assign(small, static_cast<std::size_t>(length));
    } else {
        out.resize(static_cast<std::size_t>(length));
        std::vsnprintf(out.data(), out.size() + 1, format, again);
    }
    va_end(again);
    return out;
}

}  // namespace

std::string FormatParametricFrequency(double hz) {
    return Printf("%.0f Hz", hz);
}

std::string FormatBandwidth(double bw) {
    return Printf("%.2f", bw);
}

std::string FormatDecibels(double db) {
    return Printf("%.1f dB", db);
}

std::string FormatBandTip(int bandNumber, double hz, double bw, double db) {
    return Printf("Band %d: %.0f Hz, %.2f bw, %.1f dB", bandNumber, hz, bw, db);
}

std::string FormatCutoff(double hz) {
    return Printf("%.0f", hz);
}

std::string FormatCrossover(double hz) {
    return Printf("%.0f", hz);
}

std::string FormatRelease(double ms) {
    return Printf("%.0f", ms);
}

std::string FormatAttack(double ms) {
    if (ms >= 1.0) return Printf("%.0f", ms);
    return Printf("%0.2f", ms);
}

std::string FormatRatio(double ratio) {
    return Printf("%.2f", ratio);
}

std::string FormatThreshold(double db) {
    return Printf("%.1f", db);
}

std::string FormatGainAxisLabel(double db) {
    return Printf("%+2.0f", db);
}

std::string FormatDelaySeconds(double seconds) {
    return Printf("%.6f", seconds);
}

std::string FormatFeet(double feet) {
    return Printf("%.1f", feet);
}

std::string FormatMetres(double metres) {
    return Printf("%.1f", metres);
}

std::string FormatTemperature(double degrees) {
    return Printf("%.1f", degrees);
}

}  // namespace arvestra
