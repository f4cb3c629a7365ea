#include "remote/DevToolsBrowser.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QRegularExpression>

#include "remote/EventWait.h"

namespace arvestra::test {

namespace {

constexpr int kCallTimeoutMs = 10000;

QString BrowserProgram() {
    const QString named = qEnvironmentVariable("ARVESTRA_CHROMIUM");
    return named.isEmpty() ? QStringLiteral("chromium") : named;
}

// The first page target's WebSocket address from the browser's /json list.
QString PageTarget(quint16 port) {
    QNetworkAccessManager manager;
    QNetworkReply* reply =
        manager.get(QNetworkRequest(QUrl(QStringLiteral("http://127.0.0.1:%1/json").arg(port))));
    RunUntil([reply] { return reply->isFinished(); }, 5000);
    const QJsonArray targets = QJsonDocument::fromJson(reply->readAll()).array();
    reply->deleteLater();
    for (const QJsonValue& target : targets) {
        if (target.toObject().value("type").toString() == "page") {
            return target.toObject().value("webSocketDebuggerUrl").toString();
        }
    }
    return {};
}

}  // namespace

bool DevToolsBrowser::Wanted() {
    return qEnvironmentVariable("ARVESTRA_BROWSER_TESTS") == "1";
}

DevToolsBrowser::~DevToolsBrowser() {
    page_.close();
    if (browser_.state() != QProcess::NotRunning) {
        browser_.terminate();
        if (!browser_.waitForFinished(5000)) browser_.kill();
        browser_.waitForFinished(5000);
    }
}

bool DevToolsBrowser::Start(const QString& url, int width, int height, QString* error) {
    browser_.setProcessChannelMode(QProcess::SeparateChannels);
    browser_.start(BrowserProgram(),
                   {"--headless=new", "--no-sandbox", "--disable-gpu", "--no-first-run",
                    // The remote server's certificate is its own, made for the test.
                    "--ignore-certificate-errors", "--remote-debugging-port=0",
                    "--user-data-dir=" + profile_.path(),
                    QStringLiteral("--window-size=%1,%2").arg(width).arg(height), url});
    if (!browser_.waitForStarted(10000)) {
        *error = "the browser did not start: " + browser_.errorString();
        return false;
    }
    // The browser names its DevTools port on standard error.
    static const QRegularExpression listening("DevTools listening on ws://127\\.0\\.0\\.1:(\\d+)/");
    QByteArray said;
    quint16 port = 0;
    RunUntil(
        [&] {
            said += browser_.readAllStandardError();
            const QRegularExpressionMatch match = listening.match(QString::fromUtf8(said));
            if (match.hasMatch()) port = static_cast<quint16>(match.captured(1).toUInt());
            return port != 0 || browser_.state() == QProcess::NotRunning;
        },
        20000);
    const QString target = port != 0 ? PageTarget(port) : QString();
    if (target.isEmpty()) {
        *error = "no DevTools page target; the browser said: " + QString::fromUtf8(said.left(600));
        return false;
    }
    QObject::connect(&page_, &QWebSocket::textMessageReceived, [this](const QString& text) {
        const QJsonObject message = QJsonDocument::fromJson(text.toUtf8()).object();
        if (message.contains("id")) replies_[message.value("id").toInt()] = message;
    });
    bool open = false;
    QObject::connect(&page_, &QWebSocket::connected, [&open] { open = true; });
    page_.open(QUrl(target));
    if (!RunUntil([&open] { return open; }, 5000)) {
        *error = "cannot open the page target " + target;
        return false;
    }
    return true;
}

QJsonObject DevToolsBrowser::Call(const QString& method, const QJsonObject& params,
                                  QString* error) {
    const int id = nextId_++;
    page_.sendTextMessage(QString::fromUtf8(
        QJsonDocument(QJsonObject{{"id", id}, {"method", method}, {"params", params}})
            .toJson(QJsonDocument::Compact)));
    if (!RunUntil([&] { return replies_.count(id) != 0; }, kCallTimeoutMs)) {
        if (error) *error = method + " timed out";
        return {};
    }
    const QJsonObject reply = replies_[id];
    replies_.erase(id);
    if (reply.contains("error") && error) {
        *error = QString::fromUtf8(QJsonDocument(reply.value("error").toObject()).toJson());
    }
    return reply.value("result").toObject();
}

QJsonValue DevToolsBrowser::Evaluate(const QString& expression) {
    const QJsonObject result =
        Call("Runtime.evaluate", {{"expression", expression}, {"returnByValue", true}});
    return result.value("result").toObject().value("value");
}

void DevToolsBrowser::Drag(double x, double y, double toX, double toY, int steps) {
    auto mouse = [this](const char* type, double px, double py, int buttons) {
        Call("Input.dispatchMouseEvent", {{"type", type},
                                          {"x", px},
                                          {"y", py},
                                          {"button", "left"},
                                          {"buttons", buttons},
                                          {"clickCount", 1}});
    };
    mouse("mousePressed", x, y, 1);
    for (int i = 1; i <= steps; ++i) {
        mouse("mouseMoved", x + (toX - x) * i / steps, y + (toY - y) * i / steps, 1);
    }
    mouse("mouseReleased", toX, toY, 0);
}

void DevToolsBrowser::Emulate(int width, int height, double scale, bool mobile) {
    Call("Emulation.setDeviceMetricsOverride",
         {{"width", width}, {"height", height}, {"deviceScaleFactor", scale}, {"mobile", mobile}});
}

QByteArray DevToolsBrowser::Screenshot(bool fullPage) {
    QJsonObject params{{"format", "png"}};
    if (fullPage) params.insert("captureBeyondViewport", true);
    const QJsonObject result = Call("Page.captureScreenshot", params);
    return QByteArray::fromBase64(result.value("data").toString().toLatin1());
}

}  // namespace arvestra::test
