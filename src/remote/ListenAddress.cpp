#include "remote/ListenAddress.h"

namespace arvestra::remote {

namespace {

std::optional<ListenAddress> Refuse(QString* error, const QString& reason) {
    if (error) *error = reason;
    return std::nullopt;
}

}  // namespace

std::optional<ListenAddress> ParseListenAddress(const QString& text, QString* error) {
    const qsizetype colon = text.lastIndexOf(':');
    if (colon <= 0) return Refuse(error, "expected HOST:PORT, e.g. 192.168.1.20:8080");
    QString host = text.left(colon);
    bool numeric = false;
    const uint port = text.mid(colon + 1).toUInt(&numeric);
    if (!numeric || port > 65535) {
        return Refuse(error, "the port must be a number from 0 (any free port) to 65535");
    }
    if (host.startsWith('[') && host.endsWith(']')) {
        host = host.mid(1, host.size() - 2);
    } else if (host.contains(':')) {
        return Refuse(error, "an IPv6 address goes in brackets, e.g. [::1]:8080");
    }
    ListenAddress address;
    address.port = static_cast<quint16>(port);
    if (host.compare("localhost", Qt::CaseInsensitive) == 0) {
        address.host = QHostAddress(QHostAddress::LocalHost);
    } else if (!address.host.setAddress(host)) {
        return Refuse(error, "\"" + host + "\" is not an IP address of this computer");
    }
    return address;
}

}  // namespace arvestra::remote
