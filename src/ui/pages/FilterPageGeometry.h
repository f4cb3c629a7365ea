// Geometry that the two equaliser pages share, as plain functions: where the graph, the
// high-pass and low-pass sections and the buttons sit (dialog units), the graph's grid lines and
// captions, and the band dots. Each page's own bands are in its own geometry header. Nothing
// here touches a widget, so all of it is checked numerically.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "model/CurveKind.h"
#include "model/GraphMapping.h"
#include "ui/controls/PixelRect.h"
#include "ui/dialogs/DialogUnits.h"
#include "ui/pages/BlockTable.h"
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
// Block of a section: High Pass A, Low Pass A, High Pass B, Low Pass B.
BlockCode SectionBlock(int section);
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

// What tells the two equaliser pages apart where they otherwise work alike: the band count, the
// graph's edges,
// the dB between grid rows and between level captions, the curve the bands make and the
// equaliser type the page edits (0 graphic, 1 parametric).
struct EqPageTraits {
    int bands;
    GraphConstants graph;
    double gridDbStep;
    double labelDbStep;
    CurveKind curve;
    int eqType;
};

}  // namespace arvestra
