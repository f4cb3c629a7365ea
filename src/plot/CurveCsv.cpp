// The CSV form of a curve, the same with or without Qt.
#include <cstdio>

#include "plot/CurvePlot.h"

namespace arvestra {

std::string CurveCsv(const std::vector<CurvePoint>& points) {
    std::string text = "frequency_hz,level_db\n";
    text.reserve(points.size() * 20 + text.size());
    for (const CurvePoint& point : points) {
        char line[96];
        std::snprintf(line, sizeof line, "%.2f,%.4f\n", point.hz, point.levelDb);
        text += line;
    }
    return text;
}

}  // namespace arvestra
