// Geometry of the compressor/limiter page: where its controls sit in dialog units, the transfer
// curve of a band and its two handles, the handle drags turned back into codes, the gain scale
// labels beside each graph, and the background picture. Plain functions, no widgets.
#pragma once

#include <array>
#include <string>

#include "ui/controls/PixelRect.h"
#include "ui/dialogs/DialogUnits.h"
#include "ui/pages/PageGeometry.h"
#include "ui/pages/Picture.h"

namespace arvestra {

// Control ids of the compressor/limiter page.
namespace comp_id {
inline constexpr int kBypass = 1077;
inline constexpr int kSplitBand = 1051;
inline constexpr int kFullRange = 1052;
inline constexpr int kCrossoverSlider = 3095;
inline constexpr int kCrossoverEdit = 3096;
inline constexpr int kLowGraph = 1065;
inline constexpr int kHighGraph = 1066;
inline constexpr int kLowTitle = 3165;
inline constexpr int kHighTitle = 3166;
}  // namespace comp_id

// The ids of one band's controls (band 0 low, band 1 high).
struct CompBandIds {
    int attackSlider, attackEdit;
    int releaseSlider, releaseEdit;
    int thresholdSlider, thresholdEdit;
    int ratioSlider, ratioEdit;
    int gainSlider;
    int soft, medium, hard;
    int graph;
    int title;
    int scaleTop, scaleMiddle, scaleBottom;
};

inline constexpr std::array<CompBandIds, 2> kCompBandIds{{
    {1100, 1050, 1101, 1055, 1102, 1056, 1103, 1057, 3097, 1081, 1080, 1079, comp_id::kLowGraph,
     comp_id::kLowTitle, 3113, 3114, 3116},
    {1007, 1058, 1104, 1059, 1105, 1060, 1106, 3101, 3099, 1084, 1083, 1082, comp_id::kHighGraph,
     comp_id::kHighTitle, 3110, 3111, 3112},
}};

// The dialog-unit rectangle of a compressor/limiter page control; empty for another id.
DialogRect CompLimPagePlaceOf(int id);

// The graph of band 0 (low) or 1 (high) in page pixels, made square so the curve arithmetic,
// which treats the plot as square, keeps the unity line on the diagonal.
PixelRect CompLimGraphRect(int band, const DialogBaseUnits& units);

// Slider ranges (the parameter codes the page uses; the gain slider runs 0..80 as 80 - code).
inline constexpr int kCrossoverLowest = 23;
inline constexpr int kCrossoverHighest = 86;
inline constexpr int kAttackLowest = 10;
inline constexpr int kAttackHighest = 74;
inline constexpr int kReleaseLowest = 59;
inline constexpr int kReleaseHighest = 82;
inline constexpr int kThresholdLowest = 100;
inline constexpr int kThresholdHighest = 200;
inline constexpr int kRatioLowest = 0;
inline constexpr int kRatioHighest = 39;
inline constexpr int kGainHighest = 80;

// The plot inside a band's graph rectangle: 5 pixels in from each edge. Input level runs from
// x0 (left) to x1, output level from y0 (bottom) up to y1.
struct TransferPlot {
    int x0 = 0;
    int x1 = 0;
    int y0 = 0;
    int y1 = 0;

    int Width() const { return x1 - x0; }
    int Height() const { return y0 - y1; }
};

TransferPlot PlotOfGraph(const PixelRect& graph);

// The threshold point: on the unity line from the bottom-left corner, -50 dB at the left end and
// 0 dB at the right. A code outside 100..200 (an image from a file) is limited first, so the
// point never leaves the plot.
PixelPoint ThresholdPoint(const TransferPlot& plot, int thresholdCode);

// The ratio point: at the right edge, above the threshold point by 1/ratio of the height left.
PixelPoint RatioPoint(const TransferPlot& plot, PixelPoint threshold, double ratio);

// The 6 x 6 handle centred on a point.
PixelRect HandleRect(PixelPoint centre);

// The threshold code for a threshold handle dragged to x (limited to the plot).
int ThresholdCodeAtX(const TransferPlot& plot, int x);

// The ratio code for a ratio handle dragged to y with the threshold point at threshold: 20:1
// when the handle is at or below the threshold point's height, else the nearest ratio.
int RatioCodeAtY(const TransferPlot& plot, PixelPoint threshold, int y);

// The three gain scale labels beside a band's graph: the output gain, 25 dB and 50 dB below it;
// the top one is drawn red while the gain is above 0 dB.
struct GainScaleLabels {
    std::string top;
    std::string middle;
    std::string bottom;
    bool topRed = false;
};
GainScaleLabels GainLabelsOf(int gainCode);

// What the mouse is doing on the graphs. Either: the press hit both handles of a band (they
// lie on each other, as at 0 dB and 1:1); the first move picks one.
enum class HandleDrag { Idle, Threshold, Ratio, Either };

// A handle under the pointer: which drag it starts, on which band (-1 for none).
struct HandleHit {
    HandleDrag drag = HandleDrag::Idle;
    int band = -1;
};

// The two handles of a band.
struct BandHandles {
    PixelRect threshold;
    PixelRect ratio;
};

// Tests the low band (only when it is shown) and then the high band; in each the threshold
// handle before the ratio handle, and a point on both gives Either.
HandleHit HitHandle(const std::array<BandHandles, 2>& handles, bool lowBandShown, PixelPoint p);
// The handle an Either press drags after a move by (dx, dy): the threshold handle follows the
// pointer across, the ratio handle up and down, so a move mostly across takes the threshold and
// any other the ratio; no move yet decides nothing (Either).
HandleDrag ResolveEitherHandle(int dx, int dy);

// The compressor/limiter page's artwork over the common panel: band panels, the graph areas
// with their grid, the x axes (-50, -25, 0 "dBFS"), the "Gain" scales beside the gain sliders,
// and the captions "Mode", "Band Split Frequency", "Knee", "Attack Time", "Release Time",
// "Threshold" and "Ratio".
Picture CompLimPagePicture(const DialogBaseUnits& units);

}  // namespace arvestra
