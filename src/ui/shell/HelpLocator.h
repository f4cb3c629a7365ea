#pragma once

#include <QString>
#include <QStringList>

namespace arvestra {

// Finds the user guide (help/index.html): installed beside the program
// (<prefix>/share/arvestra/help), next to the binary (help/), or in the source tree the program
// was built from (docs/help).
class CHelpLocator {
  public:
    // The places looked at, in order, for a program in `applicationDir`.
    static QStringList Candidates(const QString& applicationDir);
    // The first candidate that exists, or an empty string.
    static QString FindIndex(const QString& applicationDir);
};

}  // namespace arvestra
