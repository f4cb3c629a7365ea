#pragma once

#include <QImage>
#include <QObject>
#include <QRegion>
#include <functional>

class QWidget;

namespace arvestra::test {

// The widget's picture as it paints itself now, at one image pixel per widget pixel.
QImage GrabImage(QWidget& widget);

// Lets queued events run until pred holds or timeoutMs has passed; returns pred's last value.
bool WaitUntil(const std::function<bool()>& pred, int timeoutMs);

// Lets every pending event (including deferred repaints) run.
void FlushEvents();

// Counts the paint events a widget receives and collects the regions they covered.
class PaintRecorder : public QObject {
  public:
    explicit PaintRecorder(QWidget& widget);

    int Count() const { return count_; }
    QRegion Painted() const { return painted_; }
    void Reset();

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    int count_ = 0;
    QRegion painted_;
};

}  // namespace arvestra::test
