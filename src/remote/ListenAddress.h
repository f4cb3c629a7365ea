// The address the remote server listens on, as typed: HOST:PORT, where HOST is an IPv4
// address, an IPv6 address in brackets ([::1]:8080) or "localhost", and PORT is 0..65535
// (0: any free port, shown in the page's address).
// Names other than localhost are not looked up: the server listens on one interface, named by
// its address.
#pragma once

#include <optional>

#include <QHostAddress>
#include <QString>

namespace arvestra::remote {

struct ListenAddress {
    QHostAddress host;
    quint16 port = 0;
};

// The address, or empty with the reason in `error`.
std::optional<ListenAddress> ParseListenAddress(const QString& text, QString* error = nullptr);

}  // namespace arvestra::remote
