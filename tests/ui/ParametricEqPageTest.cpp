// The parametric EQ page: band sliders, dots dragged in frequency and gain, the wheel, the
// buttons and the tips.
#include <gtest/gtest.h>

#include <QWheelEvent>

#include "model/FilterResponse.h"
#include "model/Scales.h"
#include "ui/EqPageTestSupport.h"
#include "ui/controls/ColorButton.h"
#include "ui/controls/PanelSlider.h"
#include "ui/pages/FilterPageGeometry.h"

namespace arvestra {
namespace {

using eqtest::Centre;
using eqtest::EqPageFixture;
using eqtest::Move;
using eqtest::Press;
using eqtest::Release;
using Kind = CParametricEqPage::SliderKind;

class ParametricEqPageTest : public ::testing::Test, public EqPageFixture {
  protected:
    ParametricEqPageTest() {
        Doc().Edits().Set(ParamField::EqType, 0, 1);
        Open(CommandId::ViewEqA);
    }
    CParametricEqPage& Page() { return Parametric(); }
    int Code(ParamField field, int band) { return Doc().Edits().Get(field, 0, band); }
    QPoint Dot(int band) { return Centre(Page().DotCentre(band)); }
    void Wheel(QPoint at, int delta, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QWheelEvent event(at, Page().mapToGlobal(at), QPoint(), QPoint(0, delta), Qt::NoButton,
                          modifiers, Qt::NoScrollPhase, false);
        QApplication::sendEvent(&Page(), &event);
    }
};

TEST_F(ParametricEqPageTest, ShowsTheBandsOfTheEditedChannel) {
    ASSERT_TRUE(Page().isVisible());
    EXPECT_TRUE(Page().IsEditable());
    EXPECT_TRUE(Page().ParametricButton()->IsLatched());
    EXPECT_FALSE(Page().GraphicButton()->IsLatched());
    // New devices: band n at frequency code 7 + 9n, bandwidth 19, gain 97 (0 dB).
    for (int band = 0; band < 10; ++band) {
        EXPECT_EQ(Page().BandSlider(band, Kind::Frequency)->value(), 100 - (7 + 9 * band));
        EXPECT_EQ(Page().BandSlider(band, Kind::Bandwidth)->value(), 39 - 19);
        EXPECT_EQ(Page().BandSlider(band, Kind::Gain)->value(), 24);
        EXPECT_EQ(Page().DotCentre(band).y, Page().Mapping().DbToY(0.0));
    }
    EXPECT_EQ(QApplication::focusWidget(), Page().BandSlider(0, Kind::Frequency));
}

TEST_F(ParametricEqPageTest, DraggingAboveTheTopStoresPlus12AndSnapsThere) {
    const QPoint start = Dot(4);
    const int frequency = Code(ParamField::EqParamFrequency, 4);
    Press(Page(), start, Qt::LeftButton);
    Move(Page(), start - QPoint(0, 2000), Qt::LeftButton);
    EXPECT_EQ(Code(ParamField::EqParamGain, 4), 121);
    EXPECT_EQ(Page().DotCentre(4).y, Page().Mapping().DbToY(12.0));
    EXPECT_EQ(Code(ParamField::EqParamFrequency, 4), frequency);
    EXPECT_EQ(Code(ParamField::EqParamBandwidth, 4), 19);
    EXPECT_EQ(Page().BandSlider(4, Kind::Gain)->value(), 0);
    Move(Page(), start + QPoint(0, 2000), Qt::LeftButton);
    // The bottom limit lies 5 pixels above the graph's -50.5 dB edge.
    const int bottom = ParametricDotLimits(Page().Mapping().Rect()).bottom;
    EXPECT_EQ(Code(ParamField::EqParamGain, 4),
              nearestCode(Scale::ParametricGain, Page().Mapping().YToDb(bottom)));
    EXPECT_LT(Code(ParamField::EqParamGain, 4), 9);
    Release(Page(), start + QPoint(0, 2000), Qt::LeftButton);
    EXPECT_EQ(Page().State(), CParametricEqPage::MouseState::Idle);
}

TEST_F(ParametricEqPageTest, DraggingMovesFrequencyAndGainButNeverBandwidth) {
    const QPoint start = Dot(2);
    Press(Page(), start, Qt::LeftButton);
    const QPoint target = start + QPoint(80, -30);
    Move(Page(), target, Qt::LeftButton);
    EXPECT_EQ(Code(ParamField::EqParamFrequency, 2),
              nearestCode(Scale::Frequency, Page().Mapping().XToFrequency(target.x())));
    EXPECT_EQ(Code(ParamField::EqParamGain, 2),
              nearestCode(Scale::ParametricGain, Page().Mapping().YToDb(target.y())));
    // From the second move on the dot goes to the pointer, rounded to the nearest codes.
    const QPoint next = target + QPoint(-200, 45);
    Move(Page(), next, Qt::LeftButton);
    EXPECT_EQ(Code(ParamField::EqParamFrequency, 2),
              nearestCode(Scale::Frequency, Page().Mapping().XToFrequency(next.x())));
    EXPECT_EQ(Code(ParamField::EqParamBandwidth, 2), 19);
    Move(Page(), next + QPoint(5000, 0), Qt::LeftButton);
    EXPECT_EQ(Code(ParamField::EqParamFrequency, 2), 100);
    Release(Page(), next, Qt::LeftButton);
}

TEST_F(ParametricEqPageTest, ADragRecomputesOnlyTheBandThatMoved) {
    test::GrabImage(Page());
    const long long before = Page().Response().SectionsEvaluated();
    const QPoint start = Dot(6);
    Press(Page(), start, Qt::LeftButton);
    Move(Page(), start - QPoint(0, 25), Qt::LeftButton);
    EXPECT_EQ(Page().Response().SectionsEvaluated(), before + 1);
    Release(Page(), start - QPoint(0, 25), Qt::LeftButton);
}

TEST_F(ParametricEqPageTest, FlatResetsOnlyTheGains) {
    for (int band = 0; band < 10; ++band) {
        Doc().Edits().Set(ParamField::EqParamGain, 0, band, 10 * band);
        Doc().Edits().Set(ParamField::EqParamBandwidth, 0, band, band);
    }
    harness.view->OnUpdate(1);
    QTest::mouseClick(Page().FlatButton(), Qt::LeftButton);
    for (int band = 0; band < 10; ++band) {
        EXPECT_EQ(Code(ParamField::EqParamGain, band), 97) << band;
        EXPECT_EQ(Page().BandSlider(band, Kind::Gain)->value(), 24) << band;
        EXPECT_EQ(Code(ParamField::EqParamBandwidth, band), band) << band;
        EXPECT_EQ(Code(ParamField::EqParamFrequency, band), 7 + 9 * band) << band;
    }
}

TEST_F(ParametricEqPageTest, TipsShowTheEffectiveBandwidth) {
    Doc().Edits().Set(ParamField::EqParamFrequency, 0, 2, 56);
    Doc().Edits().Set(ParamField::EqParamGain, 0, 2, 85);
    harness.view->OnUpdate(1);
    EXPECT_EQ(Page().DotTipText(2), QStringLiteral("Band 3: 1000 Hz, 1.00 bw, -6.0 dB"));
    EXPECT_EQ(Page().SliderTipText(2, Kind::Frequency), QStringLiteral("1000 Hz"));
    EXPECT_EQ(Page().SliderTipText(2, Kind::Gain), QStringLiteral("-6.0 dB"));
    // At 20 Hz no bandwidth below 0.2 is effective.
    Doc().Edits().Set(ParamField::EqParamFrequency, 0, 0, 0);
    Doc().Edits().Set(ParamField::EqParamBandwidth, 0, 0, 0);
    EXPECT_EQ(Page().SliderTipText(0, Kind::Bandwidth), QStringLiteral("0.20"));
}

TEST_F(ParametricEqPageTest, CodesBeyondTheirRangeFromAFileAreLimitedWhereUsed) {
    // A damaged file: frequency 250, bandwidth 200, gain 255 in band 1.
    // Whole bytes written past the operations, which would clamp them.
    const auto poke = [this](ParamField field, int value) {
        const FieldDescriptor& info = FieldInfo(field);
        Doc().Edits().Data()[info.offsetB - info.channelStride] = static_cast<std::uint8_t>(value);
    };
    poke(ParamField::EqParamFrequency, 250);
    poke(ParamField::EqParamBandwidth, 200);
    poke(ParamField::EqParamGain, 255);
    ASSERT_EQ(Code(ParamField::EqParamFrequency, 0), 250);
    harness.view->OnUpdate(1);
    EXPECT_EQ(Page().DotTipText(0), QStringLiteral("Band 1: 20000 Hz, 0.50 bw, 12.0 dB"));
    EXPECT_EQ(Page().BandSlider(0, Kind::Frequency)->value(), 0);
    EXPECT_EQ(Page().BandSlider(0, Kind::Bandwidth)->value(), 0);
    EXPECT_EQ(Page().BandSlider(0, Kind::Gain)->value(), 0);
    EXPECT_TRUE(Page().GraphRect().contains(Dot(0)));
    test::GrabImage(Page());  // the curve of the limited band is computed and drawn
    for (const double level : Page().LevelsDb()) ASSERT_TRUE(std::isfinite(level));
}

TEST_F(ParametricEqPageTest, OutsideThePathControlsAreDisabledButDotsStillDrag) {
    eqtest::SetChainA(Doc(), {13, 11});  // EQ A leaves the chain: HP A feeds LP A
    harness.view->OnUpdate(1);
    EXPECT_FALSE(Page().IsEditable());
    EXPECT_FALSE(Page().BandSlider(3, Kind::Gain)->isEnabled());
    EXPECT_FALSE(Page().BandBypassButton(3)->isEnabled());
    EXPECT_FALSE(Page().FlatButton()->isEnabled());
    const QPoint start = Dot(3);
    Press(Page(), start, Qt::LeftButton);
    Move(Page(), start - QPoint(0, 40), Qt::LeftButton);
    Release(Page(), start - QPoint(0, 40), Qt::LeftButton);
    EXPECT_GT(Code(ParamField::EqParamGain, 3), 97);
}

TEST_F(ParametricEqPageTest, ALostButtonUpEndsTheDrag) {
    const QPoint start = Dot(1);
    Press(Page(), start, Qt::LeftButton);
    Move(Page(), start - QPoint(0, 10), Qt::LeftButton);
    const int gain = Code(ParamField::EqParamGain, 1);
    Move(Page(), start - QPoint(0, 50), Qt::NoButton);
    EXPECT_EQ(Page().State(), CParametricEqPage::MouseState::Idle);
    Move(Page(), start - QPoint(0, 70), Qt::LeftButton);
    EXPECT_EQ(Code(ParamField::EqParamGain, 1), gain);
    Press(Page(), Dot(1), Qt::LeftButton);
    Page().hide();
    EXPECT_EQ(Page().State(), CParametricEqPage::MouseState::Idle);
}

TEST_F(ParametricEqPageTest, WheelOverADotWidensOrNarrowsTheBand) {
    Doc().Edits().Set(ParamField::EqParamFrequency, 0, 5, 56);
    harness.view->OnUpdate(1);
    Wheel(Dot(5), 120);
    EXPECT_EQ(Code(ParamField::EqParamBandwidth, 5), 21);
    Wheel(Dot(5), -240, Qt::ControlModifier);
    EXPECT_EQ(Code(ParamField::EqParamBandwidth, 5), 19);
    Wheel(Dot(5), 60);  // half a notch waits for the other half
    EXPECT_EQ(Code(ParamField::EqParamBandwidth, 5), 19);
    Wheel(Dot(5), 60);
    EXPECT_EQ(Code(ParamField::EqParamBandwidth, 5), 21);
    EXPECT_EQ(Page().BandSlider(5, Kind::Bandwidth)->value(), 39 - 21);
    // Stepping from the effective width: at 20 kHz nothing above code 14 is effective.
    Doc().Edits().Set(ParamField::EqParamFrequency, 0, 5, 100);
    Doc().Edits().Set(ParamField::EqParamBandwidth, 0, 5, 39);
    harness.view->OnUpdate(1);
    Wheel(Dot(5), -120);
    EXPECT_EQ(Code(ParamField::EqParamBandwidth, 5), 12);
}

TEST_F(ParametricEqPageTest, KeysDoubleClickAndButtons) {
    CPanelSlider* gain = Page().BandSlider(7, Kind::Gain);
    gain->setFocus();
    QTest::keyClick(gain, Qt::Key_Up, Qt::ShiftModifier);
    EXPECT_EQ(Code(ParamField::EqParamGain, 7), 103);
    QTest::mouseDClick(&Page(), Qt::LeftButton, Qt::NoModifier, Dot(7));
    EXPECT_EQ(Code(ParamField::EqParamGain, 7), 97);
    QTest::mouseClick(Page().BandBypassButton(7), Qt::LeftButton);
    EXPECT_EQ(Code(ParamField::EqParamBypass, 7), 1);
    EXPECT_TRUE(Page().BandBypassButton(7)->IsLatched());
    EXPECT_FALSE(Page().BandBypassButton(6)->IsLatched());
    TakePosted();
    QTest::mouseClick(Page().GraphicButton(), Qt::LeftButton);
    EXPECT_EQ(Doc().Edits().Get(ParamField::EqType, 0), 0);
    EXPECT_EQ(TakePosted(),
              (std::vector<CommandId>{CommandId::ViewDeviceConfiguration, CommandId::ViewEqA}));
}

}  // namespace
}  // namespace arvestra
