// "Import Filters..." on the parametric EQ page: the peaking filters a measurement program
// proposes, each as the band whose response comes closest to it.
#include <QFileDialog>
#include <QMenu>
#include <QMessageBox>

#include "document/EqCodeEdits.h"
#include "document/PageDocument.h"
#include "tune/BandMatcher.h"
#include "tune/TextFileReader.h"
#include "tune/TextLines.h"
#include "ui/pages/ParametricEqPage.h"

namespace arvestra {

namespace {

QString Remarks(const std::vector<FilterLineRemark>& remarks) {
    return QString::fromStdString(FormatRemarks(remarks)).trimmed();
}

}  // namespace

void CParametricEqPage::AddContextActions(QMenu& menu) {
    menu.addSeparator();
    QAction* import = menu.addAction(QStringLiteral("&Import Filters..."));
    import->setEnabled(IsEditable());
    connect(import, &QAction::triggered, this, [this] { AskImportFilters(); });
}

bool CParametricEqPage::ImportFilters(
    const QString& path, const std::function<bool(const QString& report)>& acceptProblems,
    QString& message) {
    if (!HasDocumentData()) return false;
    const TextFileResult file = ReadTuneTextFile(path.toStdString());
    if (!file.Ok()) {
        message = QString::fromStdString(file.error);
        return false;
    }
    const FilterList list = ParseFilterList(file.text);
    if (!list.Ok()) {
        message = path + QStringLiteral(": ") + QString::fromStdString(list.error);
        return false;
    }
    if (!list.problems.empty() && !acceptProblems(Remarks(list.problems))) {
        message.clear();  // the user chose to import nothing
        return false;
    }
    const BandMatch match = MatchFilters(list.filters);
    const int count = static_cast<int>(list.filters.size());
    const int channel = EditedChannel();
    RunAsOneStep(QStringLiteral("Import Filters"),
                 [&] { ApplyImportedBands(Document()->Edits(), channel, match.bands, count); });
    message = QStringLiteral(
                  "%1 filter(s) set on bands 1 to %1 of Ch %2.\nThe bands come within "
                  "%3 dB RMS (%4 dB worst) of the file's response.")
                  .arg(count)
                  .arg(channel + 1)
                  .arg(QString::fromStdString(FormatNumber(match.total.rmsDb, 2)))
                  .arg(QString::fromStdString(FormatNumber(match.total.maxDb, 2)));
    if (!list.notes.empty()) message += QStringLiteral("\n\n") + Remarks(list.notes);
    return true;
}

void CParametricEqPage::AskImportFilters() {
    const QString path = QFileDialog::getOpenFileName(
        this, QStringLiteral("Import Filters into Ch %1").arg(EditedChannel() + 1), QString(),
        QStringLiteral("Filter lists (*.txt *.cfg);;All files (*)"));
    if (path.isEmpty()) return;
    const auto ask = [this](const QString& report) {
        QMessageBox box(QMessageBox::Question, QStringLiteral("Import Filters"),
                        QStringLiteral("Some lines cannot be imported as they stand:\n\n%1\n\n"
                                       "Import the rest?")
                            .arg(report),
                        QMessageBox::Yes | QMessageBox::No, this);
        box.setDefaultButton(QMessageBox::No);
        return box.exec() == QMessageBox::Yes;
    };
    QString message;
    if (ImportFilters(path, ask, message)) {
        QMessageBox::information(this, QStringLiteral("Import Filters"), message);
    } else if (!message.isEmpty()) {
        QMessageBox::warning(this, QStringLiteral("Import Filters"), message);
    }
}

}  // namespace arvestra
