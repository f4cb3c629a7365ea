// An OSC message to the frame on the bus: a set sent over UDP on loopback to the show-control
// server, applied on the thread that owns the document (this one, woken by the receiving
// thread), sent by the synchronisation worker, and timed until arvestra-devsim reports the
// write frame, with the simulator emulating the wire time of the line. The worker polls the
// status between writes, so a message waits at most for the poll under way plus its own write.
//
// Each iteration starts at a random moment of the worker's cycle. Reported per baud rate: the
// median, 95th percentile and largest time to the simulator's receipt of the frame, and the
// same 95th percentile with the write's own time on the wire added (the frame is whole on a
// real line only then; a pseudo-terminal delivers it at once).
#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <random>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "app/AppState.h"
#include "app/ErrorReporter.h"
#include "app/SystemClock.h"
#include "document/CQ7310Doc.h"
#include "integration/DevsimChild.h"
#include "link/DeviceCommands.h"
#include "osc/OscPacket.h"
#include "osc/OscServer.h"
#include "support/ScriptedUi.h"

namespace {

using namespace arvestra;
using Clock = std::chrono::steady_clock;

// Reads the simulator's log lines from a pipe as they come.
class LogPipe {
  public:
    explicit LogPipe(const std::string& path) : path_(path) {
        ::mkfifo(path.c_str(), 0600);
        fd_ = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    }
    ~LogPipe() {
        if (fd_ >= 0) ::close(fd_);
        ::unlink(path_.c_str());
    }
    int Fd() const { return fd_; }
    // Complete lines read so far (the rest is kept for the next call).
    std::vector<std::string> Lines() {
        char buffer[4096];
        ssize_t n = 0;
        while ((n = ::read(fd_, buffer, sizeof buffer)) > 0) pending_.append(buffer, n);
        std::vector<std::string> lines;
        std::size_t end = 0;
        while ((end = pending_.find('\n')) != std::string::npos) {
            lines.push_back(pending_.substr(0, end));
            pending_.erase(0, end + 1);
        }
        return lines;
    }

  private:
    std::string path_;
    int fd_ = -1;
    std::string pending_;
};

// The wire bytes of a logged write of the edit buffer ("<t> rx addr 1 cmd 160: FB ..."), 0
// for any other line.
int WriteFrameBytes(const std::string& line) {
    const std::size_t at = line.find("cmd 160:");
    if (line.find(" rx ") == std::string::npos || at == std::string::npos) return 0;
    std::istringstream hex(line.substr(at + 8));
    std::string byte;
    int count = 0;
    while (hex >> byte) ++count;
    return count;
}

double Percentile(std::vector<double> samples, double fraction) {
    std::sort(samples.begin(), samples.end());
    const auto at = static_cast<std::size_t>(fraction * static_cast<double>(samples.size() - 1));
    return samples[at];
}

void BM_OscSetToBus(benchmark::State& state) {
    const int baud = static_cast<int>(state.range(0));
    const std::string fifo = std::string(std::getenv("TMPDIR") ? std::getenv("TMPDIR") : "/tmp") +
                             "/arvestra-osc-" + std::to_string(::getpid()) + ".log";
    LogPipe log(fifo);
    devsim_it::DevsimChild sim({"--devices", "1", "--baud", std::to_string(baud), "--log", "-"},
                               fifo);
    if (sim.FirstLine().empty()) {
        state.SkipWithError("arvestra-devsim did not start");
        return;
    }
    AppState app;
    testing::ScriptedUi ui;
    SystemClock clock;
    ErrorReporter reporter{app, ui};
    CQ7310Doc doc{reporter, clock};
    doc.Bus().Link().Ports().SetPath(2, sim.FirstLine());
    doc.Bus().Link().SetPortNumber(2);
    doc.Bus().Link().SetBaudRate(baud);
    doc.AddDevice(1);
    doc.SetEditingStarted(true);
    doc.SelectDevice(1);
    app.SetActiveDocument(&doc.Bus());
    app.SetOnline(1);
    doc.Devices().SetPresent(1, true);
    if (!doc.Bus().Link().IsOpen() || doc.Bus().StartWorker() != 1) {
        state.SkipWithError("the document did not go online");
        return;
    }
    doc.Bus().EnableSync();

    const int wake = ::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
    osc::OscServer server(doc);
    server.SetWake([wake] {
        const std::uint64_t one = 1;
        [[maybe_unused]] const ssize_t n = ::write(wake, &one, sizeof one);
    });
    osc::OscSocket sender;
    if (!server.Start(osc::OscPeer::V4(127, 0, 0, 1, 0), osc::OscAllowList{}) ||
        !sender.Open(osc::OscPeer::V4(127, 0, 0, 1, 0))) {
        state.SkipWithError("no UDP socket on loopback");
        return;
    }

    std::mt19937 random(7);
    std::uniform_int_distribution<int> phaseUs(0, 25000);
    std::vector<double> samples;
    int writeBytes = 0;
    int code = 180;
    for (auto _ : state) {
        std::this_thread::sleep_for(std::chrono::microseconds(phaseUs(random)));
        log.Lines();  // what came before this message
        code = code == 180 ? 181 : 180;
        const std::vector<std::uint8_t> message =
            osc::EncodeOscMessage({"/arvestra/1/ch1.input.level", {osc::OscArg::Int(code)}});
        const Clock::time_point start = Clock::now();
        sender.Send(server.Local(), message);
        bool seen = false;
        while (!seen && Clock::now() - start < std::chrono::seconds(2)) {
            pollfd fds[2] = {{wake, POLLIN, 0}, {log.Fd(), POLLIN, 0}};
            ::poll(fds, 2, 100);
            std::uint64_t count = 0;
            if (::read(wake, &count, sizeof count) > 0) server.Pump();
            for (const std::string& line : log.Lines()) {
                const int bytes = WriteFrameBytes(line);
                if (bytes == 0) continue;
                writeBytes = bytes;
                seen = true;
            }
        }
        const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
        if (!seen) {
            state.SkipWithError("no write frame reached the simulator");
            break;
        }
        state.SetIterationTime(seconds);
        samples.push_back(seconds * 1e3);
    }
    ::close(wake);
    server.Stop();
    doc.Bus().WaitWorkerIdle();
    app.SetOnline(0);
    app.SetActiveDocument(nullptr);
    if (samples.empty()) return;
    const double writeWireMs = writeBytes * 10.0 * 1e3 / baud;
    state.counters["p50_ms"] = Percentile(samples, 0.50);
    state.counters["p95_ms"] = Percentile(samples, 0.95);
    state.counters["max_ms"] = Percentile(samples, 1.0);
    state.counters["write_wire_ms"] = writeWireMs;
    state.counters["p95_on_wire_ms"] = Percentile(samples, 0.95) + writeWireMs;
    state.counters["poll_wire_ms"] = (6 + 23) * 10.0 * 1e3 / baud;
}

BENCHMARK(BM_OscSetToBus)
    ->ArgName("baud")
    ->Arg(38400)
    ->Arg(19200)
    ->UseManualTime()
    ->Iterations(300)
    ->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
