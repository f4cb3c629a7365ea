#include "ui/controls/LedGeometry.h"

#include <gtest/gtest.h>

namespace arvestra {
namespace {

TEST(LedGeometry, SunkenFrameAroundTheLampFace) {
    struct Case {
        int x, y;
        Ink ink;
    };
    const Case cases[] = {
        {0, 0, Ink::Dark},    {0, 7, Ink::Dark},    {7, 0, Ink::Dark},    {0, 8, Ink::White},
        {8, 0, Ink::White},   {8, 8, Ink::White},   {4, 8, Ink::White},   {8, 4, Ink::White},
        {1, 1, Ink::LampLit}, {7, 7, Ink::LampLit}, {4, 4, Ink::LampLit},
    };
    const PaintRuns lit = ComputeLedRuns(9, 9, true);
    const PaintRuns dark = ComputeLedRuns(9, 9, false);
    for (const Case& c : cases) {
        EXPECT_EQ(InkAt(lit, c.x, c.y, Ink::Panel), c.ink) << c.x << "," << c.y;
        const Ink darkInk = c.ink == Ink::LampLit ? Ink::LampDark : c.ink;
        EXPECT_EQ(InkAt(dark, c.x, c.y, Ink::Panel), darkInk) << c.x << "," << c.y;
    }
}

TEST(LedGeometry, FaceIsTheInsideOfTheFrame) {
    EXPECT_EQ(LedFaceRect(9, 9), (PixelRect{1, 1, 8, 8}));
    EXPECT_EQ(LedFaceRect(12, 6), (PixelRect{1, 1, 11, 5}));
    EXPECT_TRUE(LedFaceRect(2, 2).IsEmpty());
    EXPECT_TRUE(LedFaceRect(0, 0).IsEmpty());
}

TEST(LedGeometry, TinyLampsStayInsideTheirRectangle) {
    for (int w = 0; w <= 3; ++w) {
        for (int h = 0; h <= 3; ++h) {
            for (const PaintRun& run : ComputeLedRuns(w, h, true)) {
                EXPECT_FALSE(run.rect.IsEmpty());
                EXPECT_GE(run.rect.left, 0);
                EXPECT_GE(run.rect.top, 0);
                EXPECT_LE(run.rect.right, w);
                EXPECT_LE(run.rect.bottom, h);
            }
        }
    }
}

}  // namespace
}  // namespace arvestra
