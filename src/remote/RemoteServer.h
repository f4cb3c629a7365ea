// The remote-control server: one port serves the page (compiled in) over HTTP and carries the
// live state over a WebSocket at /ws. Every request and socket must present the access code;
// wrong codes shut their address out for a while (CodeGate). The server lives on the thread
// that owns the document, so every message is applied there, one at a time, through the
// document's operations; a timer on the same thread sends the meters and notices edits made
// elsewhere (the editor's pages, the device), so every page follows every change.
#pragma once

#include <functional>
#include <memory>
#include <vector>

#include <QHostAddress>
#include <QJsonObject>
#include <QObject>
#include <QString>
#include <QTimer>

#include "remote/CodeGate.h"

class QHttpServer;
class QHttpServerRequest;
class QHttpServerResponse;
class QWebSocket;

namespace arvestra {
class CQ7310Doc;
}

namespace arvestra::remote {

class RemoteServer : public QObject {
    Q_OBJECT

  public:
    static constexpr int kMaxClients = 8;
    static constexpr int kMaxMessageBytes = 4096;
    // The meters and the check for edits made elsewhere run this often (20 times a second).
    static constexpr int kTickMs = 50;

    explicit RemoteServer(CQ7310Doc& doc, QObject* parent = nullptr);
    ~RemoteServer() override;

    // Listens on one address and port (0: any free port) with a new access code; false with
    // the reason in `error` when the port cannot be had.
    bool Start(const QHostAddress& address, quint16 port, QString* error = nullptr);
    // Closes every page's socket and stops listening.
    void Stop();
    bool IsListening() const { return http_ != nullptr; }

    QHostAddress Host() const { return address_; }
    quint16 Port() const { return port_; }
    QString Code() const { return code_; }
    // The address a browser opens: http://HOST:PORT/?code=CODE (empty when not listening).
    QString PageAddress() const;
    int ClientCount() const { return static_cast<int>(clients_.size()); }

    // Says whether the document is in the middle of an operation of its own (a dialog or a
    // long exchange whose waiting loop still serves the network). While it is, pages' commands
    // are refused with a message and no state is sent, so no operation ever runs inside another.
    void SetBusyCheck(std::function<bool()> busy) { busy_ = std::move(busy); }

  signals:
    // A page changed the document (the editor refreshes its views through the document too).
    void RemoteEdit();
    void ClientCountChanged(int clients);

  private:
    QHttpServerResponse ServeFile(const QHttpServerRequest& request, const QString& resource,
                                  const QByteArray& mimeType);
    GateVerdict JudgeOffer(const QHostAddress& peer, const QString& offered);
    void OnNewWebSocket();
    void Admit(QWebSocket* socket);
    void Drop(QWebSocket* socket, int closeCode, const QString& reason);
    void OnMessage(QWebSocket* socket, const QString& message);
    void OnTick();
    // Sends the state to every page when it differs from the last one sent (or always).
    void BroadcastState(bool always);
    void SendJson(QWebSocket* socket, const QJsonObject& message);
    bool DocumentBusy() const { return applying_ || (busy_ && busy_()); }

    CQ7310Doc& doc_;
    std::unique_ptr<QHttpServer> http_;
    std::vector<QWebSocket*> clients_;
    QHostAddress address_;
    quint16 port_ = 0;
    QString code_;
    CodeGate gate_;
    QTimer tick_;
    QJsonObject lastState_;  // without the response curves
    std::function<bool()> busy_;
    bool applying_ = false;  // a command is being applied (its waits may serve the network)
    QByteArray lastMeters_;
};

}  // namespace arvestra::remote
