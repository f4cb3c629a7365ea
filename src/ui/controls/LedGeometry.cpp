#include "ui/controls/LedGeometry.h"

namespace arvestra {

PixelRect LedFaceRect(int width, int height) {
    const PixelRect face = PixelRect{0, 0, width, height}.Shrunk(1);
    return face.IsEmpty() ? PixelRect{} : face;
}

PaintRuns ComputeLedRuns(int width, int height, bool lit) {
    PaintRuns runs;
    if (width <= 0 || height <= 0) return runs;
    AddRun(runs, ColumnRun(0, 0, height - 2), Ink::Dark);
    AddRun(runs, RowRun(0, 0, width - 2), Ink::Dark);
    AddRun(runs, RowRun(height - 1, 0, width - 1), Ink::White);
    AddRun(runs, ColumnRun(width - 1, 0, height - 1), Ink::White);
    AddRun(runs, LedFaceRect(width, height), lit ? Ink::LampLit : Ink::LampDark);
    ClipRuns(runs, {0, 0, width, height});
    return runs;
}

}  // namespace arvestra
