// The part both EQ pages share, driven through the graphic page: the high-pass and low-pass
// sections, the displayed channel, the path walk and the response curve.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QDir>
#include <QEnterEvent>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

#include <algorithm>

#include "model/FilterResponse.h"
#include "model/FilterSettingsFromImage.h"
#include "model/ResponseDump.h"
#include "ui/EqPageTestSupport.h"
#include "ui/controls/ColorButton.h"
#include "ui/controls/PanelSlider.h"
#include "ui/dialogs/DevUtilitiesDialog.h"
#include "ui/pages/FilterPageGeometry.h"
#include "ui/shell/CurveExport.h"

namespace arvestra {
namespace {

using eqtest::EqPageFixture;

class FilterPageTest : public ::testing::Test, public EqPageFixture {
  protected:
    FilterPageTest() { Open(CommandId::ViewEqA); }
    CGraphicEqPage& Page() { return Graphic(); }
    std::span<const std::uint8_t, kPresetImageSize> Image() {
        return std::span<const std::uint8_t, kPresetImageSize>(Doc().Edits().Data(),
                                                               kPresetImageSize);
    }
};

TEST_F(FilterPageTest, TypedCutoffsGoToTheNearestScaleValue) {
    struct Case {
        const char* typed;
        int code;
        const char* shown;
    };
    const Case cases[] = {
        {"abc", 0, "20"},        {"1234", 59, "1250"},  {"99999", 100, "20000"},
        {"1000 Hz", 56, "1000"}, {" 630.0", 49, "630"}, {"1,5", 0, "20"},
        {"19", 0, "20"},         {"-300", 0, "20"},     {"1e9", 100, "20000"},
    };
    // Section 1 is the channel 1 low-pass.
    QLineEdit* edit = Page().SectionEdit(1);
    for (const Case& c : cases) {
        edit->setFocus();
        edit->setText(QString::fromLatin1(c.typed));
        QTest::keyClick(edit, Qt::Key_Return);
        EXPECT_EQ(Doc().Edits().Get(ParamField::LpCutoff, 0), c.code) << c.typed;
        EXPECT_EQ(edit->text(), QString::fromLatin1(c.shown)) << c.typed;
        EXPECT_EQ(Page().SectionSlider(1)->value(), c.code) << c.typed;
    }
}

TEST_F(FilterPageTest, EnterCommitsEveryTypedSection) {
    TakePosted();
    Page().SectionEdit(0)->setFocus();
    test::FlushEvents();
    EXPECT_EQ(TakePosted(), std::vector<CommandId>{
                                CommandId::ViewHighPassA});  // the field asks for its block's page
    Page().SectionEdit(0)->setText(QStringLiteral("100"));
    Page().SectionEdit(1)->setText(QStringLiteral("5000"));
    QTest::keyClick(&Page(), Qt::Key_Return);
    EXPECT_EQ(Doc().Edits().Get(ParamField::HpCutoff, 0), 23);
    EXPECT_EQ(Doc().Edits().Get(ParamField::LpCutoff, 0), 79);
}

TEST_F(FilterPageTest, AClickIntoACutoffEditKeepsTheFocusThereForTheDigitsTyped) {
    // Section 0 is the channel 1 high-pass: the click selects its block, which refreshes the
    // page; the slider must not take the keys meant for the field.
    const int before = Doc().Edits().Get(ParamField::HpCutoff, 0);
    QLineEdit* edit = Page().SectionEdit(0);
    edit->setFocus(Qt::MouseFocusReason);
    RunPosted();
    ASSERT_TRUE(Page().IsOpenedFor(BlockCode::HighPassA));
    EXPECT_EQ(QApplication::focusWidget(), edit);
    edit->selectAll();
    QTest::keyClicks(edit, "1000");
    // A refresh meanwhile (the view's, after any edit) keeps what is being typed.
    harness.view->OnUpdate(1);
    EXPECT_EQ(edit->text(), QStringLiteral("1000"));
    QTest::keyClick(edit, Qt::Key_End);
    EXPECT_EQ(Doc().Edits().Get(ParamField::HpCutoff, 0), before) << "End went to the field";
    QTest::keyClick(edit, Qt::Key_Return);
    EXPECT_EQ(Doc().Edits().Get(ParamField::HpCutoff, 0), 56);
    EXPECT_EQ(edit->text(), QStringLiteral("1000"));
}

TEST_F(FilterPageTest, SectionSliderSetsTheCutoffAndAsksForItsBlock) {
    TakePosted();
    CPanelSlider* slider = Page().SectionSlider(0);
    slider->setFocus();
    QTest::keyClick(slider, Qt::Key_Right);
    EXPECT_EQ(Doc().Edits().Get(ParamField::HpCutoff, 0), 1);
    EXPECT_EQ(Page().SectionEdit(0)->text(), QStringLiteral("22"));
    EXPECT_EQ(TakePosted(), std::vector<CommandId>{CommandId::ViewHighPassA});  // View High Pass A
}

TEST_F(FilterPageTest, SlopeButtonsSetAndLatchTheSlope) {
    ASSERT_TRUE(Page().SlopeButton(1, 1)->IsLatched());  // new devices: 24 dB/octave
    QTest::mouseClick(Page().SlopeButton(1, 0), Qt::LeftButton);
    EXPECT_EQ(Doc().Edits().Get(ParamField::LpSlope, 0), 0);
    EXPECT_TRUE(Page().SlopeButton(1, 0)->IsLatched());
    EXPECT_FALSE(Page().SlopeButton(1, 1)->IsLatched());
    EXPECT_TRUE(Page().Response().IsDirty(0, CurveKind::LowPass));
}

TEST_F(FilterPageTest, SectionsOutsideTheDisplayedPathAreDisabled) {
    ASSERT_EQ(Page().DisplayedChannel(), 0);
    EXPECT_TRUE(Page().SectionSlider(0)->isEnabled());
    EXPECT_TRUE(Page().SectionEdit(1)->isEnabled());
    EXPECT_FALSE(Page().SectionSlider(2)->isEnabled());
    EXPECT_FALSE(Page().SlopeButton(3, 0)->isEnabled());
    QTest::mouseClick(Page().ChannelButton(1), Qt::LeftButton);
    EXPECT_EQ(Page().DisplayedChannel(), 1);
    EXPECT_TRUE(Page().ChannelButton(1)->IsLatched());
    EXPECT_FALSE(Page().ChannelButton(0)->IsLatched());
    EXPECT_FALSE(Page().SectionSlider(0)->isEnabled());
    EXPECT_TRUE(Page().SectionSlider(2)->isEnabled());
    EXPECT_TRUE(Page().IsPresent(1, CurveKind::Graphic));
    EXPECT_FALSE(Page().IsPresent(0, CurveKind::Graphic));
}

TEST_F(FilterPageTest, OpeningForABlockOfChannel2ShowsItsPath) {
    Open(CommandId::ViewEqB);
    EXPECT_EQ(Page().DisplayedChannel(), 1);
    EXPECT_EQ(Page().EditedChannel(), 1);
    Open(CommandId::ViewLowPassA);
    EXPECT_EQ(Page().DisplayedChannel(), 0);
    EXPECT_EQ(QApplication::focusWidget(), Page().SectionSlider(1));
}

TEST_F(FilterPageTest, AHiddenPageLeavesTheDisplayedChannelAndTheFocusAlone) {
    // The parametric page was last opened for EQ A; the graphic page now shows channel 2.
    Doc().Edits().Set(ParamField::EqType, 0, 1);
    Open(CommandId::ViewDeviceConfiguration);
    Open(CommandId::ViewEqA);
    ASSERT_TRUE(Parametric().isVisible());
    Doc().Edits().Set(ParamField::EqType, 0, 0);
    Open(CommandId::ViewEqB);
    ASSERT_TRUE(Page().isVisible());
    ASSERT_EQ(Page().DisplayedChannel(), 1);
    QWidget* focused = QApplication::focusWidget();
    ASSERT_NE(focused, nullptr);
    // The full refresh reaches the hidden parametric page too.
    harness.view->OnUpdate(1);
    EXPECT_EQ(Page().DisplayedChannel(), 1);
    EXPECT_TRUE(Page().ChannelButton(1)->IsLatched());
    EXPECT_EQ(QApplication::focusWidget(), focused);
}

TEST_F(FilterPageTest, WithTheCurveOffThePathIsStillWalked) {
    // EQ A leaves the path of output 1: the low-pass takes its input from the high-pass.
    eqtest::SetChainA(Doc(), {13, 11});
    harness.view->OnUpdate(1);
    ASSERT_FALSE(Page().IsEditable());
    Page().SetCurveSwitch(false);
    eqtest::SetChainA(Doc(), {13, 1, 11});
    harness.view->OnUpdate(1);
    EXPECT_TRUE(Page().IsPresent(0, CurveKind::Graphic));
    EXPECT_TRUE(Page().IsEditable());
    EXPECT_TRUE(Page().BandSlider(0)->isEnabled());
    // Nothing is recomputed while the curve is off.
    const long long before = Page().Response().SectionsEvaluated();
    test::GrabImage(Page());
    EXPECT_EQ(Page().Response().SectionsEvaluated(), before);
}

// The curve the page draws is the response math's for the same image, point by point.
void ExpectCurveMatchesResponseMath(CFilterPage& page, std::span<const std::uint8_t, 250> image) {
    const QImage picture = test::GrabImage(page);
    FilterResponse reference(page.ExtraPoints());
    reference.Update(page.PathFlags(), FilterSettingsFromImage(image));
    const std::span<const double> levels = reference.LevelsDb();
    const std::span<const float> hz = reference.Grid().Frequencies();
    ASSERT_EQ(page.GridY().size(), levels.size());
    ASSERT_EQ(page.GridX().size(), levels.size());
    int green = 0;
    for (std::size_t i = 0; i < levels.size(); ++i) {
        const int x = page.Mapping().FrequencyToX(hz[i]);
        const int y = page.Mapping().DbToY(levels[i]);
        ASSERT_EQ(page.GridX()[i], x) << i;
        ASSERT_EQ(page.GridY()[i], y) << i;
        if (!page.GraphRect().contains(x, y)) continue;
        const QColor c = picture.pixelColor(x, y);
        if (c.green() > 100 && c.red() < 120) ++green;
    }
    // The pixel of nearly every point shows the curve (a few lie under dots or the frame).
    EXPECT_GT(green, static_cast<int>(levels.size()) * 8 / 10);
}

TEST_F(FilterPageTest, TheDrawnCurveIsTheResponseOfTheImage) {
    for (int band = 0; band < 31; band += 3)
        Doc().Edits().Set(ParamField::EqGraphicGain, 0, band, 40);
    Doc().Edits().Set(ParamField::LpCutoff, 0, 80);
    Doc().Edits().Set(ParamField::HpCutoff, 0, 15);
    harness.view->OnUpdate(1);
    ExpectCurveMatchesResponseMath(Page(), Image());
    EXPECT_LT(*std::min_element(Page().LevelsDb().begin(), Page().LevelsDb().end()), -10.0);
}

TEST_F(FilterPageTest, GridDensityRebuildsTheGridPixelsAndCurveOfBothPages) {
    ASSERT_EQ(Page().GridX().size(), 401u);
    Page().SetExtraPoints(7);
    EXPECT_EQ(Page().GridFrequencies().size(), 801u);
    ExpectCurveMatchesResponseMath(Page(), Image());
    // The other page shares the grid and follows at its next refresh.
    Parametric().UpdatePage(CFilterPage::kRefreshGrid);
    EXPECT_EQ(Parametric().GridX().size(), 801u);
    Page().SetExtraPoints(0);
    Page().UpdatePage(CFilterPage::kRefreshGrid);
    EXPECT_EQ(Page().GridFrequencies().size(), 101u);
    ExpectCurveMatchesResponseMath(Page(), Image());
}

TEST_F(FilterPageTest, TheUtilitiesSwitchTheRealPagesAndDumpWhatTheGraphShows) {
    harness.view->OnCommand(CommandId::ShowDevUtilities);
    CDevUtilitiesDialog* utilities = harness.view->DevUtilities();
    ASSERT_NE(utilities, nullptr);
    utilities->ExtraPointsRadio(0)->click();
    EXPECT_EQ(Page().GridFrequencies().size(), 101u);
    EXPECT_EQ(Parametric().GridFrequencies().size(), 101u);
    // With the curve off the dump still lists levels computed on the new grid.
    utilities->PowerSpectrumBox()->click();
    EXPECT_FALSE(Page().CurveSwitch());
    Page().SetExtraPoints(2);
    utilities->UpdateButton()->click();
    const std::string& dump = utilities->DumpText();
    EXPECT_EQ(std::count(dump.begin(), dump.end(), '\n'),
              static_cast<long>(Page().GridFrequencies().size()));
    FilterResponse expected(2);
    expected.Update(Page().PathFlags(), FilterSettingsFromImage(Image()));
    EXPECT_EQ(dump, FormatResponseDump(expected.Grid().Frequencies(), expected.LevelsDb(),
                                       Page().Mapping()));
    EXPECT_TRUE(utilities->ExtraPointsRadio(2)->isChecked());
}

TEST_F(FilterPageTest, TheExportedCurveIsTheDisplayedResponse) {
    Page().SetCurveSwitch(false);  // exported all the same, computed on demand
    const std::vector<CurvePoint> curve = Page().DisplayedCurve();
    FilterResponse expected(Page().ExtraPoints());
    expected.Update(Page().PathFlags(), FilterSettingsFromImage(Image()));
    ASSERT_EQ(curve.size(), expected.Grid().Frequencies().size());
    for (std::size_t i = 0; i < curve.size(); i += 37) {
        EXPECT_FLOAT_EQ(static_cast<float>(curve[i].hz), expected.Grid().Frequencies()[i]);
        EXPECT_DOUBLE_EQ(curve[i].levelDb, expected.LevelsDb()[i]);
    }
    const QString path = QDir(QDir::tempPath()).filePath(QStringLiteral("arvestra-curve.csv"));
    QString error;
    ASSERT_TRUE(CCurveExport::Save(path, curve, QStringLiteral("Ch 1"), error))
        << error.toStdString();
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll().count('\n'), static_cast<qsizetype>(curve.size() + 1));
    file.remove();
}

TEST_F(FilterPageTest, ReadoutShowsFrequencyAndLevelUnderThePointer) {
    test::GrabImage(Page());
    const QRect graph = Page().GraphRect();
    const QPoint at(Page().Mapping().FrequencyToX(1000.0), Page().Mapping().DbToY(-10.0));
    eqtest::Move(Page(), at, Qt::NoButton);
    const QString text = Page().ReadoutText();
    EXPECT_TRUE(text.startsWith(QStringLiteral("99")) || text.startsWith(QStringLiteral("100")))
        << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("-10.")) || text.contains(QStringLiteral("-9.")))
        << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("(curve +0.0 dB)")) ||
                text.contains(QStringLiteral("(curve -0.0 dB)")))
        << text.toStdString();
    eqtest::Move(Page(), graph.bottomRight() + QPoint(5, 5), Qt::NoButton);
    EXPECT_TRUE(Page().ReadoutText().isEmpty());
}

TEST_F(FilterPageTest, TheReadoutFollowsADotDragAndADrawingAndClearsOverAControl) {
    test::GrabImage(Page());
    const auto curveLevel = [this](const QPoint& at) {
        // The curve's level in the read-out, as a fresh look at the same point gives it.
        eqtest::Move(Page(), at, Qt::NoButton);
        return Page().ReadoutText();
    };
    // A dot drag: the read-out under the pointer shows the curve the drag made.
    const QPoint dot(Page().DotCentre(18).x, Page().DotCentre(18).y);
    eqtest::Press(Page(), dot, Qt::LeftButton);
    eqtest::Move(Page(), dot - QPoint(0, 30), Qt::LeftButton);
    const QString dragged = Page().ReadoutText();
    eqtest::Release(Page(), dot - QPoint(0, 30), Qt::LeftButton);
    ASSERT_TRUE(dragged.contains(QStringLiteral("(curve +"))) << dragged.toStdString();
    Page().BringResponseUpToDate();
    EXPECT_EQ(dragged, curveLevel(dot - QPoint(0, 30)));
    // A stroke with the right button.
    const QPoint stroke(Page().ColumnOf(10).left + 1, dot.y() + 20);
    eqtest::Press(Page(), stroke, Qt::RightButton);
    eqtest::Move(Page(), stroke, Qt::RightButton);
    const QString drawn = Page().ReadoutText();
    eqtest::Release(Page(), stroke, Qt::RightButton);
    Page().BringResponseUpToDate();
    EXPECT_EQ(drawn, curveLevel(stroke));
    // The pointer moves from the graph onto a control: no Leave reaches the page.
    ASSERT_FALSE(Page().ReadoutText().isEmpty());
    QEnterEvent enter(QPointF(2, 2), QPointF(2, 2), QPointF(2, 2));
    QApplication::sendEvent(Page().BandSlider(10), &enter);
    EXPECT_TRUE(Page().ReadoutText().isEmpty());
}

TEST_F(FilterPageTest, TheGraphStaysCrispAtTwiceTheDevicePixels) {
    QImage image(Page().size() * 2, QImage::Format_RGB32);
    image.setDevicePixelRatio(2.0);
    Page().render(&image);
    const GraphGrid grid = ComputeGraphGrid(Page().Mapping(), 5.0);
    ASSERT_GE(grid.columns.size(), 2u);
    ASSERT_FALSE(grid.rows.empty());
    // A grid row (+20 dB, far from the flat curve) between two grid columns: exactly two device
    // rows of line colour, with pure background right above and below.
    const int x = 2 * ((grid.columns[10] + grid.columns[11]) / 2);
    const int y = 2 * grid.rows.front();
    const QColor line = image.pixelColor(x, y);
    EXPECT_NE(line, QColor(Qt::black));
    EXPECT_EQ(image.pixelColor(x, y + 1), line);
    EXPECT_EQ(image.pixelColor(x, y - 1), QColor(Qt::black));
    EXPECT_EQ(image.pixelColor(x, y + 2), QColor(Qt::black));
}

TEST_F(FilterPageTest, AnEqTurnedParametricMovesTheViewToTheParametricPage) {
    Doc().Edits().Set(ParamField::EqType, 0, 1);
    TakePosted();
    harness.view->OnUpdate(1);
    EXPECT_EQ(TakePosted(),
              (std::vector<CommandId>{CommandId::ViewDeviceConfiguration, CommandId::ViewEqA}));
    harness.view->OnCommand(static_cast<CommandId>(145));
    harness.view->OnCommand(static_cast<CommandId>(32801));
    test::FlushEvents();
    EXPECT_TRUE(Parametric().isVisible());
    EXPECT_FALSE(Page().isVisible());
}

}  // namespace
}  // namespace arvestra
