// The delay page: the delay shown as time and distance, typed values limited and stored, the
// temperature unit, Default Settings, and fields committed only when the user changed them.
#include <gtest/gtest.h>

#include <QApplication>
#include <QFocusEvent>
#include <QLineEdit>
#include <QTest>

#include "model/DelayMath.h"
#include "model/ValueFormat.h"
#include "ui/ViewTestSupport.h"
#include "ui/controls/ColorButton.h"
#include "ui/controls/PanelSlider.h"
#include "ui/pages/DelayPage.h"

namespace arvestra {
namespace {

using PF = ParamField;

class DelayPageTest : public ::testing::Test {
  protected:
    DelayPageTest() {
        CDelayPage::SetCelsius(false);
        harness.view->ShowPage(PageKind::Delay, CDelayPage::kDelayABlock);
        page = static_cast<CDelayPage*>(harness.view->Page(PageKind::Delay));
    }
    ~DelayPageTest() override { CDelayPage::SetCelsius(false); }

    CQ7310Doc& Doc() { return harness.doc; }
    void Show(int samples, int tenths) {
        Doc().Edits().SetTemperatureTenths(kChannelA, tenths);
        Doc().Edits().SetDelaySamples(kChannelA, samples);
        page->UpdatePage(0);
    }
    // Types text into a field as the user does, then leaves it.
    static void Type(QLineEdit* field, const QString& text) {
        field->selectAll();
        QTest::keyClicks(field, text);
        Leave(field);
    }
    static void Leave(QLineEdit* field) {
        QFocusEvent out(QEvent::FocusOut, Qt::TabFocusReason);
        QApplication::sendEvent(field, &out);
    }
    int Samples() { return Doc().Edits().GetDelaySamples(kChannelA); }
    int Tenths() { return Doc().Edits().GetTemperatureTenths(kChannelA); }

    viewtest::ViewHarness harness;
    CDelayPage* page = nullptr;
};

TEST_F(DelayPageTest, ShowsTheDelayAsTimeAndDistanceAt68F) {
    Show(48000, 680);
    EXPECT_EQ(page->Channel(), kChannelA);
    EXPECT_EQ(page->SecondsEdit()->text(), "1.000000");
    EXPECT_EQ(page->FeetEdit()->text(), "1125.3");
    EXPECT_EQ(page->MetresEdit()->text(), "343.0");
    EXPECT_EQ(page->TemperatureEdit()->text(), "68.0");
    EXPECT_EQ(page->Slider()->value(), 48000);
    EXPECT_EQ(page->Slider()->maximum(), 65536);
    EXPECT_TRUE(page->DegFButton()->IsLatched());
    EXPECT_FALSE(page->DegCButton()->IsLatched());
    EXPECT_EQ(page->focusWidget(), page->Slider()) << "the slider takes the focus when shown";
}

TEST_F(DelayPageTest, ShowsChannelBForDelayB) {
    Doc().Edits().SetDelaySamples(kChannelB, 480);
    harness.view->ShowPage(PageKind::Delay, 4);
    EXPECT_EQ(page->Channel(), kChannelB);
    EXPECT_EQ(page->SecondsEdit()->text(), "0.010000");
    Type(page->SecondsEdit(), "0.02");
    EXPECT_EQ(Doc().Edits().GetDelaySamples(kChannelB), 960);
    EXPECT_EQ(Samples(), 0);
}

TEST_F(DelayPageTest, TypedTimesAndDistancesAreLimitedBeforeTheyAreStored) {
    struct Case {
        const char* typed;
        int samples;
    };
    const Case cases[] = {
        {"2", 65536},     {"100000", 65536}, {"inf", 65536},   {"nan", 0},
        {"-1", 0},        {"abc", 0},        {"0.5 s", 24000}, {"1e-400", 0},
        {"1e400", 65536}, {"+0.01", 480},    {" 1,5", 48000},  {"-inf", 0},
    };
    for (const Case& c : cases) {
        Show(1000, 680);
        Type(page->SecondsEdit(), c.typed);
        EXPECT_EQ(Samples(), c.samples) << c.typed;
    }
    EXPECT_EQ(page->SecondsEdit()->text(), "0.000000");
    Show(1000, 680);
    Type(page->SecondsEdit(), "2");
    EXPECT_EQ(page->SecondsEdit()->text(), "1.365333");
    for (const char* huge : {"1e9", "inf"}) {
        Show(1000, 680);
        Type(page->FeetEdit(), huge);
        EXPECT_EQ(Samples(), 65536) << huge;
        Show(1000, 680);
        Type(page->MetresEdit(), huge);
        EXPECT_EQ(Samples(), 65536) << huge;
    }
    Show(1000, 680);
    Type(page->MetresEdit(), "343");
    EXPECT_EQ(Samples(), SamplesFromMetres(343.0, 680));
    Type(page->FeetEdit(), "nan");
    EXPECT_EQ(Samples(), 0);
}

TEST_F(DelayPageTest, LeavingAnUntouchedFieldChangesNothing) {
    // 1000 samples show as 7.1 m; storing that rounded text back would make 994 samples.
    Show(1000, 680);
    ASSERT_EQ(page->MetresEdit()->text(), "7.1");
    for (QLineEdit* field :
         {page->FeetEdit(), page->MetresEdit(), page->SecondsEdit(), page->TemperatureEdit()}) {
        Leave(field);
    }
    EXPECT_EQ(Samples(), 1000);
    // In Celsius the shown 21.7 would come back as 71.1 F instead of 71.0 F.
    Show(1000, 710);
    QTest::mouseClick(page->DegCButton(), Qt::LeftButton);
    ASSERT_EQ(page->TemperatureEdit()->text(), "21.7");
    Leave(page->TemperatureEdit());
    EXPECT_EQ(Tenths(), 710);
    EXPECT_EQ(Samples(), 1000);
}

TEST_F(DelayPageTest, TemperaturesAreLimitedAndKeepTheDistance) {
    Show(30000, 680);
    Type(page->TemperatureEdit(), "200");
    EXPECT_EQ(Tenths(), 1500);
    EXPECT_EQ(page->TemperatureEdit()->text(), "150.0");
    EXPECT_EQ(Samples(), SamplesForNewTemperature(30000, 680, 1500));

    Show(30000, 680);
    const QString metres = page->MetresEdit()->text();
    Type(page->TemperatureEdit(), "95");
    EXPECT_LT(Samples(), 30000) << "warmer air: the same distance takes less time";
    EXPECT_EQ(page->MetresEdit()->text(), metres);

    QTest::mouseClick(page->DegCButton(), Qt::LeftButton);
    EXPECT_TRUE(CDelayPage::IsCelsius());
    Type(page->TemperatureEdit(), "-20");
    EXPECT_EQ(Tenths(), 0);
    EXPECT_EQ(page->TemperatureEdit()->text(), "-17.8");
    Type(page->TemperatureEdit(), "nan");
    EXPECT_EQ(Tenths(), 0);
    Type(page->TemperatureEdit(), "20");
    EXPECT_EQ(Tenths(), 680);
}

TEST_F(DelayPageTest, UnitButtonsChangeOnlyTheShownTemperature) {
    Show(1000, 680);
    QTest::mouseClick(page->DegCButton(), Qt::LeftButton);
    EXPECT_EQ(page->TemperatureEdit()->text(), "20.0");
    EXPECT_TRUE(page->DegCButton()->IsLatched());
    EXPECT_FALSE(page->DegFButton()->IsLatched());
    EXPECT_EQ(Tenths(), 680);
    QTest::mouseClick(page->DegFButton(), Qt::LeftButton);
    EXPECT_EQ(page->TemperatureEdit()->text(), "68.0");
    EXPECT_FALSE(CDelayPage::IsCelsius());
}

TEST_F(DelayPageTest, DefaultSettingsRestore68FAndKeepTheDistance) {
    Show(30000, 320);
    Doc().Edits().Set(PF::DelayBypass, kChannelA, 1);
    QTest::mouseClick(page->DefaultsButton(), Qt::LeftButton);
    EXPECT_EQ(Tenths(), 680);
    EXPECT_EQ(Samples(), SamplesForNewTemperature(30000, 320, 680));
    EXPECT_LT(Samples(), 30000);
    EXPECT_EQ(Doc().Edits().Get(PF::DelayBypass, kChannelA), 1) << "the bypass is not touched";
    EXPECT_EQ(page->TemperatureEdit()->text(), "68.0");
}

TEST_F(DelayPageTest, SliderAndBypassStoreAtOnce) {
    Show(0, 680);
    page->Slider()->setFocus();
    QTest::keyClick(page->Slider(), Qt::Key_End);
    EXPECT_EQ(Samples(), 65536);
    EXPECT_EQ(page->SecondsEdit()->text(), "1.365333");
    QTest::mouseClick(page->BypassButton(), Qt::LeftButton);
    EXPECT_EQ(Doc().Edits().Get(PF::DelayBypass, kChannelA), 1);
    EXPECT_TRUE(page->BypassButton()->IsLatched());
    QTest::mouseClick(page->BypassButton(), Qt::LeftButton);
    EXPECT_EQ(Doc().Edits().Get(PF::DelayBypass, kChannelA), 0);
}

TEST_F(DelayPageTest, EnterNeitherClosesThePageNorCommits) {
    Show(1000, 680);
    page->SecondsEdit()->setFocus();
    page->SecondsEdit()->selectAll();
    QTest::keyClicks(page->SecondsEdit(), "1");
    QTest::keyClick(page->SecondsEdit(), Qt::Key_Return);
    QTest::keyClick(page->SecondsEdit(), Qt::Key_Escape);
    EXPECT_TRUE(page->isVisible());
    EXPECT_EQ(Samples(), 1000);
    Leave(page->SecondsEdit());
    EXPECT_EQ(Samples(), 48000);
}

TEST_F(DelayPageTest, BytesBeyondTheDevicesRangeShowWhatTheDeviceUses) {
    // A file may hold any byte: a high byte of 255 would read as 349.16 s and 3618.2 C.
    Show(1000, 680);
    Doc().Edits().Set(PF::DelayHigh, kChannelA, 255);
    Doc().Edits().Set(PF::TemperatureHigh, kChannelA, 255);
    page->UpdatePage(0);
    EXPECT_EQ(page->SecondsEdit()->text(), "1.365333");
    EXPECT_EQ(page->Slider()->value(), 65536);
    EXPECT_EQ(page->TemperatureEdit()->text(), "150.0");
    EXPECT_EQ(page->FeetEdit()->text(), QString::fromStdString(FormatFeet(DelayFeet(65536, 1500))));
}

TEST_F(DelayPageTest, AContextMenuOnAFieldDoesNotCommitIt) {
    Show(1000, 680);
    page->SecondsEdit()->selectAll();
    QTest::keyClicks(page->SecondsEdit(), "1");
    // The field's own context menu only lends the focus.
    QFocusEvent toMenu(QEvent::FocusOut, Qt::PopupFocusReason);
    QApplication::sendEvent(page->SecondsEdit(), &toMenu);
    EXPECT_EQ(Samples(), 1000);
    Leave(page->SecondsEdit());
    EXPECT_EQ(Samples(), 48000);
}

}  // namespace
}  // namespace arvestra
