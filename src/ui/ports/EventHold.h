#pragma once

#include <QEvent>
#include <QObject>
#include <QPointer>
#include <QSet>

#include <memory>
#include <utility>
#include <vector>

class QWidget;

namespace arvestra {

// Holds back the events that would let the rest of the application run while a question from
// the worker thread is on screen: user input and timer ticks aimed anywhere but at the question's
// own box, and the extra event types the owner names (its posted-command wake-ups). Held events
// are copied and swallowed; Release posts the copies again in the order they arrived, so they
// run after the hold, in order. Painting, layout and the box's own events pass.
class CEventHold : public QObject {
    Q_OBJECT
  public:
    explicit CEventHold(QObject* parent = nullptr);
    ~CEventHold() override;

    // Also hold events of this type sent to any receiver outside the box.
    void HoldType(QEvent::Type type);

    // Starts holding (nested calls count); events for `allowed` and its children still pass.
    void Begin(QWidget* allowed);
    // Ends one level; at the outermost level every held event is posted again, oldest first.
    void End();
    // True while at least one Begin is open.
    bool IsHolding() const { return depth > 0; }
    // Number of events held back so far in this hold.
    int HeldCount() const { return static_cast<int>(held.size()); }

    // True for the user-input events a hold keeps back when aimed outside the allowed widget.
    static bool IsInputEvent(QEvent::Type type);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    bool IsAllowed(QObject* receiver) const;
    bool IsDuplicateTimer(QObject* receiver, QEvent* event) const;
    static bool IsApplicationTimer(QObject* receiver);

    struct HeldEvent {
        QPointer<QObject> receiver;
        std::unique_ptr<QEvent> event;
    };

    int depth = 0;
    std::vector<QPointer<QWidget>> allowedStack;
    std::vector<HeldEvent> held;
    QSet<int> extraTypes;
};

}  // namespace arvestra
