// The EQ pages' tuning from a measurement: the measurement shown under the curve with the
// predicted result, and the fit of the edited EQ to it.
#include <QApplication>
#include <QFileDialog>
#include <QInputDialog>
#include <QMenu>
#include <QMessageBox>
#include <QPainter>
#include <QPolygonF>

#include <cmath>

#include "document/PageDocument.h"
#include "tune/TextLines.h"
#include "ui/pages/FilterPage.h"
#include "ui/pages/FilterPageShared.h"
#include "ui/pages/PageHost.h"
#include "ui/shell/EditHistory.h"
#include "ui/shell/GestureScope.h"

namespace arvestra {

namespace {

const QColor kMeasured{0xFF, 0xA0, 0x20};
const QColor kResult{0xFF, 0xFF, 0xFF};

QString ErrorText(const ResponseError& error) {
    return QStringLiteral("%1 dB RMS (%2 dB worst)")
        .arg(QString::fromStdString(FormatNumber(error.rmsDb, 2)))
        .arg(QString::fromStdString(FormatNumber(error.maxDb, 2)));
}

// The curve through the points where levels is a number, broken where it is not.
void DrawBrokenLine(QPainter& painter, const std::vector<int>& xs, const std::vector<double>& db,
                    const GraphMapping& mapping) {
    QPolygonF run;
    const auto flush = [&] {
        if (run.size() > 1) painter.drawPolyline(run);
        run.clear();
    };
    for (std::size_t i = 0; i < xs.size() && i < db.size(); ++i) {
        if (std::isnan(db[i])) {
            flush();
            continue;
        }
        run.append(QPointF(xs[i] + 0.5, mapping.DbToY(db[i]) + 0.5));
    }
    flush();
}

}  // namespace

const MeasurementOverlay& CFilterPage::Overlay(int channel) const {
    return SharedState()->overlays[static_cast<std::size_t>(channel == 1 ? 1 : 0)];
}

bool CFilterPage::LoadMeasurement(int channel, const QString& path,
                                  const Normalisation& normalisation, QString& error) {
    std::string why;
    MeasurementOverlay overlay = LoadMeasurementOverlay(path.toStdString(), normalisation, why);
    if (!overlay.Loaded()) {
        error = QString::fromStdString(why);
        return false;
    }
    const std::size_t index = channel == 1 ? 1 : 0;
    SharedState()->overlays[index] = std::move(overlay);
    KeepMeasurementOverlay(static_cast<int>(index), SharedState()->overlays[index]);
    InvalidateGraphInterior();
    return true;
}

void CFilterPage::ClearMeasurement(int channel) {
    const std::size_t index = channel == 1 ? 1 : 0;
    SharedState()->overlays[index] = {};
    KeepMeasurementOverlay(static_cast<int>(index), {});
    InvalidateGraphInterior();
}

std::vector<double> CFilterPage::EqLevelsInPath() const {
    const std::size_t size = GridFrequencies().size();
    std::vector<double> db(size, 0.0);
    for (int channel = 0; channel < 2; ++channel) {
        for (CurveKind kind : {CurveKind::Graphic, CurveKind::Parametric}) {
            if (!IsPresent(channel, kind)) continue;
            const std::span<const double> curve = Response().Curve(channel, kind);
            for (std::size_t i = 0; i < size && i < curve.size(); ++i) {
                db[i] += 10.0 * std::log10(curve[i]);
            }
        }
    }
    return db;
}

OverlayCurves CFilterPage::DisplayedOverlay() {
    const MeasurementOverlay& overlay = Overlay(DisplayedChannel());
    if (!overlay.Loaded() || !HasDocumentData()) return {};
    BringResponseUpToDate();
    return OverlayOnGrid(overlay.shown, GridFrequencies(), EqLevelsInPath());
}

void CFilterPage::PaintOverlay(QPainter& painter) {
    if (!Overlay(DisplayedChannel()).Loaded() || !HasDocumentData()) return;
    const OverlayCurves curves = DisplayedOverlay();
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setPen(QPen(kMeasured, 1.0));
    DrawBrokenLine(painter, GridX(), curves.measuredDb, Mapping());
    painter.setPen(QPen(kResult, 1.0));
    DrawBrokenLine(painter, GridX(), curves.resultDb, Mapping());
    painter.setRenderHint(QPainter::Antialiasing, false);
}

void CFilterPage::AddContextActions(QMenu&) {}

void CFilterPage::RunAsOneStep(const QString& text, const std::function<void()>& edit) {
    CEditHistory* history = window()->findChild<CEditHistory*>();
    if (history != nullptr) {
        CGestureScope step(*history, text);
        edit();
    } else {
        edit();
    }
    Host().OnUpdate(1);
}

bool CFilterPage::FitToMeasurement(const CFitDialog::Choices& choices, QString& message) {
    const MeasurementOverlay& overlay = Overlay(DisplayedChannel());
    if (!overlay.Loaded() || !HasDocumentData()) {
        message = QStringLiteral("No measurement is shown for Ch %1.").arg(DisplayedChannel() + 1);
        return false;
    }
    FitRequest request;
    request.measurement = overlay.raw;
    if (choices.target == CFitDialog::Choices::Target::File) {
        Measurement::ParseResult target = ReadMeasurementFile(choices.targetPath.toStdString());
        if (!target.Ok()) {
            message = QString::fromStdString(target.error);
            return false;
        }
        request.target = std::move(target.measurement);
    } else if (choices.target == CFitDialog::Choices::Target::Tilt) {
        request.tiltDbPerOctave = choices.tiltDbPerOctave;
    }
    request.lowHz = choices.lowHz;
    request.highHz = choices.highHz;
    request.limits = choices.limits;
    const FitProblem::MakeResult made = FitProblem::Make(request);
    if (!made.problem) {
        message = QString::fromStdString(made.error);
        return false;
    }
    AppliedFit fit;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    RunAsOneStep(QStringLiteral("Fit to Measurement"), [&] {
        fit = FitAndApply(Document()->Edits(), EditedChannel(), PageEqKind(), *made.problem);
    });
    QApplication::restoreOverrideCursor();
    message = QStringLiteral("Fitted over %1-%2 Hz.\nBefore: %3\nAfter: %4")
                  .arg(QString::fromStdString(FormatNumber(made.problem->LowHz(), 0)))
                  .arg(QString::fromStdString(FormatNumber(made.problem->HighHz(), 0)))
                  .arg(ErrorText(fit.before))
                  .arg(ErrorText(fit.after));
    return true;
}

void CFilterPage::AskLoadMeasurement() {
    const int channel = DisplayedChannel();
    const QString path = QFileDialog::getOpenFileName(
        this, QStringLiteral("Load Measurement for Ch %1").arg(channel + 1),
        QString::fromStdString(Overlay(channel).path),
        QStringLiteral("Measurements (*.txt *.csv *.frd);;All files (*)"));
    if (path.isEmpty()) return;
    QString error;
    if (!LoadMeasurement(channel, path, Overlay(channel).normalisation, error)) {
        QMessageBox::warning(this, QStringLiteral("Load Measurement"), error);
    }
}

void CFilterPage::AskNormalisation() {
    const int channel = DisplayedChannel();
    const MeasurementOverlay& overlay = Overlay(channel);
    bool ok = false;
    const QString text = QInputDialog::getText(
        this, QStringLiteral("Normalise Measurement"),
        QStringLiteral("Bring to 0 dB by the mean over a range (\"mean 200-2000\")\nor by the "
                       "level at one frequency (\"at 1000\"):"),
        QLineEdit::Normal, QString::fromStdString(FormatNormalisation(overlay.normalisation)), &ok);
    if (!ok) return;
    const std::optional<Normalisation> normalisation = ParseNormalisation(text.toStdString());
    QString error = QStringLiteral("Write \"mean LOW-HIGH\" or \"at HZ\", e.g. \"mean 200-2000\".");
    if (!normalisation ||
        !LoadMeasurement(channel, QString::fromStdString(overlay.path), *normalisation, error)) {
        QMessageBox::warning(this, QStringLiteral("Normalise Measurement"), error);
    }
}

void CFilterPage::AskFit() {
    static CFitDialog::Choices choices;  // the last choices, offered again
    const QString what =
        QStringLiteral(
            "Fits the %1 EQ of Ch %2 so that the measurement shown plus the EQ comes "
            "closest to the target.")
            .arg(PageEqKind() == EqKind::Graphic ? QStringLiteral("graphic")
                                                 : QStringLiteral("parametric"))
            .arg(EditedChannel() + 1);
    if (!CFitDialog::Ask(what, this, choices)) return;
    QString message;
    if (!FitToMeasurement(choices, message)) {
        QMessageBox::warning(this, QStringLiteral("Fit to Measurement"), message);
        return;
    }
    QMessageBox::information(this, QStringLiteral("Fit to Measurement"), message);
}

}  // namespace arvestra
