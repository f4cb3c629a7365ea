#pragma once

#include <cstdint>
#include <string>

namespace arvestra {

// A text file read whole, or why not.
struct TextFileResult {
    std::string text;
    std::string error;  // empty on success

    bool Ok() const { return error.empty(); }
};

// Filter lists and measurements are a few hundred kilobytes at most; anything far larger is not
// one of them and is refused before it is read.
inline constexpr std::uintmax_t kMaxTuneFileBytes = 8u * 1024u * 1024u;

// Reads a text file of at most maxBytes; a larger file is refused by its size, unread.
TextFileResult ReadTuneTextFile(const std::string& path,
                                std::uintmax_t maxBytes = kMaxTuneFileBytes);

}  // namespace arvestra
