// A headless browser driven through its DevTools protocol, for the tests of the remote page.
// Opt-in: the browser (Debian's chromium) is large, so the tests that need it run only when
// ARVESTRA_BROWSER_TESTS=1 (ARVESTRA_CHROMIUM names another browser program).
#pragma once

#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QWebSocket>
#include <map>

namespace arvestra::test {

class DevToolsBrowser {
  public:
    // True when the environment asks for the browser tests.
    static bool Wanted();

    DevToolsBrowser() = default;
    ~DevToolsBrowser();
    DevToolsBrowser(const DevToolsBrowser&) = delete;
    DevToolsBrowser& operator=(const DevToolsBrowser&) = delete;

    // Starts the browser on `url` with a window of width x height; false with `error` set.
    bool Start(const QString& url, int width, int height, QString* error);
    // One protocol call to the page; its result (empty, with `error`, on failure or time-out).
    QJsonObject Call(const QString& method, const QJsonObject& params = {},
                     QString* error = nullptr);
    // The value of a JavaScript expression in the page.
    QJsonValue Evaluate(const QString& expression);
    // Mouse press at (x, y), moves to (toX, toY) in steps, release there.
    void Drag(double x, double y, double toX, double toY, int steps = 5);
    // Sets the page's size as a phone or tablet shows it.
    void Emulate(int width, int height, double scale, bool mobile);
    // A PNG of the page as it is now (the whole page when fullPage); empty on failure.
    QByteArray Screenshot(bool fullPage);

  private:
    QProcess browser_;
    QTemporaryDir profile_;
    QWebSocket page_;
    int nextId_ = 1;
    std::map<int, QJsonObject> replies_;
};

}  // namespace arvestra::test
