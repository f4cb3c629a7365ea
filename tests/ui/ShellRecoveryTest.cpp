// Nothing lost when the editor does not end by its window: SIGTERM, SIGHUP and SIGINT close it
// as its window would, SIGKILL leaves the working copy and its note, and the next start offers
// left-over copies back one by one.
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QSettings>
#include <QTemporaryDir>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <thread>

#include "document/CQ7310Doc.h"
#include "document/LocationFileFormat.h"
#include "document/RecoveryStore.h"
#include "ui/ShellTestSupport.h"
#include "ui/shell/EditorShell.h"
#include "ui/shell/RecoveryOffer.h"

namespace arvestra {
namespace {

using shelltest::BoxAnswerer;
using shelltest::ScopedSettings;

// Working copies (not notes) in a directory.
std::vector<std::string> CopiesIn(const std::string& directory) {
    std::vector<std::string> copies;
    std::error_code ignored;
    for (const auto& entry : std::filesystem::directory_iterator(directory, ignored)) {
        const std::string name = entry.path().filename().string();
        if (name.rfind("kvx", 0) == 0 && entry.path().extension().empty()) {
            copies.push_back(entry.path().string());
        }
    }
    return copies;
}

// ---- The program and its signals ------------------------------------------------------------
#ifdef ARVESTRA_APP_PATH

// The editor started as a program with its own configuration and state directories.
class EditorProcess {
  public:
    EditorProcess(const QString& root, const std::vector<std::string>& files = {}) {
        QDir(root).mkpath(QStringLiteral("config/Korvanex"));
        QSettings config(root + QStringLiteral("/config/Korvanex/Arvestra.conf"),
                         QSettings::IniFormat);
        config.setValue(QStringLiteral("Settings/DontWarnAboutNonSmallFonts"), 1);
        config.setValue(QStringLiteral("Settings/DontWarnAboutNumberOfColors"), 1);
        config.sync();
        const std::string config_home = (root + QStringLiteral("/config")).toStdString();
        const std::string state_home = (root + QStringLiteral("/state")).toStdString();
        stateDirectory = state_home + "/arvestra";
        pid_ = ::fork();
        if (pid_ == 0) {
            ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
            ::setenv("XDG_CONFIG_HOME", config_home.c_str(), 1);
            ::setenv("XDG_STATE_HOME", state_home.c_str(), 1);
            std::vector<std::string> args{ARVESTRA_APP_PATH};
            args.insert(args.end(), files.begin(), files.end());
            std::vector<char*> argv;
            for (std::string& a : args) argv.push_back(a.data());
            argv.push_back(nullptr);
            ::execv(argv[0], argv.data());
            ::_exit(127);
        }
    }
    ~EditorProcess() {
        if (pid_ > 0 && !ended_) {
            ::kill(pid_, SIGKILL);
            ::waitpid(pid_, nullptr, 0);
        }
    }

    // Waits until the editor has made its working copy.
    bool WaitForWorkingCopy() {
        for (int i = 0; i < 1000; ++i) {
            if (!CopiesIn(stateDirectory).empty()) return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        return false;
    }
    // Sends a signal and waits for the end; the wait status, or -1 when it did not end.
    int SignalAndWait(int signalNumber) {
        ::kill(pid_, signalNumber);
        for (int i = 0; i < 1000; ++i) {
            int status = 0;
            if (::waitpid(pid_, &status, WNOHANG) == pid_) {
                ended_ = true;
                return status;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        return -1;
    }
    pid_t Pid() const { return pid_; }

    std::string stateDirectory;

  private:
    pid_t pid_ = -1;
    bool ended_ = false;
};

class ClosingSignal : public ::testing::TestWithParam<int> {};

TEST_P(ClosingSignal, ClosesLikeTheWindowAndRemovesTheWorkingCopy) {
    QTemporaryDir root;
    EditorProcess editor(root.path());
    ASSERT_TRUE(editor.WaitForWorkingCopy());
    const int status = editor.SignalAndWait(GetParam());
    ASSERT_NE(status, -1) << "the editor did not end (a question on screen?)";
    EXPECT_TRUE(WIFEXITED(status)) << "ended by the signal itself";
    EXPECT_EQ(WEXITSTATUS(status), 0);
    EXPECT_TRUE(CopiesIn(editor.stateDirectory).empty());
    EXPECT_TRUE(std::filesystem::is_empty(editor.stateDirectory)) << "no note left either";
    QSettings config(root.path() + QStringLiteral("/config/Korvanex/Arvestra.conf"),
                     QSettings::IniFormat);
    EXPECT_EQ(config.value(QStringLiteral("Settings/WindowLocationSet")).toInt(), 1)
        << "the window position was written";
}

INSTANTIATE_TEST_SUITE_P(Signals, ClosingSignal, ::testing::Values(SIGTERM, SIGHUP, SIGINT),
                         [](const auto& info) {
                             return std::string(info.param == SIGTERM  ? "Term"
                                                : info.param == SIGHUP ? "Hangup"
                                                                       : "Interrupt");
                         });

TEST(KilledEditor, LeavesItsWorkingCopyWithANoteNamingTheFile) {
    QTemporaryDir root;
    const std::string file = (root.path() + QStringLiteral("/hall.kvx")).toStdString();
    {
        std::vector<uint8_t> bytes(kLocationSize, 0);
        CLocationImage location(CLocationImage::Bytes(bytes.data(), kLocationSize));
        location.FormatNew();
        location.SetSlotOf(1, 0);
        std::ofstream(file, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()), 12290);
    }
    EditorProcess editor(root.path(), {file});
    ASSERT_TRUE(editor.WaitForWorkingCopy());
    std::this_thread::sleep_for(std::chrono::milliseconds(200));  // the note follows the copy
    const pid_t pid = editor.Pid();
    const int status = editor.SignalAndWait(SIGKILL);
    ASSERT_TRUE(WIFSIGNALED(status));
    ASSERT_EQ(CopiesIn(editor.stateDirectory).size(), 1u);
    std::ifstream in(RecoveryStore::NotePathFor(CopiesIn(editor.stateDirectory)[0]));
    const std::string text((std::istreambuf_iterator<char>(in)), {});
    RecoveryNote note;
    ASSERT_TRUE(ParseRecoveryNote(text, note)) << text;
    EXPECT_EQ(note.pid, static_cast<long>(pid));
    EXPECT_EQ(note.originalPath, file);
    EXPECT_FALSE(note.modified) << "nothing was edited: not offered at the next start";
}

#endif  // ARVESTRA_APP_PATH

// ---- Offering left-over copies at start-up ----------------------------------------------------

// The id of a process that has ended.
long EndedProcessId() {
    const pid_t child = ::fork();
    if (child == 0) ::_exit(0);
    ::waitpid(child, nullptr, 0);
    return static_cast<long>(child);
}

class RecoveryOfferTest : public ::testing::Test {
  protected:
    void SetUp() override {
        state = (scratch.path() + QStringLiteral("/state")).toStdString();
        ASSERT_EQ(RecoveryStore::EnsureDirectory(state), 0);
        shell = std::make_unique<CEditorShell>();
        shell->SetDisplayOverride({{0, 0, 1024, 768}, 24});
        shell->UseRecoveryDirectory(state);
        ASSERT_TRUE(shell->Startup({}));
    }
    void TearDown() override { shell.reset(); }

    // A left-over copy of `original` whose device 1 is named `name`.
    void Leave(const std::string& stem, const std::string& original, const std::string& name,
               std::int64_t time) {
        std::vector<uint8_t> bytes(kLocationSize, 0);
        CLocationImage location(CLocationImage::Bytes(bytes.data(), kLocationSize));
        location.FormatNew();
        location.SetSlotOf(1, 0);
        location.SetDeviceName(0, name);
        const std::string copy = state + "/kvx" + stem;
        std::ofstream(copy, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()), kLocationSize);
        ASSERT_EQ(RecoveryStore::WriteNote(copy, {original, time, EndedProcessId(), true}), 0);
    }

    ScopedSettings settings;
    QTemporaryDir scratch;
    std::string state;
    std::unique_ptr<CEditorShell> shell;
};

TEST_F(RecoveryOfferTest, YesOpensTheCopyAsAModifiedDocumentOfTheOriginalFile) {
    const std::string original = (scratch.path() + QStringLiteral("/venue.kvx")).toStdString();
    Leave("aaaaaa", original, "Recovered hall", 1765000000);
    BoxAnswerer answerer(shell->Ui(), {QMessageBox::Yes});
    EXPECT_EQ(shell->OfferRecovery(), 1);
    ASSERT_EQ(answerer.Shown().size(), 1u);
    EXPECT_EQ(answerer.Shown()[0].text.toStdString(),
              CRecoveryOffer::QuestionText(original, 1765000000));
    EXPECT_TRUE(answerer.Shown()[0].text.startsWith(
        QStringLiteral("Unsaved changes to %1 from ").arg(QString::fromStdString(original))));
    EXPECT_TRUE(answerer.Shown()[0].text.endsWith(QStringLiteral(" were found. Recover them?")));
    EXPECT_EQ(answerer.Shown()[0].buttons, QMessageBox::Yes | QMessageBox::No);
    EXPECT_EQ(shell->Doc().pathName, original);
    EXPECT_TRUE(shell->Doc().IsModified());
    EXPECT_EQ(shell->Doc().GetDeviceName(1), "Recovered hall");
    EXPECT_EQ(CopiesIn(state).size(), 1u) << "only the document's own working copy";
    EXPECT_FALSE(std::filesystem::exists(state + "/kvxaaaaaa"));
}

TEST_F(RecoveryOfferTest, NoDeletesTheCopyAndKeepsTheDocument) {
    Leave("bbbbbb", "", "Lost cause", 1765000000);
    BoxAnswerer answerer(shell->Ui(), {QMessageBox::No});
    EXPECT_EQ(shell->OfferRecovery(), 0);
    ASSERT_EQ(answerer.Shown().size(), 1u);
    EXPECT_TRUE(answerer.Shown()[0].text.startsWith(QStringLiteral("Unsaved changes to Untitled")));
    EXPECT_FALSE(std::filesystem::exists(state + "/kvxbbbbbb"));
    EXPECT_FALSE(shell->Doc().IsModified());
    EXPECT_EQ(shell->Doc().GetDeviceName(1), "No Device Name");
}

TEST_F(RecoveryOfferTest, SeveralAreOfferedOneByOneOldestFirst) {
    const std::string first = (scratch.path() + QStringLiteral("/first.kvx")).toStdString();
    const std::string second = (scratch.path() + QStringLiteral("/second.kvx")).toStdString();
    Leave("zzzzzz", second, "Second", 1765000200);
    Leave("yyyyyy", first, "First", 1765000100);
    // Yes to the first; Yes to the second, whose recovery first offers to save the first (No).
    BoxAnswerer answerer(shell->Ui(), {QMessageBox::Yes, QMessageBox::Yes, QMessageBox::No});
    EXPECT_EQ(shell->OfferRecovery(), 2);
    ASSERT_EQ(answerer.Shown().size(), 3u);
    EXPECT_EQ(answerer.Shown()[0].text.toStdString(),
              CRecoveryOffer::QuestionText(first, 1765000100));
    EXPECT_EQ(answerer.Shown()[1].text.toStdString(),
              CRecoveryOffer::QuestionText(second, 1765000200));
    EXPECT_EQ(answerer.Shown()[2].text, QStringLiteral("Save changes to first.kvx?"));
    EXPECT_EQ(answerer.Unexpected(), 0);
    EXPECT_EQ(shell->Doc().pathName, second);
    EXPECT_EQ(shell->Doc().GetDeviceName(1), "Second");
}

TEST_F(RecoveryOfferTest, ADamagedCopyIsReportedAndDeleted) {
    Leave("cccccc", "/nowhere/x.kvx", "Broken", 1765000000);
    {
        std::fstream damage(state + "/kvxcccccc", std::ios::in | std::ios::out | std::ios::binary);
        damage.write("JUNK", 4);
    }
    BoxAnswerer answerer(shell->Ui(), {QMessageBox::Yes, QMessageBox::Ok});
    EXPECT_EQ(shell->OfferRecovery(), 0);
    ASSERT_EQ(answerer.Shown().size(), 2u);
    EXPECT_TRUE(answerer.Shown()[1].text.contains(QStringLiteral("could not be recovered")));
    EXPECT_FALSE(std::filesystem::exists(state + "/kvxcccccc"));
    EXPECT_TRUE(shell->Frame() != nullptr);
    EXPECT_TRUE(shell->Doc().pathName.empty()) << "the document open stays";
}

}  // namespace
}  // namespace arvestra
