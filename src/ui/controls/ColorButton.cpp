#include "ui/controls/ColorButton.h"

#include <QFontMetrics>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

#include "ui/controls/ButtonGeometry.h"
#include "ui/controls/PanelPalette.h"

namespace arvestra {

CColorButton::CColorButton(QWidget* parent) : CColorButton(QString(), parent) {}

CColorButton::CColorButton(const QString& text, QWidget* parent)
    : QAbstractButton(parent), faceColor_(PanelPalette::kPanel) {
    setText(text);
    setFocusPolicy(Qt::StrongFocus);
    // The paint handler covers every pixel, so the background is never erased first.
    setAttribute(Qt::WA_OpaquePaintEvent);
}

template <typename Change>
void CColorButton::ChangeLook(Change change) {
    const bool before = IsShownPressed();
    change();
    if (IsShownPressed() != before) update();
}

void CColorButton::SetFaceColor(const QColor& color) {
    if (color == faceColor_) return;
    faceColor_ = color;
    if (isEnabled()) update();
}

void CColorButton::SetTextColor(const QColor& color) {
    if (color == textColor_) return;
    textColor_ = color;
    if (isEnabled()) update();
}

void CColorButton::SetMomentary(bool momentary) {
    if (momentary == momentary_) return;
    ChangeLook([&] { momentary_ = momentary; });
}

void CColorButton::SetLatched(bool latched) {
    if (latched == latched_) return;
    ChangeLook([&] { latched_ = latched; });
    emit latchedChanged(latched_);
}

bool CColorButton::IsShownPressed() const {
    return momentary_ ? isDown() : latched_;
}

QSize CColorButton::sizeHint() const {
    const QFontMetrics metrics(font());
    const QSize label = metrics.size(Qt::TextSingleLine | Qt::TextShowMnemonic, text());
    return {label.width() + 16, label.height() + 10};
}

QSize CColorButton::minimumSizeHint() const {
    return {12, 10};
}

void CColorButton::paintEvent(QPaintEvent*) {
    const ButtonLook look =
        ComputeButtonLook({width(), height(), IsShownPressed(), hasFocus(), isEnabled()});
    QPainter painter(this);
    PanelPalette palette;
    palette.face = faceColor_;
    FillRuns(painter, look.runs, palette);

    for (const PixelPoint& dot : FocusDots(look.focusRect)) {
        painter.fillRect(dot.x, dot.y, 1, 1, Qt::black);
    }

    if (look.textClip.IsEmpty()) return;
    painter.setClipRect(ToQRect(look.textClip));
    painter.setPen(isEnabled() ? textColor_ : PanelPalette::kDarkBevel);
    painter.drawText(ToQRect(look.textRect),
                     Qt::AlignCenter | Qt::TextSingleLine | Qt::TextShowMnemonic, text());
}

void CColorButton::mouseDoubleClickEvent(QMouseEvent* event) {
    // The second click of a double click is a press like the first, so it clicks again.
    mousePressEvent(event);
}

void CColorButton::keyPressEvent(QKeyEvent* event) {
    const int key = event->key();
    if ((key == Qt::Key_Return || key == Qt::Key_Enter) &&
        (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier) {
        if (!event->isAutoRepeat()) click();
        event->accept();
        return;
    }
    QAbstractButton::keyPressEvent(event);
}

}  // namespace arvestra
