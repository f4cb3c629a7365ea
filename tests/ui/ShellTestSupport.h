// Helpers for the shell's tests: a private settings directory per test, and answering the
// message boxes of the Qt user-interface port.
#pragma once

#include <QMessageBox>
#include <QSettings>
#include <QStringList>
#include <QTemporaryDir>

#include <functional>
#include <memory>
#include <vector>

#include "ui/ports/QtUiPort.h"

namespace arvestra::shelltest {

// Points the per-user settings at a fresh temporary directory for the life of the object.
class ScopedSettings {
  public:
    ScopedSettings();
    ~ScopedSettings();
    // The raw value of a key in section "Settings" (invalid when absent).
    QVariant Value(const QString& key) const;
    void SetValue(const QString& key, const QVariant& value);
    bool Contains(const QString& key) const;
    QString Directory() const { return dir.path(); }

  private:
    QTemporaryDir dir;
};

// One box the port showed: its text, title, icon and buttons.
struct ShownBox {
    QString title;
    QString text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QMessageBox::StandardButtons buttons;
};

// Answers the port's boxes in order with the scripted buttons, recording each box. A box shown
// when the script is empty is answered with its Cancel, No, Ignore or OK button, whichever it
// has, and counted as unexpected. `onShown` runs before the answer (a test can act inside the
// box's lifetime there).
class BoxAnswerer {
  public:
    explicit BoxAnswerer(CQtUiPort& port, std::vector<QMessageBox::StandardButton> script = {});
    ~BoxAnswerer();

    void Push(QMessageBox::StandardButton button) { script.push_back(button); }
    const std::vector<ShownBox>& Shown() const { return shown; }
    int Unexpected() const { return unexpected; }
    std::function<void(QWidget* box)> onShown;

  private:
    void Answer(QWidget* box);

    QMetaObject::Connection connection;
    std::vector<QMessageBox::StandardButton> script;
    std::vector<ShownBox> shown;
    int unexpected = 0;
};

// Closes the next modal dialog that appears (not a port box) by calling `act` on it once it is
// the active modal widget; polls with a timer while `act` has not run.
class NextDialog {
  public:
    explicit NextDialog(std::function<void(QWidget* dialog)> act);
    ~NextDialog();
    bool Ran() const { return *ran; }

  private:
    std::shared_ptr<bool> ran;
    std::shared_ptr<bool> alive;
};

}  // namespace arvestra::shelltest
