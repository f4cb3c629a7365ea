// Working copies kept for recovery: the user's state directory they live in, the note written
// beside each, and the search at start-up for copies left behind by an editor that no longer
// runs (a crash, kill -9, a power cut after the page cache was written).
#pragma once

#include <string>
#include <vector>

#include "document/RecoveryNote.h"

namespace arvestra {

// A working copy whose editor has gone, with its note.
struct LeftOverCopy {
    std::string copyPath;
    std::string notePath;
    RecoveryNote note;
};

class RecoveryStore {
  public:
    // $XDG_STATE_HOME/arvestra when that is an absolute path, else ~/.local/state/arvestra;
    // empty when neither is known.
    static std::string StateDirectory();

    // Makes the directory and its parents (mode 0700 for the ones it makes); 0 or errno.
    static int EnsureDirectory(const std::string& directory);

    // Where the note of a working copy goes.
    static std::string NotePathFor(const std::string& copyPath) { return copyPath + ".note"; }

    // Writes (replaces) the note of a working copy; 0 or errno.
    static int WriteNote(const std::string& copyPath, const RecoveryNote& note);

    // The copies in `directory` left by processes that no longer run and holding unsaved
    // changes, oldest first. Left copies without changes, and notes whose copy is gone, are
    // removed on the way; notes that cannot be read are left alone.
    static std::vector<LeftOverCopy> FindLeftOvers(const std::string& directory);

    // Deletes a left-over copy and its note.
    static void Discard(const LeftOverCopy& leftOver);

    // True while a process with this id exists (one of another user's counts).
    static bool ProcessIsRunning(long pid);
};

}  // namespace arvestra
