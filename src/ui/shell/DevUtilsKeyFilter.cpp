#include "ui/shell/DevUtilsKeyFilter.h"

#include <QKeyEvent>
#include <QWidget>

#include <utility>

namespace arvestra {

CDevUtilsKeyFilter::CDevUtilsKeyFilter(std::function<void()> triggerAction, QObject* parent)
    : QObject(parent), trigger(std::move(triggerAction)) {}

int CDevUtilsKeyFilter::CharacterCode(const QKeyEvent& event) {
    const Qt::KeyboardModifiers mods = event.modifiers();
    const int key = event.key();
    if ((mods & Qt::ControlModifier) && !(mods & Qt::AltModifier) && key >= Qt::Key_A &&
        key <= Qt::Key_Z) {
        return key - Qt::Key_A + 1;
    }
    const QString text = event.text();
    if (text.isEmpty()) {
        return -1;
    }
    return text.at(0).unicode();
}

bool CDevUtilsKeyFilter::OnCharacter(int code) {
    const bool complete = code == kCtrlP && lastCode == kCtrlK;
    lastCode = code;
    return complete;
}

bool CDevUtilsKeyFilter::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyRelease) {
        pressInFlight = {};
        return false;
    }
    // Only presses on widgets: the platform's window object sees the same press first and hands
    // it on to the focus widget.
    if (event->type() != QEvent::KeyPress || !watched->isWidgetType()) {
        return false;
    }
    const auto* keyEvent = static_cast<QKeyEvent*>(event);
    const PressIdentity identity{event, keyEvent->key(), keyEvent->modifiers().toInt(),
                                 keyEvent->timestamp()};
    if (identity == pressInFlight) {
        return false;
    }
    pressInFlight = identity;
    const int code = CharacterCode(*keyEvent);
    if (code < 0) {
        return false;
    }
    if (!OnCharacter(code)) {
        return false;
    }
    if (trigger) {
        trigger();
    }
    return true;
}

}  // namespace arvestra
