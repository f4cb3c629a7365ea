#include "ui/shell/EditHistory.h"

#include <QEvent>
#include <QKeyEvent>
#include <QTimer>

#include "ui/shell/ByteEditCommand.h"
#include "ui/shell/SwapVersionsCommand.h"

namespace arvestra {

CEditHistory::CEditHistory(CQ7310Doc& document, QObject* parent) : QObject(parent), doc(document) {
    SnapshotAllDevices();
}

void CEditHistory::SnapshotAllDevices() {
    snapshots.clear();
    for (int address = kFirstAddress; address <= kMaxAddress; ++address) {
        if (doc.Devices().Location().SlotOf(address) != kNoDevice) {
            snapshots.insert_or_assign(address, CEditSnapshot(doc, address));
        }
    }
    epoch = doc.HistoryEpoch();
}

void CEditHistory::BeginGesture(const QString& text) {
    if (gestureDepth == 0) {
        // Whatever changed before the gesture is a step of its own.
        Sync();
        gestureText = text;
    }
    ++gestureDepth;
}

void CEditHistory::EndGesture() {
    if (gestureDepth == 0 || --gestureDepth > 0) return;
    Sync();
    gestureText.clear();
}

void CEditHistory::Sync() {
    // Inside a gesture only the gesture's own end records; a push below notifies listeners
    // that may ask again, which must not record the same bytes twice.
    if (gestureDepth > 0 || syncing) return;
    syncing = true;
    if (doc.HistoryEpoch() != epoch) {
        SnapshotAllDevices();
        if (stack.count() > 0) {
            stack.clear();
            emit note(
                tr("Undo history cleared: %1.").arg(QString::fromUtf8(doc.HistoryEpochReason())));
        }
    } else {
        std::vector<ByteChange> changes;
        if (const auto found = snapshots.find(doc.Devices().CurrentAddress());
            found != snapshots.end()) {
            changes = found->second.ChangesSince(doc);
        }
        snapshots.insert_or_assign(doc.Devices().CurrentAddress(), CEditSnapshot(doc));
        if (!changes.empty()) {
            const QString text = gestureText.isEmpty() ? tr("Edit") : gestureText;
            stack.push(new CByteEditCommand(doc, doc.Devices().CurrentAddress(), std::move(changes),
                                            text));
        }
    }
    syncing = false;
}

bool CEditHistory::CanUndo() {
    Sync();
    return stack.canUndo();
}

bool CEditHistory::CanRedo() {
    Sync();
    return stack.canRedo();
}

template <typename Step>
void CEditHistory::Replay(Step step) {
    Sync();
    const int address = doc.Devices().CurrentAddress();
    ++gestureDepth;
    step();
    --gestureDepth;
    snapshots.insert_or_assign(doc.Devices().CurrentAddress(), CEditSnapshot(doc));
    if (doc.Devices().CurrentAddress() == address) {
        doc.Ui().DocumentChanged();
    } else {
        doc.Ui().DocumentReloaded();
    }
    emit bufferReplayed();
}

void CEditHistory::Undo() {
    if (!CanUndo()) return;
    const QString text = stack.undoText();
    Replay([this] { stack.undo(); });
    emit note(tr("Undo: %1").arg(text));
}

void CEditHistory::Redo() {
    if (!CanRedo()) return;
    const QString text = stack.redoText();
    Replay([this] { stack.redo(); });
    emit note(tr("Redo: %1").arg(text));
}

void CEditHistory::SwapVersions() {
    if (doc.Devices().CurrentSlot() == kNoDevice) return;
    Replay([this] { stack.push(new CSwapVersionsCommand(doc, compare)); });
    emit note(tr("Now editing version %1.").arg(ActiveVersion()));
}

QString CEditHistory::ActiveVersion() const {
    return QString::fromLatin1(CABCompare::Name(compare.Active(doc)));
}

void CEditHistory::WatchInput(QObject* target) {
    target->installEventFilter(this);
}

bool CEditHistory::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    // A held key repeats its release too: the whole hold is one gesture.
    const bool keyUp =
        type == QEvent::KeyRelease && !static_cast<QKeyEvent*>(event)->isAutoRepeat();
    if ((type == QEvent::MouseButtonRelease || keyUp) && !syncQueued) {
        // The release reaches its widget after this filter: look once it has been handled.
        syncQueued = true;
        QTimer::singleShot(0, this, [this] {
            syncQueued = false;
            Sync();
        });
    }
    return QObject::eventFilter(watched, event);
}

}  // namespace arvestra
