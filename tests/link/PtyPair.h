#pragma once

#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <string>
#include <thread>
#include <vector>

namespace arvestra::testing {

// A pseudo-terminal pair made for one test: the test plays the device on the master side and
// the code under test opens the slave path like any serial port.
class PtyPair {
  public:
    PtyPair() {
        master_ = ::posix_openpt(O_RDWR | O_NOCTTY);
        if (master_ < 0 || ::grantpt(master_) != 0 || ::unlockpt(master_) != 0) return;
        const char* name = ::ptsname(master_);
        if (name != nullptr) slavePath_ = name;
    }
    ~PtyPair() {
        if (slave_ >= 0) ::close(slave_);
        if (master_ >= 0) ::close(master_);
    }
    PtyPair(const PtyPair&) = delete;
    PtyPair& operator=(const PtyPair&) = delete;

    bool Ok() const { return master_ >= 0 && !slavePath_.empty(); }
    const std::string& SlavePath() const { return slavePath_; }
    int Master() const { return master_; }

    // Writes bytes as the device.
    bool Send(const std::vector<std::uint8_t>& bytes) const {
        std::size_t sent = 0;
        while (sent < bytes.size()) {
            const ssize_t n = ::write(master_, bytes.data() + sent, bytes.size() - sent);
            if (n <= 0) return false;
            sent += static_cast<std::size_t>(n);
        }
        return true;
    }

    // Reads up to `count` bytes as the device, for at most waitMs. While no one has the slave
    // side open the master reports a hang-up; that only means "nothing yet".
    std::vector<std::uint8_t> Receive(std::size_t count, int waitMs = 2000) const {
        std::vector<std::uint8_t> bytes;
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(waitMs);
        while (bytes.size() < count && std::chrono::steady_clock::now() < deadline) {
            pollfd entry{master_, POLLIN, 0};
            if (::poll(&entry, 1, 10) <= 0) continue;
            std::uint8_t chunk[512];
            const std::size_t want = std::min(sizeof chunk, count - bytes.size());
            const ssize_t n = ::read(master_, chunk, want);
            if (n > 0) {
                bytes.insert(bytes.end(), chunk, chunk + n);
            } else {
                std::this_thread::sleep_for(std::chrono::milliseconds(5));
            }
        }
        return bytes;
    }

    // Keeps a descriptor of the slave side in raw mode, as the simulator and a network serial
    // server keep theirs: what the device sends then waits there until someone reads it (and,
    // raw, is not echoed back to the device).
    bool KeepSlaveOpen() {
        slave_ = ::open(slavePath_.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
        termios settings{};
        if (slave_ < 0 || ::tcgetattr(slave_, &settings) != 0) return false;
        ::cfmakeraw(&settings);
        return ::tcsetattr(slave_, TCSANOW, &settings) == 0;
    }

    // Waits until input sent by the device is readable on the slave side (KeepSlaveOpen first);
    // the terminal layer moves it there after the write returns.
    bool WaitQueued(int waitMs = 5000) const {
        pollfd entry{slave_, POLLIN, 0};
        return ::poll(&entry, 1, waitMs) == 1;
    }

  private:
    int master_ = -1;
    int slave_ = -1;
    std::string slavePath_;
};

}  // namespace arvestra::testing
