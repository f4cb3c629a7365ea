#include "remote/EventWait.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThread>

namespace arvestra::test {

bool RunUntil(const std::function<bool()>& pred, int timeoutMs) {
    QElapsedTimer timer;
    timer.start();
    while (!pred()) {
        if (timer.elapsed() > timeoutMs) return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        QThread::msleep(1);
    }
    return true;
}

}  // namespace arvestra::test
