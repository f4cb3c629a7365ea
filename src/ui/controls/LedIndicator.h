#pragma once

#include <QColor>
#include <QWidget>

namespace arvestra {

// A small indicator lamp in a sunken frame: bright red (#FF0000) when lit, dark red (#800000)
// when not. Changing the state repaints only the lamp face, and only on a real change.
class CLedIndicator : public QWidget {
    Q_OBJECT

  public:
    explicit CLedIndicator(QWidget* parent = nullptr);

    // Lights or darkens the lamp.
    void SetLit(bool lit);
    bool IsLit() const { return lit_; }

    // Colours of the lit and the dark lamp.
    void SetColors(const QColor& lit, const QColor& dark);
    QColor LitColor() const { return litColor_; }
    QColor DarkColor() const { return darkColor_; }

    QSize sizeHint() const override;

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    void InvalidateFace();

    bool lit_ = false;
    QColor litColor_;
    QColor darkColor_;
};

}  // namespace arvestra
