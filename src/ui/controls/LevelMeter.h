#pragma once

#include <QColor>
#include <QWidget>
#include <array>

#include "ui/controls/MeterGeometry.h"

namespace arvestra {

// A horizontal segmented bar meter with three colour zones (0-60 %, 60-80 %, 80-100 % of the
// bar), used like a progress bar: a range and a position. Each zone has a lit colour (the part
// up to the position) and an unlit colour (the rest). A position change repaints only the
// columns whose colour changed, and nothing when the bar looks the same.
class CLevelMeter : public QWidget {
    Q_OBJECT

  public:
    explicit CLevelMeter(QWidget* parent = nullptr);

    // Sets the range (a maximum below the minimum is raised to it); the position is clamped.
    void SetRange(int minimum, int maximum);
    int Minimum() const { return minimum_; }
    int Maximum() const { return maximum_; }

    // Moves the bar; positions outside the range are clamped to it.
    void SetPosition(int position);
    int Position() const { return position_; }

    // Colours of zone 0..2 (other zone numbers are ignored).
    void SetZoneColors(int zone, const QColor& lit, const QColor& unlit);
    // The same lit and unlit colours for all three zones.
    void SetAllZoneColors(const QColor& lit, const QColor& unlit);
    QColor LitColor(int zone) const;
    QColor UnlitColor(int zone) const;

    QSize sizeHint() const override;

  protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

  private:
    MeterInput Input() const;
    // Recomputes the bar and invalidates the columns that look different.
    void Relayout();
    QColor ColorOf(MeterInk ink) const;

    int minimum_ = 0;
    int maximum_ = 100;
    int position_ = 0;
    std::array<QColor, kMeterZoneCount> litColors_;
    std::array<QColor, kMeterZoneCount> unlitColors_;
    MeterLayout layout_;
};

}  // namespace arvestra
