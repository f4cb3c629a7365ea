#pragma once

#include <QObject>
#include <QPointer>
#include <QString>

#include <functional>

#include "document/LocationFileLock.h"
#include "ui/shell/RecentFileList.h"

class QWidget;

namespace arvestra {

class CQ7310Doc;
class CAppSettings;
struct FrameworkFileSteps;

// The document steps of the editor's commands: offering to save, New, Open, Save and Save As,
// the recent-file list, and going online and offline. The file dialogs are hooks so that tests
// can answer them.
class CDocumentActions : public QObject {
    Q_OBJECT
  public:
    static constexpr const char* kFileFilter = "Location Files (*.kvx)";

    CDocumentActions(CQ7310Doc& doc, CAppSettings& settings, QObject* parent = nullptr);

    // The window that owns the file dialogs and the Go Online dialog.
    void SetWindow(QWidget* owner) { window = owner; }

    // Offers to save a modified location ("Save changes to %s?", Yes/No/Cancel). False when the
    // user cancelled or the save failed, so the caller stops.
    bool SaveModified();
    // File New: clears the online flag (without touching the link), offers to save, makes a new
    // location. True when a new location was made.
    bool FileNew();
    // The new-document step alone (offer to save, then NewLocation), as Go Online uses it.
    bool NewDocument();
    // File Open: asks for a file and opens it.
    bool FileOpen();
    // Opens a Location File (recent file, command line, dropped file): offers to save first; a
    // file that cannot be read is reported and dropped from the recent list.
    bool OpenFile(const QString& path);
    // Opens a file dropped on the window. A file that is not a Location File gets its error
    // and leaves the open location as it was (an open from the menus would close the window).
    bool OpenDroppedFile(const QString& path);
    // True for a name a dropped Location File may have (".kvx", any case).
    static bool HasLocationSuffix(const QString& path);
    // File Save: a location without a file, or whose file is read-only, asks for a name.
    bool FileSave();
    // File Save As.
    bool FileSaveAs();

    // "&Work Online" while offline: the Go Online dialog and the choice made in it.
    void GoOnline();
    // "&Work Online" while online: offers to upload and save first, then goes offline.
    void GoOffline();
    // Runs one Go Online choice (1016, 1017 or 1018; anything else does nothing).
    void RunGoOnlineChoice(int choice);

    // The document's name for the title bar and the save question: the file's name or
    // "Untitled".
    QString DocumentName() const;
    CRecentFileList& Recent() { return recent; }
    // Writes the recent-file list to the settings.
    void SaveRecentList();

    // File dialog hooks: return the chosen path, or an empty string when cancelled.
    std::function<QString()> askOpenPath;
    std::function<QString(const QString& suggested)> askSavePath;
    // Go Online dialog hook: returns 1016, 1017, 1018 or 2 (Cancel).
    std::function<int()> askGoOnlineChoice;

  signals:
    // The recent-file list or the document's name changed.
    void documentChanged();

  private:
    bool DoSave(const QString& path, bool replaceName);
    void ReportUnreadable(const QString& path);
    // Takes the editing lock on a file about to be opened or saved; false after telling the
    // user which program holds it.
    bool LockForEditing(LocationFileLock& lock, const QString& path);
    QString DefaultOpenPath() const;
    QString DefaultSavePath() const;
    int DefaultGoOnlineChoice();
    // The offer to save and File Save, as going online and offline use them.
    FrameworkFileSteps FileSteps();

    CQ7310Doc& doc;
    CAppSettings& settings;
    QPointer<QWidget> window;
    CRecentFileList recent;
    // Held on the open Location File, so that no other program writes it meanwhile.
    LocationFileLock fileLock;
};

}  // namespace arvestra
