#include "ui/controls/LevelMeter.h"

#include <QPaintEvent>
#include <QPainter>
#include <algorithm>

#include "ui/controls/PanelPalette.h"

namespace arvestra {

CLevelMeter::CLevelMeter(QWidget* parent)
    : QWidget(parent),
      litColors_{QColor(0x00, 0xFF, 0x00), QColor(0xFF, 0xFF, 0x00), QColor(0xFF, 0x00, 0x00)},
      unlitColors_{QColor(0x00, 0x80, 0x00), QColor(0x80, 0x80, 0x00), QColor(0x80, 0x00, 0x00)} {
    // The paint handler covers every pixel, so the background is never erased first.
    setAttribute(Qt::WA_OpaquePaintEvent);
    layout_ = ComputeMeterLayout(Input());
}

MeterInput CLevelMeter::Input() const {
    return {width(), height(), minimum_, maximum_, position_};
}

void CLevelMeter::SetRange(int minimum, int maximum) {
    maximum = std::max(minimum, maximum);
    const int position = std::clamp(position_, minimum, maximum);
    if (minimum == minimum_ && maximum == maximum_ && position == position_) return;
    minimum_ = minimum;
    maximum_ = maximum;
    position_ = position;
    Relayout();
}

void CLevelMeter::SetPosition(int position) {
    position = std::clamp(position, minimum_, maximum_);
    if (position == position_) return;
    position_ = position;
    // Most meter updates move the bar by less than a column; those cost no layout at all.
    if (MeterLitEnd(Input()) == layout_.litEnd) return;
    Relayout();
}

void CLevelMeter::Relayout() {
    MeterLayout after = ComputeMeterLayout(Input());
    const ColumnSpan changed = MeterChangedColumns(layout_, after);
    layout_ = std::move(after);
    if (changed.IsEmpty()) return;
    update(changed.first, layout_.inner.top, changed.pastLast - changed.first,
           layout_.inner.Height());
}

void CLevelMeter::SetZoneColors(int zone, const QColor& lit, const QColor& unlit) {
    if (zone < 0 || zone >= kMeterZoneCount) return;
    const auto index = static_cast<std::size_t>(zone);
    if (litColors_[index] == lit && unlitColors_[index] == unlit) return;
    litColors_[index] = lit;
    unlitColors_[index] = unlit;
    update();
}

void CLevelMeter::SetAllZoneColors(const QColor& lit, const QColor& unlit) {
    for (int zone = 0; zone < kMeterZoneCount; ++zone) SetZoneColors(zone, lit, unlit);
}

QColor CLevelMeter::LitColor(int zone) const {
    return litColors_[static_cast<std::size_t>(std::clamp(zone, 0, kMeterZoneCount - 1))];
}

QColor CLevelMeter::UnlitColor(int zone) const {
    return unlitColors_[static_cast<std::size_t>(std::clamp(zone, 0, kMeterZoneCount - 1))];
}

QColor CLevelMeter::ColorOf(MeterInk ink) const {
    switch (ink) {
        case MeterInk::Black:
            return Qt::black;
        case MeterInk::Lit1:
            return litColors_[0];
        case MeterInk::Lit2:
            return litColors_[1];
        case MeterInk::Lit3:
            return litColors_[2];
        case MeterInk::Unlit1:
            return unlitColors_[0];
        case MeterInk::Unlit2:
            return unlitColors_[1];
        case MeterInk::Unlit3:
            return unlitColors_[2];
    }
    return Qt::black;
}

QSize CLevelMeter::sizeHint() const {
    return {153, 9};
}

void CLevelMeter::resizeEvent(QResizeEvent* event) {
    layout_ = ComputeMeterLayout(Input());
    QWidget::resizeEvent(event);
}

void CLevelMeter::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    // The whole client area starts black: that is the outline and every segment gap, so only
    // the coloured columns need drawing on top.
    const QRect dirty = event->rect();
    painter.fillRect(dirty, Qt::black);
    const QRect inner = ToQRect(layout_.inner);
    for (const MeterRun& run : MeterRuns(layout_)) {
        if (run.ink == MeterInk::Black) continue;
        if (run.pastLast <= dirty.left() || run.first > dirty.right()) continue;
        painter.fillRect(QRect(run.first, inner.top(), run.pastLast - run.first, inner.height()),
                         ColorOf(run.ink));
    }
}

}  // namespace arvestra
