// Pictures of a frequency response: the curve on a logarithmic frequency axis from 19.2 Hz to
// 21 kHz with a decibel grid, as SVG text or PNG bytes. The interface is plain C++, so the
// command-line tool stays free of Qt headers; a build without Qt renders nothing and says so.
#pragma once

#include <string>
#include <vector>

namespace arvestra {

struct CurvePoint {
    double hz = 0.0;
    double levelDb = 0.0;
};

struct CurvePlotOptions {
    int width = 800;   // pixels
    int height = 400;  // pixels
    double lowestDb = -30.0;
    double highestDb = 30.0;
    std::string title;  // drawn above the graph when not empty
};

// The rendered file, or an error (empty bytes) saying why nothing was drawn.
struct CurvePicture {
    std::string bytes;
    std::string error;
};

// The curve as CSV: a header line "frequency_hz,level_db", then one line per point.
std::string CurveCsv(const std::vector<CurvePoint>& points);

// The curve as an SVG document.
CurvePicture RenderCurveSvg(const std::vector<CurvePoint>& points, const CurvePlotOptions& options);
// The curve as a PNG image.
CurvePicture RenderCurvePng(const std::vector<CurvePoint>& points, const CurvePlotOptions& options);

}  // namespace arvestra
