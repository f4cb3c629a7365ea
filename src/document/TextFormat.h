// printf-style formatting into a std::string, for the messages the document shows.
#pragma once

#include <string>

namespace arvestra {

// The text of `format` filled with the arguments, whatever its length.
std::string FormatText(const char* format, ...) __attribute__((format(printf, 1, 2)));

}  // namespace arvestra
