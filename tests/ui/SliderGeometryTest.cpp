#include "ui/controls/SliderGeometry.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdlib>

namespace arvestra {
namespace {

// The level sliders of the main view: 136 x 17 pixels, level codes 152..232.
constexpr int kLevelWidth = 136;
constexpr int kLevelHeight = 17;
constexpr SliderRange kLevelRange{152, 232, false};

TEST(SliderGeometry, AxisFollowsTheLongSide) {
    EXPECT_EQ(SliderAxisFor(136, 17), SliderAxis::Horizontal);
    EXPECT_EQ(SliderAxisFor(17, 136), SliderAxis::Vertical);
    EXPECT_EQ(SliderAxisFor(20, 20), SliderAxis::Horizontal);
    EXPECT_EQ(SliderAxisFor(20, 21), SliderAxis::Vertical);
}

TEST(SliderGeometry, ThumbIsASquareSpanningTheShortSide) {
    const SliderTrack h = ComputeSliderTrack(kLevelWidth, kLevelHeight);
    EXPECT_EQ(h.thumbSize, 15);
    EXPECT_EQ(h.crossStart, 1);
    EXPECT_EQ(h.travelStart, 1);
    EXPECT_EQ(h.travelLength, 136 - 2 - 15);
    const SliderTrack v = ComputeSliderTrack(24, 200);
    EXPECT_EQ(v.axis, SliderAxis::Vertical);
    EXPECT_EQ(v.thumbSize, 22);
    EXPECT_EQ(v.travelLength, 200 - 2 - 22);
    EXPECT_EQ(ThumbRectAt(v, 1), (PixelRect{1, 1, 23, 23}));
}

TEST(SliderGeometry, ThumbPositionsAtTheEndsAndTheMiddle) {
    struct Case {
        int position;
        PixelRect thumb;
    };
    const Case cases[] = {
        {152, {1, 1, 16, 16}},     // minimum: left end, inside the body outline
        {232, {120, 1, 135, 16}},  // maximum: right edge one pixel before the right outline
        {192, {61, 1, 76, 16}},    // middle: 1 + 40 * 119 / 80 rounded
        {153, {2, 1, 17, 16}},     // one step: 119 / 80 = 1.49 pixels, rounded
        {100, {1, 1, 16, 16}},     // below the range: clamped
        {999, {120, 1, 135, 16}},  // above the range: clamped
    };
    const SliderTrack track = ComputeSliderTrack(kLevelWidth, kLevelHeight);
    for (const Case& c : cases) {
        const SliderLook look =
            ComputeSliderLook({kLevelWidth, kLevelHeight, kLevelRange, c.position, false, true});
        EXPECT_EQ(look.thumb, c.thumb) << "position " << c.position;
        EXPECT_EQ(ThumbRectAt(track, ThumbStartForPosition(track, kLevelRange, c.position)),
                  c.thumb);
    }
}

TEST(SliderGeometry, VerticalSliderPutsTheMinimumAtTheTopUnlessInverted) {
    const SliderTrack track = ComputeSliderTrack(17, 136);
    const SliderRange down{0, 60, false};
    const SliderRange up{0, 60, true};
    EXPECT_EQ(ThumbStartForPosition(track, down, 0), 1);
    EXPECT_EQ(ThumbStartForPosition(track, down, 60), 120);
    EXPECT_EQ(ThumbStartForPosition(track, up, 0), 120);
    EXPECT_EQ(ThumbStartForPosition(track, up, 60), 1);
    EXPECT_EQ(ThumbRectAt(track, 120), (PixelRect{1, 120, 16, 135}));
}

TEST(SliderGeometry, EmptyOrInvertedRangeKeepsTheThumbAtTheStart) {
    const SliderTrack track = ComputeSliderTrack(kLevelWidth, kLevelHeight);
    for (const SliderRange range :
         {SliderRange{5, 5, false}, SliderRange{9, 3, false}, SliderRange{5, 5, true}}) {
        EXPECT_EQ(ThumbStartForPosition(track, range, 5), 1);
        EXPECT_EQ(PositionForThumbStart(track, range, 60), range.minimum);
    }
}

TEST(SliderGeometry, PixelsBeyondTheEndsGiveTheEndValues) {
    const SliderTrack track = ComputeSliderTrack(kLevelWidth, kLevelHeight);
    struct Case {
        int start;
        int position;
    };
    const Case cases[] = {{-500, 152}, {0, 152}, {1, 152}, {120, 232}, {121, 232}, {9999, 232}};
    for (const Case& c : cases) {
        EXPECT_EQ(PositionForThumbStart(track, kLevelRange, c.start), c.position) << c.start;
    }
    const SliderRange inverted{152, 232, true};
    EXPECT_EQ(PositionForThumbStart(track, inverted, -5), 232);
    EXPECT_EQ(PositionForThumbStart(track, inverted, 500), 152);
}

TEST(SliderGeometry, EveryPositionSurvivesTheTripThroughPixelsWhenPixelsOutnumberSteps) {
    for (const bool inverted : {false, true}) {
        const SliderRange range{152, 232, inverted};
        const SliderTrack track = ComputeSliderTrack(kLevelWidth, kLevelHeight);
        for (int position = 152; position <= 232; ++position) {
            const int start = ThumbStartForPosition(track, range, position);
            EXPECT_EQ(PositionForThumbStart(track, range, start), position);
        }
    }
}

TEST(SliderGeometry, EveryPixelSurvivesTheTripThroughPositionsWhenStepsOutnumberPixels) {
    const SliderRange range{0, 1000, false};
    const SliderTrack track = ComputeSliderTrack(80, 12);  // 68 pixels of travel
    for (int start = track.travelStart; start <= track.travelStart + track.travelLength; ++start) {
        const int position = PositionForThumbStart(track, range, start);
        EXPECT_EQ(ThumbStartForPosition(track, range, position), start);
    }
}

TEST(SliderGeometry, ExtremeRangesDoNotOverflow) {
    const SliderTrack track = ComputeSliderTrack(kLevelWidth, kLevelHeight);
    const SliderRange range{INT_MIN, INT_MAX, false};
    EXPECT_EQ(ThumbStartForPosition(track, range, INT_MIN), 1);
    EXPECT_EQ(ThumbStartForPosition(track, range, INT_MAX), 120);
    EXPECT_NEAR(ThumbStartForPosition(track, range, 0), 61, 1);
    EXPECT_EQ(PositionForThumbStart(track, range, 1), INT_MIN);
    EXPECT_EQ(PositionForThumbStart(track, range, 120), INT_MAX);
}

TEST(SliderGeometry, ChannelIsAFourPixelSlotSixPixelsInFromTheEnds) {
    EXPECT_EQ(ChannelRect(136, 17), (PixelRect{6, 6, 130, 10}));
    EXPECT_EQ(ChannelRect(136, 18), (PixelRect{6, 7, 130, 11}));
    EXPECT_EQ(ChannelRect(17, 136), (PixelRect{6, 6, 10, 130}));
    EXPECT_TRUE(ChannelRect(12, 10).IsEmpty());
    EXPECT_EQ(ChannelRect(40, 2), (PixelRect{6, 0, 34, 2}));  // clipped to the client area
}

TEST(SliderGeometry, SideOfThumbAlongTheAxis) {
    const SliderTrack track = ComputeSliderTrack(kLevelWidth, kLevelHeight);
    const PixelRect thumb = ThumbRectAt(track, 40);  // columns 40..54
    EXPECT_EQ(SideOfThumb(track, thumb, 0), -1);
    EXPECT_EQ(SideOfThumb(track, thumb, 39), -1);
    EXPECT_EQ(SideOfThumb(track, thumb, 40), 0);
    EXPECT_EQ(SideOfThumb(track, thumb, 54), 0);
    EXPECT_EQ(SideOfThumb(track, thumb, 55), 1);
    const SliderTrack vertical = ComputeSliderTrack(17, 136);
    EXPECT_EQ(SideOfThumb(vertical, ThumbRectAt(vertical, 40), 39), -1);
    EXPECT_EQ(SideOfThumb(vertical, ThumbRectAt(vertical, 40), 55), 1);
}

struct LookCase {
    int x, y;
    Ink ink;
};

// The level slider at its maximum, so the channel's left part is uncovered.
void ExpectLook(bool focused, bool enabled, const std::initializer_list<LookCase>& cases) {
    const SliderLook look =
        ComputeSliderLook({kLevelWidth, kLevelHeight, kLevelRange, 232, focused, enabled});
    for (const LookCase& c : cases) {
        EXPECT_EQ(InkAt(look.runs, c.x, c.y, Ink::Face), c.ink)
            << "pixel " << c.x << "," << c.y << (focused ? " focused" : "");
    }
}

TEST(SliderGeometry, BodyIsSunkenPanelGrey) {
    ExpectLook(false, true,
               {{0, 0, Ink::Dark},
                {0, 15, Ink::Dark},
                {134, 0, Ink::Dark},
                {0, 16, Ink::White},
                {135, 0, Ink::White},
                {135, 16, Ink::White},
                {60, 16, Ink::White},
                {3, 3, Ink::Panel},
                {60, 13, Ink::Panel}});
}

TEST(SliderGeometry, ChannelIsBlackWithASheenUnlessFocused) {
    ExpectLook(false, true,
               {{6, 6, Ink::Dark},
                {60, 6, Ink::Dark},
                {6, 8, Ink::Dark},
                {60, 7, Ink::Black},
                {60, 8, Ink::Light},
                {60, 9, Ink::White},
                {6, 9, Ink::White},
                {119, 7, Ink::Black}});
    ExpectLook(true, true,
               {{6, 6, Ink::Dark},
                {60, 6, Ink::Dark},
                {60, 7, Ink::Focus},
                {60, 8, Ink::Focus},
                {60, 9, Ink::White}});
}

TEST(SliderGeometry, ThumbIsRaisedAndGreysOutWhenDisabled) {
    // Thumb at columns 120..134, rows 1..15.
    ExpectLook(false, true,
               {{120, 1, Ink::White},
                {120, 14, Ink::White},
                {133, 1, Ink::White},
                {120, 15, Ink::Black},
                {134, 1, Ink::Black},
                {134, 15, Ink::Black},
                {121, 2, Ink::Light},
                {121, 13, Ink::Light},
                {132, 2, Ink::Light},
                {121, 14, Ink::Dark},
                {133, 14, Ink::Dark},
                {133, 2, Ink::Dark},
                {127, 8, Ink::Panel}});
    ExpectLook(false, false, {{127, 8, Ink::DisabledFace}, {120, 1, Ink::White}});
}

TEST(SliderGeometry, VerticalChannelSheenRunsDownItsLeftSide) {
    const SliderLook look = ComputeSliderLook({17, 136, {0, 60, false}, 60, false, true});
    EXPECT_EQ(look.channel, (PixelRect{6, 6, 10, 130}));
    EXPECT_EQ(InkAt(look.runs, 8, 60, Ink::Face), Ink::Light);
    EXPECT_EQ(InkAt(look.runs, 7, 60, Ink::Face), Ink::Black);
    EXPECT_EQ(InkAt(look.runs, 6, 60, Ink::Face), Ink::Dark);
    EXPECT_EQ(InkAt(look.runs, 9, 60, Ink::Face), Ink::White);
}

TEST(SliderGeometry, EveryRunStaysInsideTheSliderAtAnySize) {
    for (int w = 0; w <= 14; ++w) {
        for (int h = 0; h <= 14; ++h) {
            const SliderLook look = ComputeSliderLook({w, h, {0, 10, false}, 7, true, true});
            for (const PaintRun& run : look.runs) {
                EXPECT_FALSE(run.rect.IsEmpty());
                EXPECT_GE(run.rect.left, 0);
                EXPECT_GE(run.rect.top, 0);
                EXPECT_LE(run.rect.right, w) << w << "x" << h;
                EXPECT_LE(run.rect.bottom, h) << w << "x" << h;
            }
        }
    }
}

}  // namespace
}  // namespace arvestra
