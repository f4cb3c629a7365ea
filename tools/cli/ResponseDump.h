// The tab-separated response dump of one output's signal path, as the development utilities
// write it: per grid point the frequency, the combined level in dB and the point's column on a
// response graph of the given width.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "model/PresetImage.h"
#include "model/ResponseDump.h"

namespace arvestra::cli {

inline constexpr int kDefaultGraphWidth = 640;

// One point of a response: frequency, combined level and column on the graph.
struct ResponsePoint {
    double hz = 0.0;
    double levelDb = 0.0;
    int x = 0;
};

// The response of the output of outputChannel (0 = Ch 1, 1 = Ch 2) of an image on the grid
// with extraPoints (0..7) extra points per step, each placed on a graph graphWidth pixels wide
// from 19.2 Hz to 21 kHz.
std::vector<ResponsePoint> ResponsePoints(std::span<const std::uint8_t, kPresetImageSize> image,
                                          int outputChannel, int extraPoints, int graphWidth);

// The points as CSV: a header line "frequency_hz,level_db", then one line per point.
std::string ResponseCsvText(const std::vector<ResponsePoint>& points);

// One line: "%.0f" from 1000 Hz up, "%.1f" from 100 Hz, "%.2f" below; then "\t%.4f\t%d\r\n".
using arvestra::FormatDumpLine;

// The dump for the output of outputChannel (0 = Ch 1, 1 = Ch 2) of an image: the signal path
// feeding that output is walked, its curves computed on the grid with extraPoints (0..7) extra
// points per step, and each point placed on a graph graphWidth pixels wide from 19.2 Hz to
// 21 kHz.
std::string ResponseDumpText(std::span<const std::uint8_t, kPresetImageSize> image,
                             int outputChannel, int extraPoints, int graphWidth);

}  // namespace arvestra::cli
