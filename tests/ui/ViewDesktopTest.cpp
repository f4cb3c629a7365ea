// The main view's level sliders under the mouse wheel, and its meters while offline.
#include <gtest/gtest.h>

#include <QApplication>
#include <QWheelEvent>

#include "ui/ViewTestSupport.h"
#include "ui/controls/LedIndicator.h"
#include "ui/controls/LevelMeter.h"
#include "ui/controls/PanelSlider.h"
#include "ui/shell/CommandIds.h"

namespace arvestra {
namespace {

using viewtest::ViewHarness;

void Wheel(QWidget& widget, QPoint angle, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    const QPointF at(widget.width() / 2.0, widget.height() / 2.0);
    QWheelEvent event(at, widget.mapToGlobal(at), QPoint(), angle, Qt::NoButton, modifiers,
                      Qt::NoScrollPhase, false);
    QApplication::sendEvent(&widget, &event);
}

TEST(ViewLevelWheel, WheelUpRaisesTheLevelAndDownLowersIt) {
    ViewHarness h;
    CPanelSlider* slider = h.view->LevelSlider(0);  // Ch 1 input
    const int lines = QApplication::wheelScrollLines();
    const struct {
        QPoint angle;
        Qt::KeyboardModifiers modifiers;
        int change;
    } cases[] = {
        {{0, 120}, Qt::NoModifier, lines},    // away from the user: up
        {{0, -120}, Qt::NoModifier, -lines},  // towards the user: down
        {{0, 240}, Qt::NoModifier, 2 * lines},
        {{0, 120}, Qt::ControlModifier, slider->pageStep()},  // a page at a time
    };
    for (const auto& c : cases) {
        h.doc.Set(ParamField::InputLevel, 0, 192);
        h.view->OnUpdate(0);
        Wheel(*slider, c.angle, c.modifiers);
        EXPECT_EQ(h.doc.Get(ParamField::InputLevel, 0), 192 + c.change) << c.angle.y();
        EXPECT_EQ(slider->value(), 192 + c.change);
    }
    // At the top the wheel up changes nothing.
    h.doc.Set(ParamField::InputLevel, 0, 232);
    h.view->OnUpdate(0);
    Wheel(*slider, {0, 120});
    EXPECT_EQ(h.doc.Get(ParamField::InputLevel, 0), 232);
}

TEST(ViewOfflineMeters, TheRefreshCommandOfflineShowsDarkMetersWhateverThePollLeft) {
    ViewHarness h;
    h.doc.levelA = 60;
    h.doc.level2B = 100;
    h.doc.reduction1[0] = 20;
    h.doc.indicatorBits = 0x3F;
    h.SetOnlineFlag(1);
    h.SetChainList(0, {3});  // EQ A feeds Ch 1, so its overload bit lights the lamp
    h.view->OnCommand(command::kMeterRefresh);
    ASSERT_EQ(h.view->Meter(1127)->Position(), 60);
    ASSERT_TRUE(h.view->Lamp(0)->IsLit());

    h.SetOnlineFlag(0);  // the flag alone, as an error answered "continue offline" leaves it
    h.view->OnCommand(command::kMeterRefresh);
    for (const int id : {1127, 1128, 1129, 1130}) EXPECT_EQ(h.view->Meter(id)->Position(), 0);
    for (const int id : {1131, 1132, 1133, 1134}) EXPECT_EQ(h.view->Meter(id)->Position(), 41);
    EXPECT_FALSE(h.view->Lamp(0)->IsLit());
    EXPECT_FALSE(h.view->Lamp(1)->IsLit());
}

}  // namespace
}  // namespace arvestra
