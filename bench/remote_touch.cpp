// A press on the remote page, in headless chromium over HTTPS, until its write reaches the
// simulated device at 38400 baud: "arvestra-cli serve" against arvestra-devsim, the page driven
// through the browser's DevTools protocol. Each press sets one graphic EQ band to the top or
// the bottom of its range (alternately), and the time runs from the press being sent to the
// browser until the simulator's log shows the write carrying the new value (the log is read
// every millisecond, so a figure may be up to a millisecond late). Reports the median and the
// 90th percentile. Opt-in like the browser tests: ARVESTRA_BROWSER_TESTS=1 (chromium is large).
// ARVESTRA_BENCH_CLI names another arvestra-cli, to compare two builds on one machine.

#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QJsonDocument>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>
#include <QUrl>
#include <algorithm>
#include <fstream>
#include <vector>

#include "integration/CliHarness.h"
#include "link/DeviceCommands.h"
#include "model/ParamField.h"
#include "remote/DevToolsBrowser.h"
#include "remote/EventWait.h"

namespace {

using arvestra::test::RunUntil;

// Reads the lines the simulator adds to its log, from where the last call stopped.
class LogFollower {
  public:
    explicit LogFollower(const std::string& path) : path_(path) {}

    // True when a new line shows a write of the edit buffer of `address` with `value` at
    // image byte `offset`.
    bool SawWrite(int address, int offset, int value) {
        std::ifstream in(path_);
        in.seekg(position_);
        std::string line;
        bool seen = false;
        while (std::getline(in, line)) {
            if (in.eof()) break;  // a line still being written is read again next time
            position_ = in.tellg();
            arvestra::cli_it::LoggedRequest r;
            if (!arvestra::cli_it::ParseLoggedRequest(line, r) ||
                r.command != arvestra::CMD_WRITE_IMAGE || r.address != address ||
                r.payload.size() < 2 || r.payload[0] != 0) {
                continue;
            }
            const int first = r.payload[1];
            const std::size_t at = static_cast<std::size_t>(2 + offset - first);
            seen = seen || (offset >= first && at < r.payload.size() && r.payload[at] == value);
        }
        return seen;
    }

  private:
    std::string path_;
    std::streampos position_ = 0;
};

double Percentile(std::vector<double> values, double fraction) {
    std::sort(values.begin(), values.end());
    return values[static_cast<std::size_t>(fraction * static_cast<double>(values.size() - 1))];
}

void BM_RemoteTouchToBus(benchmark::State& state) {
    if (!arvestra::test::DevToolsBrowser::Wanted()) {
        state.SkipWithError("set ARVESTRA_BROWSER_TESTS=1 (needs chromium)");
        return;
    }
    arvestra::cli_it::TestDirectory dir;
    arvestra::cli_it::SimulatedBus bus(dir, "1", {"--baud", "38400"});
    QProcess serve;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("XDG_CONFIG_HOME", QString::fromStdString(dir.File("config")));
    environment.insert("XDG_STATE_HOME", QString::fromStdString(dir.File("state")));
    serve.setProcessEnvironment(environment);
    QString cli = qEnvironmentVariable("ARVESTRA_BENCH_CLI");
    if (cli.isEmpty()) cli = ARVESTRA_CLI_PATH;
    serve.start(cli, {"serve", "--port", QString::fromStdString(bus.Port()),
                      QString::fromStdString(dir.File("touch.kvx")), "--http", "127.0.0.1:0",
                      "--baud", "38400"});
    if (!RunUntil([&] { return serve.canReadLine(); }, 30000)) {
        state.SkipWithError("serve did not start");
        return;
    }
    const QUrl page(QString::fromUtf8(serve.readLine()).trimmed());
    arvestra::test::DevToolsBrowser browser;
    QString error;
    if (!browser.Start(page.toString(), 390, 844, &error)) {
        state.SkipWithError(error.toStdString().c_str());
        return;
    }
    if (!RunUntil(
            [&] { return browser.Evaluate("!!(window.remotePage && remotePage.live())").toBool(); },
            20000)) {
        state.SkipWithError("the page did not come live");
        return;
    }
    browser.Evaluate("document.getElementById('geq').scrollIntoView({block:'center'})");
    const QJsonObject r =
        QJsonDocument::fromJson(browser
                                    .Evaluate("JSON.stringify(document.getElementById('geq')."
                                              "getBoundingClientRect())")
                                    .toString()
                                    .toUtf8())
            .object();
    const double x = r.value("left").toDouble() + r.value("width").toDouble() * (12.5 / 31.0);
    const double top = r.value("top").toDouble() + 4;
    const double bottom = r.value("top").toDouble() + r.value("height").toDouble() - 4;
    const int offset = arvestra::FieldOffset(arvestra::ParamField::EqGraphicGain, 0, 12);
    const auto& gain = arvestra::FieldInfo(arvestra::ParamField::EqGraphicGain);
    LogFollower log(bus.LogPath());

    auto mouse = [&](const char* type, double y, int buttons) {
        browser.Call("Input.dispatchMouseEvent", {{"type", type},
                                                  {"x", x},
                                                  {"y", y},
                                                  {"button", "left"},
                                                  {"buttons", buttons},
                                                  {"clickCount", 1}});
    };
    std::vector<double> latencies;
    bool up = true;
    for (auto _ : state) {
        const int value = static_cast<int>(up ? gain.hi : gain.lo);
        const double y = up ? top : bottom;
        up = !up;
        log.SawWrite(1, offset, value);  // skip what came before
        QElapsedTimer timer;
        timer.start();
        mouse("mousePressed", y, 1);
        if (!RunUntil([&] { return log.SawWrite(1, offset, value); }, 5000)) {
            state.SkipWithError("a press did not reach the bus");
            return;
        }
        const double seconds = static_cast<double>(timer.nsecsElapsed()) * 1e-9;
        state.SetIterationTime(seconds);
        latencies.push_back(seconds * 1e3);
        mouse("mouseReleased", y, 0);
        RunUntil([] { return false; }, 100);  // the release's echo settles
    }
    state.counters["median_ms"] = Percentile(latencies, 0.5);
    state.counters["p90_ms"] = Percentile(latencies, 0.9);
    serve.terminate();
    serve.waitForFinished(30000);
}

BENCHMARK(BM_RemoteTouchToBus)->UseManualTime()->Iterations(40)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
