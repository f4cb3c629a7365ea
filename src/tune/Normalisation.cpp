#include "tune/Normalisation.h"

#include <cmath>

#include "tune/TextLines.h"

namespace arvestra {

std::string FormatNormalisation(const Normalisation& n) {
    if (n.kind == Normalisation::Kind::AtFrequency) return "at " + FormatNumber(n.atHz, 1);
    return "mean " + FormatNumber(n.lowHz, 1) + "-" + FormatNumber(n.highHz, 1);
}

std::optional<Normalisation> ParseNormalisation(std::string_view text) {
    text = TrimSpaces(text);
    Normalisation n;
    if (StartsWithNoCase(text, "at ")) {
        const auto hz = ParseNumberField(TrimSpaces(text.substr(3)));
        if (!hz || !std::isfinite(*hz) || *hz <= 0.0) return std::nullopt;
        n.kind = Normalisation::Kind::AtFrequency;
        n.atHz = *hz;
        return n;
    }
    if (!StartsWithNoCase(text, "mean ")) return std::nullopt;
    const std::string_view range = TrimSpaces(text.substr(5));
    const std::size_t dash = range.find('-', 1);
    if (dash == std::string_view::npos) return std::nullopt;
    const auto low = ParseNumberField(TrimSpaces(range.substr(0, dash)));
    const auto high = ParseNumberField(TrimSpaces(range.substr(dash + 1)));
    if (!low || !high || !std::isfinite(*low) || !std::isfinite(*high) || !(*low < *high)) {
        return std::nullopt;
    }
    n.lowHz = *low;
    n.highHz = *high;
    return n;
}

NormaliseResult Normalise(const Measurement& measurement, const Normalisation& n) {
    if (n.kind == Normalisation::Kind::AtFrequency) {
        if (n.atHz < measurement.LowestHz() || n.atHz > measurement.HighestHz()) {
            return {{},
                    FormatNumber(n.atHz, 1) + " Hz lies outside the measurement (" +
                        FormatNumber(measurement.LowestHz(), 1) + "-" +
                        FormatNumber(measurement.HighestHz(), 1) + " Hz)"};
        }
        return {measurement.Shifted(measurement.LevelAt(n.atHz)), {}};
    }
    const double mean = measurement.MeanOver(n.lowHz, n.highHz);
    if (std::isnan(mean)) {
        return {{},
                "the range " + FormatNumber(n.lowHz, 1) + "-" + FormatNumber(n.highHz, 1) +
                    " Hz holds no part of the measurement"};
    }
    return {measurement.Shifted(mean), {}};
}

}  // namespace arvestra
