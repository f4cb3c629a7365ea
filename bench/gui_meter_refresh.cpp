// GUI-thread cost of one meter refresh of the main view: eight meters get new positions, two
// lamps a new state, and the window repaints what changed. The meters move as the status poll
// moves them: by a few steps each time, sometimes not at all, now and then across a zone.

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QWidget>
#include <array>
#include <memory>

#include "ui/controls/LedIndicator.h"
#include "ui/controls/LevelMeter.h"
#include "ui/controls/MeterGeometry.h"

namespace {

using arvestra::CLedIndicator;
using arvestra::CLevelMeter;

// The strip of the main view: two input and two output meters, four gain-reduction meters and
// the two lamps, at the sizes the form gives them at 96 dots per inch.
struct MeterStrip {
    QWidget window;
    std::array<CLevelMeter*, 8> meters{};
    std::array<int, 8> maxima{90, 90, 114, 114, 41, 41, 41, 41};
    std::array<CLedIndicator*, 2> lamps{};

    MeterStrip() {
        window.resize(800, 120);
        for (std::size_t i = 0; i < meters.size(); ++i) {
            meters[i] = new CLevelMeter(&window);
            const bool reduction = i >= 4;
            meters[i]->setGeometry(reduction ? 219 : 40 + 368 * static_cast<int>(i % 2),
                                   10 + 12 * static_cast<int>(i), reduction ? 159 : 153, 9);
            meters[i]->SetRange(0, maxima[i]);
            if (reduction) {
                meters[i]->SetAllZoneColors(QColor(0x80, 0, 0), QColor(0xFF, 0, 0));
            }
        }
        for (std::size_t i = 0; i < lamps.size(); ++i) {
            lamps[i] = new CLedIndicator(&window);
            lamps[i]->setGeometry(550, 20 + 50 * static_cast<int>(i), 9, 9);
        }
        window.show();
        QApplication::processEvents();
    }
};

QApplication& App() {
    static int argc = 1;
    static char name[] = "bench_gui_meter_refresh";
    static char* argv[] = {name, nullptr};
    static const bool platform = [] {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
        return true;
    }();
    (void)platform;
    static QApplication app(argc, argv);
    return app;
}

// One refresh: set all positions and lamps, then let the window paint.
void Refresh(MeterStrip& strip, int tick) {
    for (std::size_t i = 0; i < strip.meters.size(); ++i) {
        const int max = strip.maxima[i];
        // A wandering level: mostly small steps, every 16th refresh a jump across the bar.
        const int step = (tick * (3 + static_cast<int>(i))) % 7;
        const int level = (tick % 16 == 0) ? (tick * 37) % (max + 1) : (max / 2 + step);
        strip.meters[i]->SetPosition(level);
    }
    strip.lamps[0]->SetLit((tick / 5) % 2 == 0);
    strip.lamps[1]->SetLit((tick / 7) % 2 == 0);
    QApplication::processEvents();
}

void BM_MeterRefreshWithRepaint(benchmark::State& state) {
    App();
    MeterStrip strip;
    int tick = 0;
    for (auto _ : state) Refresh(strip, ++tick);
}
BENCHMARK(BM_MeterRefreshWithRepaint)->Unit(benchmark::kMicrosecond);

// The worst case: every meter jumps from empty to full or back, repainting every column.
void BM_MeterRefreshFullSwing(benchmark::State& state) {
    App();
    MeterStrip strip;
    int tick = 0;
    for (auto _ : state) {
        ++tick;
        for (std::size_t i = 0; i < strip.meters.size(); ++i) {
            strip.meters[i]->SetPosition(tick % 2 == 0 ? 0 : strip.maxima[i]);
        }
        strip.lamps[0]->SetLit(tick % 2 == 0);
        strip.lamps[1]->SetLit(tick % 2 != 0);
        QApplication::processEvents();
    }
}
BENCHMARK(BM_MeterRefreshFullSwing)->Unit(benchmark::kMicrosecond);

// The setters alone, without painting: what the refresh command itself costs.
void BM_MeterSettersOnly(benchmark::State& state) {
    App();
    MeterStrip strip;
    int tick = 0;
    for (auto _ : state) {
        ++tick;
        for (std::size_t i = 0; i < strip.meters.size(); ++i) {
            strip.meters[i]->SetPosition((tick * (5 + static_cast<int>(i))) %
                                         (strip.maxima[i] + 1));
        }
        strip.lamps[0]->SetLit(tick % 2 == 0);
        strip.lamps[1]->SetLit(tick % 3 == 0);
    }
    QApplication::processEvents();
}
BENCHMARK(BM_MeterSettersOnly)->Unit(benchmark::kMicrosecond);

// The pure layout of one main-view meter.
void BM_MeterLayout(benchmark::State& state) {
    int position = 0;
    for (auto _ : state) {
        position = (position + 7) % 91;
        benchmark::DoNotOptimize(arvestra::ComputeMeterLayout({153, 9, 0, 90, position}));
    }
}
BENCHMARK(BM_MeterLayout);

}  // namespace

BENCHMARK_MAIN();
