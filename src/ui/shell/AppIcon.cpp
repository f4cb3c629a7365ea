#include "ui/shell/AppIcon.h"

#include <QPainter>
#include <QPixmap>

namespace arvestra {

namespace {

QPixmap DrawIcon(int size) {
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    const qreal unit = size / 32.0;
    // Panel.
    painter.setPen(QPen(QColor(0x30, 0x30, 0x34), unit));
    painter.setBrush(QColor(0xA0, 0xA0, 0xA4));
    painter.drawRoundedRect(QRectF(1.5 * unit, 7 * unit, 29 * unit, 18 * unit), 2 * unit, 2 * unit);
    // Two meters: green, yellow and red segments.
    const QColor colours[] = {QColor(0x00, 0xC0, 0x00), QColor(0x00, 0xC0, 0x00),
                              QColor(0x00, 0xC0, 0x00), QColor(0xE0, 0xE0, 0x00),
                              QColor(0xE0, 0x00, 0x00)};
    painter.setPen(Qt::NoPen);
    for (int row = 0; row < 2; ++row) {
        for (int segment = 0; segment < 5; ++segment) {
            painter.setBrush(colours[segment]);
            painter.drawRect(
                QRectF((5 + segment * 4) * unit, (11 + row * 6) * unit, 3 * unit, 3 * unit));
        }
    }
    // Knob.
    painter.setBrush(QColor(0x55, 0x7F, 0xFF));
    painter.drawEllipse(QPointF(26.5 * unit, 16 * unit), 2.5 * unit, 2.5 * unit);
    return pixmap;
}

}  // namespace

QIcon MakeAppIcon() {
    QIcon icon;
    for (int size : {16, 24, 32, 48, 64, 128}) {
        icon.addPixmap(DrawIcon(size));
    }
    return icon;
}

}  // namespace arvestra
