#include "ui/controls/LedIndicator.h"

#include <QPainter>

#include "ui/controls/LedGeometry.h"
#include "ui/controls/PanelPalette.h"

namespace arvestra {

CLedIndicator::CLedIndicator(QWidget* parent)
    : QWidget(parent), litColor_(PanelPalette::kLampLit), darkColor_(PanelPalette::kLampDark) {
    // The paint handler covers every pixel, so the background is never erased first.
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void CLedIndicator::SetLit(bool lit) {
    if (lit == lit_) return;
    lit_ = lit;
    InvalidateFace();
}

void CLedIndicator::SetColors(const QColor& lit, const QColor& dark) {
    if (lit == litColor_ && dark == darkColor_) return;
    litColor_ = lit;
    darkColor_ = dark;
    InvalidateFace();
}

QSize CLedIndicator::sizeHint() const {
    return {9, 9};
}

void CLedIndicator::InvalidateFace() {
    update(ToQRect(LedFaceRect(width(), height())));
}

void CLedIndicator::paintEvent(QPaintEvent*) {
    PanelPalette palette;
    palette.lampLit = litColor_;
    palette.lampDark = darkColor_;
    QPainter painter(this);
    FillRuns(painter, ComputeLedRuns(width(), height(), lit_), palette);
}

}  // namespace arvestra
