#pragma once

#include <QMessageBox>

#include "app/UiPort.h"

namespace arvestra {

// A message box that closes only through one of its buttons. Escape and the window's close
// button act only when the box has a Cancel button (they press it) or is a lone OK; a Yes/No or
// Abort/Retry/Ignore box ignores them, since No and Abort end the application and a stray key
// must never choose them.
class CGuardedMessageBox : public QMessageBox {
    Q_OBJECT
  public:
    CGuardedMessageBox(const UiQuestion& question, QWidget* parent);

    // Shows the box modally and returns the button pressed.
    UiAnswer Run();

    // The answer a standard button stands for.
    static UiAnswer AnswerOf(QMessageBox::StandardButton button);
    // The standard buttons of a button set, in the order they are offered.
    static QMessageBox::StandardButtons ButtonsOf(ButtonSet buttons);
    // The button Enter presses: the first one, except Retry in Abort/Retry/Ignore so that Enter
    // never exits the application.
    static QMessageBox::StandardButton DefaultButtonOf(ButtonSet buttons);
    // The button Escape presses, or NoButton when Escape does nothing.
    static QMessageBox::StandardButton EscapeButtonOf(ButtonSet buttons);

  protected:
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

  private:
    void KeepLinesWhole();

    static constexpr int kMaxLineWidth = 640;
    ButtonSet buttonSet;
};

}  // namespace arvestra
