#include "document/WorkingCopy.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <vector>

#include "document/FdCloser.h"
#include "document/FileStepFaults.h"
#include "document/RecoveryStore.h"

namespace arvestra {

namespace {

// errno of the step's planned failure, or of the call's result when it returned failure.
int StepError(int step, bool failed) {
    if (int planned = FileStepFaults::Take(step)) return planned;
    if (!failed) return 0;
    return errno != 0 ? errno : EIO;
}

// Copies the first kLocationSize bytes of the regular file at source into fd; the source's
// whole length goes to sourceLength. Non-blocking open, so a FIFO given by mistake cannot hang.
int CopySourceInto(const std::string& source, int fd, std::size_t& sourceLength) {
    int in = ::open(source.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (in < 0) return errno;
    FdCloser closeIn(in);
    struct stat info {};
    if (::fstat(in, &info) != 0) return errno;
    if (S_ISDIR(info.st_mode)) return EISDIR;
    if (!S_ISREG(info.st_mode)) return EINVAL;
    sourceLength = static_cast<std::size_t>(info.st_size);

    std::vector<uint8_t> buffer(64 * 1024);
    std::size_t copied = 0;
    while (copied < kLocationSize) {
        std::size_t want = std::min(buffer.size(), kLocationSize - copied);
        ssize_t got = ::read(in, buffer.data(), want);
        if (got < 0) {
            if (errno == EINTR) continue;
            return errno;
        }
        if (got == 0) break;
        if (int error = WriteAll(fd, buffer.data(), static_cast<std::size_t>(got))) return error;
        copied += static_cast<std::size_t>(got);
    }
    return 0;
}

}  // namespace

std::string WorkingCopy::TemporaryDirectory() {
    const char* fromEnvironment = std::getenv("TMPDIR");
    if (fromEnvironment != nullptr && *fromEnvironment != '\0') return fromEnvironment;
    return "/tmp";
}

std::unique_ptr<WorkingCopy> WorkingCopy::Create(const std::string& sourcePath, FileFault& fault,
                                                 const std::string& directoryWanted) {
    fault = {};
    auto fail = [&fault](int number, int error) {
        fault.number = number;
        fault.systemError = error;
        return std::unique_ptr<WorkingCopy>();
    };

    std::string directory = directoryWanted.empty() ? TemporaryDirectory() : directoryWanted;
    struct stat dirInfo {};
    errno = 0;
    bool noDirectory = ::stat(directory.c_str(), &dirInfo) != 0;
    if (!noDirectory && !S_ISDIR(dirInfo.st_mode)) {
        errno = ENOTDIR;
        noDirectory = true;
    }
    if (int error = StepError(kErrTempDirectory, noDirectory))
        return fail(kErrTempDirectory, error);

    std::unique_ptr<WorkingCopy> copy(new WorkingCopy());
    std::string pattern = directory + (directory.back() == '/' ? "" : "/") + "kvxXXXXXX";
    errno = 0;
    int created = ::mkostemp(pattern.data(), O_CLOEXEC);
    if (created >= 0) copy->path_ = pattern;  // from here on the destructor deletes it
    if (int error = StepError(kErrTempName, created < 0)) {
        if (created >= 0) ::close(created);
        return fail(kErrTempName, error);
    }

    int copyError = 0;
    if (!sourcePath.empty()) copyError = CopySourceInto(sourcePath, created, copy->sourceLength_);
    ::close(created);
    errno = copyError;
    if (int error = StepError(kErrCopyToWorking, copyError != 0)) {
        return fail(kErrCopyToWorking, error);
    }

    errno = 0;
    copy->fd_ = ::open(copy->path_.c_str(), O_RDWR | O_CLOEXEC | O_NOFOLLOW);
    if (int error = StepError(kErrOpenWorking, copy->fd_ < 0)) return fail(kErrOpenWorking, error);

    // The disk blocks of the whole copy are taken now. A file merely extended (sparse) gets
    // its blocks at the first write into each page of the shared mapping, and on a full disk
    // that write kills the process with SIGBUS instead of failing here with an error number.
    const int allocated = ::posix_fallocate(copy->fd_, 0, static_cast<off_t>(kLocationSize));
    errno = allocated;  // posix_fallocate returns its error instead of setting errno
    if (int error = StepError(kErrSizeWorking, allocated != 0)) return fail(kErrSizeWorking, error);

    errno = 0;
    void* mapped = ::mmap(nullptr, kLocationSize, PROT_READ | PROT_WRITE, MAP_SHARED, copy->fd_, 0);
    if (mapped != MAP_FAILED) copy->base_ = static_cast<uint8_t*>(mapped);
    if (int error = StepError(kErrMapWorking, mapped == MAP_FAILED)) {
        return fail(kErrMapWorking, error);
    }
    return copy;
}

std::unique_ptr<WorkingCopy> WorkingCopy::InMemory(std::span<const uint8_t> source,
                                                   std::span<uint8_t, kLocationSize> memory) {
    std::unique_ptr<WorkingCopy> copy(new WorkingCopy());
    copy->inMemory_ = true;
    copy->base_ = memory.data();
    copy->sourceLength_ = source.size();
    const std::size_t kept = std::min(source.size(), kLocationSize);
    std::copy_n(source.begin(), kept, memory.begin());
    std::fill(memory.begin() + static_cast<std::ptrdiff_t>(kept), memory.end(), uint8_t{0});
    return copy;
}

std::unique_ptr<WorkingCopy> WorkingCopy::InMemory(std::span<const uint8_t> source) {
    std::vector<uint8_t> memory(kLocationSize);
    std::unique_ptr<WorkingCopy> copy =
        InMemory(source, std::span<uint8_t, kLocationSize>(memory.data(), kLocationSize));
    copy->ownMemory_ = std::move(memory);  // the buffer moves, its bytes stay where base_ points
    return copy;
}

WorkingCopy::~WorkingCopy() {
    if (inMemory_) return;  // no mapping, no file, no note
    if (base_ != nullptr) ::munmap(base_, kLocationSize);
    if (fd_ >= 0) ::close(fd_);
    if (!path_.empty()) {
        ::unlink(path_.c_str());
        ::unlink(RecoveryStore::NotePathFor(path_).c_str());
    }
}

int WorkingCopy::Flush() const {
    if (inMemory_) return StepError(kErrSaveFlush, false);
    errno = 0;
    bool synced = ::msync(base_, kLocationSize, MS_SYNC) == 0;
    return StepError(kErrSaveFlush, !synced);
}

}  // namespace arvestra
