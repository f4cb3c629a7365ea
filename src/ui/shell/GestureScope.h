#pragma once

#include <QString>

#include "ui/shell/EditHistory.h"

namespace arvestra {

// One user gesture (a drag, a typed value, a button such as "Flat" or "Master") for the
// length of a scope: every edit made inside it becomes one undo step. Scopes nest; only the
// outermost one records.
class CGestureScope {
  public:
    CGestureScope(CEditHistory& history, const QString& text) : history(history) {
        history.BeginGesture(text);
    }
    ~CGestureScope() { history.EndGesture(); }
    CGestureScope(const CGestureScope&) = delete;
    CGestureScope& operator=(const CGestureScope&) = delete;

  private:
    CEditHistory& history;
};

}  // namespace arvestra
