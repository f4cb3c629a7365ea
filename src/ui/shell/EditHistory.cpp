#include "ui/shell/EditHistory.h"

#include <QEvent>
#include <QKeyEvent>
#include <QTimer>

#include "document/CQ7310Doc.h"
#include "ui/shell/ByteEditCommand.h"
#include "ui/shell/SwapVersionsCommand.h"

namespace arvestra {

namespace {

// Edits the history records; its own replays, and what a device or a new record holds, it
// leaves out.
bool Recorded(EditReason reason) {
    switch (reason) {
        case EditReason::Undo:
        case EditReason::Redo:
        case EditReason::CompareSwap:
        case EditReason::DeviceRead:
        case EditReason::DeviceSetup:
            return false;
        default:
            return true;
    }
}

}  // namespace

CEditHistory::CEditHistory(CQ7310Doc& document, QObject* parent) : QObject(parent), doc(document) {
    stack.setUndoLimit(kUndoLimit);
    listener = doc.Edits().Listen([this](const EditEvent& event) { Heard(event); });
}

CEditHistory::~CEditHistory() {
    doc.Edits().Unlisten(listener);
}

void CEditHistory::Heard(const EditEvent& event) {
    if (event.replaced) {
        Clear(event.why);
        return;
    }
    if (!Recorded(event.reason) || event.image != 0 || event.address == 0) return;
    // A step belongs to one device: edits of another close the one being made.
    if (!stepChanges.empty() && stepAddress != event.address) {
        const int depth = gestureDepth;
        gestureDepth = 0;
        Sync();
        gestureDepth = depth;
    }
    stepAddress = event.address;
    Gather(event);
    // An edit from elsewhere is a step of its own; page edits wait for the gesture's end.
    if (event.reason != EditReason::Page) Sync();
}

void CEditHistory::Gather(const EditEvent& event) {
    for (const ByteChange& change : event.changes) {
        const auto found =
            std::find_if(stepChanges.begin(), stepChanges.end(),
                         [&change](const ByteChange& c) { return c.offset == change.offset; });
        if (found != stepChanges.end()) {
            found->after = change.after;
        } else {
            stepChanges.push_back(change);
        }
    }
}

void CEditHistory::Clear(const std::string& why) {
    stepChanges.clear();
    if (stack.count() == 0) return;
    stack.clear();
    emit note(tr("Undo history cleared: %1.").arg(QString::fromStdString(why)));
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
    if (gestureDepth > 0) return;
    std::vector<ByteChange> changes;
    changes.swap(stepChanges);
    std::erase_if(changes, [](const ByteChange& c) { return c.before == c.after; });
    if (changes.empty()) return;
    const QString text = gestureText.isEmpty() ? tr("Edit") : gestureText;
    stack.push(new CByteEditCommand(doc, stepAddress, std::move(changes), text));
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
    step();
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
    Replay([this] {
        stack.push(new CSwapVersionsCommand(doc, compare, doc.Devices().CurrentAddress()));
    });
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
