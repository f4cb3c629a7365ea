// Shows the wait cursor for the length of a scope, so that every way out of a long operation
// (success, failure, early return) puts the normal cursor back.
#pragma once

#include "app/UiPort.h"

namespace arvestra {

class WaitCursor {
  public:
    explicit WaitCursor(UiPort& ui) : ui_(ui) { ui_.SetWaitCursor(true); }
    ~WaitCursor() { ui_.SetWaitCursor(false); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;

  private:
    UiPort& ui_;
};

}  // namespace arvestra
