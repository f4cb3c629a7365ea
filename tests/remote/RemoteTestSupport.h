#pragma once

#include <QByteArray>
#include <QJsonObject>
#include <QObject>
#include <QString>
#include <QWebSocket>
#include <functional>
#include <vector>

#include "remote/EventWait.h"

namespace arvestra::test {

// A page's socket, in the test's own thread: collects the JSON messages the server sends.
class PageClient : public QObject {
  public:
    // Opens ws://127.0.0.1:port/ws?code=code (wss:// when secure, taking any certificate).
    PageClient(quint16 port, const QString& code, bool secure = false);

    bool WaitConnected() {
        return RunUntil([this] { return connected_; });
    }
    bool WaitClosed() {
        return RunUntil([this] { return closed_; });
    }
    bool Closed() const { return closed_; }
    int CloseCode() const { return socket_.closeCode(); }
    QString CloseReason() const { return socket_.closeReason(); }
    void Send(const QString& text) { socket_.sendTextMessage(text); }
    void Send(const QJsonObject& message);
    // Waits for the next message of type `type` that satisfies `pred` (any, when empty).
    bool WaitFor(const QString& type, const std::function<bool(const QJsonObject&)>& pred = {},
                 QJsonObject* found = nullptr, int timeoutMs = 3000);
    int Count(const QString& type) const;
    // The latest message of a type received so far (empty when none).
    QJsonObject Last(const QString& type) const;
    void Clear() { received_.clear(); }

  private:
    QWebSocket socket_;
    std::vector<QJsonObject> received_;
    bool connected_ = false;
    bool closed_ = false;
};

// The code of channel `ch` field `name` element `i` in a state message.
int StateCode(const QJsonObject& state, int ch, const char* name, int i = -1);

}  // namespace arvestra::test
