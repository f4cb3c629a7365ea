// The remote-control server: one port serves the page (compiled in) over HTTPS (plain HTTP only
// when asked for) and carries the live state over a WebSocket at /ws. The network work runs on
// a thread of its own (NetworkServer), which enforces the limits and the access codes before a
// request costs anything; this object lives on the thread that owns the document, and every
// page's message is applied there, one at a time, through the document's operations. Edits made
// elsewhere (the editor's pages, undo, OSC, a device read back) are announced by the document's
// edit buffer; the server hears them on whatever thread made them and sends the state from its
// own thread. A timer on that thread sends the meters and notices the few things no edit
// announces (going online, another device selected, a bypass switched).
#pragma once

#include <QDateTime>
#include <QHostAddress>
#include <QJsonObject>
#include <QObject>
#include <QString>
#include <QTimer>
#include <atomic>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "document/EditEvent.h"
#include "remote/AccessPolicy.h"
#include "remote/RemoteLog.h"
#include "remote/ServerLimits.h"
#include "remote/TlsIdentity.h"

namespace arvestra {
class IRemoteControl;
}

namespace arvestra::remote {

class NetworkServer;

// How the server is reached.
struct ServeOptions {
    bool secure = true;
    // The user's own certificate and key (PEM); empty: the pair kept in the configuration
    // directory, made on first use.
    std::string certificatePath;
    std::string keyPath;
    ServerLimits limits;
};

// A connected page as the Remote Control dialog lists it.
struct PageInfo {
    std::uint64_t id = 0;
    QString peer;
    QDateTime since;
    QDateTime lastChange;  // null until the page changes something
    bool readOnly = false;
};

class RemoteServer : public QObject {
    Q_OBJECT

  public:
    static constexpr int kMaxClients = 8;
    static constexpr int kMaxMessageBytes = 4096;
    // The meters run this often (20 times a second).
    static constexpr int kTickMs = 50;

    explicit RemoteServer(IRemoteControl& doc, QObject* parent = nullptr);
    ~RemoteServer() override;

    void SetOptions(const ServeOptions& options) { options_ = options; }
    const ServeOptions& Options() const { return options_; }
    // Where remote changes are written, one line each (empty: nowhere).
    void SetLogPath(const std::string& path) { log_.SetPath(path); }

    // Listens on one address and port (0: any free port) with new access codes; false with
    // the reason in `error` when the port or the certificate cannot be had.
    bool Start(const QHostAddress& address, quint16 port, QString* error = nullptr);
    // Closes every page's socket and stops listening.
    void Stop();
    bool IsListening() const { return network_ != nullptr; }
    bool IsSecure() const { return IsListening() && options_.secure; }

    QHostAddress Host() const { return address_; }
    quint16 Port() const { return port_; }
    QString Code() const { return code_; }
    QString ReadOnlyCode() const { return readOnlyCode_; }
    // The address a browser opens: https://HOST:PORT/?code=CODE (empty when not listening).
    QString PageAddress() const;
    // The same with the code that only watches.
    QString ReadOnlyAddress() const;
    // SHA-256 of the certificate, "AB:CD:..." (empty over plain HTTP).
    QString Fingerprint() const { return IsSecure() ? fingerprint_ : QString(); }
    int ClientCount() const { return static_cast<int>(pages_.size()); }
    std::vector<PageInfo> Pages() const;

    // Drops one page (it may come back with its code).
    void DropPage(std::uint64_t id);
    // Makes new codes and drops every page: the old address stops working.
    void NewCodes();

    // Says whether the document is in the middle of an operation of its own (a dialog or a
    // long exchange whose waiting loop still serves the network). While it is, pages' commands
    // are refused with a message and no state is sent, so no operation ever runs inside another.
    void SetBusyCheck(std::function<bool()> busy) { busy_ = std::move(busy); }

  signals:
    // A page changed the document (the editor refreshes its views through the document too).
    void RemoteEdit();
    void ClientCountChanged(int clients);

  private:
    void OnOpened(std::uint64_t id, const QString& peer, Access access);
    void OnMessage(std::uint64_t id, const std::string& text);
    void OnClosed(std::uint64_t id);
    void Drop(std::uint64_t id, int closeCode, const QString& reason);
    void OnTick();
    // The edit buffer announced a change (any thread): the state goes out from this thread.
    void Heard(const EditEvent& event);
    // What the state shows that no edit announces (the device list: its size and the edited
    // device's name, which the editor renames).
    struct Outline {
        bool online = false;
        int address = 0;
        bool bypassA = false;
        bool bypassB = false;
        int devices = 0;
        std::string deviceName;
        bool operator==(const Outline&) const = default;
    };
    Outline OutlineNow() const;
    // Sends the state to every page when it differs from the last one sent (or always).
    void BroadcastState(bool always);
    void SendJson(std::uint64_t id, const QJsonObject& message);
    void SendToAll(const QJsonObject& message);
    bool DocumentBusy() const { return applying_ || (busy_ && busy_()); }

    IRemoteControl& doc_;
    ServeOptions options_;
    std::unique_ptr<NetworkServer> network_;
    std::uint64_t generation_ = 0;  // counts starts and stops
    std::map<std::uint64_t, PageInfo> pages_;
    QHostAddress address_;
    quint16 port_ = 0;
    QString code_;
    QString readOnlyCode_;
    QString fingerprint_;
    QTimer tick_;
    QJsonObject lastState_;  // without the response curves
    std::function<bool()> busy_;
    bool applying_ = false;  // a command is being applied (its waits may serve the network)
    QByteArray lastMeters_;
    RemoteLog log_;
    EditListenerId listener_ = 0;
    // Set by an announcement until the state it changed has been sent.
    std::atomic<bool> stateStale_{false};
    Outline lastOutline_;
};

}  // namespace arvestra::remote
