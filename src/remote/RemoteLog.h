// The record of what remote pages changed: one line per change, with the time, the page (its
// address and number), the parameter and the value, appended to a file the user can read after
// the show.
#pragma once

#include <QString>
#include <string>

namespace arvestra::remote {

struct RemoteCommand;

class RemoteLog {
  public:
    // Where lines go; empty: nowhere.
    void SetPath(const std::string& path) { path_ = QString::fromStdString(path); }
    const QString& Path() const { return path_; }

    // Appends "TIME PAGE PARAMETER=VALUE"; a log that cannot be written loses the line, never
    // the change.
    void Write(const QString& page, const RemoteCommand& command) const;

    // The parameter and value of a command as the log shows them, e.g. "ch2.eq.graphic_gain[13]"
    // and "21" (channels and elements counted from 1 as the CLI does).
    static QString Parameter(const RemoteCommand& command);
    static QString Value(const RemoteCommand& command);

  private:
    QString path_;
};

}  // namespace arvestra::remote
