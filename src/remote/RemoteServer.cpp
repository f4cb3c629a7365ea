#include "remote/RemoteServer.h"

#include <QFile>
#include <QJsonDocument>

#include "document/RemoteControl.h"
#include "remote/AccessCode.h"
#include "remote/NetworkServer.h"
#include "remote/RemoteCommand.h"
#include "remote/RemoteState.h"

// The page's files are compiled into this static library; their registration must be called
// by name, outside any namespace.
static void InitRemoteResources() {
    Q_INIT_RESOURCE(remote);
}

namespace arvestra::remote {

namespace {

// WebSocket close codes the pages see.
constexpr int kCloseProtocolError = 1002;
constexpr int kClosePolicy = 1008;

std::string ResourceText(const char* name) {
    QFile file(QString::fromLatin1(name));
    return file.open(QIODevice::ReadOnly) ? file.readAll().toStdString() : std::string();
}

std::shared_ptr<const std::string> Compact(const QJsonObject& message) {
    return std::make_shared<const std::string>(
        QJsonDocument(message).toJson(QJsonDocument::Compact).toStdString());
}

}  // namespace

RemoteServer::RemoteServer(IRemoteControl& doc, QObject* parent) : QObject(parent), doc_(doc) {
    InitRemoteResources();
    tick_.setInterval(kTickMs);
    connect(&tick_, &QTimer::timeout, this, &RemoteServer::OnTick);
    listener_ = doc_.ListenToEdits([this](const EditEvent& event) { Heard(event); });
}

RemoteServer::~RemoteServer() {
    doc_.StopListeningToEdits(listener_);
    Stop();
}

void RemoteServer::Heard(const EditEvent& event) {
    // A stored preset being built shows on no page until it is recalled.
    if (event.image != 0 && !event.replaced) return;
    // One queued call however many edits come before it runs; queued even on this thread, so a
    // state is never built in the middle of an operation.
    if (stateStale_.exchange(true)) return;
    QMetaObject::invokeMethod(
        this, [this] { BroadcastState(false); }, Qt::QueuedConnection);
}

RemoteServer::Outline RemoteServer::OutlineNow() const {
    Outline outline;
    outline.online = doc_.IsOnline();
    outline.devices = doc_.Devices().CountPresentDevices();
    if (doc_.Devices().CurrentSlot() == kNoDevice) return outline;
    outline.address = doc_.Devices().CurrentAddress();
    outline.bypassA = doc_.Devices().BypassA();
    outline.bypassB = doc_.Devices().BypassB();
    outline.deviceName = doc_.Devices().GetDeviceName(outline.address);
    return outline;
}

bool RemoteServer::Start(const QHostAddress& address, quint16 port, QString* error) {
    Stop();
    std::optional<TlsIdentity> identity;
    std::string reason;
    if (options_.secure) {
        const std::string certificate =
            options_.certificatePath.empty() ? DefaultCertificatePath() : options_.certificatePath;
        const std::string key = options_.keyPath.empty() ? DefaultKeyPath() : options_.keyPath;
        identity = LoadOrCreateIdentity(certificate, key, &reason);
        if (!identity) {
            if (error) *error = QStringLiteral("No certificate: %1.").arg(reason.c_str());
            return false;
        }
    }
    // Events come from the network thread; each is handed to this object's thread. Queued
    // calls to an object that is gone are dropped, and the network thread stops before that.
    NetworkEvents events;
    const std::uint64_t generation = ++generation_;  // events of an earlier start are ignored
    events.opened = [this, generation](std::uint64_t id, const std::string& peer, Access access) {
        QMetaObject::invokeMethod(
            this,
            [this, generation, id, peer = QString::fromStdString(peer), access] {
                if (generation == generation_) OnOpened(id, peer, access);
            },
            Qt::QueuedConnection);
    };
    events.message = [this, generation](std::uint64_t id, std::string text) {
        QMetaObject::invokeMethod(
            this,
            [this, generation, id, text = std::move(text)] {
                if (generation == generation_) OnMessage(id, text);
            },
            Qt::QueuedConnection);
    };
    events.closed = [this, generation](std::uint64_t id) {
        QMetaObject::invokeMethod(
            this,
            [this, generation, id] {
                if (generation == generation_) OnClosed(id);
            },
            Qt::QueuedConnection);
    };
    PageFiles files{ResourceText(":/remote/index.html"), ResourceText(":/remote/page.js"),
                    ResourceText(":/remote/page.css")};
    auto network = std::make_unique<NetworkServer>(
        options_.limits, std::move(files), std::move(events), identity ? &*identity : nullptr);
    if (!network->Listen(address.toString().toStdString(), port, &reason)) {
        if (error) {
            *error = QStringLiteral("Cannot listen on %1 port %2: %3.")
                         .arg(address.toString())
                         .arg(port)
                         .arg(QString::fromStdString(reason));
        }
        return false;
    }
    network_ = std::move(network);
    address_ = address;
    port_ = network_->Port();
    fingerprint_ = identity ? QString::fromStdString(identity->fingerprint) : QString();
    code_ = MakeAccessCode();
    readOnlyCode_ = MakeAccessCode();
    network_->SetCodes(code_.toStdString(), readOnlyCode_.toStdString());
    lastState_ = {};
    tick_.start();
    return true;
}

void RemoteServer::Stop() {
    tick_.stop();
    ++generation_;
    network_.reset();  // its thread ends; queued events of its pages are ignored from here on
    const bool hadPages = !pages_.empty();
    pages_.clear();
    port_ = 0;
    if (hadPages) emit ClientCountChanged(0);
}

QString RemoteServer::PageAddress() const {
    if (!network_) return {};
    QString host = address_.toString();
    if (address_.protocol() == QAbstractSocket::IPv6Protocol) host = '[' + host + ']';
    return QStringLiteral("%1://%2:%3/?code=%4")
        .arg(options_.secure ? "https" : "http", host)
        .arg(port_)
        .arg(code_);
}

QString RemoteServer::ReadOnlyAddress() const {
    QString address = PageAddress();
    return address.isEmpty() ? address : address.replace(code_, readOnlyCode_);
}

std::vector<PageInfo> RemoteServer::Pages() const {
    std::vector<PageInfo> pages;
    for (const auto& [id, page] : pages_) pages.push_back(page);
    return pages;
}

void RemoteServer::DropPage(std::uint64_t id) {
    Drop(id, kClosePolicy, "dropped by the editor");
}

void RemoteServer::NewCodes() {
    if (!network_) return;
    code_ = MakeAccessCode();
    readOnlyCode_ = MakeAccessCode();
    network_->SetCodes(code_.toStdString(), readOnlyCode_.toStdString());
    std::vector<std::uint64_t> ids;
    for (const auto& [id, page] : pages_) ids.push_back(id);
    for (const std::uint64_t id : ids) {
        Drop(id, kClosePolicy, "The access code has changed: scan the new QR code.");
    }
}

void RemoteServer::OnOpened(std::uint64_t id, const QString& peer, Access access) {
    if (!network_) return;
    if (pages_.size() >= static_cast<std::size_t>(kMaxClients)) {
        network_->Close(id, kClosePolicy, "too many pages");
        return;
    }
    PageInfo page;
    page.id = id;
    page.peer = peer;
    page.since = QDateTime::currentDateTime();
    page.readOnly = access == Access::ReadOnly;
    pages_[id] = page;
    QJsonObject hello = HelloMessage();
    hello.insert("readonly", page.readOnly);
    SendJson(id, hello);
    QJsonObject state = StateMessage(doc_);
    AddResponse(doc_, state);
    SendJson(id, state);
    SendJson(id, MetersMessage(doc_));
    emit ClientCountChanged(ClientCount());
}

void RemoteServer::OnClosed(std::uint64_t id) {
    if (pages_.erase(id) != 0) emit ClientCountChanged(ClientCount());
}

void RemoteServer::Drop(std::uint64_t id, int closeCode, const QString& reason) {
    if (pages_.erase(id) == 0) return;
    if (network_) network_->Close(id, closeCode, reason.toStdString());
    emit ClientCountChanged(ClientCount());
}

void RemoteServer::OnMessage(std::uint64_t id, const std::string& text) {
    const auto found = pages_.find(id);
    if (found == pages_.end() || !network_) return;
    network_->Resume(id);
    const std::optional<RemoteCommand> command =
        text.size() <= static_cast<std::size_t>(kMaxMessageBytes)
            ? ParseRemoteCommand(QByteArray::fromStdString(text))
            : std::nullopt;
    if (!command) {
        Drop(id, kCloseProtocolError, "malformed message");
        return;
    }
    if (found->second.readOnly) {
        SendJson(id, ErrorMessage("This page only watches: its code changes nothing."));
        return;
    }
    if (DocumentBusy()) {
        SendJson(id, ErrorMessage("The editor is busy; try again in a moment."));
        return;
    }
    applying_ = true;
    const CommandResult result = ApplyRemoteCommand(doc_, *command);
    applying_ = false;
    // The page may have gone while the command waited on the bus.
    const auto page = pages_.find(id);
    if (!result.ok) {
        if (page != pages_.end()) SendJson(id, ErrorMessage(result.error));
    } else if (page != pages_.end()) {
        page->second.lastChange = QDateTime::currentDateTime();
        log_.Write(QStringLiteral("%1#%2").arg(page->second.peer).arg(id), *command);
    }
    // A full refresh of the editor's view and pages ("loaded" would also take the editor's user
    // back to the configuration page).
    doc_.NotifyViewsOfChange();
    emit RemoteEdit();
    BroadcastState(false);
}

void RemoteServer::OnTick() {
    if (pages_.empty()) return;
    // An announced change still waiting (the document was busy), or one of the few that are
    // not announced.
    if (stateStale_.load() || OutlineNow() != lastOutline_) BroadcastState(false);
    const QJsonObject meters = MetersMessage(doc_);
    const QByteArray text = QJsonDocument(meters).toJson(QJsonDocument::Compact);
    if (text == lastMeters_) return;
    lastMeters_ = text;
    SendToAll(meters);
}

void RemoteServer::BroadcastState(bool always) {
    if (DocumentBusy() || pages_.empty()) return;
    stateStale_.store(false);
    lastOutline_ = OutlineNow();
    const QJsonObject state = StateMessage(doc_);
    if (!always && state == lastState_) return;
    lastState_ = state;
    QJsonObject full = state;
    AddResponse(doc_, full);
    SendToAll(full);
}

void RemoteServer::SendJson(std::uint64_t id, const QJsonObject& message) {
    if (network_) network_->Send(id, Compact(message));
}

void RemoteServer::SendToAll(const QJsonObject& message) {
    if (!network_) return;
    const std::shared_ptr<const std::string> text = Compact(message);
    for (const auto& [id, page] : pages_) network_->Send(id, text);
}

}  // namespace arvestra::remote
