// The main view's level sliders under the mouse wheel.
#include <gtest/gtest.h>

#include <QApplication>
#include <QWheelEvent>

#include "ui/ViewTestSupport.h"
#include "ui/controls/PanelSlider.h"

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
        h.doc.Edits().Set(ParamField::InputLevel, 0, 192);
        h.view->OnUpdate(0);
        Wheel(*slider, c.angle, c.modifiers);
        EXPECT_EQ(h.doc.Edits().Get(ParamField::InputLevel, 0), 192 + c.change) << c.angle.y();
        EXPECT_EQ(slider->value(), 192 + c.change);
    }
    // At the top the wheel up changes nothing.
    h.doc.Edits().Set(ParamField::InputLevel, 0, 232);
    h.view->OnUpdate(0);
    Wheel(*slider, {0, 120});
    EXPECT_EQ(h.doc.Edits().Get(ParamField::InputLevel, 0), 232);
}

}  // namespace
}  // namespace arvestra
