#include "document/AtomicFileWriter.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <random>

#include "document/FdCloser.h"
#include "document/FileFault.h"
#include "document/FileStepFaults.h"

namespace arvestra {

namespace {

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
    target_ = ResolveTarget(destination);
    errno = 0;
    fd_ = destination.empty() ? -1 : CreateBeside(target_, newPath_);
    int error = fd_ < 0 ? (destination.empty() ? ENOENT : errno) : 0;
    error = Planned(kErrSaveCreate, error);
    if (error != 0) Discard();
    return error;
}

int AtomicFileWriter::Commit(std::span<const uint8_t> bytes) {
    if (fd_ < 0) return EBADF;
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
