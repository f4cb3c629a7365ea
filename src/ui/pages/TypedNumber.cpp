#include "ui/pages/TypedNumber.h"

#include <charconv>
#include <limits>
#include <string>
#include <string_view>

namespace arvestra {

double ParseTypedNumber(const QString& text) {
    const std::string bytes = text.trimmed().toStdString();
    const char* first = bytes.data();
    const char* last = first + bytes.size();
    // from_chars reads a '-' but not a '+'.
    if (first != last && *first == '+') ++first;
    double value = 0.0;
    const auto result = std::from_chars(first, last, value);
    // Beyond a double from_chars gives no value: a too-large number reads as infinity and a
    // too-small one (negative exponent) as 0.
    if (result.ec == std::errc::result_out_of_range) {
        const std::string_view digits(first, static_cast<std::size_t>(result.ptr - first));
        const std::size_t e = digits.find_first_of("eE");
        if (e != std::string_view::npos && e + 1 < digits.size() && digits[e + 1] == '-') {
            return 0.0;
        }
        const double huge = std::numeric_limits<double>::infinity();
        return digits.front() == '-' ? -huge : huge;
    }
    return result.ec == std::errc{} ? value : 0.0;
}

}  // namespace arvestra
