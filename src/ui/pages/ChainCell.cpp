#include "ui/pages/ChainCell.h"

#include <QPainter>

#include "ui/controls/PanelPalette.h"

namespace arvestra {

CChainCell::CChainCell(Kind kind, int index, QWidget* parent)
    : QWidget(parent), kind_(kind), index_(index) {
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setFocusPolicy(Qt::TabFocus);
}

void CChainCell::SetDropTarget(bool on) {
    if (dropTarget_ == on) return;
    dropTarget_ = on;
    update();
}

void CChainCell::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    const QRect outer = rect();
    if (dropTarget_) {
        painter.setPen(Qt::black);
        painter.drawRect(outer.adjusted(0, 0, -1, -1));
    }
    const QRect inner = outer.adjusted(1, 1, -2, -2);
    if (hasFocus()) {
        painter.setPen(kind_ == Kind::Cell ? QPen(Qt::black) : QPen(Qt::black, 1, Qt::DotLine));
        painter.drawRect(inner);
        return;
    }
    if (kind_ == Kind::Frame) return;
    // Sunken: dark top and left edges, white right and bottom edges.
    painter.setPen(PanelPalette::kDarkBevel);
    painter.drawLine(inner.topLeft(), inner.topRight());
    painter.drawLine(inner.topLeft(), inner.bottomLeft());
    painter.setPen(Qt::white);
    painter.drawLine(inner.bottomLeft(), inner.bottomRight());
    painter.drawLine(inner.topRight(), inner.bottomRight());
}

void CChainCell::focusInEvent(QFocusEvent* event) {
    QWidget::focusInEvent(event);
    update();
}

void CChainCell::focusOutEvent(QFocusEvent* event) {
    QWidget::focusOutEvent(event);
    update();
}

}  // namespace arvestra
