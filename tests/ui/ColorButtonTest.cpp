#include "ui/controls/ColorButton.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QMouseEvent>
#include <QSignalSpy>
#include <QTest>

#include "ui/UiTestSupport.h"

namespace arvestra {
namespace {

using test::FlushEvents;
using test::GrabImage;
using test::PaintRecorder;

const QColor kLight(0xE0, 0xE0, 0xE0);
const QColor kDark(0x80, 0x80, 0x80);

class ColorButtonTest : public ::testing::Test {
  protected:
    void SetUp() override {
        button.resize(40, 16);
        button.show();
        FlushEvents();
    }

    // Top-left pixel: light bevel when raised, black outline when pressed.
    bool LooksPressed() { return GrabImage(button).pixelColor(0, 0) == QColor(Qt::black); }

    void SendDoubleClickEvent(const QPoint& at) {
        QMouseEvent event(QEvent::MouseButtonDblClick, QPointF(at), QPointF(button.mapToGlobal(at)),
                          Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&button, &event);
    }

    CColorButton button{"Edit"};
};

TEST_F(ColorButtonTest, StartsAsAMomentaryGreyButtonWithBlackText) {
    EXPECT_EQ(button.FaceColor(), QColor(0xA0, 0xA0, 0xA4));
    EXPECT_EQ(button.TextColor(), QColor(Qt::black));
    EXPECT_TRUE(button.IsMomentary());
    EXPECT_FALSE(button.IsLatched());
    EXPECT_FALSE(LooksPressed());
    EXPECT_EQ(GrabImage(button).pixelColor(0, 0), kLight);
}

TEST_F(ColorButtonTest, MomentaryButtonLooksPressedOnlyWhileTheMouseHoldsIt) {
    QTest::mousePress(&button, Qt::LeftButton, Qt::NoModifier, QPoint(20, 8));
    EXPECT_TRUE(button.IsShownPressed());
    EXPECT_TRUE(LooksPressed());
    EXPECT_EQ(GrabImage(button).pixelColor(1, 1), kDark);
    QTest::mouseRelease(&button, Qt::LeftButton, Qt::NoModifier, QPoint(20, 8));
    EXPECT_FALSE(button.IsShownPressed());
    EXPECT_FALSE(LooksPressed());
}

TEST_F(ColorButtonTest, LatchingButtonLookFollowsTheLatchNotTheMouse) {
    button.SetMomentary(false);
    QTest::mousePress(&button, Qt::LeftButton, Qt::NoModifier, QPoint(20, 8));
    EXPECT_FALSE(LooksPressed());
    QTest::mouseRelease(&button, Qt::LeftButton, Qt::NoModifier, QPoint(20, 8));
    button.SetLatched(true);
    EXPECT_TRUE(LooksPressed());
    QTest::mouseClick(&button, Qt::LeftButton, Qt::NoModifier, QPoint(20, 8));
    EXPECT_TRUE(LooksPressed()) << "a click does not unlatch; the owner does";
    button.SetLatched(false);
    EXPECT_FALSE(LooksPressed());
}

TEST_F(ColorButtonTest, LatchedChangedIsEmittedOnlyOnARealChange) {
    QSignalSpy spy(&button, &CColorButton::latchedChanged);
    button.SetLatched(true);
    button.SetLatched(true);
    button.SetLatched(false);
    button.SetLatched(false);
    ASSERT_EQ(spy.count(), 2);
    EXPECT_TRUE(spy.at(0).at(0).toBool());
    EXPECT_FALSE(spy.at(1).at(0).toBool());
}

TEST_F(ColorButtonTest, DoubleClickCountsAsTwoClicks) {
    QSignalSpy clicks(&button, &QAbstractButton::clicked);
    const QPoint at(20, 8);
    // What the window system delivers for a double click: press, release, double click,
    // release.
    QTest::mousePress(&button, Qt::LeftButton, Qt::NoModifier, at);
    QTest::mouseRelease(&button, Qt::LeftButton, Qt::NoModifier, at);
    SendDoubleClickEvent(at);
    QTest::mouseRelease(&button, Qt::LeftButton, Qt::NoModifier, at);
    EXPECT_EQ(clicks.count(), 2);
}

TEST_F(ColorButtonTest, DoubleClickOnALatchingButtonAlsoCountsTwice) {
    button.SetMomentary(false);
    QSignalSpy clicks(&button, &QAbstractButton::clicked);
    const QPoint at(5, 5);
    QTest::mousePress(&button, Qt::LeftButton, Qt::NoModifier, at);
    QTest::mouseRelease(&button, Qt::LeftButton, Qt::NoModifier, at);
    SendDoubleClickEvent(at);
    QTest::mouseRelease(&button, Qt::LeftButton, Qt::NoModifier, at);
    EXPECT_EQ(clicks.count(), 2);
}

TEST_F(ColorButtonTest, KeyboardClicksWithSpaceReturnAndEnter) {
    struct Case {
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
        int clicks;
    };
    const Case cases[] = {
        {Qt::Key_Space, Qt::NoModifier, 1},     {Qt::Key_Return, Qt::NoModifier, 1},
        {Qt::Key_Enter, Qt::KeypadModifier, 1}, {Qt::Key_Return, Qt::ControlModifier, 0},
        {Qt::Key_A, Qt::NoModifier, 0},
    };
    for (const Case& c : cases) {
        QSignalSpy clicks(&button, &QAbstractButton::clicked);
        QTest::keyClick(&button, c.key, c.modifiers);
        EXPECT_EQ(clicks.count(), c.clicks) << "key " << c.key;
    }
}

TEST_F(ColorButtonTest, DisabledButtonIgnoresClicksAndGreysOut) {
    button.setEnabled(false);
    QSignalSpy clicks(&button, &QAbstractButton::clicked);
    QTest::mouseClick(&button, Qt::LeftButton, Qt::NoModifier, QPoint(20, 8));
    EXPECT_EQ(clicks.count(), 0);
    EXPECT_EQ(GrabImage(button).pixelColor(2, 2), QColor(0xC0, 0xC0, 0xC0));
}

TEST_F(ColorButtonTest, FocusDrawsADottedRectangleThreePixelsInside) {
    button.activateWindow();
    button.setFocus(Qt::TabFocusReason);
    ASSERT_TRUE(test::WaitUntil([&] { return button.hasFocus(); }, 2000));
    FlushEvents();
    const QImage focused = GrabImage(button);
    EXPECT_EQ(focused.pixelColor(3, 3), QColor(Qt::black));
    EXPECT_EQ(focused.pixelColor(4, 3), QColor(0xA0, 0xA0, 0xA4)) << "dotted";
    EXPECT_EQ(focused.pixelColor(5, 3), QColor(Qt::black));
    EXPECT_EQ(focused.pixelColor(2, 2), QColor(0xA0, 0xA0, 0xA4));
    button.clearFocus();
    FlushEvents();
    EXPECT_EQ(GrabImage(button).pixelColor(3, 3), QColor(0xA0, 0xA0, 0xA4));
}

TEST_F(ColorButtonTest, FaceColourPaintsTheFaceAndRepaintsOnlyOnChange) {
    PaintRecorder paints(button);
    button.SetFaceColor(QColor(0xA0, 0xA0, 0xA4));
    button.SetTextColor(Qt::black);
    button.SetLatched(true);  // a momentary button looks the same latched or not
    FlushEvents();
    EXPECT_EQ(paints.Count(), 0);
    button.SetFaceColor(QColor(0x55, 0x7F, 0xFF));
    FlushEvents();
    EXPECT_EQ(paints.Count(), 1);
    EXPECT_EQ(GrabImage(button).pixelColor(2, 2), QColor(0x55, 0x7F, 0xFF));
}

}  // namespace
}  // namespace arvestra
