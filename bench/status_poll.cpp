// One status poll (6-byte request, 23-byte reply) through CSerialLink against arvestra-devsim
// emulating the wire time of the line. Reports the wall time of an exchange as a ratio to the
// time the bytes need on the wire (29 bytes x 10 bits: 7.55 ms at 38400 baud, 15.10 ms at
// 19200), and the host's CPU time per exchange. With baud 0 the simulator answers at once, which
// shows the pseudo-terminal round trip alone.

#include <benchmark/benchmark.h>

#include <ctime>
#include <memory>
#include <string>

#include "app/AppState.h"
#include "app/ErrorReporter.h"
#include "integration/DevsimChild.h"
#include "link/DeviceCommands.h"
#include "link/SerialLink.h"
#include "support/ScriptedUi.h"

namespace {

using arvestra::CMD_READ_STATUS;
using arvestra::kStatusReplyLength;

constexpr double kExchangeBits = (6 + 23) * 10.0;

double ThreadCpuSeconds() {
    timespec now{};
    ::clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

double WallSeconds() {
    timespec now{};
    ::clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

void BM_StatusPoll(benchmark::State& state) {
    const int baud = static_cast<int>(state.range(0));
    std::vector<std::string> options{"--devices", "1"};
    if (baud > 0) {
        options.insert(options.end(), {"--baud", std::to_string(baud)});
    }
    arvestra::devsim_it::DevsimChild sim(options);
    if (sim.FirstLine().empty()) {
        state.SkipWithError("arvestra-devsim did not start");
        return;
    }
    arvestra::AppState app;
    arvestra::testing::ScriptedUi ui;
    arvestra::ErrorReporter reporter{app, ui};
    arvestra::CSerialLink link{reporter};
    app.SetOnline(1);
    link.Ports().SetPath(2, sim.FirstLine());
    link.SetPortNumber(2);
    link.SetBaudRate(baud > 0 ? baud : 38400);
    if (link.OpenPort() != 1) {
        state.SkipWithError("the link could not open the simulator's terminal");
        return;
    }
    std::uint8_t reply[kStatusReplyLength] = {};
    link.Transact(CMD_READ_STATUS, nullptr, 0, reply, kStatusReplyLength);  // warm-up

    const double wallStart = WallSeconds();
    const double cpuStart = ThreadCpuSeconds();
    for (auto _ : state) {
        if (link.Transact(CMD_READ_STATUS, nullptr, 0, reply, kStatusReplyLength) != 1) {
            state.SkipWithError("status poll failed");
            return;
        }
        benchmark::DoNotOptimize(reply);
    }
    const double iterations = static_cast<double>(state.iterations());
    const double wallPerExchange = (WallSeconds() - wallStart) / iterations;
    const double cpuPerExchange = (ThreadCpuSeconds() - cpuStart) / iterations;
    state.counters["host_cpu_us"] = cpuPerExchange * 1e6;
    state.counters["exchange_ms"] = wallPerExchange * 1e3;
    if (baud > 0) {
        const double wireSeconds = kExchangeBits / baud;
        state.counters["wire_ms"] = wireSeconds * 1e3;
        state.counters["wire_ratio"] = wallPerExchange / wireSeconds;
    }
    if (!ui.Questions().empty()) {
        state.SkipWithError("the link reported an error");
    }
}

BENCHMARK(BM_StatusPoll)
    ->ArgName("baud")
    ->Arg(38400)
    ->Arg(19200)
    ->Arg(0)
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond)
    ->MinTime(2.0);

}  // namespace

BENCHMARK_MAIN();
