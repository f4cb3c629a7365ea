// User-interface-thread cost of dragging a band dot on the EQ pages at the densest grid (801
// points): from the mouse move event to the repainted graph, including whatever repaints the
// move left pending (slider thumbs, dots). Each iteration is one mouse move; the pointer sweeps
// up and down so that every move changes the band. Counters report the recomputed sections per
// move (one parametric band, or the graphic bands that changed) and the grid size.

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QMouseEvent>
#include <QSettings>
#include <QTemporaryDir>

#include <memory>

#include "app/AppState.h"
#include "app/CommandId.h"
#include "app/ErrorReporter.h"
#include "app/SystemClock.h"
#include "document/CQ7310Doc.h"
#include "model/FilterResponse.h"
#include "model/SignalPath.h"
#include "support/ScriptedUi.h"
#include "ui/pages/GraphicEqPage.h"
#include "ui/pages/ParametricEqPage.h"
#include "ui/shell/AppSettings.h"
#include "ui/view/Q7310View.h"

namespace {

using namespace arvestra;

QApplication& App() {
    static int argc = 1;
    static char name[] = "bench_gui_eq_drag";
    static char* argv[] = {name, nullptr};
    static const bool platform = [] {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
        return true;
    }();
    (void)platform;
    static QApplication app(argc, argv);
    return app;
}

// One device whose channels both run input -> high-pass -> EQ -> low-pass -> output, every
// curve in the path, and the main view on it with the grid at its densest.
struct EqView {
    QTemporaryDir settingsDir;
    AppState app;
    testing::ScriptedUi ui;
    SystemClock clock;
    ErrorReporter reporter{app, ui};
    std::unique_ptr<CQ7310Doc> doc;
    std::unique_ptr<CAppSettings> settings;
    std::unique_ptr<CQ7310View> view;

    explicit EqView(bool parametric) {
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settingsDir.path());
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, settingsDir.path());
        settings = std::make_unique<CAppSettings>();
        settings->SetDontWarnAboutNonSmallFonts();
        doc = std::make_unique<CQ7310Doc>(reporter, clock);
        doc->AddDevice(1);
        app.SetActiveDocument(&doc->Bus());
        using namespace RoutingNode;
        const std::array<int, 16> codes = {13, 1, 11, 0, 0, 0, 0, 0, 14, 2, 12, 0, 0, 0, 0, 0};
        for (int slot = 0; slot < 16; ++slot) {
            doc->Edits().Set(ParamField::ChainSlot, 0, slot, codes[static_cast<std::size_t>(slot)]);
        }
        for (int channel = 0; channel < 2; ++channel) {
            doc->Edits().SetRouting(ParamField::HpSource, channel,
                                    channel == 0 ? kInputA : kInputB);
            doc->Edits().SetRouting(ParamField::EqSource, channel,
                                    channel == 0 ? kHighPassA : kHighPassB);
            doc->Edits().SetRouting(ParamField::LpSource, channel,
                                    channel == 0 ? kEqualiserA : kEqualiserB);
            doc->Edits().SetRouting(ParamField::OutputSource, channel,
                                    channel == 0 ? kLowPassA : kLowPassB);
            doc->Edits().Set(ParamField::EqType, channel, parametric ? 1 : 0);
        }
        doc->RecordChains();
        view = std::make_unique<CQ7310View>(*doc, *settings);
        view->OnInitialUpdate();
        view->show();
        Page().SetExtraPoints(7);
        view->OnCommand(CommandId::ViewEqA);
        for (int i = 0; i < 3; ++i) QApplication::processEvents();
    }
    ~EqView() {
        view.reset();
        app.SetActiveDocument(nullptr);
    }
    CFilterPage& Page() {
        return *static_cast<CFilterPage*>(view->Page(PageKind::GraphicEq)->isVisible()
                                              ? view->Page(PageKind::GraphicEq)
                                              : view->Page(PageKind::ParametricEq));
    }
};

void Send(QWidget& page, QEvent::Type type, QPoint at, Qt::MouseButtons held) {
    QMouseEvent event(type, at, page.mapToGlobal(at), Qt::LeftButton, held, Qt::NoModifier);
    QApplication::sendEvent(&page, &event);
}

// Drags a dot with the left button; one iteration = one move and everything it repaints.
void RunDrag(benchmark::State& state, CFilterPage& page, QPoint dot) {
    Send(page, QEvent::MouseButtonPress, dot, Qt::LeftButton);
    QApplication::processEvents();
    const long long sectionsBefore = page.Response().SectionsEvaluated();
    long long moves = 0;
    for (auto _ : state) {
        // 40 pixels up, then back down, one pixel per move.
        const int phase = static_cast<int>(moves % 80);
        const int offset = phase < 40 ? -phase : phase - 80;
        Send(page, QEvent::MouseMove, dot + QPoint(moves % 7, offset), Qt::LeftButton);
        QApplication::processEvents();
        ++moves;
    }
    Send(page, QEvent::MouseButtonRelease, dot, Qt::NoButton);
    state.counters["grid_points"] = static_cast<double>(page.GridFrequencies().size());
    state.counters["sections_per_move"] =
        moves == 0 ? 0.0
                   : static_cast<double>(page.Response().SectionsEvaluated() - sectionsBefore) /
                         static_cast<double>(moves);
}

void BM_ParametricDotDrag801(benchmark::State& state) {
    App();
    EqView eq(true);
    auto& page = static_cast<CParametricEqPage&>(eq.Page());
    const PixelPoint dot = page.DotCentre(4);
    RunDrag(state, page, QPoint(dot.x, dot.y));
}
BENCHMARK(BM_ParametricDotDrag801)->Unit(benchmark::kMicrosecond);

void BM_GraphicDotDrag801(benchmark::State& state) {
    App();
    EqView eq(false);
    auto& page = static_cast<CGraphicEqPage&>(eq.Page());
    const PixelPoint dot = page.DotCentre(15);
    RunDrag(state, page, QPoint(dot.x, dot.y));
}
BENCHMARK(BM_GraphicDotDrag801)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
