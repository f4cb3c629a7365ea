#pragma once

#include <QString>
#include <QStringList>

namespace arvestra {

// The most recently used Location Files, newest first, without duplicates, at most `capacity`.
class CRecentFileList {
  public:
    explicit CRecentFileList(int capacity = 4) : capacity(capacity) {}

    // Puts a file at the top (moving it up if it is listed already, under its absolute path).
    void Add(const QString& path);
    // Drops a file from the list (it could not be opened).
    void Remove(const QString& path);
    // Replaces the list (from the settings); blanks and duplicates are dropped.
    void Load(const QStringList& files);

    const QStringList& Files() const { return files; }
    // The menu text of entry i (0-based): "&1 path", with the home folder shown as "~".
    QString MenuText(int index) const;

  private:
    static QString Normalise(const QString& path);

    int capacity;
    QStringList files;
};

}  // namespace arvestra
