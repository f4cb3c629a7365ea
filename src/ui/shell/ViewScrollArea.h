#pragma once

#include <QScrollArea>

namespace arvestra {

// Holds the main view at its own fixed size inside the main window. When the window is smaller
// than the view (a small laptop screen, a large desktop font) scroll bars appear in both
// directions; when it is larger the view stays centred. Its size hint is the whole view, so
// the window opens at the size the layout wants whenever the screen has room.
class CViewScrollArea : public QScrollArea {
    Q_OBJECT
  public:
    explicit CViewScrollArea(QWidget* parent = nullptr);

    QSize sizeHint() const override;
};

}  // namespace arvestra
