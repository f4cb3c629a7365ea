// Asks the user one modal question with the application's title, through the user-interface
// port, for every question the document puts.
#pragma once

#include <string>

#include "app/UiPort.h"

namespace arvestra {

// The button chosen for `text` with these buttons, icon and owner.
UiAnswer AskQuestion(UiPort& ui, const std::string& text, ButtonSet buttons,
                     IconKind icon = IconKind::Question, BoxOwner owner = BoxOwner::MainWindow);

}  // namespace arvestra
