#include "ui/ports/EventHold.h"

#include <QCoreApplication>
#include <QTimerEvent>
#include <QWidget>

namespace arvestra {

CEventHold::CEventHold(QObject* parent) : QObject(parent) {}

CEventHold::~CEventHold() {
    if (depth > 0 && QCoreApplication::instance() != nullptr) {
        QCoreApplication::instance()->removeEventFilter(this);
    }
}

void CEventHold::HoldType(QEvent::Type type) {
    extraTypes.insert(static_cast<int>(type));
}

void CEventHold::Begin(QWidget* allowed) {
    allowedStack.emplace_back(allowed);
    if (depth++ == 0) {
        QCoreApplication::instance()->installEventFilter(this);
    }
}

void CEventHold::End() {
    if (depth == 0) {
        return;
    }
    allowedStack.pop_back();
    if (--depth > 0) {
        return;
    }
    QCoreApplication::instance()->removeEventFilter(this);
    std::vector<HeldEvent> release;
    release.swap(held);
    for (HeldEvent& entry : release) {
        if (entry.receiver) {
            QCoreApplication::postEvent(entry.receiver, entry.event.release());
        }
    }
}

bool CEventHold::IsInputEvent(QEvent::Type type) {
    switch (type) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
        case QEvent::KeyPress:
        case QEvent::KeyRelease:
        case QEvent::Wheel:
        case QEvent::Shortcut:
        case QEvent::ContextMenu:
        case QEvent::TouchBegin:
        case QEvent::TouchUpdate:
        case QEvent::TouchEnd:
        case QEvent::TabletPress:
        case QEvent::TabletRelease:
            return true;
        default:
            return false;
    }
}

bool CEventHold::IsAllowed(QObject* receiver) const {
    if (!receiver->isWidgetType()) {
        // Window-system input reaches widgets through their window object, whose modality check
        // already drops input for windows the box blocks.
        return receiver->isWindowType();
    }
    const QWidget* widget = static_cast<QWidget*>(receiver);
    for (const QPointer<QWidget>& allowed : allowedStack) {
        if (allowed && (widget == allowed || allowed->isAncestorOf(widget))) {
            return true;
        }
    }
    return false;
}

bool CEventHold::IsDuplicateTimer(QObject* receiver, QEvent* event) const {
    const int id = static_cast<QTimerEvent*>(event)->timerId();
    for (const HeldEvent& entry : held) {
        if (entry.receiver == receiver && entry.event->type() == QEvent::Timer &&
            static_cast<QTimerEvent*>(entry.event.get())->timerId() == id) {
            return true;
        }
    }
    return false;
}

bool CEventHold::IsApplicationTimer(QObject* receiver) {
    // Ticks of widgets and of the application's own timers; the toolkit's internal timers
    // (animations, the event dispatcher) keep running so the box itself stays alive.
    return receiver->isWidgetType() || receiver->inherits("QTimer") ||
           qstrcmp(receiver->metaObject()->className(), "QSingleShotTimer") == 0;
}

bool CEventHold::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    if (extraTypes.contains(static_cast<int>(type))) {
        held.push_back({QPointer<QObject>(watched), std::unique_ptr<QEvent>(event->clone())});
        return true;
    }
    const bool timer = type == QEvent::Timer && IsApplicationTimer(watched);
    if (!timer && !IsInputEvent(type)) {
        return false;
    }
    if (IsAllowed(watched)) {
        return false;
    }
    // A repeating timer keeps ticking while held; one tick stands for all of them.
    if (type == QEvent::Timer && IsDuplicateTimer(watched, event)) {
        return true;
    }
    held.push_back({QPointer<QObject>(watched), std::unique_ptr<QEvent>(event->clone())});
    return true;
}

}  // namespace arvestra
