#include "ui/shell/RecentFileList.h"

#include <QDir>
#include <QFileInfo>

namespace arvestra {

QString CRecentFileList::Normalise(const QString& path) {
    return QDir::cleanPath(QFileInfo(path).absoluteFilePath());
}

void CRecentFileList::Add(const QString& path) {
    if (path.isEmpty()) {
        return;
    }
    const QString normal = Normalise(path);
    files.removeAll(normal);
    files.prepend(normal);
    while (files.size() > capacity) {
        files.removeLast();
    }
}

void CRecentFileList::Remove(const QString& path) {
    files.removeAll(Normalise(path));
}

void CRecentFileList::Load(const QStringList& list) {
    files.clear();
    for (const QString& file : list) {
        if (file.trimmed().isEmpty()) {
            continue;
        }
        const QString normal = Normalise(file);
        if (!files.contains(normal) && files.size() < capacity) {
            files.append(normal);
        }
    }
}

QString CRecentFileList::MenuText(int index) const {
    if (index < 0 || index >= files.size()) {
        return {};
    }
    QString shown = files.at(index);
    const QString home = QDir::homePath();
    if (!home.isEmpty() && home != QStringLiteral("/") && shown.startsWith(home + '/')) {
        shown = QStringLiteral("~") + shown.mid(home.size());
    }
    // A literal '&' in a path would otherwise become a mnemonic.
    shown.replace('&', QStringLiteral("&&"));
    return QStringLiteral("&%1 %2").arg(index + 1).arg(shown);
}

}  // namespace arvestra
