#pragma once

#include <QObject>
#include <QString>
#include <QUndoStack>

#include <vector>

#include "document/ABCompare.h"
#include "document/EditEvent.h"

namespace arvestra {

class CQ7310Doc;

// The editor's undo history over every device's edit buffer, on a QUndoStack. It listens to the
// edit buffer: a step is the set of bytes one gesture changed, on one device. Pages mark their
// gestures with BeginGesture/EndGesture (or a CGestureScope); page edits made outside any
// marked gesture are still caught: whatever changed between two releases of a mouse button or
// key becomes one step ("Edit"). An edit from elsewhere (the remote page, a script) is a step of
// its own. A recall, store, read from a device that found other bytes, another location, a copy
// or import, or a device added, deleted or moved replaces the buffer the steps were recorded
// on: the history is then cleared, and `note` says why. At most kUndoLimit steps are kept.
class CEditHistory : public QObject {
    Q_OBJECT
  public:
    static constexpr int kUndoLimit = 1000;

    explicit CEditHistory(CQ7310Doc& doc, QObject* parent = nullptr);
    ~CEditHistory() override;

    QUndoStack& Stack() { return stack; }

    // Starts a gesture: edits from now on, to the matching EndGesture, are one step.
    void BeginGesture(const QString& text);
    // Ends a gesture and records what it changed (nothing when it changed nothing).
    void EndGesture();
    // Records the page edits gathered since the last step as one step; nothing while a gesture
    // is open.
    void Sync();

    bool CanUndo();
    bool CanRedo();
    // Undoes or redoes one step on the device it was made on, which becomes the one edited;
    // online the bytes are sent as any edit is.
    void Undo();
    void Redo();

    // Swaps the A and B versions of the current device's edit buffer, as one step.
    void SwapVersions();
    // The name of the version the edit buffer holds: "A" or "B".
    QString ActiveVersion() const;

    // Watches a window's input: a released mouse button or key closes the edits made so far.
    void WatchInput(QObject* target);

  signals:
    // A line for the status bar ("Undo history cleared: a preset was recalled").
    void note(const QString& text);
    // The edit buffer was changed by an undo, a redo or a swap: the views should refresh.
    void bufferReplayed();

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    // What the edit buffer announced.
    void Heard(const EditEvent& event);
    // The history no longer applies: it is dropped, with a note when it held steps.
    void Clear(const std::string& why);
    // Gathers the bytes of one announcement into the step being made.
    void Gather(const EditEvent& event);
    // Runs a replay (undo, redo or swap), then refreshes the views.
    template <typename Step>
    void Replay(Step step);

    CQ7310Doc& doc;
    QUndoStack stack;
    CABCompare compare;
    EditListenerId listener = 0;
    // The step being made: its device and its bytes (first before, last after, by offset).
    int stepAddress = 0;
    std::vector<ByteChange> stepChanges;
    QString gestureText;
    int gestureDepth = 0;
    bool syncQueued = false;
};

}  // namespace arvestra
