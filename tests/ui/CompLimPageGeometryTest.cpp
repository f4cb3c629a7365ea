// Geometry of the compressor/limiter page: the transfer curve, the handle drags turned into
// codes at and beyond the plot's edges, the gain scale labels and which handle a press hits.
#include <gtest/gtest.h>

#include "ui/pages/CompLimPageGeometry.h"

namespace arvestra {
namespace {

// A square graph: plot x 15..115, y 125 (bottom) .. 25 (top).
constexpr PixelRect kGraph{10, 20, 120, 130};

TEST(CompLimGeometry, PlotLiesFivePixelsInside) {
    const TransferPlot plot = PlotOfGraph(kGraph);
    EXPECT_EQ(plot.x0, 15);
    EXPECT_EQ(plot.x1, 115);
    EXPECT_EQ(plot.y0, 125);
    EXPECT_EQ(plot.y1, 25);
}

TEST(CompLimGeometry, ThresholdPointRunsAlongTheUnityLineAndStaysInThePlot) {
    const TransferPlot plot = PlotOfGraph(kGraph);
    struct Case {
        int code;
        PixelPoint expected;
    };
    const Case cases[] = {
        {100, {15, 125}},
        {200, {115, 25}},
        {150, {65, 75}},
        {101, {16, 124}},
        // Codes from a file outside 100..200 are limited where used.
        {0, {15, 125}},
        {99, {15, 125}},
        {201, {115, 25}},
        {255, {115, 25}},
    };
    for (const Case& c : cases) EXPECT_EQ(ThresholdPoint(plot, c.code), c.expected) << c.code;
}

TEST(CompLimGeometry, RatioPointRisesByOneOverTheRatio) {
    const TransferPlot plot = PlotOfGraph(kGraph);
    const PixelPoint corner = ThresholdPoint(plot, 100);
    EXPECT_EQ(RatioPoint(plot, corner, 1.0), (PixelPoint{115, 25}));
    EXPECT_EQ(RatioPoint(plot, corner, 20.0), (PixelPoint{115, 120}));  // 100 / 20 = 5 above T
    EXPECT_EQ(RatioPoint(plot, corner, 3.0), (PixelPoint{115, 92}));    // 33.3 rounds to 33
    const PixelPoint middle = ThresholdPoint(plot, 150);
    EXPECT_EQ(RatioPoint(plot, middle, 2.0), (PixelPoint{115, 50}));
    EXPECT_EQ(RatioPoint(plot, middle, 0.0), (PixelPoint{115, 25}));  // never below 1:1
}

TEST(CompLimGeometry, HandlesAreSixPixelsCentredOnTheirPoint) {
    EXPECT_EQ(HandleRect({50, 60}), (PixelRect{47, 57, 53, 63}));
}

TEST(CompLimGeometry, ThresholdDragStopsAtTheEndsOfThePlot) {
    const TransferPlot plot = PlotOfGraph(kGraph);
    struct Case {
        int x;
        int code;
    };
    const Case cases[] = {{-1000, 100}, {14, 100},  {15, 100},  {65, 150},  {66, 151},
                          {114, 199},   {115, 200}, {116, 200}, {5000, 200}};
    for (const Case& c : cases) EXPECT_EQ(ThresholdCodeAtX(plot, c.x), c.code) << c.x;
    EXPECT_EQ(ThresholdCodeAtX(TransferPlot{10, 10, 10, 10}, 10), 100);  // empty plot
}

TEST(CompLimGeometry, RatioDragAboveThePlotIsOneToOneAndBelowTheThresholdTwentyToOne) {
    const TransferPlot plot = PlotOfGraph(kGraph);
    const PixelPoint t = ThresholdPoint(plot, 100);  // the bottom-left corner
    struct Case {
        int y;
        int code;
    };
    const Case cases[] = {{-500, 0}, {25, 0}, {75, 5}, {125, 39}, {126, 39}, {900, 39}};
    for (const Case& c : cases) EXPECT_EQ(RatioCodeAtY(plot, t, c.y), c.code) << c.y;
    // With the threshold point higher up, a handle dragged below it gives 20:1.
    const PixelPoint high = ThresholdPoint(plot, 180);
    EXPECT_EQ(RatioCodeAtY(plot, high, high.y + 3), 39);
    EXPECT_EQ(RatioCodeAtY(plot, high, high.y), 39);
}

TEST(CompLimGeometry, GainScaleLabelsFollowTheOutputGain) {
    struct Case {
        int code;
        GainScaleLabels labels;
    };
    const Case cases[] = {
        {60, {"+10", "-15", "-40", true}}, {40, {"+0", "-25", "-50", false}},
        {41, {"+0", "-24", "-50", true}},  {0, {"-20", "-45", "-70", false}},
        {80, {"+20", "-5", "-30", true}},
    };
    for (const Case& c : cases) {
        const GainScaleLabels labels = GainLabelsOf(c.code);
        EXPECT_EQ(labels.top, c.labels.top) << c.code;
        EXPECT_EQ(labels.middle, c.labels.middle) << c.code;
        EXPECT_EQ(labels.bottom, c.labels.bottom) << c.code;
        EXPECT_EQ(labels.topRed, c.labels.topRed) << c.code;
    }
}

TEST(CompLimGeometry, HitTestsTheLowBandOnlyWhenShownAndThresholdBeforeRatioOrBothAsEither) {
    const BandHandles low{HandleRect({20, 100}), HandleRect({20, 100})};  // on top of each other
    const BandHandles high{HandleRect({200, 100}), HandleRect({260, 40})};
    const std::array<BandHandles, 2> both{low, high};
    EXPECT_EQ(HitHandle(both, true, {21, 101}).drag, HandleDrag::Either);
    EXPECT_EQ(HitHandle(both, true, {21, 101}).band, 0);
    EXPECT_EQ(HitHandle(both, false, {21, 101}).drag, HandleDrag::Idle);
    EXPECT_EQ(HitHandle(both, false, {21, 101}).band, -1);
    EXPECT_EQ(HitHandle(both, false, {257, 37}).drag, HandleDrag::Ratio);
    EXPECT_EQ(HitHandle(both, false, {257, 37}).band, 1);
    EXPECT_EQ(HitHandle(both, true, {263, 43}).drag, HandleDrag::Idle);  // right/bottom excluded
}

TEST(CompLimGeometry, AMoveMostlyAcrossTakesTheThresholdAndAnyOtherTheRatio) {
    struct Case {
        int dx, dy;
        HandleDrag drag;
    };
    const Case cases[] = {
        {0, 0, HandleDrag::Either}, {-1, 0, HandleDrag::Threshold}, {5, -4, HandleDrag::Threshold},
        {0, 1, HandleDrag::Ratio},  {3, 3, HandleDrag::Ratio},      {-2, -7, HandleDrag::Ratio},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ResolveEitherHandle(c.dx, c.dy), c.drag) << c.dx << ", " << c.dy;
    }
}

TEST(CompLimGeometry, GraphsAreSquareAndThePictureCarriesTheCaptions) {
    for (const DialogBaseUnits units : {DialogBaseUnits{6, 13}, DialogBaseUnits{9, 20}}) {
        for (int band = 0; band < 2; ++band) {
            const PixelRect graph = CompLimGraphRect(band, units);
            EXPECT_EQ(graph.Width(), graph.Height());
            const TransferPlot plot = PlotOfGraph(graph);
            EXPECT_EQ(ThresholdPoint(plot, 200), (PixelPoint{plot.x1, plot.y1}));
        }
        EXPECT_LT(CompLimGraphRect(0, units).right, CompLimGraphRect(1, units).left);
        const Picture picture = CompLimPagePicture(units);
        for (const char* caption :
             {"Mode", "Band Split Frequency", "Knee", "Attack Time", "Release Time", "Threshold",
              "Ratio", "Gain", "dBFS", "-50", "-25", "+20", "-20"}) {
            EXPECT_NE(picture.FindText(caption), nullptr) << caption;
        }
    }
}

}  // namespace
}  // namespace arvestra
