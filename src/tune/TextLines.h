#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace arvestra {

// Splits text into lines (LF, CRLF or CR endings), without the line ends.
std::vector<std::string_view> SplitLines(std::string_view text);

// Splits a line into fields separated by spaces, tabs, commas or semicolons.
std::vector<std::string_view> SplitFields(std::string_view line);

// The number a whole field spells (decimal point, optional exponent), or nothing. NaN and
// infinities are numbers here; callers that need finite values say so with their own message.
std::optional<double> ParseNumberField(std::string_view field);

// Text without leading and trailing spaces and tabs.
std::string_view TrimSpaces(std::string_view text);

// True when text starts with prefix, ignoring ASCII case.
bool StartsWithNoCase(std::string_view text, std::string_view prefix);

// A number with at most `decimals` decimals and no trailing zeros beyond one decimal.
std::string FormatNumber(double value, int decimals);

}  // namespace arvestra
