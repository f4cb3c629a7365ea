// When a value field's focus loss commits what was typed.
#pragma once

#include <QFocusEvent>

namespace arvestra {

// True for a focus loss that ends an edit: a popup (a context menu opened on the field, say)
// only lends the focus, which comes back when it closes.
inline bool FocusLossEndsEditing(const QEvent* event) {
    return event->type() == QEvent::FocusOut &&
           static_cast<const QFocusEvent*>(event)->reason() != Qt::PopupFocusReason;
}

}  // namespace arvestra
