#include "ui/pages/PicturePainter.h"

#include <QPainter>

#include <algorithm>

#include "ui/controls/PanelPalette.h"

namespace arvestra {

namespace {

Qt::Alignment AlignmentOf(TextAlign align) {
    switch (align) {
        case TextAlign::Left:
            return Qt::AlignLeft | Qt::AlignVCenter;
        case TextAlign::Right:
            return Qt::AlignRight | Qt::AlignVCenter;
        case TextAlign::Centre:
            break;
    }
    return Qt::AlignHCenter | Qt::AlignVCenter;
}

}  // namespace

void PaintPicture(QPainter& painter, const Picture& picture, const QFont& base,
                  const QRect& dirty) {
    const PanelPalette palette;
    const bool all = dirty.isNull();
    for (const PaintRun& run : picture.runs) {
        const QRect rect = ToQRect(run.rect);
        if (all || rect.intersects(dirty)) painter.fillRect(rect, palette.ColorOf(run.ink));
    }
    QFont font = base;
    for (const PictureText& caption : picture.texts) {
        // Text may spill past its box by about its own height; such a box still counts.
        const QRect reach = ToQRect(caption.box)
                                .adjusted(-caption.pixelSize, -caption.pixelSize, caption.pixelSize,
                                          caption.pixelSize);
        if (!all && !reach.intersects(dirty)) continue;
        font.setPixelSize(std::max(1, caption.pixelSize));
        font.setBold(caption.bold);
        painter.setFont(font);
        painter.setPen(palette.ColorOf(caption.ink));
        // A caption may be wider than its box at large fonts; it stays centred and whole.
        painter.drawText(ToQRect(caption.box), AlignmentOf(caption.align) | Qt::TextDontClip,
                         QString::fromStdString(caption.text));
    }
}

}  // namespace arvestra
