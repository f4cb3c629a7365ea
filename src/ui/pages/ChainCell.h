#pragma once

#include <QWidget>

namespace arvestra {

// One place of the configuration page a block tile can sit in: a chain cell or a palette frame.
// The page paints the tiles underneath and takes every mouse event itself, so the place lets
// the mouse through; it takes the keyboard focus, which is how a tile is chosen without a mouse.
// A chain cell shows a sunken frame (a black one while focused) and a black outline while it is
// a drop target; a palette frame shows only the outline while it is a drop target, and a focus
// mark while focused.
class CChainCell : public QWidget {
    Q_OBJECT
  public:
    enum class Kind { Cell, Frame };

    CChainCell(Kind kind, int index, QWidget* parent);

    Kind CellKind() const { return kind_; }
    int Index() const { return index_; }

    // The drop-target mark; repaints on a change.
    void SetDropTarget(bool on);
    bool IsDropTarget() const { return dropTarget_; }

  protected:
    void paintEvent(QPaintEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

  private:
    Kind kind_;
    int index_;
    bool dropTarget_ = false;
};

}  // namespace arvestra
