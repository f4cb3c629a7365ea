#include "devsim/ParseNumber.h"

#include <charconv>

namespace arvestra::devsim {

std::optional<int> ParseNumber(std::string_view text, int lo, int hi) {
    int value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc{} || end != text.data() + text.size() || value < lo ||
        value > hi) {
        return std::nullopt;
    }
    return value;
}

}  // namespace arvestra::devsim
