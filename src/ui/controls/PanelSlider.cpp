#include "ui/controls/PanelSlider.h"

#include <QHelpEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QRegion>
#include <QTimerEvent>
#include <QToolTip>
#include <QWheelEvent>
#include <algorithm>
#include <cstdint>
#include <cstdlib>

#include "ui/controls/PanelPalette.h"

namespace arvestra {

namespace {

constexpr int kPageDelayMs = 500;   // hold this long before paging repeats
constexpr int kPageRepeatMs = 100;  // then page this often
constexpr int kWheelNotch = 120;    // angle delta of one wheel notch

// A fifth of the range, at least 1: the page a track bar uses until told otherwise.
int DefaultPageStep(int minimum, int maximum) {
    const std::int64_t span = std::int64_t{maximum} - minimum;
    return static_cast<int>(std::clamp<std::int64_t>(span / 5, 1, INT32_MAX));
}

}  // namespace

CPanelSlider::CPanelSlider(QWidget* parent) : QAbstractSlider(parent) {
    setFocusPolicy(Qt::StrongFocus);
    // The paint handler covers every pixel, so the background is never erased first.
    setAttribute(Qt::WA_OpaquePaintEvent);
    setPageStep(DefaultPageStep(minimum(), maximum()));
}

void CPanelSlider::SetValueTextFunction(ValueTextFunction function) {
    valueText_ = std::move(function);
}

QString CPanelSlider::ValueText() const {
    return valueText_ ? valueText_(value()) : QString();
}

SliderAxis CPanelSlider::Axis() const {
    return SliderAxisFor(width(), height());
}

QRect CPanelSlider::ThumbRect() const {
    return ToQRect(CurrentThumb());
}

QSize CPanelSlider::sizeHint() const {
    return {136, 17};
}

QSize CPanelSlider::minimumSizeHint() const {
    return {20, 8};
}

SliderTrack CPanelSlider::Track() const {
    return ComputeSliderTrack(width(), height());
}

SliderRange CPanelSlider::Range() const {
    return {minimum(), maximum(), invertedAppearance()};
}

PixelRect CPanelSlider::CurrentThumb() const {
    const SliderTrack track = Track();
    return ThumbRectAt(track, ThumbStartForPosition(track, Range(), sliderPosition()));
}

int CPanelSlider::AlongAxis(const QPoint& point) const {
    return Axis() == SliderAxis::Horizontal ? point.x() : point.y();
}

QAbstractSlider::SliderAction CPanelSlider::ActionTowards(int side, bool page) const {
    const bool decrease = (side < 0) != invertedAppearance();
    if (page) return decrease ? SliderPageStepSub : SliderPageStepAdd;
    return decrease ? SliderSingleStepSub : SliderSingleStepAdd;
}

template <typename Action>
void CPanelSlider::RunUserAction(Action action) {
    const int before = value();
    action();
    if (value() != before) emit userMoved(value());
}

bool CPanelSlider::event(QEvent* event) {
    if (event->type() == QEvent::ToolTip && valueText_) {
        const auto* help = static_cast<QHelpEvent*>(event);
        tipGlobalPos_ = help->globalPos();
        QToolTip::showText(tipGlobalPos_, ValueText(), this);
        tipShown_ = true;
        return true;
    }
    if (event->type() == QEvent::Leave) tipShown_ = false;
    return QAbstractSlider::event(event);
}

void CPanelSlider::paintEvent(QPaintEvent*) {
    const SliderLook look =
        ComputeSliderLook({width(), height(), Range(), sliderPosition(), hasFocus(), isEnabled()});
    QPainter painter(this);
    FillRuns(painter, look.runs, PanelPalette{});
    shownThumb_ = look.thumb;
}

void CPanelSlider::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || interaction_ != Interaction::Idle) {
        event->ignore();
        return;
    }
    const QPoint point = event->position().toPoint();
    const PixelRect thumb = CurrentThumb();
    if (thumb.Contains(point.x(), point.y())) {
        // Remember where on the thumb it was taken, so that it moves with the pointer
        // instead of jumping to centre on it.
        interaction_ = Interaction::Dragging;
        const int leading = Axis() == SliderAxis::Horizontal ? thumb.left : thumb.top;
        grabOffset_ = AlongAxis(point) - leading;
        setSliderDown(true);
    } else {
        interaction_ = Interaction::Paging;
        pagePointer_ = AlongAxis(point);
        pageSide_ = SideOfThumb(Track(), thumb, pagePointer_);
        pageRepeating_ = false;
        if (PageTowardsPointer()) pageTimer_.start(kPageDelayMs, this);
    }
    event->accept();
}

void CPanelSlider::mouseMoveEvent(QMouseEvent* event) {
    const int along = AlongAxis(event->position().toPoint());
    if (interaction_ == Interaction::Dragging) {
        const int position = PositionForThumbStart(Track(), Range(), along - grabOffset_);
        RunUserAction([&] { setSliderPosition(position); });
    } else if (interaction_ == Interaction::Paging) {
        pagePointer_ = along;
    }
    event->accept();
}

void CPanelSlider::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        event->ignore();
        return;
    }
    EndInteraction();
    event->accept();
}

void CPanelSlider::EndInteraction() {
    pageTimer_.stop();
    const Interaction ended = interaction_;
    interaction_ = Interaction::Idle;
    // Without tracking the value only follows the thumb when it is let go.
    if (ended == Interaction::Dragging) RunUserAction([&] { setSliderDown(false); });
}

bool CPanelSlider::PageTowardsPointer() {
    const int side = SideOfThumb(Track(), CurrentThumb(), pagePointer_);
    if (side == 0 || side != pageSide_) return false;
    RunUserAction([&] { triggerAction(ActionTowards(side, true)); });
    return true;
}

void CPanelSlider::timerEvent(QTimerEvent* event) {
    if (event->timerId() != pageTimer_.timerId()) {
        QAbstractSlider::timerEvent(event);
        return;
    }
    if (!pageRepeating_) {
        pageRepeating_ = true;
        pageTimer_.start(kPageRepeatMs, this);
    }
    if (!PageTowardsPointer()) pageTimer_.stop();
}

void CPanelSlider::keyPressEvent(QKeyEvent* event) {
    const bool horizontal = Axis() == SliderAxis::Horizontal;
    SliderAction action = SliderNoAction;
    switch (event->key()) {
        case Qt::Key_Left:
        case Qt::Key_Right:
            if (horizontal) action = ActionTowards(event->key() == Qt::Key_Left ? -1 : 1, false);
            break;
        case Qt::Key_Up:
        case Qt::Key_Down:
            if (!horizontal) action = ActionTowards(event->key() == Qt::Key_Up ? -1 : 1, false);
            break;
        case Qt::Key_PageUp:
            action = ActionTowards(-1, true);
            break;
        case Qt::Key_PageDown:
            action = ActionTowards(1, true);
            break;
        case Qt::Key_Home:
            action = SliderToMinimum;
            break;
        case Qt::Key_End:
            action = SliderToMaximum;
            break;
        default:
            event->ignore();
            return;
    }
    // Arrows across the axis are taken and do nothing, so they neither move the slider nor
    // travel on to the parent.
    if (action != SliderNoAction) RunUserAction([&] { triggerAction(action); });
    event->accept();
}

void CPanelSlider::SetWheelRaises(bool on) {
    wheelRaises_ = on;
}

void CPanelSlider::wheelEvent(QWheelEvent* event) {
    if (wheelRaises_) {
        // Qt's own handling: steps of the desktop's wheel setting, larger ones with Ctrl or
        // Shift; the event goes on to the parent when the value cannot move further.
        RunUserAction([&] { QAbstractSlider::wheelEvent(event); });
        return;
    }
    const QPoint angle = event->angleDelta();
    wheelRemainder_ += angle.y() != 0 ? angle.y() : angle.x();
    const int notches = wheelRemainder_ / kWheelNotch;
    wheelRemainder_ -= notches * kWheelNotch;
    if (notches != 0) {
        // Rolling away from the user moves the thumb towards the left or top end.
        const SliderAction action = ActionTowards(notches > 0 ? -1 : 1, false);
        RunUserAction([&] {
            for (int i = 0; i < std::abs(notches); ++i) triggerAction(action);
        });
    }
    event->accept();
}

void CPanelSlider::focusInEvent(QFocusEvent*) {
    // Only the channel shows the focus.
    update(ToQRect(ChannelRect(width(), height())));
}

void CPanelSlider::focusOutEvent(QFocusEvent*) {
    update(ToQRect(ChannelRect(width(), height())));
}

void CPanelSlider::changeEvent(QEvent* event) {
    if (event->type() == QEvent::EnabledChange && !isEnabled()) EndInteraction();
    QAbstractSlider::changeEvent(event);
}

void CPanelSlider::hideEvent(QHideEvent* event) {
    EndInteraction();
    tipShown_ = false;
    QAbstractSlider::hideEvent(event);
}

void CPanelSlider::sliderChange(SliderChange change) {
    switch (change) {
        case SliderRangeChange:
            setPageStep(DefaultPageStep(minimum(), maximum()));
            update();
            break;
        case SliderValueChange:
            InvalidateThumb();
            RefreshVisibleTip();
            break;
        case SliderOrientationChange:
            update();
            break;
        case SliderStepsChange:
            break;
    }
}

void CPanelSlider::InvalidateThumb() {
    const PixelRect thumb = CurrentThumb();
    if (thumb == shownThumb_) return;
    // Only the old and the new thumb need painting; the rest of the slider is unchanged.
    QRegion region(ToQRect(shownThumb_));
    region += ToQRect(thumb);
    shownThumb_ = thumb;
    update(region);
}

void CPanelSlider::RefreshVisibleTip() {
    if (tipShown_ && valueText_ && QToolTip::isVisible()) {
        QToolTip::showText(tipGlobalPos_, ValueText(), this);
    }
}

}  // namespace arvestra
