// Geometry of the two equaliser pages as plain functions: where the graph, the high-pass and
// low-pass sections and the buttons sit (dialog units), the graph's grid lines and captions, the
// band columns and dot positions of the graphic page, and the interpolation of a stroke drawn
// across bands. Nothing here touches a widget, so all of it is checked numerically.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "model/GraphMapping.h"
#include "ui/controls/PixelRect.h"
#include "ui/dialogs/DialogUnits.h"
#include "ui/pages/PageGeometry.h"
#include "ui/pages/Picture.h"

namespace arvestra {

// The graph frame (the area the response is drawn in).
inline constexpr DialogRect kGraphFrameDu{30, 24, 482, 96};

// The four high-pass/low-pass sections, left to right: channel 1 high-pass, channel 1 low-pass,
// channel 2 high-pass, channel 2 low-pass.
inline constexpr int kSectionCount = 4;
struct SectionPlaces {
    DialogRect caption;
    DialogRect slope12;
    DialogRect slope24;
    DialogRect edit;
    DialogRect unit;  // the "Hz" after the edit
    DialogRect slider;
};
SectionPlaces SectionPlacesOf(int section);
// Channel (0 or 1) and whether the section is a low-pass (else high-pass).
int SectionChannel(int section);
bool SectionIsLowPass(int section);
// Block code of a section: 13 High Pass A, 11 Low Pass A, 14 High Pass B, 12 Low Pass B.
int SectionBlock(int section);
// Caption of a section: "Ch 1 High Pass" and so on.
const char* SectionCaption(int section);

// The buttons on the right of the sections.
namespace filter_button {
inline constexpr DialogRect kChannel1{378, 196, 30, 12};
inline constexpr DialogRect kChannel2{410, 196, 30, 12};
inline constexpr DialogRect kEqBypass{446, 196, 66, 12};
inline constexpr DialogRect kGraphic{378, 211, 62, 12};
inline constexpr DialogRect kParametric{446, 211, 66, 12};
inline constexpr DialogRect kFlat{378, 226, 40, 12};
inline constexpr DialogRect kNarrow{422, 226, 43, 12};
inline constexpr DialogRect kWide{469, 226, 43, 12};
}  // namespace filter_button

// Graphic page: the band sliders stand under their dots, between these rows.
inline constexpr int kGraphicSliderTopDu = 133;
inline constexpr int kGraphicSliderHeightDu = 58;
inline constexpr int kGraphicSliderWidthDu = 11;
// Parametric page: per band a caption, a "Bypass" button and three sliders (frequency,
// bandwidth, gain) with their captions.
struct ParametricBandPlaces {
    DialogRect caption;
    DialogRect bypass;
    std::array<DialogRect, 3> sliders;
    std::array<DialogRect, 3> sliderCaptions;
};
ParametricBandPlaces ParametricBandPlacesOf(int band);

// The graph frame in page pixels, as a mapping rectangle.
GraphRect GraphRectFor(const DialogBaseUnits& units);
// The graph's interior as repainted after an edit: the frame less one pixel at top and bottom.
PixelRect GraphInterior(const GraphRect& graph);
PixelRect ToPixelRect(const GraphRect& graph);

// Grid lines of a response graph: one column per frequency decade step (20, 30 ... 90, 100, 200
// ... 20000 Hz) and one row per `dbStep` dB within the graph, with the 0 dB row singled out.
struct GraphGrid {
    std::vector<int> columns;
    std::vector<int> rows;
    int zeroRow = -1;  // -1 when 0 dB lies outside the graph
};
GraphGrid ComputeGraphGrid(const GraphMapping& mapping, double dbStep);

// The captions around a graph: levels every `labelStep` dB on the left, frequencies below.
void AddGraphCaptions(Picture& picture, const GraphMapping& mapping, double labelStep,
                      const DialogBaseUnits& units);
// The filter page's own background: the graph frame, its captions and the section captions.
Picture FilterPageArtwork(const GraphMapping& mapping, double labelStep,
                          const DialogBaseUnits& units);
// Caption text of a frequency: "20", "500", "1k", "20k".
std::string FrequencyCaption(double hz);
// Caption text of a level: "+10", "0", "-20".
std::string LevelCaption(double db);

// Text height in pixels of a caption `du` dialog units high.
int CaptionPixels(int du, const DialogBaseUnits& units);

// A band dot: a 6 x 6 pixel square centred (by integer halving) on (x, y).
inline constexpr int kDotSize = 6;
PixelRect DotRect(int x, int y);

// Graphic page: the strip of the graph that belongs to each band, from the dot columns. Band 0
// starts at the graph's left edge, band 30 ends at its right edge, and neighbours meet halfway
// between their dots (integer halving).
std::vector<PixelRect> BandColumns(const std::vector<int>& dotX, const GraphRect& graph);
// The first column (from band 0) that contains (x, y), or -1.
int ColumnAt(const std::vector<PixelRect>& columns, int x, int y);

// Graphic page: a band's dot y from its slider position 0..60 (0 is +15 dB at yTop).
int GraphicDotY(int position, int yTop, int yBottom);
// Graphic page: the slider position (0..60) of a y, which is first limited to yTop..yBottom.
int GraphicPositionOfY(int y, int yTop, int yBottom);

// Graphic page drawing: the bands a pointer move sets and the y each gets. With no previous
// column (-1) or a move to a neighbouring or the same column, only column `column` at y; a
// jump over several columns fills every band passed on a straight line from the last height.
struct BandHeight {
    int band;
    int y;
    bool operator==(const BandHeight&) const = default;
};
std::vector<BandHeight> DrawingSteps(int column, int y, int lastColumn, int lastY);

// Parametric page: the range a dot centre may take, the graph inset by 5 pixels.
struct DotLimits {
    int left;
    int top;
    int right;
    int bottom;
};
DotLimits ParametricDotLimits(const GraphRect& graph);

}  // namespace arvestra
