#pragma once

#include <QBasicTimer>
#include <QObject>
#include <QPoint>
#include <QPointer>
#include <QRect>
#include <QString>

#include <functional>
#include <vector>

class QWidget;

namespace arvestra {

// The value read-outs that appear when the pointer rests on a control or on a region of a
// window: a tip shows after the initial delay and stays up for the auto-pop time or until the
// pointer leaves. The text is asked for each time the tip shows, so it is never stale; a tool
// whose value changes while its tip is up gets the new text through UpdateTipText.
class CToolTipControl : public QObject {
    Q_OBJECT
  public:
    using TextFunction = std::function<QString()>;

    static constexpr int kDefaultAutoPopMs = 30000;
    static constexpr int kDefaultInitialMs = 250;

    explicit CToolTipControl(QObject* parent = nullptr);

    // Sets how long a tip stays up and how long the pointer must rest before it shows.
    void SetDelays(int autoPopMs, int initialMs);
    int AutoPopMs() const { return autoPopMs; }
    int InitialMs() const { return initialMs; }

    // Adds a tool for a control; the tip text comes from `text` whenever it is needed.
    void AddTool(QWidget* control, TextFunction text);
    // Adds a tool for a rectangle of `window` (window pixels), identified by `id`; the text
    // comes from `text`. Adding an id again replaces its rectangle and text.
    void AddRectTool(QWidget* window, int id, const QRect& rect, TextFunction text);

    // The text the tool of a control would show now; empty when the control has no tool.
    QString TextFor(const QWidget* control) const;
    // Shows the new text of a control's tool if its tip is up right now.
    void UpdateTipText(QWidget* control);
    // True while a tip is up.
    bool IsShowing() const { return showing >= 0; }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void timerEvent(QTimerEvent* event) override;

  private:
    struct Tool {
        QPointer<QWidget> window;
        int id = -1;  // -1 for a control tool, else the caller's id of a rectangle tool
        QRect rect;   // empty for a control tool: the whole control
        TextFunction text;
    };

    void Watch(QWidget* window);
    // Index of the tool under a point of a watched window, -1 for none.
    int ToolAt(const QObject* window, const QPoint& local) const;
    int ControlTool(const QWidget* control) const;
    void Arm(int tool, const QPoint& global);
    void Show();
    void Hide();
    QRect ToolRect(const Tool& tool) const;

    std::vector<Tool> tools;
    std::vector<QPointer<QWidget>> watched;
    int autoPopMs = kDefaultAutoPopMs;
    int initialMs = kDefaultInitialMs;
    QBasicTimer initialTimer;
    int pending = -1;
    int showing = -1;
    QPoint tipGlobal;
};

}  // namespace arvestra
