#include "ui/pages/GraphicEqPageGeometry.h"

#include <algorithm>
#include <cstdlib>

namespace arvestra {

std::vector<PixelRect> BandColumns(const std::vector<int>& dotX, const GraphRect& graph) {
    std::vector<PixelRect> columns;
    const std::size_t count = dotX.size();
    int left = graph.left;
    for (std::size_t band = 0; band < count; ++band) {
        const int right = band + 1 < count ? (dotX[band] + dotX[band + 1]) / 2 : graph.right;
        columns.push_back({left, graph.top, right, graph.bottom});
        left = right;
    }
    return columns;
}

int ColumnAt(const std::vector<PixelRect>& columns, int x, int y) {
    for (std::size_t band = 0; band < columns.size(); ++band) {
        if (columns[band].Contains(x, y)) return static_cast<int>(band);
    }
    return -1;
}

int GraphicDotY(int position, int yTop, int yBottom) {
    return yTop + (yBottom - yTop) * position / 60;
}

int GraphicPositionOfY(int y, int yTop, int yBottom) {
    if (yBottom <= yTop) return 0;
    const int clamped = std::clamp(y, yTop, yBottom);
    return (clamped - yTop) * 60 / (yBottom - yTop);
}

std::vector<BandHeight> DrawingSteps(int column, int y, int lastColumn, int lastY) {
    const int n = lastColumn == -1 ? 0 : column - lastColumn;
    if (std::abs(n) <= 1) return {{column, y}};
    const int dy = y - lastY;
    const int count = std::abs(n);
    const int direction = n > 0 ? 1 : -1;
    std::vector<BandHeight> steps;
    steps.reserve(static_cast<std::size_t>(count));
    for (int k = 1; k <= count; ++k) {
        // Integer division truncates toward zero, as the straight line between the heights needs.
        steps.push_back({lastColumn + direction * k, lastY + dy * k / count});
    }
    return steps;
}

}  // namespace arvestra
