// "arvestra-cli serve" run as a program against the simulator, for the serve and browser tests.
#pragma once

#include <QFileInfo>
#include <QProcess>
#include <QProcessEnvironment>
#include <QUrl>
#include <QUrlQuery>
#include <string>

#include "integration/CliHarness.h"
#include "link/DeviceCommands.h"
#include "remote/RemoteTestSupport.h"

namespace arvestra::test {

// True when the simulator logged a write of the edit buffer of `address` carrying `value` at
// image byte `offset`.
inline bool BusHasWrite(const cli_it::SimulatedBus& bus, int address, int offset, int value) {
    for (const cli_it::LoggedRequest& r : cli_it::WithCommand(bus.Requests(), CMD_WRITE_IMAGE)) {
        if (r.address != address || r.payload.size() < 2 || r.payload[0] != 0) continue;
        const int first = r.payload[1];
        const std::size_t at = static_cast<std::size_t>(2 + offset - first);
        if (offset >= first && at < r.payload.size() && r.payload[at] == value) return true;
    }
    return false;
}

// Starts serve on the bus with FILE, listening on a free loopback port, over plain HTTP unless
// `secure`; its configuration and state (certificate, working copies, log) go beside FILE. The
// page's address (empty when the tool printed none within 20 s).
inline QUrl StartServe(QProcess& serve, const cli_it::SimulatedBus& bus, const std::string& file,
                       const QStringList& extra = {}, bool secure = false) {
    const QString home = QFileInfo(QString::fromStdString(file)).absolutePath();
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("XDG_CONFIG_HOME", home + "/config");
    environment.insert("XDG_STATE_HOME", home + "/state");
    serve.setProcessEnvironment(environment);
    serve.setProcessChannelMode(QProcess::SeparateChannels);
    QStringList arguments{
        "serve",  "--port",     QString::fromStdString(bus.Port()), QString::fromStdString(file),
        "--http", "127.0.0.1:0"};
    if (!secure) arguments << "--insecure";
    serve.start(ARVESTRA_CLI_PATH, arguments + extra);
    if (!RunUntil([&] { return serve.canReadLine(); }, 20000)) return {};
    return QUrl(QString::fromUtf8(serve.readLine()).trimmed());
}

inline QString CodeOf(const QUrl& page) {
    return QUrlQuery(page).queryItemValue("code");
}

// Ends serve with SIGTERM; true when it saved and exited with status 0.
inline bool StopServe(QProcess& serve) {
    serve.terminate();
    if (!RunUntil([&] { return serve.state() == QProcess::NotRunning; }, 30000)) return false;
    return serve.exitStatus() == QProcess::NormalExit && serve.exitCode() == 0;
}

}  // namespace arvestra::test
