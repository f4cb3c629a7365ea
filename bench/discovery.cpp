// Timing of going online and of live editing against the simulated bus, each next to the
// physical limit it is held to:
//  - discovery of an empty bus against its floor of 126 probes x 20 ms (goal <= 1.1x); each
//    probe waits the full 20 ms after its request has left the port, so the ratio is never
//    below 1 (a ratio under 1 means probes gave up early and could miss a late device);
//  - an edit until its frame reaches the simulator at 38400 baud, against one status poll plus
//    the write's wire time plus 5 ms;
//  - the upload of a whole device against the wire time of its frames (goal <= 1.15x).
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <memory>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "app/AppState.h"
#include "app/ErrorReporter.h"
#include "app/SystemClock.h"
#include "document/CQ7310Doc.h"
#include "document/GoOnline.h"
#include "integration/DiscoverySimulator.h"
#include "model/ParamField.h"
#include "support/ScriptedUi.h"

namespace {

using namespace arvestra;
using Clock = std::chrono::steady_clock;

constexpr int kBaud = 38400;
constexpr double kProbeFloorMs = 126 * 20.0;

// Wire time of `bytes` bytes at 10 bits a byte.
double WireMs(std::size_t bytes) {
    return static_cast<double>(bytes) * 10.0 * 1000.0 / kBaud;
}

// A document online against its own simulator.
struct OnlineBench {
    explicit OnlineBench(const std::vector<std::string>& options)
        : logPath("/tmp/arvestra-bench-" + std::to_string(::getpid()) + ".log"),
          sim(options, logPath),
          reporter(app, ui),
          doc(std::make_unique<CQ7310Doc>(reporter, clock)) {
        app.SetActiveDocument(&doc->Bus());
        doc->Bus().Link().Ports().SetPath(2, sim.Path());
        doc->Bus().Link().SetBaudRate(kBaud);
    }
    ~OnlineBench() {
        app.SetActiveDocument(nullptr);
        doc.reset();
        ::unlink(logPath.c_str());
    }

    std::string logPath;
    testing::DevsimProcess sim;
    AppState app;
    testing::ScriptedUi ui;
    SystemClock clock;
    ErrorReporter reporter;
    std::unique_ptr<CQ7310Doc> doc;
};

// Reads what the simulator appends to its log.
class LogTail {
  public:
    explicit LogTail(const std::string& path) : fd_(::open(path.c_str(), O_RDONLY)) { Skip(); }
    ~LogTail() {
        if (fd_ >= 0) ::close(fd_);
    }
    // Drops everything logged so far.
    void Skip() { Take(); }
    // What was logged since the last call.
    std::string Take() {
        std::string text;
        char buffer[4096];
        ssize_t got = 0;
        while (fd_ >= 0 && (got = ::read(fd_, buffer, sizeof buffer)) > 0) text.append(buffer, got);
        return text;
    }

  private:
    int fd_;
};

// Bytes on the wire in the log's traffic lines "<t> rx|tx addr A cmd C: B1 B2 ...".
std::size_t WireBytesInLog(const std::string& text) {
    std::size_t bytes = 0;
    std::istringstream lines(text);
    std::string line;
    while (std::getline(lines, line)) {
        std::istringstream words(line);
        std::string time, tag;
        if (!(words >> time >> tag) || (tag != "rx" && tag != "rx-" && tag != "tx")) continue;
        const std::size_t colon = line.find(": ");
        if (colon != std::string::npos) bytes += (line.size() - colon - 2 + 1) / 3;  // "AA BB"
    }
    return bytes;
}

void BM_DiscoveryEmptyBus(benchmark::State& state) {
    OnlineBench bench({"--devices", "9", "--fault", "9:no-reply", "--baud", "38400"});
    double totalMs = 0;
    for (auto _ : state) {
        state.PauseTiming();
        bench.app.SetOnline(1);        // opens the link
        bench.ui.Push(UiAnswer::Yes);  // "No Devices were found": continue offline
        state.ResumeTiming();
        const auto start = Clock::now();
        benchmark::DoNotOptimize(bench.doc->Discover(false));
        totalMs += std::chrono::duration<double, std::milli>(Clock::now() - start).count();
    }
    state.counters["floor_ms"] = kProbeFloorMs;
    state.counters["ratio"] = totalMs / static_cast<double>(state.iterations()) / kProbeFloorMs;
    state.counters["per_address_ms"] = totalMs / static_cast<double>(state.iterations()) / 126.0;
}
BENCHMARK(BM_DiscoveryEmptyBus)->Iterations(3)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_EditToFrameAtSimulator(benchmark::State& state) {
    OnlineBench bench({"--devices", "1", "--baud", "38400"});
    GoOnline online(bench.app, *bench.doc);
    if (online.Run(GoOnlineChoice::kCreateNewLocationFile) != 1) {
        state.SkipWithError("could not go online");
        return;
    }
    LogTail log(bench.logPath);
    const FieldDescriptor& field = FieldInfo(ParamField::InputLevel);
    std::vector<double> latencies;
    int phase = 0;
    for (auto _ : state) {
        // Edits land at every phase of the worker's poll cycle.
        std::this_thread::sleep_for(std::chrono::microseconds(phase));
        phase = (phase + 1370) % 9000;
        log.Skip();
        const int value =
            bench.doc->Edits().Get(ParamField::InputLevel, 0) == field.lo ? field.lo + 1 : field.lo;
        const auto edit = Clock::now();
        bench.doc->Edits().Set(ParamField::InputLevel, 0, value);
        std::string seen;
        while (seen.find(" cmd 160:") == std::string::npos) {
            seen += log.Take();
            if (Clock::now() - edit > std::chrono::seconds(2)) break;
        }
        const double ms = std::chrono::duration<double, std::milli>(Clock::now() - edit).count();
        latencies.push_back(ms);
        state.SetIterationTime(ms / 1000.0);
    }
    std::sort(latencies.begin(), latencies.end());
    // A status poll: 6-byte request, 16-byte payload in a 23-byte reply. The write of one byte:
    // a 9-byte frame. The simulator logs a frame when it has it, so its own wire time is added.
    const double poll = WireMs(6 + 23);
    const double write = WireMs(9);
    state.counters["goal_ms"] = poll + write + 5.0;
    state.counters["p50_ms"] = latencies[latencies.size() / 2] + write;
    state.counters["p95_ms"] = latencies[latencies.size() * 95 / 100] + write;
    state.counters["max_ms"] = latencies.back() + write;
}
BENCHMARK(BM_EditToFrameAtSimulator)
    ->Iterations(200)
    ->Unit(benchmark::kMillisecond)
    ->UseManualTime();

void BM_UploadWholeDevice(benchmark::State& state) {
    OnlineBench bench({"--devices", "1", "--baud", "38400"});
    GoOnline online(bench.app, *bench.doc);
    if (online.Run(GoOnlineChoice::kCreateNewLocationFile) != 1) {
        state.SkipWithError("could not go online");
        return;
    }
    LogTail log(bench.logPath);
    double wireMs = 0;
    double uploadMs = 0;
    for (auto _ : state) {
        state.PauseTiming();
        const PauseResult pause = bench.doc->Bus().PauseWorker(false);
        log.Skip();
        state.ResumeTiming();
        const auto start = Clock::now();
        benchmark::DoNotOptimize(bench.doc->UploadDevice());
        uploadMs += std::chrono::duration<double, std::milli>(Clock::now() - start).count();
        state.PauseTiming();
        wireMs += WireMs(WireBytesInLog(log.Take()));
        bench.doc->Bus().ResumeWorker(pause.saved);
        state.ResumeTiming();
    }
    state.counters["wire_ms"] = wireMs / static_cast<double>(state.iterations());
    state.counters["ratio"] = uploadMs / wireMs;
}
BENCHMARK(BM_UploadWholeDevice)->Iterations(5)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
