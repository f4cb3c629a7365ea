// What an edit buffer tells its listeners after a change: which bytes of which image changed,
// before and after, and why. Undo records from it, views and lamps refresh from it, the remote
// page and OSC send feedback from it; none of them has to poll or diff the buffer.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace arvestra {

// Who made an edit. Listeners use it to leave out their own echoes (the undo recorder does not
// record its own replays) and to tell the user what happened.
enum class EditReason {
    Page,         // an editing page, the main window's strip, a dialog (the default)
    Cli,          // "arvestra-cli set" and other scripted edits
    Import,       // settings JSON loaded into the document
    Copy,         // the copy wizard or "arvestra-cli copy"
    Remote,       // the remote-control page
    Osc,          // an OSC controller
    Fit,          // an equaliser fitted to a target curve
    Undo,         // the editor's undo
    Redo,         // the editor's redo
    CompareSwap,  // A/B compare swapping versions
    DeviceRead,   // bytes read back from a device and checked
    DeviceSetup,  // the initial settings of a new device record
};

// One byte of an image before and after an edit.
struct ByteChange {
    int offset = 0;
    uint8_t before = 0;
    uint8_t after = 0;

    bool operator==(const ByteChange&) const = default;
};

// One announcement. Either bytes changed (`changes` in the order first written, one entry per
// offset with the byte before the first write and after the last), or the buffer was replaced
// whole (`replaced`: a recall, a store, a read from a device that found other bytes, another
// location, a device added or deleted, a copy or import into the location); edits announced
// before a replacement no longer apply to what the buffer holds.
struct EditEvent {
    EditReason reason = EditReason::Page;
    int address = 0;  // the device whose record the buffer is bound to (0: none, a file copy)
    int image = 0;    // 0 the edit buffer, 1..8 a stored preset being built
    std::vector<ByteChange> changes;
    bool replaced = false;
    std::string why;  // for a replacement, e.g. "a preset was recalled"
};

// A listener is called on the thread that edits (the user-interface thread), after the change.
using EditListener = std::function<void(const EditEvent&)>;
using EditListenerId = int;

// A name for the status bar and logs: "page", "undo", "device read-back", ...
const char* EditReasonName(EditReason reason);

}  // namespace arvestra
