#pragma once

#include <optional>
#include <string_view>

namespace arvestra::devsim {

// A whole decimal number in [lo, hi] spelt with nothing else (no sign, no spaces), or nothing.
std::optional<int> ParseNumber(std::string_view text, int lo, int hi);

}  // namespace arvestra::devsim
