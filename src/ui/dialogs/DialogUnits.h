#pragma once

#include <QFont>
#include <QRect>

class QWidget;

namespace arvestra {

// The two base units of a dialog font: the average width of its Latin letters and its line
// height, in pixels. A dialog unit is a quarter of the first horizontally and an eighth of the
// second vertically, so a layout given in dialog units keeps its proportions at any font size.
struct DialogBaseUnits {
    int x = 6;
    int y = 13;
};

// Base units of a font, measured the way dialog layouts expect them.
DialogBaseUnits MeasureBaseUnits(const QFont& font);

// Converts a rectangle in dialog units (x, y, width, height) to pixels, rounding each edge to
// the nearest pixel.
QRect DialogRectToPixels(const QRect& dialogRect, const DialogBaseUnits& units);

// Places a child widget at a rectangle given in dialog units of its parent's font.
void PlaceInDialogUnits(QWidget* child, int x, int y, int width, int height,
                        const DialogBaseUnits& units);

}  // namespace arvestra
