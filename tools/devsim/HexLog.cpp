#include "devsim/HexLog.h"

namespace arvestra::devsim {

CHexLog::~CHexLog() {
    if (ownsFile_ && file_ != nullptr) {
        std::fclose(file_);
    }
}

bool CHexLog::Open(const std::string& path) {
    if (path == "-") {
        file_ = stderr;
        ownsFile_ = false;
        return true;
    }
    file_ = std::fopen(path.c_str(), "a");
    ownsFile_ = file_ != nullptr;
    return file_ != nullptr;
}

void CHexLog::Line(std::string_view tag, std::string_view text) {
    if (file_ == nullptr) {
        return;
    }
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start_).count();
    std::fprintf(file_, "%10.6f %-5.*s %.*s\n", seconds, static_cast<int>(tag.size()), tag.data(),
                 static_cast<int>(text.size()), text.data());
    std::fflush(file_);
}

void CHexLog::Bytes(std::string_view tag, int address, int command,
                    std::span<const std::uint8_t> bytes) {
    if (file_ == nullptr) {
        return;
    }
    Line(tag, "addr " + std::to_string(address) + " cmd " + std::to_string(command) + ": " +
                  HexBytes(bytes));
}

std::string HexBytes(std::span<const std::uint8_t> bytes) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::string text;
    text.reserve(bytes.size() * 3);
    for (const std::uint8_t b : bytes) {
        if (!text.empty()) {
            text += ' ';
        }
        text += kDigits[b >> 4];
        text += kDigits[b & 0x0F];
    }
    return text;
}

}  // namespace arvestra::devsim
