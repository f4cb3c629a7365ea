// The editor shell's costs: time from start-up to the first painted main window, resident
// memory once it is up, and CPU used while online with the meters polling the simulator (with
// and without the simulator emulating 19200-baud wire time).
//
//   QT_QPA_PLATFORM=offscreen ./bench_gui_shell
#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QSettings>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>

#include <fstream>
#include <memory>
#include <string>

#include "app/CommandId.h"
#include "document/CQ7310Doc.h"
#include "integration/DevsimChild.h"
#include "ui/dialogs/GoOnlineDialog.h"
#include "ui/shell/AppIcon.h"
#include "ui/shell/DocumentActions.h"
#include "ui/shell/EditorShell.h"
#include "ui/shell/MainFrame.h"
#include "ui/shell/PlaceholderView.h"
#include "ui/view/Q7310View.h"

namespace {

using arvestra::CEditorShell;

// The editor's own main view, as the program starts it.
CEditorShell::ViewFactory MainView() {
    return [](arvestra::CQ7310Doc& doc, arvestra::CAppSettings& settings,
              QWidget* frame) -> arvestra::IFrameView* {
        return new arvestra::CQ7310View(doc, settings, frame);
    };
}

// Settings in a private directory, so a run never touches the user's.
struct PrivateSettings {
    QTemporaryDir dir;
    PrivateSettings() {
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, dir.path());
    }
};

// Resident set size of this process in kilobytes.
long ResidentKb() {
    std::ifstream status("/proc/self/status");
    std::string key;
    while (status >> key) {
        if (key == "VmRSS:") {
            long kb = 0;
            status >> kb;
            return kb;
        }
        status.ignore(1 << 16, '\n');
    }
    return 0;
}

// User plus system CPU time of this process, in seconds.
double CpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// Counts paint events of one widget.
class PaintWatch : public QObject {
  public:
    int paints = 0;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint) ++paints;
        return QObject::eventFilter(watched, event);
    }
};

void BM_StartupToFirstPaint(benchmark::State& state) {
    long rss = 0;
    for (auto _ : state) {
        state.PauseTiming();
        PrivateSettings settings;
        PaintWatch watch;
        state.ResumeTiming();

        auto shell = std::make_unique<CEditorShell>(MainView());
        shell->Frame()->installEventFilter(&watch);
        if (!shell->Startup({})) {
            state.SkipWithError("start-up failed");
            return;
        }
        while (watch.paints == 0) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        }

        state.PauseTiming();
        rss = ResidentKb();
        shell->Frame()->removeEventFilter(&watch);
        shell.reset();
        QCoreApplication::processEvents();
        state.ResumeTiming();
    }
    state.counters["rss_MB_after_start"] = static_cast<double>(rss) / 1024.0;
}
BENCHMARK(BM_StartupToFirstPaint)->Unit(benchmark::kMillisecond)->Iterations(10);

// Online against the simulator for two seconds of running event loop; the worker polls as fast
// as the link answers. Arguments: the simulator's emulated baud rate (0: replies at once), and
// the view (0: the stand-in view, which counts the meter refreshes; 1: the main view with its
// meters, lamps and pages).
void BM_OnlineIdleCpu(benchmark::State& state) {
    const int baud = static_cast<int>(state.range(0));
    const bool mainView = state.range(1) != 0;
    std::vector<std::string> options{"--devices", "1,3,7"};
    if (baud != 0) {
        options.push_back("--baud");
        options.push_back(std::to_string(baud));
    }
    arvestra::devsim_it::DevsimChild sim(options);
    if (sim.FirstLine().empty()) {
        state.SkipWithError("arvestra-devsim did not start");
        return;
    }
    qputenv("ARVESTRA_COM2", QByteArray::fromStdString(sim.FirstLine()));
    PrivateSettings settings;
    CEditorShell shell(mainView ? MainView() : CEditorShell::ViewFactory{});
    if (!shell.Startup({})) {
        state.SkipWithError("start-up failed");
        return;
    }
    shell.Actions().askGoOnlineChoice = [] { return arvestra::CGoOnlineDialog::kCreateNew; };
    shell.Frame()->OnCommand(arvestra::CommandId::WorkOnline);
    if (shell.App().IsOnline() == 0) {
        state.SkipWithError("did not go online");
        return;
    }
    auto* view = dynamic_cast<arvestra::CPlaceholderView*>(shell.View());
    double cpu = 0;
    double wall = 0;
    int refreshes = 0;
    for (auto _ : state) {
        const int refreshesBefore = view != nullptr ? view->MeterRefreshCount() : 0;
        const double cpuBefore = CpuSeconds();
        QElapsedTimer timer;
        timer.start();
        QEventLoop loop;
        QTimer::singleShot(2000, &loop, &QEventLoop::quit);
        loop.exec();
        wall += static_cast<double>(timer.nsecsElapsed()) / 1e9;
        cpu += CpuSeconds() - cpuBefore;
        refreshes += (view != nullptr ? view->MeterRefreshCount() : 0) - refreshesBefore;
    }
    state.counters["cpu_percent_of_a_core"] = 100.0 * cpu / wall;
    if (view != nullptr) {
        state.counters["meter_refreshes_per_s"] = static_cast<double>(refreshes) / wall;
    }
    state.counters["rss_MB_online"] = static_cast<double>(ResidentKb()) / 1024.0;
    shell.App().SetOnline(0);
    qunsetenv("ARVESTRA_COM2");
}
BENCHMARK(BM_OnlineIdleCpu)
    ->ArgsProduct({{19200, 38400, 0}, {0, 1}})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1);

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QElapsedTimer appTimer;
    appTimer.start();
    QApplication app(argc, argv);
    QApplication::setWindowIcon(arvestra::MakeAppIcon());
    const double appMs = static_cast<double>(appTimer.nsecsElapsed()) / 1e6;
    benchmark::AddCustomContext("qapplication_construction_ms", std::to_string(appMs));
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
