#include "model/ResponseDump.h"

#include <cstdio>

#include "model/DotDecimalScope.h"

namespace arvestra {

std::string FormatDumpLine(double hz, double levelDb, int x) {
    const char* format = "%.2f\t%.4f\t%d\r\n";
    if (hz >= 1000.0) {
        format = "%.0f\t%.4f\t%d\r\n";
    } else if (hz >= 100.0) {
        format = "%.1f\t%.4f\t%d\r\n";
    }
    char line[128];
    const DotDecimalScope dot;  // the dump reads the same under any desktop locale
    std::snprintf(line, sizeof line, format, hz, levelDb, x);
    return line;
}

std::string FormatResponseDump(std::span<const float> frequencies, std::span<const double> levels,
                               const GraphMapping& graph) {
    std::string text;
    text.reserve(frequencies.size() * 24);
    for (std::size_t i = 0; i < frequencies.size() && i < levels.size(); ++i) {
        const double hz = frequencies[i];
        text += FormatDumpLine(hz, levels[i], graph.FrequencyToX(hz));
    }
    return text;
}

std::string DumpResponse(FilterResponse& response, const CurveSet& path,
                         const FilterResponse::ChannelSettings& settings,
                         const GraphMapping& graph) {
    if (response.FullRecomputeRequested()) response.Update(path, settings);
    return FormatResponseDump(response.Grid().Frequencies(), response.LevelsDb(), graph);
}

}  // namespace arvestra
