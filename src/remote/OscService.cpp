#include "remote/OscService.h"

#include <QMetaObject>

namespace arvestra::remote {

OscService::OscService(IRemoteControl& doc, QObject* parent)
    : QObject(parent), server_(std::make_unique<osc::OscServer>(doc)) {
    // Runs on the receiving thread: only posts. Calls still queued when this object goes are
    // discarded with it, and the receiving thread is joined before that.
    server_->SetWake(
        [this] { QMetaObject::invokeMethod(this, &OscService::Pump, Qt::QueuedConnection); });
    tick_.setInterval(static_cast<int>(osc::OscServer::kTickInterval.count()));
    connect(&tick_, &QTimer::timeout, this, &OscService::Tick);
}

OscService::~OscService() {
    server_->Stop();
}

bool OscService::Start(const std::string& listen, const std::string& allow, std::string* error) {
    Stop();
    const std::optional<osc::OscListenAddress> address = osc::ParseOscListenAddress(listen, error);
    if (!address) return false;
    std::string reason;
    const std::optional<osc::OscAllowList> allowed = osc::OscAllowList::Parse(allow, &reason);
    if (!allowed) {
        if (error) *error = "allow-list: " + reason;
        return false;
    }
    if (!server_->Start(address->local, *allowed, error)) return false;
    tick_.start();
    return true;
}

void OscService::Stop() {
    tick_.stop();
    server_->Stop();
}

std::string OscService::ListenAddress() const {
    return server_->IsListening() ? server_->Local().ToString() : std::string();
}

void OscService::Pump() {
    // A document operation's wait may run the event loop; a message never runs inside another.
    if (pumping_) return;
    pumping_ = true;
    const bool changed = server_->Pump();
    pumping_ = false;
    if (changed) emit DocumentChanged();
    // Messages that came while this ran woke nobody (the queue was not empty): run again.
    if (server_->Pending() != 0) {
        QMetaObject::invokeMethod(this, &OscService::Pump, Qt::QueuedConnection);
    }
}

void OscService::Tick() {
    server_->Tick();
}

}  // namespace arvestra::remote
