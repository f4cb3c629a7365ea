#include "ui/controls/LedIndicator.h"

#include <gtest/gtest.h>

#include "ui/UiTestSupport.h"

namespace arvestra {
namespace {

using test::FlushEvents;
using test::GrabImage;
using test::PaintRecorder;

class LedIndicatorTest : public ::testing::Test {
  protected:
    void SetUp() override {
        lamp.resize(9, 9);
        lamp.show();
        FlushEvents();
    }

    CLedIndicator lamp;
};

TEST_F(LedIndicatorTest, DarkRedUntilLitThenBrightRed) {
    EXPECT_FALSE(lamp.IsLit());
    EXPECT_EQ(GrabImage(lamp).pixelColor(4, 4), QColor(0x80, 0x00, 0x00));
    lamp.SetLit(true);
    const QImage lit = GrabImage(lamp);
    EXPECT_EQ(lit.pixelColor(4, 4), QColor(0xFF, 0x00, 0x00));
    EXPECT_EQ(lit.pixelColor(1, 1), QColor(0xFF, 0x00, 0x00));
    EXPECT_EQ(lit.pixelColor(0, 0), QColor(0x80, 0x80, 0x80));
    EXPECT_EQ(lit.pixelColor(8, 8), QColor(Qt::white));
    EXPECT_EQ(lit.pixelColor(8, 0), QColor(Qt::white));
}

TEST_F(LedIndicatorTest, RepaintsOnlyTheFaceAndOnlyOnAChange) {
    PaintRecorder paints(lamp);
    lamp.SetLit(false);
    lamp.SetColors(QColor(0xFF, 0x00, 0x00), QColor(0x80, 0x00, 0x00));
    FlushEvents();
    EXPECT_EQ(paints.Count(), 0);
    lamp.SetLit(true);
    FlushEvents();
    EXPECT_EQ(paints.Count(), 1);
    EXPECT_EQ(paints.Painted(), QRegion(1, 1, 7, 7));
}

TEST_F(LedIndicatorTest, OwnerColoursReplaceTheRedPair) {
    lamp.SetColors(QColor(0x00, 0xFF, 0x00), QColor(0x00, 0x40, 0x00));
    EXPECT_EQ(GrabImage(lamp).pixelColor(4, 4), QColor(0x00, 0x40, 0x00));
    lamp.SetLit(true);
    EXPECT_EQ(GrabImage(lamp).pixelColor(4, 4), QColor(0x00, 0xFF, 0x00));
}

}  // namespace
}  // namespace arvestra
