#pragma once

#include <locale.h>

namespace arvestra {

// While it lives, the calling thread formats and reads numbers the C way ("." as the decimal
// point, no grouping), whatever the process-wide locale says. A GUI toolkit sets the C
// library's locale from the desktop (a German desktop writes "2,5"), and the texts the system
// shows, parses and writes must not change with it. Only this thread is affected; other threads
// keep their locale.
class DotDecimalScope {
  public:
    DotDecimalScope();
    ~DotDecimalScope();
    DotDecimalScope(const DotDecimalScope&) = delete;
    DotDecimalScope& operator=(const DotDecimalScope&) = delete;

  private:
    locale_t previous_ = nullptr;
};

}  // namespace arvestra
