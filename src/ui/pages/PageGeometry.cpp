#include "ui/pages/PageGeometry.h"

#include <QRect>

namespace arvestra {

PixelRect DialogToPixels(const DialogRect& rect, const DialogBaseUnits& units) {
    const QRect pixels = DialogRectToPixels(QRect(rect.x, rect.y, rect.width, rect.height), units);
    return {pixels.x(), pixels.y(), pixels.x() + pixels.width(), pixels.y() + pixels.height()};
}

DialogRect PagePlaceOf(int id) {
    for (const PagePlace& place : kPageFrameworkPlaces) {
        if (place.id == id) return place.rect;
    }
    return {};
}

PixelRect ShrunkEditField(const PixelRect& templateRect) {
    const PixelRect shrunk = templateRect.Shrunk(2);
    // A field too small to shrink keeps a one-pixel body instead of turning inside out.
    if (shrunk.IsEmpty()) {
        const int x = (templateRect.left + templateRect.right) / 2;
        const int y = (templateRect.top + templateRect.bottom) / 2;
        return {x, y, x + 1, y + 1};
    }
    return shrunk;
}

PaintRuns EditFrameRuns(const PixelRect& field) {
    PaintRuns runs;
    // Each line runs from (left, bottom - 1) up to (left, top), along to (right - 1, top), down
    // to (right - 1, bottom - 1) and back to (left, bottom - 1).
    const auto addFrame = [&runs](const PixelRect& r, Ink leftTop, Ink rightBottom) {
        AddRun(runs, ColumnRun(r.left, r.top, r.bottom - 1), leftTop);
        AddRun(runs, RowRun(r.top, r.left, r.right - 1), leftTop);
        AddRun(runs, ColumnRun(r.right - 1, r.top, r.bottom - 1), rightBottom);
        AddRun(runs, RowRun(r.bottom - 1, r.left, r.right - 1), rightBottom);
    };
    addFrame(field.Shrunk(-1), Ink::Black, Ink::Light);
    addFrame(field.Shrunk(-2), Ink::Dark, Ink::White);
    return runs;
}

Picture PageBasePicture(int width, int height, const DialogBaseUnits& units) {
    Picture picture;
    picture.bounds = {0, 0, width, height};
    AddRun(picture.runs, picture.bounds, Ink::Panel);
    AddRaisedBevel(picture.runs, picture.bounds);
    // The band of the framework controls, closed by an etched line below it.
    const PixelRect band = DialogToPixels({2, 2, kPageSize.width - 4, 16}, units);
    AddRun(picture.runs, RowRun(band.bottom, band.left, band.right - 1), Ink::Dark);
    AddRun(picture.runs, RowRun(band.bottom + 1, band.left, band.right - 1), Ink::White);
    for (const int id : {page_id::kDeviceName, page_id::kPresetName}) {
        AddSunkenFrame(picture.runs, DialogToPixels(PagePlaceOf(id), units));
    }
    return picture;
}

}  // namespace arvestra
