// Working copies kept for recovery: the note beside each copy, the state directory, the search
// for copies left by editors that are gone, and a document killed with SIGKILL whose edits are
// recovered and saved by the next one.
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <optional>

#include "document/DocTestSupport.h"
#include "document/LocationFileTestDir.h"
#include "document/RecoveryStore.h"

namespace arvestra::testing {
namespace {

using PF = ParamField;

// ---- The note -----------------------------------------------------------------------------

class NoteRoundTrip : public ::testing::TestWithParam<RecoveryNote> {};

TEST_P(NoteRoundTrip, ReadsBackWhatWasWritten) {
    RecoveryNote read;
    ASSERT_TRUE(ParseRecoveryNote(FormatRecoveryNote(GetParam()), read));
    EXPECT_EQ(read.originalPath, GetParam().originalPath);
    EXPECT_EQ(read.time, GetParam().time);
    EXPECT_EQ(read.pid, GetParam().pid);
    EXPECT_EQ(read.modified, GetParam().modified);
}

INSTANTIATE_TEST_SUITE_P(Notes, NoteRoundTrip,
                         ::testing::Values(RecoveryNote{"/home/u/Hall.kvx", 1765000000, 4242, true},
                                           RecoveryNote{"", 0, 1, false},
                                           RecoveryNote{"/odd\nname=1\n.kvx", 7, 99999, true},
                                           RecoveryNote{"rel/path.kvx", -5, 2147483647, false}));

class GarbledNote : public ::testing::TestWithParam<const char*> {};

TEST_P(GarbledNote, IsNotANote) {
    RecoveryNote read{"kept", 1, 2, true};
    EXPECT_FALSE(ParseRecoveryNote(GetParam(), read));
    EXPECT_EQ(read.originalPath, "kept") << "a refused note changes nothing";
}

INSTANTIATE_TEST_SUITE_P(
    Texts, GarbledNote,
    ::testing::Values("", "pid=12\ntime=3\nmodified=1\n", "pid=0\ntime=3\nmodified=1\npath=/a",
                      "pid=-4\ntime=3\nmodified=1\npath=/a", "pid=12x\ntime=3\nmodified=1\npath=/a",
                      "time=3\npid=12\nmodified=1\npath=/a", "pid=12\ntime=3\nmodified=2\npath=/a",
                      "pid=99999999999999999999\ntime=3\nmodified=1\npath=/a",
                      "pid=12\ntime=\nmodified=1\npath=/a"));

// ---- The state directory --------------------------------------------------------------------

class ScopedEnv {
  public:
    ScopedEnv(const char* name, const char* value) : name_(name) {
        if (const char* old = std::getenv(name)) old_ = old;
        if (value != nullptr) {
            ::setenv(name, value, 1);
        } else {
            ::unsetenv(name);
        }
    }
    ~ScopedEnv() {
        if (old_) {
            ::setenv(name_, old_->c_str(), 1);
        } else {
            ::unsetenv(name_);
        }
    }
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

  private:
    const char* name_;
    std::optional<std::string> old_;
};

struct StateDirCase {
    const char* name;
    const char* xdgStateHome;
    const char* home;
    const char* expected;
};

class StateDirectory : public ::testing::TestWithParam<StateDirCase> {};

TEST_P(StateDirectory, FollowsXdgStateHomeThenHome) {
    ScopedEnv state("XDG_STATE_HOME", GetParam().xdgStateHome);
    ScopedEnv home("HOME", GetParam().home);
    EXPECT_EQ(RecoveryStore::StateDirectory(), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Environments, StateDirectory,
    ::testing::Values(StateDirCase{"XdgSet", "/s/state", "/h", "/s/state/arvestra"},
                      StateDirCase{"XdgRelativeIgnored", "state", "/h", "/h/.local/state/arvestra"},
                      StateDirCase{"XdgEmpty", "", "/h", "/h/.local/state/arvestra"},
                      StateDirCase{"OnlyHome", nullptr, "/h", "/h/.local/state/arvestra"},
                      StateDirCase{"Nothing", nullptr, nullptr, ""}),
    [](const auto& info) { return std::string(info.param.name); });

// ---- Finding left-over copies ---------------------------------------------------------------

// The id of a process that has ended.
long EndedProcessId() {
    const pid_t child = ::fork();
    if (child == 0) ::_exit(0);
    ::waitpid(child, nullptr, 0);
    return static_cast<long>(child);
}

class LeftOvers : public ::testing::Test {
  protected:
    // A copy named kvx<stem> with a note; returns the copy's path.
    std::string Leave(const std::string& stem, long pid, bool modified, std::int64_t time = 100) {
        const std::string copy = state_.File("kvx" + stem);
        WriteFileBytes(copy, {1, 2, 3});
        EXPECT_EQ(RecoveryStore::WriteNote(copy, {"/f/" + stem + ".kvx", time, pid, modified}), 0);
        return copy;
    }
    ScratchDir state_;
};

TEST_F(LeftOvers, OnlyChangedCopiesOfEndedEditorsAreOfferedOldestFirst) {
    const long gone = EndedProcessId();
    Leave("late00", gone, true, 300);
    Leave("early0", gone, true, 200);
    const std::string running = Leave("alive0", static_cast<long>(::getppid()), true);
    const std::string own = Leave("mine00", static_cast<long>(::getpid()), true);
    const std::string clean = Leave("clean0", gone, false);
    const auto found = RecoveryStore::FindLeftOvers(state_.Path());
    ASSERT_EQ(found.size(), 2u);
    EXPECT_EQ(found[0].note.originalPath, "/f/early0.kvx");
    EXPECT_EQ(found[1].note.originalPath, "/f/late00.kvx");
    EXPECT_EQ(found[0].copyPath, state_.File("kvxearly0"));
    EXPECT_TRUE(std::filesystem::exists(running)) << "a running editor's copy is left alone";
    EXPECT_TRUE(std::filesystem::exists(own));
    EXPECT_FALSE(std::filesystem::exists(clean)) << "nothing unsaved: removed";
    EXPECT_FALSE(std::filesystem::exists(RecoveryStore::NotePathFor(clean)));
}

TEST_F(LeftOvers, NoteWithoutItsCopyIsRemovedAndAGarbledNoteIsLeft) {
    const std::string copy = Leave("nocopy", EndedProcessId(), true);
    std::filesystem::remove(copy);
    WriteFileBytes(state_.File("kvxbadbad.note"), {'x', '\n'});
    WriteFileBytes(state_.File("kvxbadbad"), {1});
    EXPECT_TRUE(RecoveryStore::FindLeftOvers(state_.Path()).empty());
    EXPECT_FALSE(std::filesystem::exists(RecoveryStore::NotePathFor(copy)));
    EXPECT_TRUE(std::filesystem::exists(state_.File("kvxbadbad.note")));
}

// ---- A document killed with SIGKILL -----------------------------------------------------------

// The notes in a directory.
std::vector<std::string> NotesIn(const std::string& directory) {
    std::vector<std::string> notes;
    for (const auto& entry : std::filesystem::directory_iterator(directory)) {
        if (entry.path().extension() == ".note") notes.push_back(entry.path().string());
    }
    return notes;
}

class KilledEditor : public ::testing::Test {
  protected:
    KilledEditor() : tmpdir_(temp_.Path()) {}

    // Makes the user's file: one device, "Hall", saved unmodified.
    void MakeFile() {
        DocBench t(false);
        t.doc.Session().SetRecoveryDirectory(state_.Path());
        ASSERT_EQ(t.doc.NewLocation(), 1);
        ASSERT_EQ(t.doc.SetDeviceName("Hall"), 1);
        ASSERT_EQ(t.doc.SaveLocation(file_), 1);
    }

    // In a child process: opens the file, edits it and is killed before saving.
    void EditAndGetKilled() {
        const pid_t child = ::fork();
        if (child == 0) {
            DocBench t(false);
            t.doc.Session().SetRecoveryDirectory(state_.Path());
            if (t.doc.OpenLocation(file_) != 1) ::_exit(3);
            t.doc.SetDeviceName("Hall after the show");
            t.doc.Edits().Set(PF::InputLevel, 0, 170);
            t.doc.Edits().Set(PF::EqGraphicGain, 1, 30, 59);
            ::kill(::getpid(), SIGKILL);
            ::_exit(4);
        }
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL) << status;
    }

    ScratchDir temp_;
    TmpdirOverride tmpdir_;
    ScratchDir state_;
    ScratchDir files_;
    const std::string file_ = files_.File("hall.kvx");
};

TEST_F(KilledEditor, LeavesItsCopyAndTheNextEditorRecoversAndSavesTheEdits) {
    MakeFile();
    EXPECT_TRUE(NotesIn(state_.Path()).empty()) << "a clean exit leaves nothing";
    EditAndGetKilled();
    const auto found = RecoveryStore::FindLeftOvers(state_.Path());
    ASSERT_EQ(found.size(), 1u);
    EXPECT_EQ(found[0].note.originalPath, file_);
    EXPECT_TRUE(found[0].note.modified);

    {
        DocBench t(false);
        t.doc.Session().SetRecoveryDirectory(state_.Path());
        ASSERT_EQ(t.doc.NewLocation(), 1);
        ASSERT_EQ(t.doc.RecoverLocation(found[0].copyPath, found[0].note.originalPath), 1);
        RecoveryStore::Discard(found[0]);
        EXPECT_TRUE(t.doc.IsModified());
        EXPECT_EQ(t.doc.Session().Path(), file_);
        EXPECT_EQ(t.doc.Devices().GetDeviceName(1), "Hall after the show");
        ASSERT_EQ(t.doc.SaveLocation(t.doc.Session().Path()), 1);
        EXPECT_EQ(NotesIn(state_.Path()).size(), 1u) << "the recovered document's own copy";
    }
    EXPECT_TRUE(NotesIn(state_.Path()).empty());

    DocBench reopened(false);
    ASSERT_EQ(reopened.doc.OpenLocation(file_), 1);
    EXPECT_EQ(reopened.doc.Devices().GetDeviceName(1), "Hall after the show");
    EXPECT_EQ(reopened.doc.Edits().Get(PF::InputLevel, 0), 170);
    EXPECT_EQ(reopened.doc.Edits().Get(PF::EqGraphicGain, 1, 30), 59);
}

TEST_F(KilledEditor, ADamagedCopyIsNotOpened) {
    MakeFile();
    EditAndGetKilled();
    const auto found = RecoveryStore::FindLeftOvers(state_.Path());
    ASSERT_EQ(found.size(), 1u);
    {
        std::fstream damage(found[0].copyPath, std::ios::in | std::ios::out | std::ios::binary);
        damage.write("XXXX", 4);
    }
    DocBench t;
    const std::string before = t.doc.Devices().GetDeviceName(1);
    EXPECT_EQ(t.doc.RecoverLocation(found[0].copyPath, file_), 0);
    EXPECT_EQ(t.doc.Devices().GetDeviceName(1), before);
    EXPECT_TRUE(t.ui.Questions().empty()) << "no fatal error: the editor goes on";
}

}  // namespace
}  // namespace arvestra::testing
