#pragma once

#include <QColor>
#include <QRect>

#include "ui/controls/PaintRun.h"
#include "ui/controls/PixelRect.h"

class QPainter;

namespace arvestra {

// The colours of the grey panel look, and the owner-chosen colours that some inks stand for.
struct PanelPalette {
    static inline const QColor kPanel{0xA0, 0xA0, 0xA4};
    static inline const QColor kDisabledFace{0xC0, 0xC0, 0xC0};
    static inline const QColor kLightBevel{0xE0, 0xE0, 0xE0};
    static inline const QColor kDarkBevel{0x80, 0x80, 0x80};
    static inline const QColor kFocus{0xFF, 0x00, 0x00};
    static inline const QColor kLampLit{0xFF, 0x00, 0x00};
    static inline const QColor kLampDark{0x80, 0x00, 0x00};

    QColor face = kPanel;
    QColor lampLit = kLampLit;
    QColor lampDark = kLampDark;

    // The colour an ink stands for under this palette.
    QColor ColorOf(Ink ink) const;
};

// The Qt rectangle covering the same pixels as a pixel rectangle.
inline QRect ToQRect(const PixelRect& r) {
    return QRect(r.left, r.top, r.Width(), r.Height());
}

// Fills every run in order with its ink's colour.
void FillRuns(QPainter& painter, const PaintRuns& runs, const PanelPalette& palette);

}  // namespace arvestra
