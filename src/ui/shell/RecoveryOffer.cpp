#include "ui/shell/RecoveryOffer.h"

#include <QDateTime>
#include <QDir>
#include <QLocale>
#include <QString>
#include <QWidget>

#include "document/CQ7310Doc.h"
#include "document/RecoveryStore.h"
#include "ui/shell/DocumentActions.h"

namespace arvestra {

namespace {

UiAnswer Ask(UiPort& ui, const std::string& text, ButtonSet buttons, IconKind icon) {
    UiQuestion question;
    question.title = kAppTitle;
    question.text = text;
    question.buttons = buttons;
    question.icon = icon;
    return ui.Ask(question);
}

}  // namespace

std::string CRecoveryOffer::QuestionText(const std::string& originalPath, long long time) {
    const QString file = originalPath.empty()
                             ? QStringLiteral("Untitled")
                             : QDir::toNativeSeparators(QString::fromStdString(originalPath));
    const QString when =
        QLocale::system().toString(QDateTime::fromSecsSinceEpoch(time), QLocale::ShortFormat);
    return QStringLiteral("Unsaved changes to %1 from %2 were found. Recover them?")
        .arg(file, when)
        .toStdString();
}

int CRecoveryOffer::Run() {
    int recovered = 0;
    for (const LeftOverCopy& left :
         RecoveryStore::FindLeftOvers(doc_.Session().RecoveryDirectory())) {
        const UiAnswer answer = Ask(doc_.Ui(), QuestionText(left.note.originalPath, left.note.time),
                                    ButtonSet::YesNo, IconKind::Question);
        if (answer != UiAnswer::Yes) {
            RecoveryStore::Discard(left);
            continue;
        }
        // The document open now (a recovered one among them) is offered for saving first; a
        // cancel keeps this copy for the next start.
        if (!actions_.SaveModified()) continue;
        if (doc_.RecoverLocation(left.copyPath, left.note.originalPath) == 0) {
            Ask(doc_.Ui(),
                "The unsaved changes could not be recovered: the copy kept of them is damaged.",
                ButtonSet::Ok, IconKind::Warning);
        } else {
            ++recovered;
        }
        RecoveryStore::Discard(left);
        emit actions_.documentChanged();
    }
    return recovered;
}

}  // namespace arvestra
