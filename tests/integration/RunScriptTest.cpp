// The script that runs a program next to a simulated bus stops the simulator on every way out.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

namespace arvestra {
namespace {

// The children of a process, as the kernel lists them.
std::vector<pid_t> ChildrenOf(pid_t pid) {
    const std::string path =
        "/proc/" + std::to_string(pid) + "/task/" + std::to_string(pid) + "/children";
    std::ifstream in(path);
    std::vector<pid_t> children;
    for (pid_t child = 0; in >> child;) children.push_back(child);
    return children;
}

bool Exists(pid_t pid) {
    return ::kill(pid, 0) == 0 || errno != ESRCH;
}

class RunScript : public ::testing::TestWithParam<int> {};

TEST_P(RunScript, StopsTheSimulatorAndTheProgramWhenItIsSignalled) {
    int out[2];
    ASSERT_EQ(::pipe2(out, O_CLOEXEC), 0);
    const std::string script = std::string(ARVESTRA_SCRIPTS_DIR) + "/run-with-simulator.sh";
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::dup2(out[1], STDOUT_FILENO);
        // A shell cannot trap a signal it was started with ignored (SIGINT in a background job).
        ::signal(GetParam(), SIG_DFL);
        ::execl(script.c_str(), script.c_str(), ARVESTRA_DEVSIM_PATH, "1", "19200", "", "--",
                "/bin/sleep", "300", static_cast<char*>(nullptr));
        ::_exit(127);
    }
    ::close(out[1]);
    // The script says where the bus is once the simulator runs; then the program is started.
    std::string said;
    char c = 0;
    while (said.find('\n') == std::string::npos && ::read(out[0], &c, 1) == 1) said += c;
    ::close(out[0]);
    ASSERT_NE(said.find("Simulated devices 1 on "), std::string::npos) << said;
    std::vector<pid_t> children;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while ((children = ChildrenOf(pid)).size() < 2 && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    ASSERT_EQ(children.size(), 2u);

    ::kill(pid, GetParam());
    int status = 0;
    ASSERT_EQ(::waitpid(pid, &status, 0), pid);
    EXPECT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 128 + GetParam());
    for (const pid_t child : children) EXPECT_FALSE(Exists(child)) << child;
}

INSTANTIATE_TEST_SUITE_P(Signals, RunScript, ::testing::Values(SIGTERM, SIGINT, SIGHUP),
                         [](const auto& info) { return std::string(sigabbrev_np(info.param)); });

}  // namespace
}  // namespace arvestra
