#pragma once

#include <string_view>

namespace arvestra {

// Reads the number a user typed into a value field: leading blanks are skipped, then the longest
// decimal number at the start is taken ("1000 Hz" is 1000, "1,5" is 1), always with "." as the
// decimal point whatever the desktop's locale. Text that starts with no number reads as 0.
double ParseLeadingNumber(std::string_view text);

}  // namespace arvestra
