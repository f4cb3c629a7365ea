#pragma once

#include <QAbstractSlider>
#include <QBasicTimer>
#include <QPoint>
#include <QRect>
#include <QString>
#include <functional>

#include "ui/controls/SliderGeometry.h"

namespace arvestra {

// A track-bar slider of the panel look, used like any QAbstractSlider (setRange, setValue,
// setPageStep, valueChanged). It is vertical when taller than wide; the minimum sits at the
// left or top end unless invertedAppearance is set. Its square thumb spans the short side and
// can be grabbed anywhere: the thumb keeps its offset to the pointer, so it never jumps. A press
// beside the thumb pages towards the pointer, repeating while held. Arrow keys across the axis
// do nothing. The page step follows the range (a fifth of it, at least 1) whenever the range
// changes.
class CPanelSlider : public QAbstractSlider {
    Q_OBJECT

  public:
    using ValueTextFunction = std::function<QString(int value)>;

    explicit CPanelSlider(QWidget* parent = nullptr);

    // Supplies the tool tip text for a value ("%.1f dB" style); an empty function turns it off.
    void SetValueTextFunction(ValueTextFunction function);
    // With `on`, the wheel moves the value the Qt way (rolled away from the user it raises the
    // value, whichever end shows the minimum); otherwise it moves the thumb towards the left or
    // top end, as a track bar does. Off at first.
    void SetWheelRaises(bool on);
    // The tool tip text of the current value; empty without a text function.
    QString ValueText() const;

    // Horizontal or vertical, from the current size.
    SliderAxis Axis() const;
    // The painted thumb at the current slider position, in widget pixels.
    QRect ThumbRect() const;
    // True while the thumb is held by the mouse.
    bool IsDragging() const { return interaction_ == Interaction::Dragging; }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

  signals:
    // The user (mouse, keyboard or wheel) changed the value; never emitted for setValue.
    void userMoved(int value);

  protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void timerEvent(QTimerEvent* event) override;
    void changeEvent(QEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void sliderChange(SliderChange change) override;

  private:
    enum class Interaction { Idle, Dragging, Paging };

    SliderTrack Track() const;
    SliderRange Range() const;
    PixelRect CurrentThumb() const;
    int AlongAxis(const QPoint& point) const;
    // The page or line action that moves the thumb towards the left/top (side < 0) or the
    // right/bottom (side > 0) end.
    SliderAction ActionTowards(int side, bool page) const;
    // Runs a user action and reports the value if it changed.
    template <typename Action>
    void RunUserAction(Action action);
    // One page towards the held pointer; false once the thumb has reached it.
    bool PageTowardsPointer();
    // Lets go of a drag or a paging press (button up, or the slider disabled or hidden).
    void EndInteraction();
    void InvalidateThumb();
    void RefreshVisibleTip();

    Interaction interaction_ = Interaction::Idle;
    int grabOffset_ = 0;   // pointer minus thumb leading edge while dragging
    int pagePointer_ = 0;  // pointer along the axis while paging
    int pageSide_ = 0;     // direction of the paging that the press started
    bool pageRepeating_ = false;
    QBasicTimer pageTimer_;
    int wheelRemainder_ = 0;
    bool wheelRaises_ = false;
    PixelRect shownThumb_;  // the thumb as last painted or invalidated
    ValueTextFunction valueText_;
    bool tipShown_ = false;
    QPoint tipGlobalPos_;
};

}  // namespace arvestra
