// Geometry of the graphic EQ page as plain functions: where the band sliders stand, the strip of
// the graph that belongs to each band, the dot row of a gain, and the interpolation of a stroke
// drawn across the bands with the right button.
#pragma once

#include <vector>

#include "model/GraphMapping.h"
#include "ui/controls/PixelRect.h"
#include "ui/pages/FilterPageGeometry.h"

namespace arvestra {

// What the mouse is doing on the page: nothing, dragging one band's dot, or drawing gains
// across the bands with the right button held.
enum class GraphicEqDrag { Idle, Dragging, Drawing };

// The graph (+24.5 to -25 dB), its grid every 5 dB and captions every 10 dB.
inline constexpr EqPageTraits kGraphicEqTraits{31,   kGraphicEqGraph,    5.0,
                                               10.0, CurveKind::Graphic, 0};

// The band sliders stand under their dots, between these rows.
inline constexpr int kGraphicSliderTopDu = 133;
inline constexpr int kGraphicSliderHeightDu = 58;
inline constexpr int kGraphicSliderWidthDu = 11;

// The strip of the graph that belongs to each band, from the dot columns. Band 0 starts at the
// graph's left edge, band 30 ends at its right edge, and neighbours meet halfway between their
// dots (integer halving).
std::vector<PixelRect> BandColumns(const std::vector<int>& dotX, const GraphRect& graph);
// The first column (from band 0) that contains (x, y), or -1.
int ColumnAt(const std::vector<PixelRect>& columns, int x, int y);

// A band's dot y from its slider position 0..60 (0 is +15 dB at yTop).
int GraphicDotY(int position, int yTop, int yBottom);
// The slider position (0..60) of a y, which is first limited to yTop..yBottom.
int GraphicPositionOfY(int y, int yTop, int yBottom);

// Drawing: the bands a pointer move sets and the y each gets. With no previous column (-1) or a
// move to a neighbouring or the same column, only column `column` at y; a jump over several
// columns fills every band passed on a straight line from the last height.
struct BandHeight {
    int band;
    int y;
    bool operator==(const BandHeight&) const = default;
};
std::vector<BandHeight> DrawingSteps(int column, int y, int lastColumn, int lastY);

}  // namespace arvestra
