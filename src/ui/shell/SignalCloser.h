#pragma once

#include <QObject>

#include <functional>
#include <memory>

class QSocketNotifier;

namespace arvestra {

// Turns SIGTERM, SIGHUP and SIGINT (logout, a closed terminal, Ctrl+C, kill) into a call on the
// event loop, so that the editor closes as when its window is closed: the offer to save, the
// settings and window position written, the worker idle and the working copy removed. The
// handler only writes one byte into a socket pair; everything else runs in the event loop.
// One instance at a time; the default actions come back when it goes.
class CSignalCloser : public QObject {
    Q_OBJECT
  public:
    explicit CSignalCloser(std::function<void()> onSignal, QObject* parent = nullptr);
    ~CSignalCloser() override;
    CSignalCloser(const CSignalCloser&) = delete;
    CSignalCloser& operator=(const CSignalCloser&) = delete;

    // False when the socket pair or a handler could not be set up (signals then end the
    // program as before).
    bool IsInstalled() const { return installed; }

  private:
    void Drain();

    std::function<void()> onSignal;
    std::unique_ptr<QSocketNotifier> notifier;
    bool installed = false;
};

}  // namespace arvestra
