// A program killed in the middle of an exchange leaves its request's reply queued on the
// simulator's terminal, and the terminal's exclusive flag set: the next program on the bus must
// still work.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <thread>
#include <vector>

#include "integration/CliHarness.h"
#include "link/DeviceCommands.h"
#include "link/FrameCodec.h"

namespace arvestra::cli_it {
namespace {

// Opens the terminal as the link does, sends `frame`, waits until the reply starts to arrive
// and kills itself; returns its wait status.
int RunKilledClient(const std::string& path, const std::vector<std::uint8_t>& frame) {
    const pid_t pid = ::fork();
    if (pid == 0) {
        const int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
        if (fd < 0 || ::flock(fd, LOCK_EX | LOCK_NB) != 0) ::_exit(2);
        ::ioctl(fd, TIOCEXCL);
        if (::write(fd, frame.data(), frame.size()) != static_cast<ssize_t>(frame.size()))
            ::_exit(3);
        pollfd entry{fd, POLLIN, 0};
        if (::poll(&entry, 1, 10000) != 1) ::_exit(4);
        ::kill(::getpid(), SIGKILL);
        ::_exit(5);
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    return status;
}

// The terminal's exclusive flag, seen through a descriptor of our own (root may open it).
bool ExclusiveFlagSet(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    int exclusive = 0;
    if (fd >= 0) ::ioctl(fd, TIOCGEXCL, &exclusive);
    if (fd >= 0) ::close(fd);
    return exclusive != 0;
}

TEST(BusAfterKill, ScanWorksAfterAClientDiedWaitingForItsReply) {
    TestDirectory dir;
    SimulatedBus bus(dir, "1,3");
    ASSERT_FALSE(bus.Port().empty());
    std::uint8_t frame[kStagingSize];
    const int size = BuildRequestFrame(1, CMD_READ_DEVICE_INFO, nullptr, 0, frame);
    const int status = RunKilledClient(bus.Port(), std::vector<std::uint8_t>(frame, frame + size));
    ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL) << status;

    // The simulator notices that the holder of the flag has gone (it looks every 100 ms).
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (ExclusiveFlagSet(bus.Port()) && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    EXPECT_FALSE(ExclusiveFlagSet(bus.Port()));

    const CliRun run = RunCli({"scan", "--port", bus.Port()});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out,
              "1\tDevice 1\tapplication 1\trevision 1.3\tbase 1.0\n"
              "3\tDevice 3\tapplication 1\trevision 1.3\tbase 1.0\n");
}

}  // namespace
}  // namespace arvestra::cli_it
