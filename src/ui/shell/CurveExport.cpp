#include "ui/shell/CurveExport.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QSaveFile>

namespace arvestra {

namespace {

// The file's bytes for its suffix, or empty bytes with the reason.
CurvePicture Render(const QString& suffix, const std::vector<CurvePoint>& points,
                    const QString& title) {
    CurvePlotOptions options;
    options.title = title.toStdString();
    if (suffix == QStringLiteral("csv")) return {CurveCsv(points), {}};
    if (suffix == QStringLiteral("svg")) return RenderCurveSvg(points, options);
    return RenderCurvePng(points, options);
}

}  // namespace

bool CCurveExport::Save(const QString& path, const std::vector<CurvePoint>& points,
                        const QString& title, QString& error) {
    const CurvePicture picture = Render(QFileInfo(path).suffix().toLower(), points, title);
    if (picture.bytes.empty()) {
        error = QString::fromStdString(picture.error);
        return false;
    }
    QSaveFile file(path);
    const auto size = static_cast<qint64>(picture.bytes.size());
    if (!file.open(QIODevice::WriteOnly) || file.write(picture.bytes.data(), size) != size ||
        !file.commit()) {
        error = file.errorString();
        return false;
    }
    return true;
}

bool CCurveExport::Ask(QWidget* parent, const std::vector<CurvePoint>& points,
                       const QString& title) {
    QString path = QFileDialog::getSaveFileName(
        parent, QStringLiteral("Export Curve"), QString(),
        QStringLiteral("PNG Picture (*.png);;SVG Picture (*.svg);;CSV Table (*.csv)"));
    if (path.isEmpty()) return false;
    if (QFileInfo(path).suffix().isEmpty()) path += QStringLiteral(".png");
    QString error;
    if (Save(path, points, title, error)) return true;
    QMessageBox::warning(
        parent, QStringLiteral("Export Curve"),
        QStringLiteral("The curve could not be written to %1:\n%2").arg(path, error));
    return false;
}

}  // namespace arvestra
