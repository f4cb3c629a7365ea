// The graphic EQ page: band sliders and dots, dragging, drawing, the buttons and the tips.
#include <gtest/gtest.h>

#include <QContextMenuEvent>
#include <QTimer>
#include <QWheelEvent>

#include "model/Scales.h"
#include "ui/EqPageTestSupport.h"
#include "ui/controls/ColorButton.h"
#include "ui/controls/PanelPalette.h"
#include "ui/controls/PanelSlider.h"
#include "ui/pages/FilterPageGeometry.h"

namespace arvestra {
namespace {

using eqtest::Centre;
using eqtest::EqPageFixture;
using eqtest::Move;
using eqtest::Press;
using eqtest::Release;

class GraphicEqPageTest : public ::testing::Test, public EqPageFixture {
  protected:
    GraphicEqPageTest() { Open(CommandId::ViewEqA); }
    CGraphicEqPage& Page() { return Graphic(); }
    int Gain(int band) { return Doc().Edits().Get(ParamField::EqGraphicGain, 0, band); }
    QPoint Dot(int band) { return Centre(Page().DotCentre(band)); }
    QPoint InColumn(int band, int y) {
        const PixelRect c = Page().ColumnOf(band);
        return {(c.left + c.right) / 2, y};
    }
};

TEST_F(GraphicEqPageTest, DraggingADotStepsTheGainWithinItsRange) {
    ASSERT_TRUE(Page().IsEditable());
    const QPoint start = Dot(5);
    ASSERT_EQ(start.y(), GraphicDotY(30, Page().TopLimitY(), Page().BottomLimitY()));
    Press(Page(), start, Qt::LeftButton);
    EXPECT_EQ(Page().State(), CGraphicEqPage::MouseState::Dragging);
    Move(Page(), start - QPoint(0, 9), Qt::LeftButton);
    const int y = start.y() - 9;
    EXPECT_EQ(Gain(5), 60 - GraphicPositionOfY(y, Page().TopLimitY(), Page().BottomLimitY()));
    EXPECT_EQ(Page().DotCentre(5).y, y);  // the dot follows the pointer pixel by pixel
    EXPECT_EQ(Page().BandSlider(5)->value(), 60 - Gain(5));
    Move(Page(), start - QPoint(0, 900), Qt::LeftButton);
    EXPECT_EQ(Gain(5), 60);
    EXPECT_EQ(Page().DotCentre(5).y, Page().TopLimitY());
    Move(Page(), start + QPoint(0, 900), Qt::LeftButton);
    EXPECT_EQ(Gain(5), 0);
    EXPECT_EQ(Page().DotCentre(5).y, Page().BottomLimitY());
    Release(Page(), start + QPoint(0, 900), Qt::LeftButton);
    EXPECT_EQ(Page().State(), CGraphicEqPage::MouseState::Idle);
    EXPECT_EQ(Gain(4), 30);
    EXPECT_EQ(TakePosted().front(), CommandId::ViewEqA);
}

TEST_F(GraphicEqPageTest, ALostButtonUpEndsTheDragAtTheLastPoint) {
    const QPoint start = Dot(7);
    Press(Page(), start, Qt::LeftButton);
    Move(Page(), start - QPoint(0, 20), Qt::LeftButton);
    const int gain = Gain(7);
    // The release went to a box that opened meanwhile: the next move comes without a button.
    Move(Page(), start - QPoint(0, 60), Qt::NoButton);
    EXPECT_EQ(Page().State(), CGraphicEqPage::MouseState::Idle);
    EXPECT_EQ(Gain(7), gain);
    Move(Page(), start - QPoint(0, 80), Qt::LeftButton);
    EXPECT_EQ(Gain(7), gain);
}

TEST_F(GraphicEqPageTest, HidingThePageEndsADragAndADrawing) {
    const QPoint start = Dot(7);
    Press(Page(), start, Qt::LeftButton);
    TakePosted();  // the drag asked for EQ A, which is already shown
    Open(CommandId::ViewDeviceConfiguration);
    ASSERT_FALSE(Page().isVisible());
    EXPECT_EQ(Page().State(), CGraphicEqPage::MouseState::Idle);
    Open(CommandId::ViewEqA);
    Press(Page(), InColumn(3, 100), Qt::RightButton);
    ASSERT_EQ(Page().State(), CGraphicEqPage::MouseState::Drawing);
    TakePosted();
    Open(CommandId::ViewDeviceConfiguration);
    EXPECT_EQ(Page().State(), CGraphicEqPage::MouseState::Idle);
    Open(CommandId::ViewEqA);
    Move(Page(), InColumn(8, 90), Qt::RightButton);
    EXPECT_EQ(Gain(8), 30);
}

TEST_F(GraphicEqPageTest, DrawingAcrossBandsFillsTheBandsPassed) {
    const int top = Page().TopLimitY();
    const int bottom = Page().BottomLimitY();
    const auto code = [&](int y) { return 60 - GraphicPositionOfY(y, top, bottom); };
    const int y3 = top + 10;
    const int y9 = bottom - 10;
    Press(Page(), InColumn(3, y3), Qt::RightButton);
    Move(Page(), InColumn(3, y3), Qt::RightButton);
    Move(Page(), InColumn(9, y9), Qt::RightButton);
    EXPECT_EQ(Gain(3), code(y3));
    for (int k = 1; k <= 6; ++k) {
        EXPECT_EQ(Gain(3 + k), code(y3 + (y9 - y3) * k / 6)) << "band " << 3 + k;
    }
    EXPECT_EQ(Gain(2), 30);
    EXPECT_EQ(Gain(10), 30);
    // And back again, at other heights.
    const int yBack = top + 40;
    Move(Page(), InColumn(3, yBack), Qt::RightButton);
    for (int k = 1; k <= 6; ++k) {
        EXPECT_EQ(Gain(9 - k), code(y9 + (yBack - y9) * k / 6)) << "band " << 9 - k;
    }
    Release(Page(), InColumn(3, yBack), Qt::RightButton);
    EXPECT_EQ(Page().State(), CGraphicEqPage::MouseState::Idle);
    // The right button on the graph draws: the menu it would ask for does not open there.
    bool menuShown = false;
    QTimer::singleShot(0, [&menuShown] {
        if (QWidget* popup = QApplication::activePopupWidget()) {
            menuShown = true;
            popup->close();
        }
    });
    const QPoint at = InColumn(3, yBack);
    QContextMenuEvent menuEvent(QContextMenuEvent::Mouse, at, Page().mapToGlobal(at));
    QApplication::sendEvent(&Page(), &menuEvent);
    QCoreApplication::processEvents();
    EXPECT_FALSE(menuShown);
}

TEST_F(GraphicEqPageTest, FlatPutsEveryBandAtZeroDb) {
    for (int band = 0; band < 31; ++band)
        Doc().Edits().Set(ParamField::EqGraphicGain, 0, band, band * 2);
    harness.view->OnUpdate(1);
    QTest::mouseClick(Page().FlatButton(), Qt::LeftButton);
    const int zeroY = GraphicDotY(30, Page().TopLimitY(), Page().BottomLimitY());
    for (int band = 0; band < 31; ++band) {
        EXPECT_EQ(Gain(band), 30) << band;
        EXPECT_EQ(Page().BandSlider(band)->value(), 30) << band;
        EXPECT_EQ(Page().DotCentre(band).y, zeroY) << band;
    }
    EXPECT_EQ(Page().DotCentre(0).y, Page().Mapping().DbToY(0.0));
}

TEST_F(GraphicEqPageTest, BandWidthLatchesNarrowOnlyForExactly7) {
    const std::pair<int, bool> cases[] = {
        {12, true}, {13, false}, {11, false}, {6, false}, {0, false}};
    for (const auto& [code, narrow] : cases) {
        Doc().Edits().Set(ParamField::EqGraphicQ, 0, code);
        harness.view->OnUpdate(1);
        EXPECT_EQ(Page().NarrowButton()->IsLatched(), narrow) << code;
        EXPECT_EQ(Page().WideButton()->IsLatched(), !narrow) << code;
    }
    QTest::mouseClick(Page().NarrowButton(), Qt::LeftButton);
    EXPECT_EQ(Doc().Edits().Get(ParamField::EqGraphicQ, 0), 12);
    EXPECT_TRUE(Page().NarrowButton()->IsLatched());
    QTest::mouseClick(Page().WideButton(), Qt::LeftButton);
    EXPECT_EQ(Doc().Edits().Get(ParamField::EqGraphicQ, 0), 6);
    EXPECT_FALSE(Page().NarrowButton()->IsLatched());
}

TEST_F(GraphicEqPageTest, OutsideTheDisplayedPathTheBandsCannotBeEdited) {
    eqtest::SetChainA(Doc(), {13, 11});  // EQ A leaves the chain: HP A feeds LP A
    harness.view->OnUpdate(1);
    EXPECT_FALSE(Page().IsEditable());
    for (int band = 0; band < 31; ++band) EXPECT_FALSE(Page().BandSlider(band)->isEnabled());
    for (CColorButton* b :
         {Page().FlatButton(), Page().NarrowButton(), Page().WideButton(), Page().EqBypassButton(),
          Page().GraphicButton(), Page().ParametricButton()}) {
        EXPECT_FALSE(b->isEnabled()) << b->text().toStdString();
    }
    const QPoint dot = Dot(4);
    Press(Page(), dot, Qt::LeftButton);
    Move(Page(), dot - QPoint(0, 30), Qt::LeftButton);
    Release(Page(), dot - QPoint(0, 30), Qt::LeftButton);
    Press(Page(), InColumn(6, 60), Qt::RightButton);
    Move(Page(), InColumn(6, 60), Qt::RightButton);
    EXPECT_EQ(Page().State(), CGraphicEqPage::MouseState::Idle);
    EXPECT_EQ(Gain(4), 30);
    EXPECT_EQ(Gain(6), 30);
}

TEST_F(GraphicEqPageTest, HoverFollowsTheDotUnderThePointer) {
    EXPECT_EQ(Page().HoveredBand(), -1);
    Move(Page(), Dot(0) + QPoint(0, 40), Qt::NoButton);  // nothing hovered before or now
    EXPECT_EQ(Page().HoveredBand(), -1);
    Move(Page(), Dot(12), Qt::NoButton);
    EXPECT_EQ(Page().HoveredBand(), 12);
    Move(Page(), Dot(13), Qt::NoButton);
    EXPECT_EQ(Page().HoveredBand(), 13);
    Move(Page(), Dot(13) + QPoint(0, 40), Qt::NoButton);
    EXPECT_EQ(Page().HoveredBand(), -1);
}

TEST_F(GraphicEqPageTest, HoveringFromNothingRepaintsOnlyTheNewDot) {
    test::FlushEvents();
    test::PaintRecorder paints(Page());
    Move(Page(), Dot(12), Qt::NoButton);
    test::FlushEvents();
    ASSERT_GT(paints.Count(), 0);
    EXPECT_TRUE(paints.Painted().intersects(ToQRect(Page().DotRectOf(12))));
    // No dot was hovered before: band 0's dot (or any other) is left alone.
    for (int band = 0; band < 31; ++band) {
        if (band == 12) continue;
        EXPECT_FALSE(paints.Painted().intersects(ToQRect(Page().DotRectOf(band)))) << band;
    }
}

TEST_F(GraphicEqPageTest, SlidersKeysAndDoubleClickSetBands) {
    CPanelSlider* slider = Page().BandSlider(10);
    slider->setFocus();
    QTest::keyClick(slider, Qt::Key_Up);
    EXPECT_EQ(Gain(10), 31);
    QTest::keyClick(slider, Qt::Key_Up, Qt::ShiftModifier);
    EXPECT_EQ(Gain(10), 37);
    QTest::keyClick(slider, Qt::Key_Down, Qt::ShiftModifier);
    QTest::keyClick(slider, Qt::Key_Down, Qt::ShiftModifier);
    EXPECT_EQ(Gain(10), 25);
    EXPECT_EQ(Page().DotCentre(10).y, GraphicDotY(35, Page().TopLimitY(), Page().BottomLimitY()));
    EXPECT_EQ(Page().BandTipText(10), QStringLiteral("-2.5 dB"));
    QTest::mouseDClick(&Page(), Qt::LeftButton, Qt::NoModifier, Dot(10));
    EXPECT_EQ(Gain(10), 30);
    EXPECT_EQ(slider->value(), 30);
    EXPECT_EQ(Page().BandTipText(10), QStringLiteral("0.0 dB"));
}

TEST_F(GraphicEqPageTest, BypassAndTheSwitchToParametric) {
    QTest::mouseClick(Page().EqBypassButton(), Qt::LeftButton);
    EXPECT_EQ(Doc().Edits().Get(ParamField::EqBypass, 0), 1);
    EXPECT_TRUE(Page().EqBypassButton()->IsLatched());
    TakePosted();
    QTest::mouseClick(Page().ParametricButton(), Qt::LeftButton);
    EXPECT_EQ(Doc().Edits().Get(ParamField::EqType, 0), 1);
    EXPECT_EQ(TakePosted(),
              (std::vector<CommandId>{CommandId::ViewDeviceConfiguration, CommandId::ViewEqA}));
    harness.view->OnCommand(static_cast<CommandId>(145));
    harness.view->OnCommand(static_cast<CommandId>(32801));
    EXPECT_TRUE(Parametric().isVisible());
    EXPECT_FALSE(Page().isVisible());
}

}  // namespace
}  // namespace arvestra
