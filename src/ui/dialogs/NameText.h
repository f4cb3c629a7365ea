#pragma once

#include <QString>

#include <string>

namespace arvestra {

// Device and preset names are stored as single-byte Latin-1 text of at most 32 characters.
// These convert between that form and the text the widgets show; a character with no Latin-1
// form becomes '?'.
QString NameToDisplay(const std::string& latin1);
std::string NameFromDisplay(const QString& text);

// A name shown on a button or radio label: '&' doubled so that it is not taken as a mnemonic.
QString NameAsLabel(const QString& name);

}  // namespace arvestra
