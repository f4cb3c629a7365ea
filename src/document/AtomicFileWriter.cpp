#include "document/AtomicFileWriter.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <random>

#include "document/FdCloser.h"
#include "document/FileFault.h"
#include "document/FileStepFaults.h"

namespace arvestra {

namespace {

// A new file older than this was left by a save that did not finish.
constexpr time_t kLeftoverAgeSeconds = 60;

// The destination with a symbolic link in its last component followed, so that saving
// through a link replaces the file it points to instead of the link itself.
std::string ResolveTarget(const std::string& destination) {
    std::error_code ignored;
    std::filesystem::path path(destination);
    if (std::filesystem::is_symlink(path, ignored)) {
        std::filesystem::path resolved = std::filesystem::weakly_canonical(path, ignored);
        if (!ignored && !resolved.empty()) return resolved.string();
    }
    return destination;
}

std::string DirectoryOf(const std::string& path) {
    std::string::size_type slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    if (slash == 0) return "/";
    return path.substr(0, slash);
}

// Creates a new file with a short random hidden name (".kvx-XXXXXX") beside target: a name
// built from the target's own would overflow NAME_MAX for the longest file names. The mode
// 0666 lets the umask decide the permissions of a file that did not exist before (mkstemp
// would make it 0600).
int CreateBeside(const std::string& target, std::string& newPath) {
    static constexpr char kLetters[] =
        "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    std::random_device entropy;
    std::mt19937 generator(entropy());
    std::uniform_int_distribution<int> pick(0, sizeof(kLetters) - 2);
    std::string prefix = DirectoryOf(target) + "/.kvx-";
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::string candidate = prefix;
        for (int i = 0; i < 6; ++i) candidate += kLetters[pick(generator)];
        int fd = ::open(candidate.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0) {
            newPath = candidate;
            return fd;
        }
        if (errno != EEXIST) return -1;
    }
    errno = EEXIST;
    return -1;
}

// True for a name CreateBeside makes: ".kvx-" and six letters or digits.
bool IsNewFileName(const char* name) {
    constexpr std::size_t kPrefix = 5;
    if (std::strncmp(name, ".kvx-", kPrefix) != 0 || std::strlen(name) != kPrefix + 6) return false;
    for (const char* c = name + kPrefix; *c != '\0'; ++c) {
        if (!std::isalnum(static_cast<unsigned char>(*c))) return false;
    }
    return true;
}

// A save killed between making its new file and renaming it leaves the file behind. Ours are
// removed at the next save into the directory: our own name pattern, our own user, a regular
// file, and older than any save takes, so that another save under way keeps its file.
void RemoveLeftovers(const std::string& directory) {
    DIR* dir = ::opendir(directory.c_str());
    if (dir == nullptr) return;
    const time_t before = ::time(nullptr) - kLeftoverAgeSeconds;
    while (const dirent* entry = ::readdir(dir)) {
        if (!IsNewFileName(entry->d_name)) continue;
        struct stat info {};
        if (::fstatat(::dirfd(dir), entry->d_name, &info, AT_SYMLINK_NOFOLLOW) != 0) continue;
        if (!S_ISREG(info.st_mode) || info.st_uid != ::geteuid() || info.st_mtime >= before)
            continue;
        ::unlinkat(::dirfd(dir), entry->d_name, 0);
    }
    ::closedir(dir);
}

// Gives the new file the mode (and, where allowed, the owner) of the file it replaces.
int CopyPermissions(int fd, const std::string& target) {
    struct stat old {};
    if (::stat(target.c_str(), &old) != 0) return errno == ENOENT ? 0 : errno;
    if (::fchmod(fd, old.st_mode & 07777) != 0) return errno;
    // Only the owner or root may give the file away; anyone else keeps the new file as theirs.
    if (::fchown(fd, old.st_uid, old.st_gid) != 0) {
        // Not an error: the file simply stays owned by the user who saved it.
    }
    return 0;
}

// Makes the rename durable; a directory that cannot be synced does not fail the save.
void SyncDirectory(const std::string& directory) {
    const int dir = ::open(directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir < 0) return;
    FdCloser closeDir(dir);
    ::fsync(dir);
}

// EACCES when the destination exists and its owner has protected it against writing: a save
// must not replace a read-only file (root included, whom the permissions would not stop).
int ProtectedAgainstWriting(const std::string& target) {
    struct stat info {};
    if (::stat(target.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) return 0;
    if ((info.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0) return EACCES;
    if (::access(target.c_str(), W_OK) != 0 && (errno == EACCES || errno == EROFS)) return errno;
    return 0;
}

// Opens an existing regular file for writing in place, for a directory where no new file can
// be made; -1 with errno when that is not possible either.
int OpenForWritingInPlace(const std::string& target) {
    const int fd = ::open(target.c_str(), O_WRONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK);
    if (fd < 0) return -1;
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        const int error = S_ISREG(info.st_mode) ? errno : EINVAL;
        ::close(fd);
        errno = error;
        return -1;
    }
    return fd;
}

int Planned(int step, int error) {
    if (int planned = FileStepFaults::Take(step)) return planned;
    return error;
}

}  // namespace

AtomicFileWriter::~AtomicFileWriter() {
    Discard();
}

void AtomicFileWriter::Discard() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
    if (!newPath_.empty()) ::unlink(newPath_.c_str());
    newPath_.clear();
}

int AtomicFileWriter::Begin(const std::string& destination) {
    Discard();
    inPlace_ = false;
    target_ = ResolveTarget(destination);
    if (destination.empty()) return Planned(kErrSaveCreate, ENOENT);
    if (int error = ProtectedAgainstWriting(target_)) {
        errno = error;
        return Planned(kErrSaveCreate, error);
    }
    RemoveLeftovers(DirectoryOf(target_));
    errno = 0;
    fd_ = CreateBeside(target_, newPath_);
    int error = fd_ < 0 ? errno : 0;
    if (int planned = FileStepFaults::Take(kStepCreateBeside)) {
        Discard();
        error = planned;
    }
    if (error == EACCES || error == EPERM || error == EROFS) {
        // No new file can be made in the directory, but the file itself may be writable: it
        // is then written in place (not atomic, but the only way to save there).
        fd_ = OpenForWritingInPlace(target_);
        inPlace_ = fd_ >= 0;
        if (inPlace_) error = 0;
    }
    error = Planned(kErrSaveCreate, error);
    if (error != 0) Discard();
    return error;
}

int AtomicFileWriter::CommitInPlace(std::span<const uint8_t> bytes) {
    // The file keeps its inode, so its mode, owner and links stay as they were.
    int error = ::lseek(fd_, 0, SEEK_SET) == 0 ? WriteAll(fd_, bytes.data(), bytes.size()) : errno;
    if (error == 0 && ::ftruncate(fd_, static_cast<off_t>(bytes.size())) != 0) error = errno;
    if (error == 0 && ::fsync(fd_) != 0) error = errno;
    error = Planned(kErrSaveCopy, error);
    const int closed = ::close(fd_);
    if (error == 0 && closed != 0) error = errno;
    fd_ = -1;
    return error;
}

int AtomicFileWriter::Commit(std::span<const uint8_t> bytes) {
    if (fd_ < 0) return EBADF;
    if (inPlace_) return CommitInPlace(bytes);
    int error = WriteAll(fd_, bytes.data(), bytes.size());
    if (error == 0) error = CopyPermissions(fd_, target_);
    if (error == 0 && ::fsync(fd_) != 0) error = errno;
    error = Planned(kErrSaveCopy, error);
    int closed = ::close(fd_);
    if (error == 0 && closed != 0) error = errno;
    fd_ = -1;
    if (error == 0 && ::rename(newPath_.c_str(), target_.c_str()) != 0) error = errno;
    if (error != 0) {
        Discard();
        return error;
    }
    newPath_.clear();
    SyncDirectory(DirectoryOf(target_));
    return 0;
}

}  // namespace arvestra
