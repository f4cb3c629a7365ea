#include "document/LocationFileProbe.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <vector>

#include "document/FdCloser.h"

namespace arvestra {
namespace {

HeaderCheck Unreadable(int error) {
    HeaderCheck check;
    check.verdict = HeaderVerdict::kRefused;
    check.fault.number = kErrCopyToWorking;
    check.fault.systemError = error;
    return check;
}

}  // namespace

HeaderCheck ProbeLocationFile(const std::string& path) {
    // Non-blocking, so a named pipe given in place of a file cannot hang the window.
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) return Unreadable(errno);
    const FdCloser closer(fd);
    struct stat info {};
    if (::fstat(fd, &info) != 0) return Unreadable(errno);
    if (!S_ISREG(info.st_mode)) return Unreadable(EISDIR);

    std::vector<uint8_t> bytes(kLocationSize, 0);
    std::size_t filled = 0;
    while (filled < bytes.size()) {
        const ssize_t n = ::read(fd, bytes.data() + filled, bytes.size() - filled);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return Unreadable(errno);
        if (n == 0) break;
        filled += static_cast<std::size_t>(n);
    }
    const CLocationImage location(CLocationImage::Bytes(bytes.data(), kLocationSize));
    return CheckLocationFile(location, static_cast<std::size_t>(info.st_size));
}

}  // namespace arvestra
