#pragma once

#include <QIcon>

namespace arvestra {

// The program icon, drawn in code at the usual sizes: a rack processor's front panel with two
// level meters.
QIcon MakeAppIcon();

}  // namespace arvestra
