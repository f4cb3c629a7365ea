#include "ui/shell/DocumentActions.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QWidget>

#include <cerrno>

#include "document/CQ7310Doc.h"
#include "document/GoOnline.h"
#include "document/LocationFileProbe.h"
#include "document/LocationMessages.h"
#include "ui/dialogs/GoOnlineDialog.h"
#include "ui/shell/AppSettings.h"

namespace arvestra {

namespace {

UiAnswer AskQuestion(UiPort& ui, const QString& text, ButtonSet buttons, IconKind icon) {
    UiQuestion question;
    question.title = kAppTitle;
    question.text = text.toStdString();
    question.buttons = buttons;
    question.icon = icon;
    return ui.Ask(question);
}

}  // namespace

CDocumentActions::CDocumentActions(CQ7310Doc& document, CAppSettings& appSettings, QObject* parent)
    : QObject(parent),
      doc(document),
      settings(appSettings),
      recent(CAppSettings::kRecentFileCount) {
    recent.Load(settings.RecentFiles());
    askOpenPath = [this] { return DefaultOpenPath(); };
    askSavePath = [this](const QString&) { return DefaultSavePath(); };
    askGoOnlineChoice = [this] { return DefaultGoOnlineChoice(); };
}

QString CDocumentActions::DocumentName() const {
    if (doc.Session().Path().empty()) {
        return QStringLiteral("Untitled");
    }
    return QFileInfo(QString::fromStdString(doc.Session().Path())).fileName();
}

void CDocumentActions::SaveRecentList() {
    settings.SetRecentFiles(recent.Files());
    emit documentChanged();
}

bool CDocumentActions::SaveModified() {
    if (!doc.IsModified()) {
        return true;
    }
    const UiAnswer answer =
        AskQuestion(doc.Ui(), QStringLiteral("Save changes to %1?").arg(DocumentName()),
                    ButtonSet::YesNoCancel, IconKind::Warning);
    if (answer == UiAnswer::Cancel) {
        return false;
    }
    if (answer == UiAnswer::No) {
        return true;
    }
    return FileSave();
}

bool CDocumentActions::NewDocument() {
    if (!SaveModified()) {
        return false;
    }
    const bool made = doc.NewLocation() != 0;
    fileLock.Release();
    emit documentChanged();
    return made;
}

bool CDocumentActions::FileNew() {
    doc.App().ClearOnlineFlag();
    return NewDocument();
}

QString CDocumentActions::DefaultOpenPath() const {
    return QFileDialog::getOpenFileName(window, QStringLiteral("Open"), QString(),
                                        QString::fromLatin1(kFileFilter));
}

QString CDocumentActions::DefaultSavePath() const {
    QFileDialog dialog(window, QStringLiteral("Save As"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setNameFilter(QString::fromLatin1(kFileFilter));
    dialog.setDefaultSuffix(QStringLiteral("kvx"));
    if (!doc.Session().Path().empty()) {
        dialog.selectFile(QString::fromStdString(doc.Session().Path()));
    } else {
        dialog.selectFile(QStringLiteral("Untitled.kvx"));
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return {};
    }
    return dialog.selectedFiles().constFirst();
}

bool CDocumentActions::FileOpen() {
    const QString path = askOpenPath();
    if (path.isEmpty()) {
        return false;
    }
    return OpenFile(path);
}

void CDocumentActions::ReportUnreadable(const QString& path) {
    AskQuestion(doc.Ui(),
                QStringLiteral("The file %1 cannot be opened: it does not exist or cannot be read.")
                    .arg(QDir::toNativeSeparators(path)),
                ButtonSet::Ok, IconKind::Warning);
}

bool CDocumentActions::OpenFile(const QString& path) {
    const QFileInfo info(path);
    const QString absolute = QDir::cleanPath(info.absoluteFilePath());
    // Opening the location that is open already only brings it to the front.
    if (!doc.Session().Path().empty() &&
        QDir::cleanPath(
            QFileInfo(QString::fromStdString(doc.Session().Path())).absoluteFilePath()) ==
            absolute) {
        return true;
    }
    if (!SaveModified()) {
        return false;
    }
    // A missing or unreadable file is turned away here: the working copy step would otherwise
    // treat it as a fatal error and close the application.
    if (!info.isFile() || !info.isReadable()) {
        ReportUnreadable(absolute);
        recent.Remove(absolute);
        SaveRecentList();
        return false;
    }
    LocationFileLock lock;
    if (!LockForEditing(lock, absolute)) return false;
    if (doc.OpenLocation(absolute.toStdString()) == 0) {
        emit documentChanged();
        return false;
    }
    lock.Release();
    fileLock.Acquire(absolute.toStdString());
    recent.Add(absolute);
    SaveRecentList();
    return true;
}

bool CDocumentActions::LockForEditing(LocationFileLock& lock, const QString& path) {
    LockHolder holder;
    if (lock.Acquire(path.toStdString(), &holder) != EWOULDBLOCK) return true;
    AskQuestion(doc.Ui(), QString::fromStdString(LockedFileMessage(path.toStdString(), holder)),
                ButtonSet::Ok, IconKind::Warning);
    return false;
}

bool CDocumentActions::HasLocationSuffix(const QString& path) {
    return QFileInfo(path).suffix().compare(QStringLiteral("kvx"), Qt::CaseInsensitive) == 0;
}

bool CDocumentActions::OpenDroppedFile(const QString& path) {
    const QFileInfo info(path);
    // A missing or unreadable file gets OpenFile's own message.
    if (info.isFile() && info.isReadable()) {
        const HeaderCheck check = ProbeLocationFile(info.absoluteFilePath().toStdString());
        if (check.verdict == HeaderVerdict::kRefused) {
            const FileFault& fault = check.fault;
            AskQuestion(doc.Ui(),
                        QString::fromStdString(ErrorReporter::FormatFatalText(
                            kMsgCorruptLocationFile, fault.number, fault.systemError, fault.detail1,
                            fault.detail2)),
                        ButtonSet::Ok, IconKind::Stop);
            return false;
        }
    }
    return OpenFile(path);
}

bool CDocumentActions::FileSave() {
    const QString path = QString::fromStdString(doc.Session().Path());
    const QFileInfo info(path);
    // A file without any write permission is read-only for root as well: the save would refuse it.
    const bool readOnly =
        info.exists() && (!info.isWritable() ||
                          (info.permissions() & (QFileDevice::WriteOwner | QFileDevice::WriteGroup |
                                                 QFileDevice::WriteOther)) == 0);
    const bool needName = path.isEmpty() || readOnly;
    return DoSave(path, needName);
}

bool CDocumentActions::FileSaveAs() {
    return DoSave(QString::fromStdString(doc.Session().Path()), true);
}

bool CDocumentActions::DoSave(const QString& path, bool replaceName) {
    QString target = path;
    if (replaceName) {
        target = askSavePath(path);
        if (target.isEmpty()) {
            return false;
        }
    }
    const QString absolute = QDir::cleanPath(QFileInfo(target).absoluteFilePath());
    const bool held = fileLock.Path() == absolute.toStdString();
    LocationFileLock lock;
    if (!held && !LockForEditing(lock, absolute)) return false;
    if (doc.SaveLocation(absolute.toStdString()) == 0) {
        emit documentChanged();
        return false;
    }
    // The save put a new file in place of the one that was locked.
    lock.Release();
    fileLock.Acquire(absolute.toStdString());
    recent.Add(absolute);
    SaveRecentList();
    return true;
}

FrameworkFileSteps CDocumentActions::FileSteps() {
    FrameworkFileSteps steps;
    steps.saveModified = [this] { return SaveModified(); };
    steps.fileSave = [this] { return FileSave(); };
    return steps;
}

int CDocumentActions::DefaultGoOnlineChoice() {
    arvestra::GoOnline operation(doc.App(), doc, FileSteps());
    CGoOnlineDialog dialog([&operation] { return operation.ConfirmUpload(); }, window);
    return dialog.Choose();
}

void CDocumentActions::GoOnline() {
    RunGoOnlineChoice(askGoOnlineChoice());
}

void CDocumentActions::RunGoOnlineChoice(int choice) {
    if (choice == CGoOnlineDialog::kCreateNew || choice == CGoOnlineDialog::kUpload ||
        choice == CGoOnlineDialog::kDownload) {
        arvestra::GoOnline operation(doc.App(), doc, FileSteps());
        operation.Run(static_cast<GoOnlineChoice>(choice));
    }
    emit documentChanged();
}

void CDocumentActions::GoOffline() {
    arvestra::GoOnline operation(doc.App(), doc, FileSteps());
    operation.GoOffline();
    emit documentChanged();
}

}  // namespace arvestra
