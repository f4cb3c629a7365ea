// The compressor/limiter page: edits committed through the scales, Enter committing every
// changed edit, mode and knee buttons, gain labels, enablement in full-range mode and the
// threshold and ratio handle drags, including a drag whose button-up is lost.
#include <gtest/gtest.h>

#include <QApplication>
#include <QFocusEvent>
#include <QLabel>
#include <QLineEdit>
#include <QTest>

#include "ui/ViewTestSupport.h"
#include "ui/controls/ColorButton.h"
#include "ui/controls/PanelSlider.h"
#include "ui/pages/CompLimPage.h"
#include "ui/pages/ToolTipControl.h"

namespace arvestra {
namespace {

using PF = ParamField;
constexpr int kLow = 0;
constexpr int kHigh = 1;
constexpr int kAttack = 0;
constexpr int kRelease = 1;
constexpr int kThreshold = 2;
constexpr int kRatio = 3;

class CompLimPageTest : public ::testing::Test {
  protected:
    CompLimPageTest() {
        Doc().Edits().Set(PF::ClMode, kChannelA, 0);  // split band: both graphs live
        harness.view->ShowPage(PageKind::CompLim, CCompLimPage::kCompLimABlock);
        page = static_cast<CCompLimPage*>(harness.view->Page(PageKind::CompLim));
        page->UpdatePage(0);
    }

    CQ7310Doc& Doc() { return harness.doc; }
    int Code(PF field, int band = 0) { return Doc().Edits().Get(field, kChannelA, band); }
    QLineEdit* Edit(int band, int row) { return page->BandControls(band).edits[row]; }
    static void Type(QLineEdit* field, const QString& text) {
        field->selectAll();
        QTest::keyClicks(field, text);
    }
    static void Leave(QLineEdit* field) {
        QFocusEvent out(QEvent::FocusOut, Qt::TabFocusReason);
        QApplication::sendEvent(field, &out);
    }
    QPoint Centre(const PixelRect& r) { return {(r.left + r.right) / 2, (r.top + r.bottom) / 2}; }
    void Press(const QPoint& p) { QTest::mousePress(page, Qt::LeftButton, Qt::NoModifier, p); }
    void Move(const QPoint& p, Qt::MouseButtons buttons = Qt::LeftButton) {
        QMouseEvent move(QEvent::MouseMove, p, page->mapToGlobal(p), Qt::NoButton, buttons,
                         Qt::NoModifier);
        QApplication::sendEvent(page, &move);
    }
    void Release(const QPoint& p) { QTest::mouseRelease(page, Qt::LeftButton, Qt::NoModifier, p); }

    viewtest::ViewHarness harness;
    CCompLimPage* page = nullptr;
};

TEST_F(CompLimPageTest, TypedValuesBecomeTheNearestCodeWithinThePagesRanges) {
    struct Case {
        int band;
        int row;
        const char* typed;
        PF field;
        int code;
        const char* shown;
    };
    const Case cases[] = {
        {kLow, kAttack, "0.5", PF::ClAttack, 10, "1"},
        {kHigh, kAttack, "500", PF::ClAttack, 74, "200"},
        {kHigh, kRelease, "160", PF::ClRelease, 60, "170"},
        {kLow, kThreshold, "-80", PF::ClThreshold, 100, "-50.0"},
        {kLow, kThreshold, "7", PF::ClThreshold, 200, "0.0"},
        {kHigh, kRatio, "4", PF::ClRatio, 15, "4.00"},
        {kHigh, kRatio, "nan", PF::ClRatio, 0, "1.00"},
        {kHigh, kRatio, "abc", PF::ClRatio, 0, "1.00"},
    };
    for (const Case& c : cases) {
        Type(Edit(c.band, c.row), c.typed);
        Leave(Edit(c.band, c.row));
        EXPECT_EQ(Code(c.field, c.band), c.code) << c.typed;
        EXPECT_EQ(Edit(c.band, c.row)->text(), c.shown) << c.typed;
        EXPECT_EQ(page->BandControls(c.band).sliders[c.row]->value(), c.code) << c.typed;
    }
    Type(page->CrossoverEdit(), "50");
    Leave(page->CrossoverEdit());
    EXPECT_EQ(Code(PF::ClCrossover), 23);
    EXPECT_EQ(page->CrossoverEdit()->text(), "100");
}

TEST_F(CompLimPageTest, EnterCommitsEveryChangedEditAndNothingElse) {
    Type(Edit(kHigh, kAttack), "20");
    Type(Edit(kLow, kThreshold), "-10");
    Type(page->CrossoverEdit(), "1000");
    Doc().SetModifiedFlag(false);
    QTest::keyClick(Edit(kLow, kThreshold), Qt::Key_Return);
    EXPECT_TRUE(page->isVisible());
    EXPECT_EQ(Code(PF::ClAttack, kHigh), 29);
    EXPECT_EQ(Code(PF::ClThreshold, kLow), 180);
    EXPECT_EQ(Code(PF::ClCrossover), 56);
    // A second Enter finds no changed text: nothing is stored again.
    Doc().SetModifiedFlag(false);
    QTest::keyClick(Edit(kLow, kThreshold), Qt::Key_Return);
    EXPECT_FALSE(Doc().IsModified());
}

TEST_F(CompLimPageTest, FullRangeModeDisablesTheLowBandAndRetitles) {
    QTest::mouseClick(page->FullRangeButton(), Qt::LeftButton);
    EXPECT_EQ(Code(PF::ClMode), 1);
    EXPECT_TRUE(page->FullRangeButton()->IsLatched());
    EXPECT_FALSE(page->SplitBandButton()->IsLatched());
    const CCompLimPage::Band& low = page->BandControls(kLow);
    for (QWidget* w :
         {static_cast<QWidget*>(low.gain), static_cast<QWidget*>(low.soft),
          static_cast<QWidget*>(low.edits[kRatio]), static_cast<QWidget*>(low.sliders[kAttack]),
          static_cast<QWidget*>(page->CrossoverSlider()),
          static_cast<QWidget*>(page->CrossoverEdit())}) {
        EXPECT_FALSE(w->isEnabled());
    }
    EXPECT_TRUE(page->BandControls(kHigh).edits[kRatio]->isEnabled());
    EXPECT_EQ(low.title->text(), "");
    EXPECT_EQ(page->BandControls(kHigh).title->text(), "Full Band");
    // The low band's handles cannot be grabbed.
    Press(Centre(low.handles.threshold));
    EXPECT_EQ(page->Drag(), HandleDrag::Idle);
    Release(Centre(low.handles.threshold));

    QTest::mouseClick(page->SplitBandButton(), Qt::LeftButton);
    EXPECT_EQ(Code(PF::ClMode), 0);
    EXPECT_TRUE(low.gain->isEnabled());
    EXPECT_EQ(low.title->text(), "Low Band");
    EXPECT_EQ(page->BandControls(kHigh).title->text(), "High Band");
}

TEST_F(CompLimPageTest, KneeButtonsLatchTheStoredKneeAndThreeShowsSoft) {
    const CCompLimPage::Band& high = page->BandControls(kHigh);
    QTest::mouseClick(high.hard, Qt::LeftButton);
    EXPECT_EQ(Code(PF::ClKnee, kHigh), 0);
    EXPECT_TRUE(high.hard->IsLatched());
    EXPECT_FALSE(high.soft->IsLatched());
    Doc().Edits().Set(PF::ClKnee, kChannelA, kHigh, 3);
    page->UpdatePage(0);
    EXPECT_TRUE(high.soft->IsLatched());
    EXPECT_FALSE(high.medium->IsLatched());
    EXPECT_FALSE(high.hard->IsLatched());
    QTest::mouseClick(page->BypassButton(), Qt::LeftButton);
    EXPECT_EQ(Code(PF::ClBypass), 1);
    EXPECT_TRUE(page->BypassButton()->IsLatched());
}

TEST_F(CompLimPageTest, GainSliderSetsTheGainAndTheScaleLabels) {
    const CCompLimPage::Band& low = page->BandControls(kLow);
    low.gain->setFocus();
    low.gain->setValue(21);                 // code 59
    QTest::keyClick(low.gain, Qt::Key_Up);  // position 20: code 60, +10 dB
    EXPECT_EQ(Code(PF::ClGain, kLow), 60);
    EXPECT_EQ(low.scale[0]->text(), "+10");
    EXPECT_EQ(low.scale[1]->text(), "-15");
    EXPECT_EQ(low.scale[2]->text(), "-40");
    EXPECT_EQ(low.scale[0]->palette().color(QPalette::WindowText), QColor(255, 0, 0));
    EXPECT_EQ(page->ToolTip().TextFor(low.gain), "10.0 dB");
    Doc().Edits().Set(PF::ClGain, kChannelA, kLow, 40);
    page->UpdatePage(0);
    EXPECT_EQ(low.scale[0]->text(), "+0");
    EXPECT_EQ(low.scale[2]->text(), "-50");
    EXPECT_EQ(low.scale[0]->palette().color(QPalette::WindowText), QColor(Qt::black));
    EXPECT_EQ(low.gain->value(), 40);
}

TEST_F(CompLimPageTest, MovingASliderStoresItsCodeAndMovesTheCurve) {
    const CCompLimPage::Band& high = page->BandControls(kHigh);
    Doc().Edits().Set(PF::ClThreshold, kChannelA, kHigh, 150);
    page->UpdatePage(0);
    const PixelPoint before = high.threshold;
    high.sliders[kThreshold]->setFocus();
    QTest::keyClick(high.sliders[kThreshold], Qt::Key_Left);
    EXPECT_EQ(Code(PF::ClThreshold, kHigh), 149);
    EXPECT_EQ(Edit(kHigh, kThreshold)->text(), "-25.5");
    EXPECT_LT(high.threshold.x, before.x);
    QTest::keyClick(page->CrossoverSlider(), Qt::Key_End);
    EXPECT_EQ(Code(PF::ClCrossover), 86);
    EXPECT_EQ(page->CrossoverEdit()->text(), "8000");
}

TEST_F(CompLimPageTest, ThresholdDragStopsAtTheEndsOfThePlot) {
    const CCompLimPage::Band& high = page->BandControls(kHigh);
    Doc().Edits().Set(PF::ClThreshold, kChannelA, kHigh, 150);
    page->UpdatePage(0);
    const QPoint grab = Centre(high.handles.threshold);
    Press(grab);
    ASSERT_EQ(page->Drag(), HandleDrag::Threshold);
    EXPECT_EQ(page->DraggedBand(), kHigh);
    Move(grab + QPoint(-1000, 0));
    EXPECT_EQ(Code(PF::ClThreshold, kHigh), 100);
    EXPECT_EQ(Edit(kHigh, kThreshold)->text(), "-50.0");
    EXPECT_EQ(high.threshold, (PixelPoint{high.plot.x0, high.plot.y0}));
    Move(grab + QPoint(1000, 37));
    EXPECT_EQ(Code(PF::ClThreshold, kHigh), 200);
    EXPECT_EQ(high.threshold, (PixelPoint{high.plot.x1, high.plot.y1}));
    Release(grab);
    EXPECT_EQ(page->Drag(), HandleDrag::Idle);
}

TEST_F(CompLimPageTest, RatioDragAboveThePlotIsOneToOneAndBelowTheThresholdTwentyToOne) {
    const CCompLimPage::Band& low = page->BandControls(kLow);
    Doc().Edits().Set(PF::ClThreshold, kChannelA, kLow, 160);
    Doc().Edits().Set(PF::ClRatio, kChannelA, kLow, 15);
    page->UpdatePage(0);
    const QPoint grab = Centre(low.handles.ratio);
    Press(grab);
    ASSERT_EQ(page->Drag(), HandleDrag::Ratio);
    Move(grab + QPoint(0, -1000));
    EXPECT_EQ(Code(PF::ClRatio, kLow), 0);
    EXPECT_EQ(low.ratio, (PixelPoint{low.plot.x1, low.plot.y1}));
    Move(grab + QPoint(0, 1000));
    EXPECT_EQ(Code(PF::ClRatio, kLow), 39);
    EXPECT_EQ(Edit(kLow, kRatio)->text(), "20.00");
    Release(grab);
}

TEST_F(CompLimPageTest, AtZeroDbAndOneToOneBothHandlesCanBeDragged) {
    // Both handles sit on the plot's top-right corner; the first move picks one.
    struct Case {
        QPoint move;
        int threshold;  // -1: below 200
        int ratio;      // -1: above 0
    };
    const Case cases[] = {{{0, 30}, 200, -1}, {{-30, 2}, -1, 0}};
    for (const Case& c : cases) {
        const CCompLimPage::Band& high = page->BandControls(kHigh);
        Doc().Edits().Set(PF::ClThreshold, kChannelA, kHigh, 200);
        Doc().Edits().Set(PF::ClRatio, kChannelA, kHigh, 0);
        page->UpdatePage(0);
        ASSERT_EQ(high.handles.threshold, high.handles.ratio);
        const QPoint grab = Centre(high.handles.ratio);
        Press(grab);
        Move(grab + c.move);
        Release(grab + c.move);
        if (c.threshold >= 0) {
            EXPECT_EQ(Code(PF::ClThreshold, kHigh), c.threshold) << c.move.x();
        } else {
            EXPECT_LT(Code(PF::ClThreshold, kHigh), 200) << c.move.x();
        }
        if (c.ratio >= 0) {
            EXPECT_EQ(Code(PF::ClRatio, kHigh), c.ratio) << c.move.x();
        } else {
            EXPECT_GT(Code(PF::ClRatio, kHigh), 0) << c.move.x();
        }
        EXPECT_EQ(page->Drag(), HandleDrag::Idle);
    }
}

TEST_F(CompLimPageTest, ADragWhoseButtonUpWasLostEndsAtTheNextMove) {
    const CCompLimPage::Band& high = page->BandControls(kHigh);
    Doc().Edits().Set(PF::ClThreshold, kChannelA, kHigh, 150);
    page->UpdatePage(0);
    const QPoint grab = Centre(high.handles.threshold);
    Press(grab);
    ASSERT_EQ(page->Drag(), HandleDrag::Threshold);
    // The release went elsewhere; the pointer now moves with no button held.
    Move(grab + QPoint(40, 0), Qt::NoButton);
    EXPECT_EQ(page->Drag(), HandleDrag::Idle);
    EXPECT_EQ(page->DraggedBand(), -1);
    EXPECT_EQ(Code(PF::ClThreshold, kHigh), 150);
    Move(grab + QPoint(60, 0), Qt::NoButton);
    EXPECT_EQ(Code(PF::ClThreshold, kHigh), 150);
}

TEST_F(CompLimPageTest, AContextMenuOnAnEditDoesNotCommitIt) {
    Type(Edit(kHigh, kThreshold), "-30");
    QFocusEvent toMenu(QEvent::FocusOut, Qt::PopupFocusReason);
    QApplication::sendEvent(Edit(kHigh, kThreshold), &toMenu);
    EXPECT_NE(Code(PF::ClThreshold, kHigh), 140);
    Leave(Edit(kHigh, kThreshold));
    EXPECT_EQ(Code(PF::ClThreshold, kHigh), 140);
}

TEST_F(CompLimPageTest, ThresholdCodesFromAFileKeepTheHandleInsideThePlot) {
    // An image read from a file can hold any byte; write it past the operations.
    Doc().Edits().Data()[179] = 0;
    Doc().Edits().Data()[186] = 255;  // band 2
    page->UpdatePage(0);
    for (int band : {kLow, kHigh}) {
        const CCompLimPage::Band& b = page->BandControls(band);
        EXPECT_GE(b.threshold.x, b.plot.x0) << band;
        EXPECT_LE(b.threshold.x, b.plot.x1) << band;
        EXPECT_GE(b.threshold.y, b.plot.y1) << band;
        EXPECT_LE(b.threshold.y, b.plot.y0) << band;
    }
}

TEST_F(CompLimPageTest, ShowingThePageFocusesTheHighBandRatioSlider) {
    harness.view->ShowPage(PageKind::Delay, 3);
    harness.view->ShowPage(PageKind::CompLim, 8);
    EXPECT_EQ(page->Channel(), kChannelB);
    EXPECT_EQ(page->focusWidget(), page->BandControls(kHigh).sliders[kRatio]);
}

}  // namespace
}  // namespace arvestra
