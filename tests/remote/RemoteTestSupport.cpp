#include "remote/RemoteTestSupport.h"

#include <gtest/gtest.h>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QJsonArray>
#include <QJsonDocument>
#include <QThread>
#include <QUrl>
#include <memory>

namespace arvestra::test {

namespace {

// One QCoreApplication for the whole test program: the sockets and timers need its loop.
class CoreAppEnvironment : public ::testing::Environment {
  public:
    void SetUp() override { app_ = std::make_unique<QCoreApplication>(argc_, argv_); }
    void TearDown() override { app_.reset(); }

  private:
    int argc_ = 1;
    char name_[12] = "test_remote";
    char* argv_[2] = {name_, nullptr};
    std::unique_ptr<QCoreApplication> app_;
};

const ::testing::Environment* const kEnvironment =
    ::testing::AddGlobalTestEnvironment(new CoreAppEnvironment);

}  // namespace

PageClient::PageClient(quint16 port, const QString& code, bool secure) {
    // The server's certificate is its own, made for the test.
    connect(&socket_, &QWebSocket::sslErrors, this, [this] { socket_.ignoreSslErrors(); });
    connect(&socket_, &QWebSocket::connected, this, [this] { connected_ = true; });
    connect(&socket_, &QWebSocket::disconnected, this, [this] { closed_ = true; });
    connect(&socket_, &QWebSocket::textMessageReceived, this, [this](const QString& text) {
        received_.push_back(QJsonDocument::fromJson(text.toUtf8()).object());
    });
    socket_.open(QUrl(QStringLiteral("%1://127.0.0.1:%2/ws?code=%3")
                          .arg(secure ? "wss" : "ws")
                          .arg(port)
                          .arg(code)));
}

void PageClient::Send(const QJsonObject& message) {
    socket_.sendTextMessage(QString::fromUtf8(QJsonDocument(message).toJson()));
}

bool PageClient::WaitFor(const QString& type, const std::function<bool(const QJsonObject&)>& pred,
                         QJsonObject* found, int timeoutMs) {
    std::size_t seen = 0;
    return RunUntil(
        [&] {
            for (; seen < received_.size(); ++seen) {
                const QJsonObject& m = received_[seen];
                if (m.value("t").toString() != type || (pred && !pred(m))) continue;
                if (found) *found = m;
                return true;
            }
            return false;
        },
        timeoutMs);
}

int PageClient::Count(const QString& type) const {
    int n = 0;
    for (const QJsonObject& m : received_) n += m.value("t").toString() == type ? 1 : 0;
    return n;
}

QJsonObject PageClient::Last(const QString& type) const {
    for (auto it = received_.rbegin(); it != received_.rend(); ++it) {
        if (it->value("t").toString() == type) return *it;
    }
    return {};
}

int StateCode(const QJsonObject& state, int ch, const char* name, int i) {
    const QJsonValue value = state.value("ch").toArray().at(ch).toObject().value(name);
    return i < 0 ? value.toInt(-1) : value.toArray().at(i).toInt(-1);
}

}  // namespace arvestra::test
