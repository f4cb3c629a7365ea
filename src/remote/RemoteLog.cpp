#include "remote/RemoteLog.h"

#include <QDateTime>
#include <QFile>

#include "remote/RemoteCommand.h"

namespace arvestra::remote {

QString RemoteLog::Parameter(const RemoteCommand& command) {
    switch (command.kind) {
        case CommandKind::Set: {
            QString name = QStringLiteral("ch%1.%2")
                               .arg(command.channel + 1)
                               .arg(QString::fromLatin1(FieldInfo(command.field).name));
            if (FieldInfo(command.field).indexCount > 1) {
                name += QStringLiteral("[%1]").arg(command.index + 1);
            }
            return name;
        }
        case CommandKind::Bypass:
            return QStringLiteral("ch%1.bypass").arg(command.channel + 1);
        case CommandKind::Device:
            return QStringLiteral("device");
        case CommandKind::Recall:
            return QStringLiteral("recall");
        case CommandKind::Store:
            return QStringLiteral("store");
    }
    return {};
}

QString RemoteLog::Value(const RemoteCommand& command) {
    switch (command.kind) {
        case CommandKind::Set:
            return QString::number(command.code);
        case CommandKind::Bypass:
            return command.on ? QStringLiteral("on") : QStringLiteral("off");
        case CommandKind::Device:
            return QString::number(command.address);
        case CommandKind::Recall:
            return QString::number(command.preset);
        case CommandKind::Store: {
            QString value = QString::number(command.preset);
            if (command.name) value += " \"" + QString::fromStdString(*command.name) + '"';
            return value;
        }
    }
    return {};
}

void RemoteLog::Write(const QString& page, const RemoteCommand& command) const {
    if (path_.isEmpty()) return;
    QFile file(path_);
    if (!file.open(QIODevice::Append | QIODevice::Text)) return;
    const QString line = QDateTime::currentDateTime().toString(Qt::ISODate) + ' ' + page + ' ' +
                         Parameter(command) + '=' + Value(command) + '\n';
    file.write(line.toUtf8());
}

}  // namespace arvestra::remote
