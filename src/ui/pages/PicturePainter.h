#pragma once

#include <QFont>
#include <QRect>

#include "ui/pages/Picture.h"

class QPainter;

namespace arvestra {

// Paints a picture: its runs in order, then its captions in fonts derived from `base` at the
// captions' pixel sizes. With a dirty rectangle, only the parts that reach into it are drawn.
void PaintPicture(QPainter& painter, const Picture& picture, const QFont& base,
                  const QRect& dirty = QRect());

}  // namespace arvestra
