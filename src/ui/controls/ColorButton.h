#pragma once

#include <QAbstractButton>
#include <QColor>

namespace arvestra {

// A flat-coloured push button of the panel look. A momentary button looks pressed while the
// mouse or the Space key holds it; a latching button looks pressed exactly while its owner has
// latched it, whatever the mouse does. Clicks arrive through QAbstractButton::clicked; a double
// click counts as two clicks, so fast repeated clicks are never lost.
class CColorButton : public QAbstractButton {
    Q_OBJECT

  public:
    explicit CColorButton(QWidget* parent = nullptr);
    explicit CColorButton(const QString& text, QWidget* parent = nullptr);

    // Face colour while enabled (a disabled button always shows #C0C0C0).
    void SetFaceColor(const QColor& color);
    QColor FaceColor() const { return faceColor_; }

    // Label colour while enabled (a disabled label is #808080).
    void SetTextColor(const QColor& color);
    QColor TextColor() const { return textColor_; }

    // true (the default): the look follows the mouse; false: the look follows the latch.
    void SetMomentary(bool momentary);
    bool IsMomentary() const { return momentary_; }

    // For a latching button: shown pressed while latched. Emits latchedChanged on a change.
    void SetLatched(bool latched);
    bool IsLatched() const { return latched_; }

    // Whether the button is drawn pressed right now.
    bool IsShownPressed() const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

  signals:
    // The latch was changed by SetLatched (never emitted for an unchanged latch).
    void latchedChanged(bool latched);

  protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

  private:
    // Runs change, then repaints only when the pressed look differs afterwards.
    template <typename Change>
    void ChangeLook(Change change);

    QColor textColor_{Qt::black};
    QColor faceColor_;
    bool momentary_ = true;
    bool latched_ = false;
};

}  // namespace arvestra
