#include "ui/controls/ButtonGeometry.h"

#include <gtest/gtest.h>

namespace arvestra {
namespace {

struct PixelCase {
    int x;
    int y;
    Ink ink;
};

Ink At(const ButtonLook& look, int x, int y) {
    return InkAt(look.runs, x, y, Ink::Face);
}

// A 20 x 12 button: outline at columns 0 and 19, rows 0 and 11.
TEST(ButtonGeometry, RaisedBevelIsLightTopLeftAndDarkInnerBottomRight) {
    const ButtonLook look = ComputeButtonLook({20, 12, false, false, true});
    const PixelCase cases[] = {
        {0, 0, Ink::Light},  {0, 10, Ink::Light},  {18, 0, Ink::Light},  {0, 11, Ink::Black},
        {19, 0, Ink::Black}, {19, 11, Ink::Black}, {10, 11, Ink::Black}, {19, 5, Ink::Black},
        {1, 10, Ink::Dark},  {18, 10, Ink::Dark},  {18, 1, Ink::Dark},   {17, 9, Ink::Face},
        {1, 1, Ink::Face},   {1, 9, Ink::Face},    {10, 5, Ink::Face},   {18, 11, Ink::Black},
    };
    for (const PixelCase& c : cases) {
        EXPECT_EQ(At(look, c.x, c.y), c.ink) << "pixel " << c.x << "," << c.y;
    }
}

TEST(ButtonGeometry, PressedBevelIsDarkInnerTopLeftAndLightBottomRight) {
    const ButtonLook look = ComputeButtonLook({20, 12, true, false, true});
    const PixelCase cases[] = {
        {0, 0, Ink::Black},  {0, 11, Ink::Black},  {19, 0, Ink::Black}, {10, 0, Ink::Black},
        {0, 5, Ink::Black},  {1, 1, Ink::Dark},    {1, 10, Ink::Dark},  {18, 1, Ink::Dark},
        {1, 11, Ink::Light}, {19, 11, Ink::Light}, {19, 1, Ink::Light}, {10, 11, Ink::Light},
        {2, 2, Ink::Face},   {18, 10, Ink::Face},  {10, 5, Ink::Face},
    };
    for (const PixelCase& c : cases) {
        EXPECT_EQ(At(look, c.x, c.y), c.ink) << "pixel " << c.x << "," << c.y;
    }
}

TEST(ButtonGeometry, FaceFollowsEnabledState) {
    EXPECT_EQ(At(ComputeButtonLook({20, 12, false, false, true}), 5, 5), Ink::Face);
    EXPECT_EQ(At(ComputeButtonLook({20, 12, false, false, false}), 5, 5), Ink::DisabledFace);
    EXPECT_EQ(At(ComputeButtonLook({20, 12, true, false, false}), 5, 5), Ink::DisabledFace);
}

TEST(ButtonGeometry, FocusRectangleSitsThreePixelsInside) {
    struct Case {
        int width, height;
        bool focused;
        PixelRect expected;
    };
    const Case cases[] = {
        {20, 12, true, {3, 3, 17, 9}},
        {20, 12, false, {}},
        {7, 7, true, {3, 3, 4, 4}},
        {6, 12, true, {}},  // no room inside
        {1, 1, true, {}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ComputeButtonLook({c.width, c.height, false, c.focused, true}).focusRect,
                  c.expected)
            << c.width << "x" << c.height;
    }
}

TEST(ButtonGeometry, FocusDotsAreEveryOtherPixelOfTheEdges) {
    EXPECT_TRUE(FocusDots({}).empty());
    const std::vector<PixelPoint> dots = FocusDots({3, 3, 8, 6});  // 5 x 3
    // The side columns' middle pixels (3,4) and (7,4) fall between dots.
    const std::vector<PixelPoint> expected{{3, 3}, {3, 5}, {5, 3}, {5, 5}, {7, 3}, {7, 5}};
    EXPECT_EQ(dots, expected);
    // A 4 x 4 frame has 12 edge pixels, 6 of them dotted, none repeated.
    EXPECT_EQ(FocusDots({0, 0, 4, 4}).size(), 6u);
    EXPECT_EQ(FocusDots({2, 2, 3, 3}), (std::vector<PixelPoint>{{2, 2}}));
}

TEST(ButtonGeometry, LabelMovesOnePixelRightAndDownWhilePressed) {
    EXPECT_EQ(ComputeButtonLook({30, 14, false, false, true}).textRect, (PixelRect{0, 0, 30, 14}));
    EXPECT_EQ(ComputeButtonLook({30, 14, true, false, true}).textRect, (PixelRect{1, 1, 31, 15}));
    EXPECT_EQ(ComputeButtonLook({30, 14, true, false, true}).textClip, (PixelRect{2, 2, 28, 12}));
    EXPECT_TRUE(ComputeButtonLook({4, 14, false, false, true}).textClip.IsEmpty());
}

TEST(ButtonGeometry, EveryRunStaysInsideTheButtonAtAnySize) {
    for (int w = 0; w <= 6; ++w) {
        for (int h = 0; h <= 6; ++h) {
            for (bool pressed : {false, true}) {
                const ButtonLook look = ComputeButtonLook({w, h, pressed, true, true});
                for (const PaintRun& run : look.runs) {
                    EXPECT_FALSE(run.rect.IsEmpty());
                    EXPECT_GE(run.rect.left, 0);
                    EXPECT_GE(run.rect.top, 0);
                    EXPECT_LE(run.rect.right, w);
                    EXPECT_LE(run.rect.bottom, h);
                }
                if (w == 0 || h == 0) {
                    EXPECT_TRUE(look.runs.empty());
                }
            }
        }
    }
}

}  // namespace
}  // namespace arvestra
