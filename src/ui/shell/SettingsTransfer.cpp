#include "ui/shell/SettingsTransfer.h"

#include <QFile>
#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>
#include <QSaveFile>

#include "ui/shell/EditHistory.h"

namespace arvestra {

namespace {

const QString kFilter = QStringLiteral("Settings (*.json);;All Files (*)");

std::optional<SettingsKind> AskKindWithDialog(QWidget* window) {
    const QStringList items = {QStringLiteral("Edit buffer of the current device"),
                               QStringLiteral("Current device, with its 8 presets"),
                               QStringLiteral("Whole location")};
    bool ok = false;
    const QString chosen = QInputDialog::getItem(window, QStringLiteral("Export Settings"),
                                                 QStringLiteral("Export:"), items, 0, false, &ok);
    if (!ok) return std::nullopt;
    return static_cast<SettingsKind>(items.indexOf(chosen));
}

QString AskPathWithDialog(QWidget* window, bool forSaving) {
    if (forSaving) {
        QString path = QFileDialog::getSaveFileName(window, QStringLiteral("Export Settings"),
                                                    QString(), kFilter);
        if (!path.isEmpty() && QFileInfo(path).suffix().isEmpty()) path += QStringLiteral(".json");
        return path;
    }
    return QFileDialog::getOpenFileName(window, QStringLiteral("Import Settings"), QString(),
                                        kFilter);
}

void ShowReportBox(QWidget* window, bool warning, const QString& text, const QString& details) {
    QMessageBox box(warning ? QMessageBox::Warning : QMessageBox::Information,
                    QStringLiteral("Import Settings"), text, QMessageBox::Ok, window);
    box.setDetailedText(details);
    box.exec();
}

std::string ExportText(const DeviceTable& devices, SettingsKind kind) {
    switch (kind) {
        case SettingsKind::Preset:
            return ExportPresetJson(devices.Location(), devices.CurrentAddress(), 0);
        case SettingsKind::Device:
            return ExportDeviceJson(devices.Location(), devices.CurrentAddress());
        case SettingsKind::Location:
            break;
    }
    return ExportLocationJson(devices.Location());
}

}  // namespace

CSettingsTransfer::CSettingsTransfer(CQ7310Doc& document, CEditHistory& editHistory,
                                     QWidget* parentWindow)
    : doc(document), history(editHistory), window(parentWindow) {
    askKind = [this] { return AskKindWithDialog(window); };
    askPath = [this](bool forSaving) { return AskPathWithDialog(window, forSaving); };
    showReport = [this](bool warning, const QString& text, const QString& details) {
        ShowReportBox(window, warning, text, details);
    };
}

bool CSettingsTransfer::ExportTo(const QString& path, SettingsKind kind, QString& error) {
    const std::string text = ExportText(doc.Devices(), kind);
    if (text.empty()) {
        error = QStringLiteral("No device is selected.");
        return false;
    }
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) ||
        file.write(text.data(), static_cast<qint64>(text.size())) !=
            static_cast<qint64>(text.size()) ||
        !file.commit()) {
        error = file.errorString();
        return false;
    }
    return true;
}

ImportReport CSettingsTransfer::ImportFrom(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        ImportReport report;
        report.refused = true;
        report.refusal = "the file cannot be read: " + file.errorString().toStdString();
        return report;
    }
    // One byte more than an import accepts is enough to have it refused as too large.
    const QByteArray bytes = file.read(static_cast<qint64>(kMaxSettingsBytes) + 1);
    // Loaded settings replace what they reach, as a recall does: the import ends the undo
    // history itself.
    return ImportSettingsJson(doc, std::string_view(bytes.constData(), bytes.size()));
}

bool CSettingsTransfer::Export() {
    const std::optional<SettingsKind> kind = askKind();
    if (!kind) return false;
    const QString path = askPath(true);
    if (path.isEmpty()) return false;
    QString error;
    if (!ExportTo(path, *kind, error)) {
        showReport(true, QStringLiteral("The settings could not be written to %1.").arg(path),
                   error);
        return false;
    }
    return true;
}

bool CSettingsTransfer::Import() {
    const QString path = askPath(false);
    if (path.isEmpty()) return false;
    const ImportReport report = ImportFrom(path);
    doc.Ui().DocumentReloaded();
    if (report.refused) {
        showReport(
            true,
            QStringLiteral("Nothing was changed: %1.").arg(QString::fromStdString(report.refusal)),
            QString());
        return false;
    }
    QStringList problems;
    for (const std::string& problem : report.problems) {
        problems.append(QString::fromStdString(problem));
    }
    const QString text =
        problems.isEmpty()
            ? QStringLiteral("The settings were loaded.")
            : QStringLiteral("The settings were loaded, except for the %1 value(s) listed below.")
                  .arg(problems.size());
    showReport(!problems.isEmpty(), text, problems.join(QLatin1Char('\n')));
    return true;
}

}  // namespace arvestra
