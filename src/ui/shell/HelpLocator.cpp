#include "ui/shell/HelpLocator.h"

#include <QDir>
#include <QFileInfo>

namespace arvestra {

QStringList CHelpLocator::Candidates(const QString& applicationDir) {
    const QDir dir(applicationDir);
    QStringList candidates{
        QDir::cleanPath(dir.filePath(QStringLiteral("../share/arvestra/help/index.html"))),
        QDir::cleanPath(dir.filePath(QStringLiteral("help/index.html"))),
    };
#ifdef ARVESTRA_HELP_SOURCE_DIR
    candidates.append(
        QDir::cleanPath(QStringLiteral(ARVESTRA_HELP_SOURCE_DIR) + QStringLiteral("/index.html")));
#endif
    return candidates;
}

QString CHelpLocator::FindIndex(const QString& applicationDir) {
    for (const QString& candidate : Candidates(applicationDir)) {
        if (QFileInfo(candidate).isFile()) {
            return candidate;
        }
    }
    return {};
}

}  // namespace arvestra
