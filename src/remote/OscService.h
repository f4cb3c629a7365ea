// Show control over OSC in a Qt program (the editor, "arvestra-cli serve"): owns the server and
// drives its owner-thread side from the event loop of the thread that owns the document. The
// receiving thread wakes the loop with a queued call; a timer sends the subscribers' feedback.
#pragma once

#include <memory>
#include <string>

#include <QObject>
#include <QTimer>

#include "osc/OscServer.h"

namespace arvestra {
class IRemoteControl;
}

namespace arvestra::remote {

class OscService : public QObject {
    Q_OBJECT

  public:
    explicit OscService(IRemoteControl& doc, QObject* parent = nullptr);
    ~OscService() override;

    // Listens on "HOST:PORT" for the senders of `allow` ("" for every sender); false with the
    // reason in `error`.
    bool Start(const std::string& listen, const std::string& allow, std::string* error = nullptr);
    void Stop();
    bool IsListening() const { return server_->IsListening(); }
    // "127.0.0.1:9000" while listening, empty otherwise.
    std::string ListenAddress() const;
    osc::OscServer& Server() { return *server_; }

    // Says whether the document is in the middle of an operation of its own.
    void SetBusyCheck(std::function<bool()> busy) { server_->SetBusyCheck(std::move(busy)); }

  signals:
    // A message changed the document (the editor refreshes its views).
    void DocumentChanged();

  private:
    void Pump();
    void Tick();

    std::unique_ptr<osc::OscServer> server_;
    QTimer tick_;
    bool pumping_ = false;
};

}  // namespace arvestra::remote
