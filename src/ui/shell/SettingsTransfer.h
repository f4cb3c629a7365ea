#pragma once

#include <QString>
#include <QWidget>

#include <functional>
#include <optional>

#include "document/SettingsJson.h"

namespace arvestra {

class CEditHistory;

// File > Export Settings... and File > Import Settings...: settings as readable JSON, for the
// edit buffer of the current device, the current device or the whole location. An import
// clears the undo history, as a recall does.
class CSettingsTransfer {
  public:
    CSettingsTransfer(CQ7310Doc& doc, CEditHistory& history, QWidget* window);

    // Asks what to export and where, and writes it; false when cancelled or not written.
    bool Export();
    // Asks for a settings file and loads it, then shows what was loaded and each problem.
    bool Import();

    // Writes the chosen settings to a file; false with `error` set when that failed.
    bool ExportTo(const QString& path, SettingsKind kind, QString& error);
    // Loads a settings file; a file that cannot be read is refused like one that is not JSON.
    ImportReport ImportFrom(const QString& path);

    // The questions and the report box (tests replace them).
    std::function<std::optional<SettingsKind>()> askKind;
    std::function<QString(bool forSaving)> askPath;
    std::function<void(bool warning, const QString& text, const QString& details)> showReport;

  private:
    CQ7310Doc& doc;
    CEditHistory& history;
    QWidget* window;
};

}  // namespace arvestra
