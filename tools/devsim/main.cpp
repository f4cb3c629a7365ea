// arvestra-devsim: a simulated bus of devices on a pseudo-terminal or a TCP port.

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include <fcntl.h>
#include <unistd.h>

#include "devsim/HexLog.h"
#include "devsim/Options.h"
#include "devsim/Server.h"
#include "devsim/SimBus.h"

namespace {

int stopWriteFd = -1;

// Async-signal-safe: only wakes the server's poll through the pipe.
extern "C" void OnStopSignal(int) {
    const int savedErrno = errno;
    const char byte = 's';
    [[maybe_unused]] const ssize_t ignored = ::write(stopWriteFd, &byte, 1);
    errno = savedErrno;
}

bool InstallStopSignals(int& readFd) {
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC | O_NONBLOCK) != 0) {
        return false;
    }
    readFd = fds[0];
    stopWriteFd = fds[1];
    struct sigaction action {};
    action.sa_handler = OnStopSignal;
    sigemptyset(&action.sa_mask);
    ::sigaction(SIGINT, &action, nullptr);
    ::sigaction(SIGTERM, &action, nullptr);
    std::signal(SIGPIPE, SIG_IGN);  // a TCP client that left is noticed by read, not by a signal
    return true;
}

std::string AddressList(const std::vector<int>& addresses) {
    std::string text;
    for (const int address : addresses) {
        text += (text.empty() ? "" : ",") + std::to_string(address);
    }
    return text;
}

}  // namespace

int main(int argc, char** argv) {
    using namespace arvestra::devsim;
    const std::vector<std::string_view> args(argv + 1, argv + argc);
    const ParsedOptions parsed = ParseOptions(args);
    if (!parsed.error.empty()) {
        std::fprintf(stderr, "arvestra-devsim: %s\n", parsed.error.c_str());
        return 2;
    }
    const DevsimOptions& options = parsed.options;
    if (options.help) {
        std::fputs(HelpText().c_str(), stdout);
        return 0;
    }
    CHexLog log;
    if (!options.logPath.empty() && !log.Open(options.logPath)) {
        std::fprintf(stderr, "arvestra-devsim: cannot open log file %s\n", options.logPath.c_str());
        return 2;
    }
    int stopFd = -1;
    if (!InstallStopSignals(stopFd)) {
        std::perror("arvestra-devsim: pipe");
        return 1;
    }
    CSimBus bus(options.addresses, options.faults, options.slowReplyDelay);
    log.Line("start", "devices " + AddressList(bus.Addresses()) + ", baud " +
                          (options.baud > 0 ? std::to_string(options.baud) : "not emulated"));
    for (const FaultSpec& fault : options.faults) {
        log.Line("start", "fault " + DescribeFault(fault));
    }
    CServer server(bus, log, ServerSettings{options.baud, options.idleReset}, stopFd);
    return options.tcpPort ? server.ServeTcp(*options.tcpPort, stdout)
                           : server.ServePty(options.linkPath, stdout);
}
