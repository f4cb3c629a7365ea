#include "ui/controls/PanelSlider.h"

#include <gtest/gtest.h>

#include <QKeyEvent>
#include <QSignalSpy>
#include <QTest>
#include <QToolTip>
#include <QWheelEvent>
#include <cstdlib>

#include "ui/UiTestSupport.h"

namespace arvestra {
namespace {

using test::FlushEvents;
using test::GrabImage;
using test::PaintRecorder;

// Counts the key presses that travel on from the slider to its parent.
class KeyCounter : public QWidget {
  public:
    int presses = 0;

  protected:
    void keyPressEvent(QKeyEvent*) override { ++presses; }
};

class PanelSliderTest : public ::testing::Test {
  protected:
    // A level slider of the main view: 136 x 17 pixels, codes 152..232.
    void SetUp() override {
        parent.resize(200, 200);
        slider.setGeometry(10, 10, 136, 17);
        slider.setRange(152, 232);
        slider.setValue(152);
        parent.show();
        FlushEvents();
    }

    void MakeVertical(int minimum, int maximum) {
        slider.setGeometry(10, 10, 17, 136);
        slider.setRange(minimum, maximum);
        FlushEvents();
    }

    KeyCounter parent;
    CPanelSlider slider{&parent};
};

TEST_F(PanelSliderTest, PageStepIsAFifthOfTheRange) {
    EXPECT_EQ(slider.pageStep(), 16);
    slider.setRange(0, 60);
    EXPECT_EQ(slider.pageStep(), 12);
    slider.setRange(0, 3);
    EXPECT_EQ(slider.pageStep(), 1);
}

TEST_F(PanelSliderTest, ThumbFollowsTheValue) {
    EXPECT_EQ(slider.Axis(), SliderAxis::Horizontal);
    EXPECT_EQ(slider.ThumbRect(), QRect(1, 1, 15, 15));
    slider.setValue(232);
    EXPECT_EQ(slider.ThumbRect(), QRect(120, 1, 15, 15));
    MakeVertical(0, 60);
    slider.setValue(0);
    EXPECT_EQ(slider.Axis(), SliderAxis::Vertical);
    EXPECT_EQ(slider.ThumbRect(), QRect(1, 1, 15, 15)) << "the minimum sits at the top";
}

struct GrabCase {
    int grabX;   // where on the thumb (columns 1..15) the pointer takes it
    int moveBy;  // how far the pointer then moves
};

class PanelSliderDrag : public PanelSliderTest, public ::testing::WithParamInterface<GrabCase> {};

TEST_P(PanelSliderDrag, ThumbMovesWithThePointerWithoutJumping) {
    const GrabCase c = GetParam();
    QSignalSpy moved(&slider, &CPanelSlider::userMoved);
    const QRect before = slider.ThumbRect();
    QTest::mousePress(&slider, Qt::LeftButton, Qt::NoModifier, QPoint(c.grabX, 8));
    EXPECT_TRUE(slider.IsDragging());
    EXPECT_EQ(slider.value(), 152) << "pressing the thumb never moves it";
    EXPECT_EQ(slider.ThumbRect(), before);

    QTest::mouseMove(&slider, QPoint(c.grabX + c.moveBy, 8));
    const int expectedLeft = std::clamp(before.left() + c.moveBy, 1, 120);
    // One step is 1.49 pixels, so the thumb may sit up to one pixel off the pointer.
    EXPECT_LE(std::abs(slider.ThumbRect().left() - expectedLeft), 1)
        << "grabbed at " << c.grabX << ", moved by " << c.moveBy;
    QTest::mouseRelease(&slider, Qt::LeftButton, Qt::NoModifier, QPoint(c.grabX + c.moveBy, 8));
    EXPECT_FALSE(slider.IsDragging());
    if (slider.value() != 152) {
        ASSERT_GE(moved.count(), 1);
        EXPECT_EQ(moved.last().at(0).toInt(), slider.value());
    }
}

INSTANTIATE_TEST_SUITE_P(Edges, PanelSliderDrag,
                         ::testing::Values(GrabCase{1, 30}, GrabCase{15, 30}, GrabCase{8, 30},
                                           GrabCase{14, 1}, GrabCase{2, 200}, GrabCase{15, 0},
                                           GrabCase{15, 119}));

TEST_F(PanelSliderTest, DragBackAndForthKeepsTheGrabOffset) {
    slider.setValue(192);  // thumb at columns 61..75
    QTest::mousePress(&slider, Qt::LeftButton, Qt::NoModifier, QPoint(74, 8));
    QTest::mouseMove(&slider, QPoint(40, 8));
    QTest::mouseMove(&slider, QPoint(74, 8));
    EXPECT_EQ(slider.value(), 192);
    QTest::mouseRelease(&slider, Qt::LeftButton, Qt::NoModifier, QPoint(74, 8));
}

TEST_F(PanelSliderTest, DisablingTheSliderMidDragLetsGoOfTheThumb) {
    QSignalSpy released(&slider, &QAbstractSlider::sliderReleased);
    QTest::mousePress(&slider, Qt::LeftButton, Qt::NoModifier, QPoint(8, 8));
    ASSERT_TRUE(slider.IsDragging());
    slider.setEnabled(false);
    EXPECT_FALSE(slider.IsDragging());
    EXPECT_FALSE(slider.isSliderDown());
    EXPECT_EQ(released.count(), 1);
    slider.setEnabled(true);
    QTest::mouseMove(&slider, QPoint(60, 8));
    EXPECT_EQ(slider.value(), 152) << "a later move without a press drags nothing";
}

TEST_F(PanelSliderTest, DraggingAVerticalSliderMovesAlongY) {
    MakeVertical(0, 60);
    slider.setValue(30);
    const QRect before = slider.ThumbRect();
    const QPoint grab(8, before.bottom());
    QTest::mousePress(&slider, Qt::LeftButton, Qt::NoModifier, grab);
    EXPECT_EQ(slider.value(), 30);
    QTest::mouseMove(&slider, grab + QPoint(0, -20));
    EXPECT_LE(std::abs(slider.ThumbRect().top() - (before.top() - 20)), 1);
    EXPECT_LT(slider.value(), 30);
    QTest::mouseRelease(&slider, Qt::LeftButton, Qt::NoModifier, grab + QPoint(0, -20));
}

TEST_F(PanelSliderTest, ClickBesideTheThumbPagesTowardsThePointer) {
    slider.setValue(192);  // thumb at columns 61..75
    QTest::mouseClick(&slider, Qt::LeftButton, Qt::NoModifier, QPoint(110, 8));
    EXPECT_EQ(slider.value(), 192 + 16);
    QTest::mouseClick(&slider, Qt::LeftButton, Qt::NoModifier, QPoint(20, 8));
    EXPECT_EQ(slider.value(), 192);
    EXPECT_FALSE(slider.IsDragging());
}

TEST_F(PanelSliderTest, HeldPressPagesUntilTheThumbReachesThePointer) {
    const QPoint target(100, 8);
    QTest::mousePress(&slider, Qt::LeftButton, Qt::NoModifier, target);
    EXPECT_EQ(slider.value(), 152 + 16);
    ASSERT_TRUE(test::WaitUntil([&] { return slider.ThumbRect().contains(target); }, 3000));
    const int reached = slider.value();
    QTest::qWait(350);
    EXPECT_EQ(slider.value(), reached) << "paging stops under the pointer";
    QTest::mouseRelease(&slider, Qt::LeftButton, Qt::NoModifier, target);
}

struct KeyCase {
    bool vertical;
    Qt::Key key;
    int expected;  // value after the key, starting from 30 in 0..60
    bool reachesParent;
};

class PanelSliderKeys : public PanelSliderTest, public ::testing::WithParamInterface<KeyCase> {};

TEST_P(PanelSliderKeys, ArrowsAcrossTheAxisDoNothing) {
    const KeyCase c = GetParam();
    if (c.vertical) {
        MakeVertical(0, 60);
    } else {
        slider.setRange(0, 60);
    }
    slider.setValue(30);
    QSignalSpy moved(&slider, &CPanelSlider::userMoved);
    QTest::keyClick(&slider, c.key);
    EXPECT_EQ(slider.value(), c.expected);
    EXPECT_EQ(moved.count(), c.expected == 30 ? 0 : 1);
    EXPECT_EQ(parent.presses, c.reachesParent ? 1 : 0);
}

INSTANTIATE_TEST_SUITE_P(
    Keys, PanelSliderKeys,
    ::testing::Values(
        KeyCase{false, Qt::Key_Left, 29, false}, KeyCase{false, Qt::Key_Right, 31, false},
        KeyCase{false, Qt::Key_Up, 30, false}, KeyCase{false, Qt::Key_Down, 30, false},
        KeyCase{true, Qt::Key_Up, 29, false}, KeyCase{true, Qt::Key_Down, 31, false},
        KeyCase{true, Qt::Key_Left, 30, false}, KeyCase{true, Qt::Key_Right, 30, false},
        KeyCase{false, Qt::Key_PageUp, 18, false}, KeyCase{false, Qt::Key_PageDown, 42, false},
        KeyCase{true, Qt::Key_PageDown, 42, false}, KeyCase{false, Qt::Key_Home, 0, false},
        KeyCase{false, Qt::Key_End, 60, false}, KeyCase{false, Qt::Key_X, 30, true}));

TEST_F(PanelSliderTest, InvertedSliderMovesTheThumbInTheArrowsDirection) {
    slider.setRange(0, 60);
    slider.setInvertedAppearance(true);
    slider.setValue(30);
    const int left = slider.ThumbRect().left();
    QTest::keyClick(&slider, Qt::Key_Left);
    EXPECT_EQ(slider.value(), 31);
    EXPECT_LT(slider.ThumbRect().left(), left);
}

TEST_F(PanelSliderTest, UserMovedOnlyForUserChanges) {
    QSignalSpy moved(&slider, &CPanelSlider::userMoved);
    QSignalSpy changed(&slider, &QAbstractSlider::valueChanged);
    slider.setValue(200);
    slider.setValue(200);
    EXPECT_EQ(moved.count(), 0);
    EXPECT_EQ(changed.count(), 1);
    slider.setValue(152);
    QTest::keyClick(&slider, Qt::Key_Left);  // already at the minimum
    EXPECT_EQ(moved.count(), 0);
    QTest::keyClick(&slider, Qt::Key_Right);
    ASSERT_EQ(moved.count(), 1);
    EXPECT_EQ(moved.at(0).at(0).toInt(), 153);
}

TEST_F(PanelSliderTest, WheelAwayFromTheUserMovesTheThumbTowardsTheStart) {
    slider.setValue(192);
    QWheelEvent away(QPointF(50, 8), QPointF(slider.mapToGlobal(QPoint(50, 8))), QPoint(),
                     QPoint(0, 120), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(&slider, &away);
    EXPECT_EQ(slider.value(), 191);
    QWheelEvent half(QPointF(50, 8), QPointF(slider.mapToGlobal(QPoint(50, 8))), QPoint(),
                     QPoint(0, -60), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(&slider, &half);
    EXPECT_EQ(slider.value(), 191) << "half a notch waits for the other half";
    QApplication::sendEvent(&slider, &half);
    EXPECT_EQ(slider.value(), 192);
}

TEST_F(PanelSliderTest, ValueChangeRepaintsOnlyTheOldAndNewThumb) {
    PaintRecorder paints(slider);
    slider.setValue(152);
    slider.setRange(152, 232);
    FlushEvents();
    EXPECT_EQ(paints.Count(), 0) << "an unchanged value or range paints nothing";
    slider.setValue(192);
    FlushEvents();
    QRegion expected(QRect(1, 1, 15, 15));
    expected += QRect(61, 1, 15, 15);
    EXPECT_EQ(paints.Painted(), expected);
}

TEST_F(PanelSliderTest, FocusTurnsTheChannelRed) {
    slider.setValue(232);  // uncover the channel
    slider.clearFocus();
    FlushEvents();
    EXPECT_EQ(GrabImage(slider).pixelColor(60, 7), QColor(Qt::black));
    parent.activateWindow();
    slider.setFocus(Qt::TabFocusReason);
    ASSERT_TRUE(test::WaitUntil([&] { return slider.hasFocus(); }, 2000));
    FlushEvents();
    EXPECT_EQ(GrabImage(slider).pixelColor(60, 7), QColor(0xFF, 0x00, 0x00));
}

TEST_F(PanelSliderTest, DisabledThumbIsLightGrey) {
    slider.setEnabled(false);
    EXPECT_EQ(GrabImage(slider).pixelColor(8, 8), QColor(0xC0, 0xC0, 0xC0));
    slider.setEnabled(true);
    EXPECT_EQ(GrabImage(slider).pixelColor(8, 8), QColor(0xA0, 0xA0, 0xA4));
}

TEST_F(PanelSliderTest, ToolTipShowsAndFollowsTheValueText) {
    EXPECT_TRUE(slider.ValueText().isEmpty());
    slider.SetValueTextFunction(
        [](int code) { return QString::asprintf("%.1f dB", (code - 152) * 0.5 - 20); });
    EXPECT_EQ(slider.ValueText(), QString("-20.0 dB"));
    slider.setValue(192);
    EXPECT_EQ(slider.ValueText(), QString("0.0 dB"));

    QHelpEvent help(QEvent::ToolTip, QPoint(8, 8), slider.mapToGlobal(QPoint(8, 8)));
    QApplication::sendEvent(&slider, &help);
    ASSERT_TRUE(QToolTip::isVisible());
    EXPECT_EQ(QToolTip::text(), QString("0.0 dB"));
    slider.setValue(232);
    EXPECT_EQ(QToolTip::text(), QString("20.0 dB"));
    QToolTip::hideText();
}

}  // namespace
}  // namespace arvestra
