#include "document/RecoveryStore.h"

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <fstream>
#include <iterator>

#include "document/FdCloser.h"

namespace arvestra {

namespace {

constexpr std::size_t kLongestNote = 64 * 1024;

bool ReadSmallFile(const std::string& path, std::string& text) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    text.assign(std::istreambuf_iterator<char>(in), {});
    return text.size() <= kLongestNote;
}

bool EndsWith(const std::string& text, const std::string& tail) {
    return text.size() >= tail.size() &&
           text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

}  // namespace

std::string RecoveryStore::StateDirectory() {
    const char* state = std::getenv("XDG_STATE_HOME");
    if (state != nullptr && state[0] == '/') return std::string(state) + "/arvestra";
    const char* home = std::getenv("HOME");
    if (home != nullptr && home[0] == '/') return std::string(home) + "/.local/state/arvestra";
    return {};
}

int RecoveryStore::EnsureDirectory(const std::string& directory) {
    if (directory.empty()) return ENOENT;
    for (std::size_t slash = directory.find('/', 1);; slash = directory.find('/', slash + 1)) {
        const std::string part = directory.substr(0, slash);
        if (::mkdir(part.c_str(), 0700) != 0 && errno != EEXIST) return errno;
        if (slash == std::string::npos) break;
    }
    struct stat info {};
    if (::stat(directory.c_str(), &info) != 0) return errno;
    return S_ISDIR(info.st_mode) ? 0 : ENOTDIR;
}

int RecoveryStore::WriteNote(const std::string& copyPath, const RecoveryNote& note) {
    // Written beside and renamed over, so a crash while writing never leaves half a note.
    const std::string notePath = NotePathFor(copyPath);
    const std::string newPath = notePath + ".new";
    const int fd =
        ::open(newPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0) return errno;
    const std::string text = FormatRecoveryNote(note);
    int error = 0;
    {
        FdCloser close(fd);
        error = WriteAll(fd, reinterpret_cast<const uint8_t*>(text.data()), text.size());
    }
    if (error == 0 && ::rename(newPath.c_str(), notePath.c_str()) != 0) error = errno;
    if (error != 0) ::unlink(newPath.c_str());
    return error;
}

bool RecoveryStore::ProcessIsRunning(long pid) {
    if (pid <= 0) return false;
    return ::kill(static_cast<pid_t>(pid), 0) == 0 || errno == EPERM;
}

std::vector<LeftOverCopy> RecoveryStore::FindLeftOvers(const std::string& directory) {
    std::vector<LeftOverCopy> found;
    DIR* dir = directory.empty() ? nullptr : ::opendir(directory.c_str());
    if (dir == nullptr) return found;
    const std::string kNoteTail = ".note";
    std::vector<std::string> notes;
    while (const dirent* entry = ::readdir(dir)) {
        const std::string name = entry->d_name;
        if (name.rfind("kvx", 0) == 0 && EndsWith(name, kNoteTail)) notes.push_back(name);
    }
    ::closedir(dir);

    for (const std::string& name : notes) {
        LeftOverCopy left;
        left.notePath = directory + "/" + name;
        left.copyPath = left.notePath.substr(0, left.notePath.size() - kNoteTail.size());
        std::string text;
        if (!ReadSmallFile(left.notePath, text) || !ParseRecoveryNote(text, left.note)) continue;
        if (left.note.pid == static_cast<long>(::getpid()) || ProcessIsRunning(left.note.pid)) {
            continue;  // still in use by its editor
        }
        struct stat info {};
        if (::stat(left.copyPath.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) {
            ::unlink(left.notePath.c_str());
            continue;
        }
        if (!left.note.modified) {
            Discard(left);  // nothing in it that its file does not hold
            continue;
        }
        found.push_back(left);
    }
    std::sort(found.begin(), found.end(), [](const LeftOverCopy& a, const LeftOverCopy& b) {
        return a.note.time != b.note.time ? a.note.time < b.note.time : a.copyPath < b.copyPath;
    });
    return found;
}

void RecoveryStore::Discard(const LeftOverCopy& leftOver) {
    ::unlink(leftOver.copyPath.c_str());
    ::unlink(leftOver.notePath.c_str());
}

}  // namespace arvestra
