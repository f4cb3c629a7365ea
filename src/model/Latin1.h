#pragma once

#include <string>
#include <string_view>

namespace arvestra {

// Converts single-byte Latin-1 text (as names are stored) to UTF-8.
std::string Latin1ToUtf8(std::string_view latin1);

// Converts UTF-8 to Latin-1: a character beyond U+00FF becomes '?', and so does every byte that
// is not part of a well-formed UTF-8 sequence (overlong forms and surrogates included).
std::string Utf8ToLatin1(std::string_view utf8);

}  // namespace arvestra
