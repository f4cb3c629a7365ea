#pragma once

#include <QObject>
#include <QString>
#include <QUndoStack>

#include <map>

#include "document/ABCompare.h"
#include "document/EditSnapshot.h"

namespace arvestra {

// The editor's undo history over every device's edit buffer, on a QUndoStack. A step is the
// set of bytes one gesture changed. Pages mark their gestures with BeginGesture/EndGesture (or
// a CGestureScope); edits made outside any marked gesture are still caught: whatever changed
// between two releases of a mouse button or key becomes one step ("Edit"). A recall, store,
// read from a device, another location, or a device added, deleted or moved replaces the
// buffer the steps were recorded on: the history is then cleared, and `note` says why.
class CEditHistory : public QObject {
    Q_OBJECT
  public:
    explicit CEditHistory(CQ7310Doc& doc, QObject* parent = nullptr);

    QUndoStack& Stack() { return stack; }

    // Starts a gesture: edits from now on, to the matching EndGesture, are one step.
    void BeginGesture(const QString& text);
    // Ends a gesture and records what it changed (nothing when it changed nothing).
    void EndGesture();
    // Records edits made since the last look as one step, or clears the history when the
    // buffer was replaced; nothing while a gesture is open.
    void Sync();

    bool CanUndo();
    bool CanRedo();
    // Undoes or redoes one step; online the bytes are sent as any edit is.
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
    // Runs a replay (undo, redo or swap) with recording held off, then looks afresh.
    template <typename Step>
    void Replay(Step step);

    // Takes a snapshot of every device's edit buffer: the starting point of their edits.
    void SnapshotAllDevices();

    CQ7310Doc& doc;
    QUndoStack stack;
    CABCompare compare;
    // Per device address, its edit buffer as last recorded: a device's buffer changes only
    // while it is being edited, so switching devices loses no step.
    std::map<int, CEditSnapshot> snapshots;
    std::uint64_t epoch = 0;
    QString gestureText;
    int gestureDepth = 0;
    bool syncQueued = false;
    bool syncing = false;
};

}  // namespace arvestra
