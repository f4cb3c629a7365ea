#include "cli/CliConsole.h"

#include <unistd.h>

namespace arvestra::cli {

CliConsole::CliConsole(std::FILE* stream)
    : stream_(stream), isTerminal_(::isatty(::fileno(stream)) == 1) {}

void CliConsole::Message(const std::string& text) {
    std::lock_guard<std::mutex> lock(mutex_);
    ClearProgressLocked();
    std::fputs(text.c_str(), stream_);
    if (text.empty() || text.back() != '\n') std::fputc('\n', stream_);
    std::fflush(stream_);
}

void CliConsole::Progress(const std::string& text) {
    if (!isTerminal_) return;
    std::lock_guard<std::mutex> lock(mutex_);
    // Carriage return, the text, then erase to the end of the line.
    std::fprintf(stream_, "\r%s\033[K", text.c_str());
    std::fflush(stream_);
    progressShown_ = true;
}

void CliConsole::EndProgress() {
    std::lock_guard<std::mutex> lock(mutex_);
    ClearProgressLocked();
}

void CliConsole::ClearProgressLocked() {
    if (!progressShown_) return;
    std::fputs("\r\033[K", stream_);
    std::fflush(stream_);
    progressShown_ = false;
}

}  // namespace arvestra::cli
