// The note kept beside a working copy, so that the copy a crashed or killed editor left behind
// can be offered back at the next start: which file it belongs to, when it last changed, which
// process kept it and whether it held unsaved changes.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace arvestra {

struct RecoveryNote {
    std::string originalPath;  // the Location File the copy came from; empty for a new location
    std::int64_t time = 0;     // when the note was written, seconds since the epoch
    long pid = 0;              // the process that keeps the working copy
    bool modified = false;     // the copy holds changes that were not saved
};

// The note as text: "pid=", "time=", "modified=" lines, then "path=" and the path up to the end
// (a path may hold any byte but NUL, line breaks included).
std::string FormatRecoveryNote(const RecoveryNote& note);

// Reads a note; false when the text is not a complete note.
bool ParseRecoveryNote(std::string_view text, RecoveryNote& note);

}  // namespace arvestra
