#include "ui/controls/PanelPalette.h"

#include <QPainter>

namespace arvestra {

QColor PanelPalette::ColorOf(Ink ink) const {
    switch (ink) {
        case Ink::Black:
            return Qt::black;
        case Ink::White:
            return Qt::white;
        case Ink::Light:
            return kLightBevel;
        case Ink::Dark:
            return kDarkBevel;
        case Ink::Panel:
            return kPanel;
        case Ink::DisabledFace:
            return kDisabledFace;
        case Ink::Focus:
            return kFocus;
        case Ink::Face:
            return face;
        case Ink::LampLit:
            return lampLit;
        case Ink::LampDark:
            return lampDark;
    }
    return Qt::black;
}

void FillRuns(QPainter& painter, const PaintRuns& runs, const PanelPalette& palette) {
    for (const PaintRun& run : runs) painter.fillRect(ToQRect(run.rect), palette.ColorOf(run.ink));
}

}  // namespace arvestra
