#include "tune/TextFileReader.h"

#include <filesystem>
#include <fstream>
#include <iterator>
#include <system_error>

namespace arvestra {

namespace {

std::string MegabytesText(std::uintmax_t bytes) {
    return std::to_string((bytes + 1024 * 1024 - 1) / (1024 * 1024)) + " MB";
}

}  // namespace

TextFileResult ReadTuneTextFile(const std::string& path, std::uintmax_t maxBytes) {
    std::error_code code;
    if (!std::filesystem::is_regular_file(path, code)) {
        return {{}, path + ": not a readable file"};
    }
    const std::uintmax_t size = std::filesystem::file_size(path, code);
    if (code) return {{}, path + ": " + code.message()};
    if (size > maxBytes) {
        return {{},
                path + ": the file has " + MegabytesText(size) + "; a filter list or measurement " +
                    "has at most " + MegabytesText(maxBytes) + ", so it is not read"};
    }
    std::ifstream in(path, std::ios::binary);
    if (!in) return {{}, path + ": cannot be opened"};
    std::string text;
    text.reserve(static_cast<std::size_t>(size));
    // Read at most one byte more than allowed, so a file that grew meanwhile is still refused.
    std::istreambuf_iterator<char> it(in), end;
    for (; it != end && text.size() <= maxBytes; ++it) text.push_back(*it);
    if (text.size() > maxBytes) return {{}, path + ": the file grew beyond the limit while read"};
    if (in.bad()) return {{}, path + ": read error"};
    return {std::move(text), {}};
}

}  // namespace arvestra
