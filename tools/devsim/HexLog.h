#pragma once

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <span>
#include <string>
#include <string_view>

namespace arvestra::devsim {

// The simulator's traffic log: one line per request, reply or event, with the time since start.
// Disabled (every call a no-op) until opened.
class CHexLog {
  public:
    CHexLog() = default;
    ~CHexLog();
    CHexLog(const CHexLog&) = delete;
    CHexLog& operator=(const CHexLog&) = delete;

    // Logs to `path` ("-" for standard error); false when the file cannot be opened.
    bool Open(const std::string& path);
    bool Enabled() const { return file_ != nullptr; }

    // One line: "<seconds> <tag> <text>".
    void Line(std::string_view tag, std::string_view text);
    // One line with bytes in hex: "<seconds> <tag> addr <address> cmd <command>: FB 01 ...".
    void Bytes(std::string_view tag, int address, int command, std::span<const std::uint8_t> bytes);

  private:
    std::FILE* file_ = nullptr;
    bool ownsFile_ = false;
    std::chrono::steady_clock::time_point start_ = std::chrono::steady_clock::now();
};

// Bytes as upper-case hex pairs separated by spaces.
std::string HexBytes(std::span<const std::uint8_t> bytes);

}  // namespace arvestra::devsim
