#include "model/Latin1.h"

#include <cstddef>

namespace arvestra {
namespace {

// Length of a UTF-8 sequence from its lead byte, or 0 for a byte that cannot start one.
std::size_t SequenceLength(unsigned char lead) {
    if (lead < 0x80) return 1;
    if (lead >= 0xC2 && lead <= 0xDF) return 2;
    if (lead >= 0xE0 && lead <= 0xEF) return 3;
    if (lead >= 0xF0 && lead <= 0xF4) return 4;
    return 0;
}

// Decodes the well-formed sequence at text[pos] or returns false; overlong forms, surrogates and
// code points above U+10FFFF are not well formed.
bool DecodeAt(std::string_view text, std::size_t pos, std::size_t& length, char32_t& codePoint) {
    const auto lead = static_cast<unsigned char>(text[pos]);
    length = SequenceLength(lead);
    if (length == 0 || pos + length > text.size()) return false;
    if (length == 1) {
        codePoint = lead;
        return true;
    }
    codePoint = lead & (0x7F >> length);
    for (std::size_t i = 1; i < length; ++i) {
        const auto next = static_cast<unsigned char>(text[pos + i]);
        if ((next & 0xC0) != 0x80) return false;
        codePoint = (codePoint << 6) | (next & 0x3F);
    }
    constexpr char32_t kSmallest[] = {0, 0, 0x80, 0x800, 0x10000};
    if (codePoint < kSmallest[length] || codePoint > 0x10FFFF) return false;
    return codePoint < 0xD800 || codePoint > 0xDFFF;
}

}  // namespace

std::string Latin1ToUtf8(std::string_view latin1) {
    std::string out;
    out.reserve(latin1.size() * 2);
    for (const char c : latin1) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x80) {
            out.push_back(c);
        } else {
            out.push_back(static_cast<char>(0xC0 | (byte >> 6)));
            out.push_back(static_cast<char>(0x80 | (byte & 0x3F)));
        }
    }
    return out;
}

std::string Utf8ToLatin1(std::string_view utf8) {
    std::string out;
    out.reserve(utf8.size());
    std::size_t pos = 0;
    while (pos < utf8.size()) {
        std::size_t length = 0;
        char32_t codePoint = 0;
        if (!DecodeAt(utf8, pos, length, codePoint)) {
            out.push_back('?');  // one '?' per byte that is not part of a well-formed sequence
            ++pos;
            continue;
        }
        out.push_back(codePoint <= 0xFF ? static_cast<char>(codePoint) : '?');
        pos += length;
    }
    return out;
}

}  // namespace arvestra
