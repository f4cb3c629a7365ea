#include "document/FdCloser.h"

#include <unistd.h>

#include <cerrno>

namespace arvestra {

FdCloser::~FdCloser() {
    if (fd_ >= 0) ::close(fd_);
}

int WriteAll(int fd, const uint8_t* bytes, std::size_t count) {
    while (count > 0) {
        const ssize_t written = ::write(fd, bytes, count);
        if (written < 0) {
            if (errno == EINTR) continue;
            return errno;
        }
        bytes += written;
        count -= static_cast<std::size_t>(written);
    }
    return 0;
}

}  // namespace arvestra
