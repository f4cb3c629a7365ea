#include "document/RecoveryNote.h"

#include <charconv>

namespace arvestra {

namespace {

// Reads "key=NUMBER\n" at the front of text and moves past it; false when it is not there.
template <typename Number>
bool TakeNumber(std::string_view& text, std::string_view key, Number& value) {
    if (text.substr(0, key.size()) != key) return false;
    text.remove_prefix(key.size());
    const std::size_t end = text.find('\n');
    if (end == std::string_view::npos) return false;
    const char* first = text.data();
    const auto [next, error] = std::from_chars(first, first + end, value);
    if (error != std::errc() || next != first + end) return false;
    text.remove_prefix(end + 1);
    return true;
}

}  // namespace

std::string FormatRecoveryNote(const RecoveryNote& note) {
    return "pid=" + std::to_string(note.pid) + "\ntime=" + std::to_string(note.time) +
           "\nmodified=" + (note.modified ? "1" : "0") + "\npath=" + note.originalPath;
}

bool ParseRecoveryNote(std::string_view text, RecoveryNote& note) {
    RecoveryNote read;
    int modified = 0;
    if (!TakeNumber(text, "pid=", read.pid) || read.pid <= 0) return false;
    if (!TakeNumber(text, "time=", read.time)) return false;
    if (!TakeNumber(text, "modified=", modified) || (modified != 0 && modified != 1)) return false;
    constexpr std::string_view kPathKey = "path=";
    if (text.substr(0, kPathKey.size()) != kPathKey) return false;
    text.remove_prefix(kPathKey.size());
    if (text.find('\0') != std::string_view::npos) return false;
    read.originalPath = std::string(text);
    read.modified = modified != 0;
    note = read;
    return true;
}

}  // namespace arvestra
