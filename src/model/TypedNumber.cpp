#include "model/TypedNumber.h"

#include <charconv>

namespace arvestra {

namespace {

// A number too large or too small for a double: the nearest value that is.
double OutOfRangeValue(std::string_view number) {
    const bool tiny =
        number.find("e-") != std::string_view::npos || number.find("E-") != std::string_view::npos;
    if (tiny) return 0.0;
    return number.starts_with('-') ? -1e308 : 1e308;
}

}  // namespace

double ParseLeadingNumber(std::string_view text) {
    std::size_t start = 0;
    while (start < text.size() && (text[start] == ' ' || text[start] == '\t')) ++start;
    // from_chars takes no '+' sign; a typed "+250" still means 250.
    if (start < text.size() && text[start] == '+') ++start;
    const char* first = text.data() + start;
    const char* last = text.data() + text.size();
    double value = 0.0;
    // Only plain decimal text counts; from_chars never consults the locale.
    const auto [end, error] = std::from_chars(first, last, value, std::chars_format::general);
    if (error == std::errc::result_out_of_range) return OutOfRangeValue({first, end});
    if (error != std::errc{} || end == first) return 0.0;
    return value;
}

}  // namespace arvestra
