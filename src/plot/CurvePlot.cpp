// Pictures drawn with QPainter: on a QSvgGenerator for SVG, on a QImage for PNG.
#include "plot/CurvePlot.h"

#include <QBuffer>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QSvgGenerator>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <memory>

namespace arvestra {

namespace {

constexpr double kLowestHz = 19.2;
constexpr double kHighestHz = 21000.0;
constexpr double kGridHz[] = {20, 50, 100, 200, 500, 1000, 2000, 5000, 10000, 20000};
constexpr int kMargin = 40;
constexpr int kSmallestSide = 2 * kMargin + 20;
constexpr int kLargestSide = 8192;

// Text needs a font database, which needs an application object: a program without one (the
// command-line tool) gets an off-screen one for the rest of its run.
void EnsureApplication() {
    if (QCoreApplication::instance() != nullptr) return;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    // Such a program prints its own messages; Qt's notes about the desktop session it lacks
    // (no runtime directory and the like) are not for its users.
    qInstallMessageHandler([](QtMsgType type, const QMessageLogContext&, const QString& text) {
        if (type == QtCriticalMsg || type == QtFatalMsg) {
            std::fprintf(stderr, "%s\n", text.toLocal8Bit().constData());
        }
    });
    static int argc = 1;
    static char name[] = "arvestra";
    static char* argv[] = {name, nullptr};
    static std::unique_ptr<QGuiApplication> app = std::make_unique<QGuiApplication>(argc, argv);
}

class Axes {
  public:
    Axes(const CurvePlotOptions& options)
        : plot(kMargin, kMargin, options.width - 2 * kMargin, options.height - 2 * kMargin),
          lowestDb(options.lowestDb),
          highestDb(options.highestDb > options.lowestDb ? options.highestDb
                                                         : options.lowestDb + 1.0) {}

    double X(double hz) const {
        const double clamped = std::clamp(hz, kLowestHz, kHighestHz);
        return plot.left() +
               plot.width() * std::log(clamped / kLowestHz) / std::log(kHighestHz / kLowestHz);
    }
    double Y(double db) const {
        const double clamped = std::clamp(db, lowestDb, highestDb);
        return plot.bottom() - plot.height() * (clamped - lowestDb) / (highestDb - lowestDb);
    }

    QRectF plot;
    double lowestDb;
    double highestDb;
};

QString HzLabel(double hz) {
    return hz >= 1000.0 ? QStringLiteral("%1k").arg(hz / 1000.0) : QString::number(hz);
}

void Draw(QPainter& painter, const std::vector<CurvePoint>& points,
          const CurvePlotOptions& options) {
    const Axes axes(options);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.fillRect(QRectF(0, 0, options.width, options.height), Qt::white);
    QFont font = painter.font();
    font.setPixelSize(11);
    painter.setFont(font);

    painter.setPen(QPen(QColor(210, 210, 210), 1));
    for (const double hz : kGridHz) {
        const double x = axes.X(hz);
        painter.drawLine(QPointF(x, axes.plot.top()), QPointF(x, axes.plot.bottom()));
        painter.setPen(Qt::darkGray);
        painter.drawText(QRectF(x - 20, axes.plot.bottom() + 4, 40, 14), Qt::AlignCenter,
                         HzLabel(hz));
        painter.setPen(QPen(QColor(210, 210, 210), 1));
    }
    const double step = (axes.highestDb - axes.lowestDb) > 24.0 ? 6.0 : 3.0;
    for (double db = std::ceil(axes.lowestDb / step) * step; db <= axes.highestDb; db += step) {
        const double y = axes.Y(db);
        painter.setPen(QPen(db == 0.0 ? QColor(150, 150, 150) : QColor(210, 210, 210), 1));
        painter.drawLine(QPointF(axes.plot.left(), y), QPointF(axes.plot.right(), y));
        painter.setPen(Qt::darkGray);
        painter.drawText(QRectF(0, y - 7, kMargin - 4, 14), Qt::AlignRight | Qt::AlignVCenter,
                         QString::number(db));
    }
    painter.setPen(QPen(Qt::black, 1));
    painter.drawRect(axes.plot);
    if (!options.title.empty()) {
        painter.drawText(QRectF(0, 8, options.width, 20), Qt::AlignCenter,
                         QString::fromStdString(options.title));
    }

    QPainterPath curve;
    for (std::size_t i = 0; i < points.size(); ++i) {
        if (!std::isfinite(points[i].hz) || !std::isfinite(points[i].levelDb)) continue;
        const QPointF at(axes.X(points[i].hz), axes.Y(points[i].levelDb));
        if (curve.elementCount() == 0) {
            curve.moveTo(at);
        } else {
            curve.lineTo(at);
        }
    }
    painter.setClipRect(axes.plot);
    painter.setPen(QPen(QColor(0, 90, 200), 2));
    painter.drawPath(curve);
}

CurvePlotOptions Bounded(CurvePlotOptions options) {
    options.width = std::clamp(options.width, kSmallestSide, kLargestSide);
    options.height = std::clamp(options.height, kSmallestSide, kLargestSide);
    return options;
}

}  // namespace

CurvePicture RenderCurveSvg(const std::vector<CurvePoint>& points,
                            const CurvePlotOptions& requested) {
    EnsureApplication();
    const CurvePlotOptions options = Bounded(requested);
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    QSvgGenerator generator;
    generator.setOutputDevice(&buffer);
    generator.setSize(QSize(options.width, options.height));
    generator.setViewBox(QRect(0, 0, options.width, options.height));
    generator.setTitle(QString::fromStdString(options.title));
    QPainter painter;
    if (!painter.begin(&generator)) return {{}, "the SVG picture could not be started"};
    Draw(painter, points, options);
    painter.end();
    return {buffer.data().toStdString(), {}};
}

CurvePicture RenderCurvePng(const std::vector<CurvePoint>& points,
                            const CurvePlotOptions& requested) {
    EnsureApplication();
    const CurvePlotOptions options = Bounded(requested);
    QImage image(options.width, options.height, QImage::Format_ARGB32_Premultiplied);
    if (image.isNull()) return {{}, "there is not enough memory for the picture"};
    {
        QPainter painter(&image);
        Draw(painter, points, options);
    }
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    if (!image.save(&buffer, "PNG")) return {{}, "the PNG picture could not be written"};
    return {buffer.data().toStdString(), {}};
}

}  // namespace arvestra
