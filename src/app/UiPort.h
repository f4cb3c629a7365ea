#pragma once

#include <string>

#include "app/CommandId.h"

namespace arvestra {

// The button sets a modal question can offer.
enum class ButtonSet { Ok, OkCancel, YesNo, YesNoCancel, AbortRetryIgnore };

// The icon shown beside the question's text.
enum class IconKind { None, Stop, Question, Warning, Information };

// The button the user chose. There is deliberately no "none of the buttons" value: callers
// treat every answer as a decision and must never carry on as if nothing had failed.
enum class UiAnswer { Ok = 1, Cancel = 2, Abort = 3, Retry = 4, Ignore = 5, Yes = 6, No = 7 };

// Whose window a box belongs to. Boxes raised on the worker thread have no owner.
enum class BoxOwner { MainWindow, None };

// One modal question: title, text, buttons, icon and owner.
struct UiQuestion {
    std::string title;
    std::string text;
    ButtonSet buttons = ButtonSet::Ok;
    IconKind icon = IconKind::None;
    BoxOwner owner = BoxOwner::MainWindow;
};

// What a refresh of every view is about: something changed, or a whole location or device was
// loaded (the views rebuild what they show).
enum class ViewHint { Change = 0, Loaded = 3 };

// Title of every box the application shows.
inline constexpr char kAppTitle[] = "Korvanex Arvestra";

// True when `answer` is one of the buttons of `buttons`.
constexpr bool IsAnswerOf(ButtonSet buttons, UiAnswer answer) {
    switch (buttons) {
        case ButtonSet::Ok:
            return answer == UiAnswer::Ok;
        case ButtonSet::OkCancel:
            return answer == UiAnswer::Ok || answer == UiAnswer::Cancel;
        case ButtonSet::YesNo:
            return answer == UiAnswer::Yes || answer == UiAnswer::No;
        case ButtonSet::YesNoCancel:
            return answer == UiAnswer::Yes || answer == UiAnswer::No || answer == UiAnswer::Cancel;
        case ButtonSet::AbortRetryIgnore:
            return answer == UiAnswer::Abort || answer == UiAnswer::Retry ||
                   answer == UiAnswer::Ignore;
    }
    return false;
}

// What the core needs from the user interface. The Qt adapter, the command-line tool and the
// tests each implement it. Ask, PostViewCommand and PostCloseMainWindow may be called from the
// worker thread; everything else runs on the user-interface thread.
class UiPort {
  public:
    virtual ~UiPort() = default;

    // Shows a modal box and blocks until the user picks one of its buttons (any thread).
    virtual UiAnswer Ask(const UiQuestion& question) = 0;

    // Shows a plain information box with an OK button (user-interface thread).
    virtual void ShowInformation(const std::string& text) = 0;

    // Queues a command for the active view; it runs later on the user-interface thread (any
    // thread).
    virtual void PostViewCommand(CommandId command) = 0;

    // Asks every view to refresh itself with the given hint (user-interface thread).
    virtual void UpdateAllViews(ViewHint hint) = 0;

    // Queues a close request for the main window if there is one (any thread).
    virtual void PostCloseMainWindow() = 0;

    // Shows (true) or clears (false) the wait cursor (user-interface thread).
    virtual void SetWaitCursor(bool on) = 0;

    // Called in every wait loop of the user-interface thread: serves a question pending from the
    // worker and may repaint, but never delivers user input or posted commands.
    virtual void KeepResponsive() = 0;

    // ---- What happened, by name: the core calls these, never the numbers above. -----------

    // A status poll brought new meters, or the application went offline (any thread; the view
    // reads them later on its own thread).
    virtual void MetersChanged() { PostViewCommand(CommandId::MeterRefresh); }
    // The development utilities window is asked for (any thread).
    virtual void DevelopmentUtilitiesRequested() { PostViewCommand(CommandId::ShowDevUtilities); }
    // Something in the document changed; every view refreshes (user-interface thread).
    virtual void DocumentChanged() { UpdateAllViews(ViewHint::Change); }
    // A whole location or device was loaded; every view rebuilds (user-interface thread).
    virtual void DocumentReloaded() { UpdateAllViews(ViewHint::Loaded); }
};

}  // namespace arvestra
