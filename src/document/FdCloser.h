// Small helpers for raw file descriptors shared by the working copy and the atomic save: a
// descriptor closed on every way out of a scope, and a write that does not stop half-way.
#pragma once

#include <cstddef>
#include <cstdint>

namespace arvestra {

class FdCloser {
  public:
    // Closes fd (when not negative) at the end of the scope.
    explicit FdCloser(int fd) : fd_(fd) {}
    ~FdCloser();
    FdCloser(const FdCloser&) = delete;
    FdCloser& operator=(const FdCloser&) = delete;

  private:
    int fd_;
};

// Writes all `count` bytes to fd, again after a short write or an interrupt; 0 or errno.
int WriteAll(int fd, const uint8_t* bytes, std::size_t count);

}  // namespace arvestra
