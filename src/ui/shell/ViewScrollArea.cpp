#include "ui/shell/ViewScrollArea.h"

namespace arvestra {

CViewScrollArea::CViewScrollArea(QWidget* parent) : QScrollArea(parent) {
    setFrameShape(QFrame::NoFrame);
    setWidgetResizable(false);
    setAlignment(Qt::AlignCenter);
}

QSize CViewScrollArea::sizeHint() const {
    // The scroll area's own hint stops at a few dozen lines of text, far smaller than the view.
    const int frame = 2 * frameWidth();
    const QSize content = widget() != nullptr ? widget()->size() : QSize();
    return content + QSize(frame, frame);
}

}  // namespace arvestra
