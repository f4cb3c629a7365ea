#pragma once

#include <QObject>

#include <functional>

class QKeyEvent;

namespace arvestra {

// Watches every key press of the application for the hidden sequence Ctrl+K then Ctrl+P
// (character codes 11 then 16). On the sequence it calls the trigger and swallows the Ctrl+P;
// every character typed, whatever it is, becomes the one remembered for the next press.
class CDevUtilsKeyFilter : public QObject {
    Q_OBJECT
  public:
    static constexpr int kCtrlK = 11;
    static constexpr int kCtrlP = 16;

    explicit CDevUtilsKeyFilter(std::function<void()> trigger, QObject* parent = nullptr);

    // The character code a key press types, as a terminal would see it: Ctrl with a letter gives
    // 1..26; a press that types nothing (a lone modifier, a function key) gives -1.
    static int CharacterCode(const QKeyEvent& event);

    // Feeds one typed character; true when it completes the sequence.
    bool OnCharacter(int code);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    std::function<void()> trigger;
    int lastCode = 0;
    // A key press travels from the focus widget up to its window through the same filter; the
    // press being delivered is remembered so that it is counted once. The address alone is not
    // enough: consecutive presses often reuse the same stack slot.
    struct PressIdentity {
        const QEvent* event = nullptr;
        int key = 0;
        unsigned modifiers = 0;
        quint64 timestamp = 0;
        bool operator==(const PressIdentity&) const = default;
    };
    PressIdentity pressInFlight;
};

}  // namespace arvestra
