#pragma once

#include <QString>

namespace arvestra {

// Reads a number typed into a page's value field: leading blanks are skipped and the longest
// decimal prefix is read in the C locale whatever the user's locale, so "12.5 ms" reads 12.5;
// text with no number in front reads as 0. "inf" and "nan" come through as such: the value's
// own limits decide what they store.
double ParseTypedNumber(const QString& text);

}  // namespace arvestra
