#include "ui/pages/ToolTipControl.h"

#include <QEvent>
#include <QHelpEvent>
#include <QHoverEvent>
#include <QTimerEvent>
#include <QToolTip>
#include <QWidget>

#include <algorithm>

namespace arvestra {

CToolTipControl::CToolTipControl(QObject* parent) : QObject(parent) {}

void CToolTipControl::SetDelays(int autoPop, int initial) {
    autoPopMs = std::max(0, autoPop);
    initialMs = std::max(0, initial);
}

void CToolTipControl::Watch(QWidget* window) {
    const bool known = std::any_of(watched.begin(), watched.end(),
                                   [window](const QPointer<QWidget>& w) { return w == window; });
    if (known) return;
    watched.emplace_back(window);
    // Hover events reach the filter without turning on mouse tracking, which would change how
    // the control itself sees mouse moves.
    window->setAttribute(Qt::WA_Hover);
    window->installEventFilter(this);
}

void CToolTipControl::AddTool(QWidget* control, TextFunction text) {
    if (control == nullptr) return;
    const int existing = ControlTool(control);
    if (existing >= 0) {
        tools[static_cast<std::size_t>(existing)].text = std::move(text);
        return;
    }
    tools.push_back({control, -1, QRect(), std::move(text)});
    Watch(control);
}

void CToolTipControl::AddRectTool(QWidget* window, int id, const QRect& rect, TextFunction text) {
    if (window == nullptr) return;
    for (Tool& tool : tools) {
        if (tool.window == window && tool.id == id) {
            tool.rect = rect;
            tool.text = std::move(text);
            return;
        }
    }
    tools.push_back({window, id, rect, std::move(text)});
    Watch(window);
}

int CToolTipControl::ControlTool(const QWidget* control) const {
    for (std::size_t i = 0; i < tools.size(); ++i) {
        if (tools[i].window == control && tools[i].id < 0) return static_cast<int>(i);
    }
    return -1;
}

QString CToolTipControl::TextFor(const QWidget* control) const {
    const int index = ControlTool(control);
    if (index < 0) return {};
    const Tool& tool = tools[static_cast<std::size_t>(index)];
    return tool.text ? tool.text() : QString();
}

QRect CToolTipControl::ToolRect(const Tool& tool) const {
    if (tool.id >= 0) return tool.rect;
    return tool.window != nullptr ? tool.window->rect() : QRect();
}

int CToolTipControl::ToolAt(const QObject* window, const QPoint& local) const {
    for (std::size_t i = 0; i < tools.size(); ++i) {
        const Tool& tool = tools[i];
        if (tool.window != window) continue;
        if (ToolRect(tool).contains(local)) return static_cast<int>(i);
    }
    return -1;
}

void CToolTipControl::Arm(int tool, const QPoint& global) {
    pending = tool;
    tipGlobal = global;
    initialTimer.start(initialMs, this);
}

void CToolTipControl::Show() {
    initialTimer.stop();
    if (pending < 0 || pending >= static_cast<int>(tools.size())) return;
    const Tool& tool = tools[static_cast<std::size_t>(pending)];
    if (tool.window == nullptr || !tool.window->isVisible() || !tool.text) return;
    const QString text = tool.text();
    if (text.isEmpty()) return;
    showing = pending;
    QToolTip::showText(tipGlobal, text, tool.window, ToolRect(tool), autoPopMs);
}

void CToolTipControl::Hide() {
    initialTimer.stop();
    pending = -1;
    if (showing < 0) return;
    showing = -1;
    QToolTip::hideText();
}

void CToolTipControl::UpdateTipText(QWidget* control) {
    const int index = ControlTool(control);
    if (index < 0 || index != showing || !QToolTip::isVisible()) return;
    const Tool& tool = tools[static_cast<std::size_t>(index)];
    const QString text = tool.text ? tool.text() : QString();
    if (text.isEmpty()) {
        Hide();
        return;
    }
    QToolTip::showText(tipGlobal, text, tool.window, ToolRect(tool), autoPopMs);
}

void CToolTipControl::timerEvent(QTimerEvent* event) {
    if (event->timerId() == initialTimer.timerId()) {
        Show();
        return;
    }
    QObject::timerEvent(event);
}

bool CToolTipControl::eventFilter(QObject* object, QEvent* event) {
    switch (event->type()) {
        case QEvent::HoverEnter:
        case QEvent::HoverMove: {
            const auto* hover = static_cast<QHoverEvent*>(event);
            const QPoint local = hover->position().toPoint();
            const int tool = ToolAt(object, local);
            if (tool == showing && tool >= 0) break;  // the tip stays while the pointer is on it
            if (showing >= 0) Hide();
            if (tool < 0) {
                Hide();
                break;
            }
            auto* widget = static_cast<QWidget*>(object);
            Arm(tool, widget->mapToGlobal(local));
            break;
        }
        case QEvent::HoverLeave:
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonDblClick:
        case QEvent::Hide:
            if (pending >= 0 || showing >= 0) {
                const int tool = showing >= 0 ? showing : pending;
                if (tools[static_cast<std::size_t>(tool)].window == object) Hide();
            }
            break;
        case QEvent::ToolTip: {
            // The tip of a tool shows on this control's own delay, not on the platform's.
            const auto* help = static_cast<QHelpEvent*>(event);
            if (ToolAt(object, help->pos()) >= 0) return true;
            break;
        }
        default:
            break;
    }
    return QObject::eventFilter(object, event);
}

}  // namespace arvestra
