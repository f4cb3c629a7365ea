#pragma once

#include <QWizard>

#include <functional>
#include <memory>
#include <string>

#include "document/DocCopy.h"
#include "ui/wizard/CopyWizNavigation.h"

namespace arvestra {

class CLocationBuffer;
class CQ7310Doc;

// The copy wizard "Copy Wiz" (Ctrl+C, Ctrl+Insert): what to copy (a setting, a preset or a
// whole device), from where (the current location or a Location File, and which unit, preset
// and setting) and to where (the same, with several units, presets or settings at once).
// Finish copies: into the current location through the document (live to the devices while
// online), into a file by saving it atomically; a source file is only read. The page ids are
// the pages' template numbers and nextId() only reads the choices.
class CCopyWiz : public QWizard {
    Q_OBJECT
  public:
    // Asks for a file; `destination` selects the destination's dialog. Empty when cancelled.
    using FileChooser = std::function<QString(bool destination, const QString& current)>;

    CCopyWiz(CQ7310Doc& doc, QWidget* parent);
    ~CCopyWiz() override;

    CQ7310Doc& Doc() { return doc; }
    // The three choices, all 0 when the wizard opens.
    copywiz::Choices& Choices() { return choices; }
    const copywiz::Choices& Choices() const { return choices; }

    // The file names of the two file pages.
    QString SourcePath() const { return sourcePath; }
    QString DestinationPath() const { return destinationPath; }
    void SetSourcePath(const QString& path) { sourcePath = path; }
    void SetDestinationPath(const QString& path) { destinationPath = path; }

    // Reads the file of a side for its lists; false after telling the user why.
    bool LoadFile(bool destination);
    // The location a side's lists show: the document's, or the file read for it; null while
    // that file has not been read.
    const CLocationImage* ListLocation(bool destination) const;
    // True when a side's lists show the current location (they then follow the bus online).
    bool ListsShowCurrentLocation(bool destination) const;
    // Changes whenever what a side's lists show changes (list pages refill then, only then).
    int LocationGeneration(bool destination) const;

    // The copy the pages describe.
    CopyRequest Request() const;
    // A line saying what has been chosen so far.
    QString Summary() const;

    // Replaces the file dialogs (tests).
    void SetFileChooser(FileChooser chooser) { fileChooser = std::move(chooser); }
    QString ChooseFile(bool destination, const QString& current);

    // Finish on a last page runs the copy; a failure is shown and the wizard stays open.
    bool validateCurrentPage() override;
    // The text of the last failure, empty after a successful copy.
    const std::string& LastError() const { return lastError; }

  private:
    void AddPages();
    bool RunTheCopy();

    CQ7310Doc& doc;
    copywiz::Choices choices;
    QString sourcePath;
    QString destinationPath;
    std::unique_ptr<CLocationBuffer> sourceFile;
    std::unique_ptr<CLocationBuffer> destinationFile;
    int sourceGeneration = 0;
    int destinationGeneration = 0;
    FileChooser fileChooser;
    std::string lastError;
};

}  // namespace arvestra
