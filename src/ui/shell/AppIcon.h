#pragma once

#include <QIcon>

namespace arvestra {

// Where the program's scalable icon (the same file the desktop entry and the file type use)
// sits among the compiled-in resources.
inline constexpr char kAppIconResource[] = ":/icons/arvestra.svg";

// The program icon: the scalable drawing of a rack processor's front panel with two level
// meters, rendered at the usual sizes. Null when the drawing cannot be read.
QIcon MakeAppIcon();

}  // namespace arvestra
