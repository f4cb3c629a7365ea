// The tab-separated text dump of a computed response, one line per grid point: the frequency
// in Hz, the combined level in dB and the point's column on a response graph, each line ending
// in CR LF. The development utilities show it; arvestra-cli prints it.
#pragma once

#include <span>
#include <string>

#include "model/CurveSet.h"
#include "model/FilterResponse.h"
#include "model/GraphMapping.h"

namespace arvestra {

// One line: the frequency as "%.0f" from 1000 Hz up, "%.1f" from 100 Hz, "%.2f" below; then
// "\t%.4f\t%d\r\n" with the level and the column.
std::string FormatDumpLine(double hz, double levelDb, int x);

// The lines of every point for which both a frequency and a level are given.
std::string FormatResponseDump(std::span<const float> frequencies, std::span<const double> levels,
                               const GraphMapping& graph);

// The dump of a response as last computed. Levels that were never computed (a grid just
// rebuilt, a full recomputation still pending) are computed first from the path and settings,
// so the dump never shows placeholder zeros; otherwise nothing is recomputed.
std::string DumpResponse(FilterResponse& response, const CurveSet& path,
                         const FilterResponse::ChannelSettings& settings,
                         const GraphMapping& graph);

}  // namespace arvestra
