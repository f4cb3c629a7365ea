#include "ui/pages/CompLimPageGeometry.h"

#include <algorithm>
#include <cstdlib>
#include <vector>

#include "model/Scales.h"
#include "model/ValueFormat.h"
#include "ui/controls/SliderGeometry.h"

namespace arvestra {

namespace {

// Left edges of the two band panels (low, high) in dialog units.
constexpr std::array<int, 2> kBandLeft{4, 262};
constexpr int kBandWidth = 254;
constexpr int kBandTop = 38;
constexpr int kBandHeight = 185;
// The rows of sliders and edits: attack, release, threshold, ratio.
constexpr std::array<int, 4> kRowTop{151, 167, 183, 199};
constexpr std::array<const char*, 4> kRowCaptions{"Attack Time", "Release Time", "Threshold",
                                                  "Ratio"};
constexpr int kCaptionHeightDu = 9;
constexpr int kHandleHalf = 3;

struct Placed {
    int id;
    DialogRect rect;
};

// The controls of one band, placed from its panel's left edge.
void AddBandPlaces(std::vector<Placed>& out, const CompBandIds& ids, int ox) {
    const std::array<std::pair<int, int>, 4> rows{{{ids.attackSlider, ids.attackEdit},
                                                   {ids.releaseSlider, ids.releaseEdit},
                                                   {ids.thresholdSlider, ids.thresholdEdit},
                                                   {ids.ratioSlider, ids.ratioEdit}}};
    for (std::size_t r = 0; r < rows.size(); ++r) {
        out.push_back({rows[r].first, {ox + 60, kRowTop[r], 140, 12}});
        out.push_back({rows[r].second, {ox + 204, kRowTop[r], 44, 12}});
    }
    out.push_back({ids.graph, {ox + 34, 51, 88, 81}});
    out.push_back({ids.gainSlider, {ox + 138, 48, 14, 87}});
    out.push_back({ids.soft, {ox + 190, 63, 52, 13}});
    out.push_back({ids.medium, {ox + 190, 79, 52, 13}});
    out.push_back({ids.hard, {ox + 190, 95, 52, 13}});
    out.push_back({ids.title, {ox + 34, 40, 88, 9}});
    out.push_back({ids.scaleTop, {ox + 4, 50, 28, 9}});
    out.push_back({ids.scaleMiddle, {ox + 4, 87, 28, 9}});
    out.push_back({ids.scaleBottom, {ox + 4, 124, 28, 9}});
}

std::vector<Placed> AllPlaces() {
    std::vector<Placed> out{
        {comp_id::kBypass, {8, 22, 70, 13}},
        {comp_id::kSplitBand, {110, 22, 46, 13}},
        {comp_id::kFullRange, {158, 22, 46, 13}},
        {comp_id::kCrossoverSlider, {300, 22, 156, 13}},
        {comp_id::kCrossoverEdit, {460, 22, 44, 12}},
    };
    for (std::size_t b = 0; b < 2; ++b) AddBandPlaces(out, kCompBandIds[b], kBandLeft[b]);
    return out;
}

int TextPixels(int du, const DialogBaseUnits& units) {
    return std::max(1, (du * units.y + 4) / 8);
}

void AddCaption(Picture& picture, const char* text, const PixelRect& box, TextAlign align,
                const DialogBaseUnits& units, bool bold = false) {
    picture.texts.push_back({box, text, align, TextPixels(7, units), bold, Ink::Black});
}

// A caption of the given width in dialog units centred on a pixel point.
PixelRect BoxAround(int x, int y, int widthDu, const DialogBaseUnits& units) {
    const PixelRect size = DialogToPixels({0, 0, widthDu, 8}, units);
    return {x - size.Width() / 2, y - size.Height() / 2, x - size.Width() / 2 + size.Width(),
            y - size.Height() / 2 + size.Height()};
}

// The graph of a band: the black plot area in a sunken frame with a quarter grid, then the
// x axis labels under it.
void AddGraph(Picture& picture, const PixelRect& graph, const DialogBaseUnits& units) {
    AddSunkenFrame(picture.runs, graph);
    AddRun(picture.runs, graph, Ink::Black);
    const TransferPlot plot = PlotOfGraph(graph);
    for (int q = 0; q <= 4; ++q) {
        const int x = plot.x0 + plot.Width() * q / 4;
        const int y = plot.y0 - plot.Height() * q / 4;
        AddRun(picture.runs, ColumnRun(x, plot.y1, plot.y0), Ink::Dark);
        AddRun(picture.runs, RowRun(y, plot.x0, plot.x1), Ink::Dark);
    }
    const int labelY = graph.bottom + TextPixels(6, units);
    AddCaption(picture, "-50", BoxAround(plot.x0, labelY, 16, units), TextAlign::Centre, units);
    AddCaption(picture, "-25", BoxAround((plot.x0 + plot.x1) / 2, labelY, 16, units),
               TextAlign::Centre, units);
    AddCaption(picture, "0", BoxAround(plot.x1, labelY, 16, units), TextAlign::Centre, units);
    // The axis's unit stands under the middle label, clear of the gain slider's own "dBFS".
    AddCaption(picture, "dBFS",
               BoxAround((plot.x0 + plot.x1) / 2, labelY + TextPixels(7, units), 24, units),
               TextAlign::Centre, units);
}

// The "Gain" scale beside a vertical gain slider: +20 at the top thumb position, 0 in the
// middle, -20 at the bottom, each mark where the thumb's centre stands.
void AddGainScale(Picture& picture, const PixelRect& slider, const DialogBaseUnits& units) {
    const SliderTrack track = ComputeSliderTrack(slider.Width(), slider.Height());
    const SliderRange range{0, kGainHighest, false};
    const PixelRect mark = DialogToPixels({0, 0, 16, 8}, units);
    const struct {
        const char* text;
        int position;
    } marks[] = {{"+20", 0}, {"0", kGainHighest / 2}, {"-20", kGainHighest}};
    for (const auto& m : marks) {
        const int y =
            slider.top + ThumbStartForPosition(track, range, m.position) + track.thumbSize / 2;
        const PixelRect box{slider.right + 2, y - mark.Height() / 2,
                            slider.right + 2 + mark.Width(), y - mark.Height() / 2 + mark.Height()};
        AddCaption(picture, m.text, box, TextAlign::Left, units);
        AddRun(picture.runs, RowRun(y, slider.right, slider.right + 1), Ink::Black);
    }
    const int centreX = (slider.left + slider.right) / 2;
    AddCaption(picture, "Gain", BoxAround(centreX, slider.top - TextPixels(5, units), 24, units),
               TextAlign::Centre, units);
    AddCaption(picture, "dBFS", BoxAround(centreX, slider.bottom + TextPixels(5, units), 24, units),
               TextAlign::Centre, units);
}

PixelRect PlaceInPixels(int id, const DialogBaseUnits& units) {
    return DialogToPixels(CompLimPagePlaceOf(id), units);
}

}  // namespace

DialogRect CompLimPagePlaceOf(int id) {
    static const std::vector<Placed> places = AllPlaces();
    for (const Placed& place : places) {
        if (place.id == id) return place.rect;
    }
    return {};
}

PixelRect CompLimGraphRect(int band, const DialogBaseUnits& units) {
    const PixelRect placed = PlaceInPixels(kCompBandIds[band == 0 ? 0 : 1].graph, units);
    // The curve arithmetic treats the plot as square, so the graph is made square in pixels.
    const int side = std::min(placed.Width(), placed.Height());
    return {placed.left, placed.top, placed.left + side, placed.top + side};
}

TransferPlot PlotOfGraph(const PixelRect& graph) {
    return {graph.left + 5, graph.right - 5, graph.bottom - 5, graph.top + 5};
}

PixelPoint ThresholdPoint(const TransferPlot& plot, int thresholdCode) {
    const int code = std::clamp(thresholdCode, kThresholdLowest, kThresholdHighest);
    const int x = plot.x0 + plot.Width() * (code - kThresholdLowest) / 100;
    return {x, plot.y0 + plot.x0 - x};
}

PixelPoint RatioPoint(const TransferPlot& plot, PixelPoint threshold, double ratio) {
    // Ratios run 1 to 20; anything else (not possible from the scale) is taken as 1.
    const double r = ratio >= 1.0 ? ratio : 1.0;
    return {plot.x1, threshold.y - static_cast<int>((threshold.y - plot.y1) / r + 0.5)};
}

PixelRect HandleRect(PixelPoint centre) {
    return {centre.x - kHandleHalf, centre.y - kHandleHalf, centre.x + kHandleHalf,
            centre.y + kHandleHalf};
}

int ThresholdCodeAtX(const TransferPlot& plot, int x) {
    const int width = plot.Width();
    if (width <= 0) return kThresholdLowest;
    const int limited = std::clamp(x, plot.x0, plot.x1);
    return kThresholdLowest + (width / 2 + (limited - plot.x0) * 100) / width;
}

int RatioCodeAtY(const TransferPlot& plot, PixelPoint threshold, int y) {
    const int m = threshold.y - std::clamp(y, plot.y1, plot.y0);
    if (m <= 0) return kRatioHighest;
    return std::clamp(nearestCode(Scale::Ratio, static_cast<double>(threshold.y - plot.y1) / m),
                      kRatioLowest, kRatioHighest);
}

GainScaleLabels GainLabelsOf(int gainCode) {
    const double gain = valueOf(Scale::CompressorGain, gainCode);
    return {FormatGainAxisLabel(gain), FormatGainAxisLabel(gain - 25.0),
            FormatGainAxisLabel(gain - 50.0), gain > 0.0};
}

HandleHit HitHandle(const std::array<BandHandles, 2>& handles, bool lowBandShown, PixelPoint p) {
    for (int band = lowBandShown ? 0 : 1; band < 2; ++band) {
        const BandHandles& h = handles[static_cast<std::size_t>(band)];
        const bool threshold = h.threshold.Contains(p.x, p.y);
        const bool ratio = h.ratio.Contains(p.x, p.y);
        if (threshold && ratio) return {HandleDrag::Either, band};
        if (threshold) return {HandleDrag::Threshold, band};
        if (ratio) return {HandleDrag::Ratio, band};
    }
    return {};
}

HandleDrag ResolveEitherHandle(int dx, int dy) {
    if (dx == 0 && dy == 0) return HandleDrag::Either;
    return std::abs(dx) > std::abs(dy) ? HandleDrag::Threshold : HandleDrag::Ratio;
}

Picture CompLimPagePicture(const DialogBaseUnits& units) {
    Picture picture;
    picture.bounds = DialogToPixels(kPageSize, units);
    AddCaption(picture, "Mode", DialogToPixels({82, 24, 26, kCaptionHeightDu}, units),
               TextAlign::Right, units);
    AddCaption(picture, "Band Split Frequency",
               DialogToPixels({210, 24, 88, kCaptionHeightDu}, units), TextAlign::Right, units);
    for (int band = 0; band < 2; ++band) {
        const auto b = static_cast<std::size_t>(band);
        const int ox = kBandLeft[b];
        const CompBandIds& ids = kCompBandIds[b];
        AddEtchedFrame(picture.runs,
                       DialogToPixels({ox, kBandTop, kBandWidth, kBandHeight}, units));
        AddGraph(picture, CompLimGraphRect(band, units), units);
        AddGainScale(picture, PlaceInPixels(ids.gainSlider, units), units);
        AddCaption(picture, "Knee", DialogToPixels({ox + 190, 52, 52, kCaptionHeightDu}, units),
                   TextAlign::Centre, units);
        for (std::size_t r = 0; r < kRowTop.size(); ++r) {
            AddCaption(picture, kRowCaptions[r],
                       DialogToPixels({ox + 6, kRowTop[r] + 1, 54, kCaptionHeightDu}, units),
                       TextAlign::Left, units);
        }
    }
    return picture;
}

}  // namespace arvestra
