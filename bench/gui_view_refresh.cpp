// GUI-thread cost of the main view's refresh command 32809 while online: the view reads the
// meter members, moves its eight meters, sets its two lamps and lets the window repaint what
// changed. The readings wander as a status poll leaves them: small steps, sometimes none, now
// and then a jump. Counters report how often the view itself (rather than a meter or a lamp)
// had to repaint, which should be never.

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QEvent>
#include <QPaintEvent>
#include <QSettings>
#include <QTemporaryDir>

#include <memory>

#include "app/AppState.h"
#include "app/CommandId.h"
#include "app/ErrorReporter.h"
#include "app/SystemClock.h"
#include "document/CQ7310Doc.h"
#include "support/ScriptedUi.h"
#include "ui/shell/AppSettings.h"
#include "ui/view/Q7310View.h"

namespace {

using namespace arvestra;

QApplication& App() {
    static int argc = 1;
    static char name[] = "bench_gui_view_refresh";
    static char* argv[] = {name, nullptr};
    static const bool platform = [] {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
        return true;
    }();
    (void)platform;
    static QApplication app(argc, argv);
    return app;
}

// Counts the paint events of one widget and the pixels they covered.
class PaintCounter : public QObject {
  public:
    explicit PaintCounter(QWidget& widget) { widget.installEventFilter(this); }
    long long paints = 0;
    long long pixels = 0;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint) {
            ++paints;
            for (const QRect& r : static_cast<QPaintEvent*>(event)->region()) {
                pixels += static_cast<long long>(r.width()) * r.height();
            }
        }
        return QObject::eventFilter(watched, event);
    }
};

// A location with one device, online as far as the view can tell (the flag is set, no port is
// opened), and the main view on it.
struct OnlineView {
    QTemporaryDir settingsDir;
    AppState app;
    testing::ScriptedUi ui;
    SystemClock clock;
    ErrorReporter reporter{app, ui};
    std::unique_ptr<CQ7310Doc> doc;
    std::unique_ptr<CAppSettings> settings;
    std::unique_ptr<CQ7310View> view;

    OnlineView() {
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settingsDir.path());
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, settingsDir.path());
        settings = std::make_unique<CAppSettings>();
        settings->SetDontWarnAboutNonSmallFonts();
        doc = std::make_unique<CQ7310Doc>(reporter, clock);
        doc->AddDevice(1);
        app.SetOnline(1);  // no active document yet: only the flag changes
        app.SetActiveDocument(&doc->Bus());
        doc->Bus().SetDevicePreset(doc->Devices().CurrentPreset());
        // EQ A in channel A's chain and Comp/Lim B in channel B's, so both lamps can light.
        doc->SetChainNode(0, 0, 18);
        doc->SetChainNode(0, 1, 3);
        doc->SetChainNode(0, 2, 1);
        doc->SetChainNode(1, 0, 19);
        doc->SetChainNode(1, 1, 10);
        doc->SetChainNode(1, 2, 2);
        view = std::make_unique<CQ7310View>(*doc, *settings);
        view->OnInitialUpdate();
        view->show();
        for (int i = 0; i < 3; ++i) QApplication::processEvents();
    }
    ~OnlineView() {
        view.reset();
        app.SetActiveDocument(nullptr);
    }

    // What one status poll leaves in the document.
    void Poll(int tick) {
        const auto wander = [tick](int max, int salt) {
            if (tick % 16 == 0) return (tick * 37 + salt) % (max + 1);
            return max / 2 + (tick * (3 + salt)) % 7;
        };
        MeterRecord meters;
        meters.levelA = static_cast<std::uint8_t>(wander(90, 0));
        meters.levelB = static_cast<std::uint8_t>(wander(90, 1));
        meters.level2A = static_cast<std::uint8_t>(wander(114, 2));
        meters.level2B = static_cast<std::uint8_t>(wander(114, 3));
        meters.reduction1[0] = static_cast<std::uint8_t>(wander(41, 4));
        meters.reduction1[1] = static_cast<std::uint8_t>(wander(41, 5));
        meters.reduction2[0] = static_cast<std::uint8_t>(wander(41, 6));
        meters.reduction2[1] = static_cast<std::uint8_t>(wander(41, 7));
        meters.indicatorBits =
            static_cast<std::uint8_t>(((tick / 5) % 2) | (((tick / 7) % 2) << 4));
        meters.devicePreset = doc->Bus().DevicePreset();
        doc->Bus().StoreMeters(meters);
    }
};

// The refresh command and the repaint it causes.
void BM_ViewMeterRefreshWithRepaint(benchmark::State& state) {
    App();
    OnlineView online;
    PaintCounter viewPaints(*online.view);
    int tick = 0;
    for (auto _ : state) {
        online.Poll(++tick);
        online.view->OnCommand(CommandId::MeterRefresh);
        QApplication::processEvents();
    }
    state.counters["view_paints"] = static_cast<double>(viewPaints.paints);
    state.counters["view_pixels"] = static_cast<double>(viewPaints.pixels);
}
BENCHMARK(BM_ViewMeterRefreshWithRepaint)->Unit(benchmark::kMicrosecond);

// The refresh command alone: reading the members, eight positions, two lamps, invalidation.
void BM_ViewMeterRefreshCommand(benchmark::State& state) {
    App();
    OnlineView online;
    int tick = 0;
    for (auto _ : state) {
        online.Poll(++tick);
        online.view->OnCommand(CommandId::MeterRefresh);
    }
    QApplication::processEvents();
}
BENCHMARK(BM_ViewMeterRefreshCommand)->Unit(benchmark::kMicrosecond);

// Nothing changed since the last poll: the command must cost next to nothing and paint nothing.
void BM_ViewMeterRefreshUnchanged(benchmark::State& state) {
    App();
    OnlineView online;
    online.Poll(1);
    online.view->OnCommand(CommandId::MeterRefresh);
    QApplication::processEvents();
    PaintCounter viewPaints(*online.view);
    for (auto _ : state) {
        online.view->OnCommand(CommandId::MeterRefresh);
        QApplication::processEvents();
    }
    state.counters["view_paints"] = static_cast<double>(viewPaints.paints);
}
BENCHMARK(BM_ViewMeterRefreshUnchanged)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
