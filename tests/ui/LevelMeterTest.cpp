#include "ui/controls/LevelMeter.h"

#include <gtest/gtest.h>

#include "ui/UiTestSupport.h"

namespace arvestra {
namespace {

using test::FlushEvents;
using test::GrabImage;
using test::PaintRecorder;

class LevelMeterTest : public ::testing::Test {
  protected:
    // An input meter of the main view: 153 x 9 pixels, range 0..90.
    void SetUp() override {
        meter.resize(153, 9);
        meter.SetRange(0, 90);
        meter.show();
        FlushEvents();
    }

    // Checks every pixel of the meter against its computed layout and zone colours.
    void ExpectPictureMatchesLayout() {
        const QImage image = GrabImage(meter);
        const MeterLayout layout = ComputeMeterLayout(
            {meter.width(), meter.height(), meter.Minimum(), meter.Maximum(), meter.Position()});
        for (int x = 0; x < meter.width(); ++x) {
            for (int y = 0; y < meter.height(); ++y) {
                QColor expected(Qt::black);
                if (layout.inner.Contains(x, y)) {
                    const MeterInk ink = layout.columns[static_cast<std::size_t>(x - 1)];
                    const int index = static_cast<int>(ink);
                    if (ink >= MeterInk::Unlit1)
                        expected = meter.UnlitColor(index - 4);
                    else if (ink != MeterInk::Black)
                        expected = meter.LitColor(index - 1);
                }
                ASSERT_EQ(image.pixelColor(x, y), expected)
                    << "pixel " << x << "," << y << " at position " << meter.Position();
            }
        }
    }

    CLevelMeter meter;
};

TEST_F(LevelMeterTest, DefaultZoneColoursAreGreenYellowRed) {
    EXPECT_EQ(meter.LitColor(0), QColor(0x00, 0xFF, 0x00));
    EXPECT_EQ(meter.LitColor(1), QColor(0xFF, 0xFF, 0x00));
    EXPECT_EQ(meter.LitColor(2), QColor(0xFF, 0x00, 0x00));
    EXPECT_EQ(meter.UnlitColor(0), QColor(0x00, 0x80, 0x00));
    EXPECT_EQ(meter.UnlitColor(1), QColor(0x80, 0x80, 0x00));
    EXPECT_EQ(meter.UnlitColor(2), QColor(0x80, 0x00, 0x00));
}

TEST_F(LevelMeterTest, PositionAndRangeAreClamped) {
    struct Case {
        int set;
        int expected;
    };
    for (const Case c : {Case{-5, 0}, Case{45, 45}, Case{90, 90}, Case{91, 90}, Case{100000, 90}}) {
        meter.SetPosition(c.set);
        EXPECT_EQ(meter.Position(), c.expected) << c.set;
    }
    meter.SetRange(0, 41);
    EXPECT_EQ(meter.Position(), 41);
    meter.SetRange(50, 10);
    EXPECT_EQ(meter.Minimum(), 50);
    EXPECT_EQ(meter.Maximum(), 50);
    EXPECT_EQ(meter.Position(), 50);
}

TEST_F(LevelMeterTest, PaintsExactlyItsLayoutAtEveryPosition) {
    for (int position : {0, 1, 30, 54, 55, 57, 75, 89, 90}) {
        meter.SetPosition(position);
        ExpectPictureMatchesLayout();
    }
}

TEST_F(LevelMeterTest, GainReductionColoursMakeTheUnlitPartBright) {
    meter.resize(159, 9);
    meter.SetRange(0, 41);
    meter.SetAllZoneColors(QColor(0x80, 0x00, 0x00), QColor(0xFF, 0x00, 0x00));
    meter.SetPosition(41);  // no reduction: all dark red
    EXPECT_EQ(GrabImage(meter).pixelColor(1, 4), QColor(0x80, 0x00, 0x00));
    EXPECT_EQ(GrabImage(meter).pixelColor(148, 4), QColor(0x80, 0x00, 0x00));
    meter.SetPosition(0);  // full reduction: all bright red
    EXPECT_EQ(GrabImage(meter).pixelColor(1, 4), QColor(0xFF, 0x00, 0x00));
    ExpectPictureMatchesLayout();
}

TEST_F(LevelMeterTest, RepaintsOnlyTheColumnsThatChanged) {
    PaintRecorder paints(meter);
    meter.SetPosition(0);
    FlushEvents();
    EXPECT_EQ(paints.Count(), 0) << "unchanged position";

    meter.SetPosition(1);  // lit end 1 -> 2: the first group lights
    FlushEvents();
    EXPECT_EQ(paints.Painted(), QRegion(1, 1, 2, 7));

    paints.Reset();
    meter.SetPosition(55);
    FlushEvents();
    EXPECT_EQ(paints.Painted().boundingRect(), QRect(4, 1, 89, 7));

    paints.Reset();
    meter.SetPosition(56);  // lit end 93 -> 94: no group changes colour
    FlushEvents();
    EXPECT_EQ(paints.Count(), 0);
}

TEST_F(LevelMeterTest, ColourChangesRepaintOnlyWhenTheColourDiffers) {
    PaintRecorder paints(meter);
    meter.SetZoneColors(0, QColor(0x00, 0xFF, 0x00), QColor(0x00, 0x80, 0x00));
    meter.SetZoneColors(7, Qt::blue, Qt::blue);  // no such zone
    FlushEvents();
    EXPECT_EQ(paints.Count(), 0);
    meter.SetZoneColors(0, Qt::blue, Qt::cyan);
    FlushEvents();
    EXPECT_EQ(paints.Count(), 1);
    EXPECT_EQ(GrabImage(meter).pixelColor(1, 4), QColor(Qt::cyan));
}

TEST_F(LevelMeterTest, ResizingKeepsThePictureConsistent) {
    meter.SetPosition(60);
    for (int width : {3, 10, 64, 200}) {
        meter.resize(width, 7);
        FlushEvents();
        ExpectPictureMatchesLayout();
    }
}

}  // namespace
}  // namespace arvestra
