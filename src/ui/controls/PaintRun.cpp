#include "ui/controls/PaintRun.h"

#include <algorithm>

namespace arvestra {

void AddOutline(PaintRuns& runs, const PixelRect& rect, Ink ink) {
    if (rect.IsEmpty()) return;
    const int lastX = rect.right - 1;
    const int lastY = rect.bottom - 1;
    AddRun(runs, RowRun(rect.top, rect.left, lastX), ink);
    if (lastY > rect.top) AddRun(runs, RowRun(lastY, rect.left, lastX), ink);
    AddRun(runs, ColumnRun(rect.left, rect.top + 1, lastY - 1), ink);
    if (lastX > rect.left) AddRun(runs, ColumnRun(lastX, rect.top + 1, lastY - 1), ink);
}

void ClipRuns(PaintRuns& runs, const PixelRect& bounds) {
    for (PaintRun& run : runs) {
        run.rect.left = std::max(run.rect.left, bounds.left);
        run.rect.top = std::max(run.rect.top, bounds.top);
        run.rect.right = std::min(run.rect.right, bounds.right);
        run.rect.bottom = std::min(run.rect.bottom, bounds.bottom);
    }
    std::erase_if(runs, [](const PaintRun& run) { return run.rect.IsEmpty(); });
}

Ink InkAt(const PaintRuns& runs, int x, int y, Ink fallback) {
    Ink ink = fallback;
    for (const PaintRun& run : runs) {
        if (run.rect.Contains(x, y)) ink = run.ink;
    }
    return ink;
}

}  // namespace arvestra
