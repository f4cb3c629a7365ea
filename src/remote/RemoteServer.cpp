#include "remote/RemoteServer.h"

#include <QFile>
#include <QHttpServer>
#include <QHttpServerRequest>
#include <QHttpServerResponder>
#include <QHttpServerResponse>
#include <QJsonDocument>
#include <QTcpServer>
#include <QUrlQuery>
#include <QWebSocket>

#include "document/CQ7310Doc.h"
#include "remote/AccessCode.h"
#include "remote/RemoteCommand.h"
#include "remote/RemoteState.h"

// The page's files are compiled into this static library; their registration must be called
// by name, outside any namespace.
static void InitRemoteResources() {
    Q_INIT_RESOURCE(remote);
}

namespace arvestra::remote {

namespace {

constexpr char kCookieName[] = "arvestra_code";

// The code a request offers: ?code= first, else the cookie the page was served with.
QString OfferedCode(const QHttpServerRequest& request) {
    const QString query = request.query().queryItemValue("code");
    if (!query.isEmpty()) return query;
    const QByteArray cookies = request.value("Cookie");
    for (const QByteArray& part : cookies.split(';')) {
        const QByteArray item = part.trimmed();
        const QByteArray prefix = QByteArray(kCookieName) + '=';
        if (item.startsWith(prefix)) return QString::fromLatin1(item.mid(prefix.size()));
    }
    return {};
}

QHttpServerResponse Refusal(GateVerdict verdict) {
    if (verdict == GateVerdict::ShutOut) {
        return QHttpServerResponse("text/plain", "Too many wrong access codes; try again later.\n",
                                   QHttpServerResponse::StatusCode::TooManyRequests);
    }
    return QHttpServerResponse("text/plain", "Wrong access code.\n",
                               QHttpServerResponse::StatusCode::Forbidden);
}

}  // namespace

RemoteServer::RemoteServer(CQ7310Doc& doc, QObject* parent) : QObject(parent), doc_(doc) {
    InitRemoteResources();
    tick_.setInterval(kTickMs);
    connect(&tick_, &QTimer::timeout, this, &RemoteServer::OnTick);
}

RemoteServer::~RemoteServer() {
    Stop();
}

bool RemoteServer::Start(const QHostAddress& address, quint16 port, QString* error) {
    Stop();
    auto http = std::make_unique<QHttpServer>();
    http->route("/", [this](const QHttpServerRequest& request) {
        return ServeFile(request, ":/remote/index.html", "text/html; charset=utf-8");
    });
    http->route("/page.js", [this](const QHttpServerRequest& request) {
        return ServeFile(request, ":/remote/page.js", "text/javascript; charset=utf-8");
    });
    http->route("/page.css", [this](const QHttpServerRequest& request) {
        return ServeFile(request, ":/remote/page.css", "text/css; charset=utf-8");
    });
    // The upgrade to a WebSocket is made only where a route handled the request; for an upgrade
    // this one writes nothing, so the handshake's answer is the only one the browser reads.
    http->route("/ws", [](const QHttpServerRequest& request, QHttpServerResponder&& responder) {
        if (request.value("Upgrade").compare("websocket", Qt::CaseInsensitive) != 0) {
            responder.write(QHttpServerResponder::StatusCode::UpgradeRequired);
        }
    });
    // The upgrade to a WebSocket is only made while someone listens for it.
    connect(http.get(), &QHttpServer::newWebSocketConnection, this, &RemoteServer::OnNewWebSocket);
    const quint16 bound = http->listen(address, port);
    if (bound == 0) {
        if (error) {
            *error =
                QStringLiteral("Cannot listen on %1 port %2.").arg(address.toString()).arg(port);
        }
        return false;
    }
    http_ = std::move(http);
    address_ = address;
    port_ = bound;
    code_ = MakeAccessCode();
    lastState_ = {};
    tick_.start();
    return true;
}

void RemoteServer::Stop() {
    tick_.stop();
    const std::vector<QWebSocket*> clients = clients_;
    for (QWebSocket* socket : clients) Drop(socket, QWebSocketProtocol::CloseCodeGoingAway, "");
    http_.reset();
    port_ = 0;
}

QString RemoteServer::PageAddress() const {
    if (!http_) return {};
    QString host = address_.toString();
    if (address_.protocol() == QAbstractSocket::IPv6Protocol) host = '[' + host + ']';
    return QStringLiteral("http://%1:%2/?code=%3").arg(host).arg(port_).arg(code_);
}

GateVerdict RemoteServer::JudgeOffer(const QHostAddress& peer, const QString& offered) {
    return gate_.Judge(peer.toString().toStdString(), CodesMatch(code_, offered),
                       CodeGate::Clock::now());
}

QHttpServerResponse RemoteServer::ServeFile(const QHttpServerRequest& request,
                                            const QString& resource, const QByteArray& mimeType) {
    const QString offered = OfferedCode(request);
    const GateVerdict verdict = JudgeOffer(request.remoteAddress(), offered);
    if (verdict != GateVerdict::Accepted) return Refusal(verdict);
    QFile file(resource);
    if (!file.open(QIODevice::ReadOnly)) {
        return QHttpServerResponse(QHttpServerResponse::StatusCode::NotFound);
    }
    QHttpServerResponse response(mimeType, file.readAll());
    response.addHeader("Cache-Control", "no-store");
    response.addHeader("X-Content-Type-Options", "nosniff");
    // The page's own files and socket carry the code from here on.
    response.addHeader("Set-Cookie", QByteArray(kCookieName) + '=' + offered.toLatin1() +
                                         "; Path=/; HttpOnly; SameSite=Strict");
    return response;
}

void RemoteServer::OnNewWebSocket() {
    while (http_ && http_->hasPendingWebSocketConnections()) {
        std::unique_ptr<QWebSocket> socket = http_->nextPendingWebSocketConnection();
        if (!socket) continue;
        QWebSocket* raw = socket.release();
        raw->setParent(this);
        const QString offered = QUrlQuery(raw->requestUrl()).queryItemValue("code");
        const GateVerdict verdict = JudgeOffer(raw->peerAddress(), offered);
        if (verdict != GateVerdict::Accepted) {
            raw->close(QWebSocketProtocol::CloseCodePolicyViolated, verdict == GateVerdict::ShutOut
                                                                        ? "too many wrong codes"
                                                                        : "wrong access code");
            raw->deleteLater();
            continue;
        }
        if (clients_.size() >= static_cast<std::size_t>(kMaxClients)) {
            raw->close(QWebSocketProtocol::CloseCodePolicyViolated, "too many pages");
            raw->deleteLater();
            continue;
        }
        Admit(raw);
    }
}

void RemoteServer::Admit(QWebSocket* socket) {
    socket->setMaxAllowedIncomingMessageSize(kMaxMessageBytes);
    socket->setMaxAllowedIncomingFrameSize(kMaxMessageBytes);
    clients_.push_back(socket);
    connect(socket, &QWebSocket::textMessageReceived, this,
            [this, socket](const QString& message) { OnMessage(socket, message); });
    connect(socket, &QWebSocket::binaryMessageReceived, this, [this, socket](const QByteArray&) {
        Drop(socket, QWebSocketProtocol::CloseCodeDatatypeNotSupported, "text messages only");
    });
    connect(socket, &QWebSocket::disconnected, this,
            [this, socket] { Drop(socket, QWebSocketProtocol::CloseCodeNormal, ""); });
    SendJson(socket, HelloMessage());
    QJsonObject state = StateMessage(doc_);
    AddResponse(doc_, state);
    SendJson(socket, state);
    SendJson(socket, MetersMessage(doc_));
    emit ClientCountChanged(ClientCount());
}

void RemoteServer::Drop(QWebSocket* socket, int closeCode, const QString& reason) {
    const auto found = std::find(clients_.begin(), clients_.end(), socket);
    if (found == clients_.end()) return;
    clients_.erase(found);
    socket->disconnect(this);
    if (socket->state() == QAbstractSocket::ConnectedState) {
        socket->close(static_cast<QWebSocketProtocol::CloseCode>(closeCode), reason);
    }
    socket->deleteLater();
    emit ClientCountChanged(ClientCount());
}

void RemoteServer::OnMessage(QWebSocket* socket, const QString& message) {
    const QByteArray text = message.toUtf8();
    const std::optional<RemoteCommand> command =
        text.size() <= kMaxMessageBytes ? ParseRemoteCommand(text) : std::nullopt;
    if (!command) {
        Drop(socket, QWebSocketProtocol::CloseCodeProtocolError, "malformed message");
        return;
    }
    if (DocumentBusy()) {
        SendJson(socket, ErrorMessage("The editor is busy; try again in a moment."));
        return;
    }
    applying_ = true;
    const CommandResult result = ApplyRemoteCommand(doc_, *command);
    applying_ = false;
    if (!result.ok) SendJson(socket, ErrorMessage(result.error));
    // A full refresh of the editor's view and pages ("loaded" would also take the editor's user
    // back to the configuration page).
    doc_.Ui().DocumentChanged();
    emit RemoteEdit();
    BroadcastState(false);
}

void RemoteServer::OnTick() {
    if (clients_.empty()) return;
    BroadcastState(false);
    const QByteArray meters = QJsonDocument(MetersMessage(doc_)).toJson(QJsonDocument::Compact);
    if (meters == lastMeters_) return;
    lastMeters_ = meters;
    for (QWebSocket* socket : clients_) socket->sendTextMessage(QString::fromUtf8(meters));
}

void RemoteServer::BroadcastState(bool always) {
    if (DocumentBusy()) return;
    const QJsonObject state = StateMessage(doc_);
    if (!always && state == lastState_) return;
    lastState_ = state;
    QJsonObject full = state;
    AddResponse(doc_, full);
    const QString text = QString::fromUtf8(QJsonDocument(full).toJson(QJsonDocument::Compact));
    for (QWebSocket* socket : clients_) socket->sendTextMessage(text);
}

void RemoteServer::SendJson(QWebSocket* socket, const QJsonObject& message) {
    socket->sendTextMessage(
        QString::fromUtf8(QJsonDocument(message).toJson(QJsonDocument::Compact)));
}

}  // namespace arvestra::remote
