// Nothing lost when the editor does not end by its window: SIGTERM, SIGHUP and SIGINT close it
// as its window would, and the next start offers left-over copies back one by one.
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <QProcess>
#include <QSettings>
#include <QTemporaryDir>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <thread>

#include "document/CQ7310Doc.h"
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

class ClosingSignal : public ::testing::TestWithParam<int> {};

TEST_P(ClosingSignal, ClosesLikeTheWindowAndRemovesTheWorkingCopy) {
    // The editor as a program, with its own configuration and state directories.
    QTemporaryDir root;
    const QString configFile = root.path() + QStringLiteral("/config/Korvanex/Arvestra.conf");
    {
        QSettings config(configFile, QSettings::IniFormat);
        config.setValue(QStringLiteral("Settings/DontWarnAboutNonSmallFonts"), 1);
        config.setValue(QStringLiteral("Settings/DontWarnAboutNumberOfColors"), 1);
    }
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"), root.path() + QStringLiteral("/config"));
    environment.insert(QStringLiteral("XDG_STATE_HOME"), root.path() + QStringLiteral("/state"));
    const std::string state = (root.path() + QStringLiteral("/state/arvestra")).toStdString();
    QProcess editor;
    editor.setProcessEnvironment(environment);
    editor.start(QStringLiteral(ARVESTRA_APP_PATH), {});
    ASSERT_TRUE(editor.waitForStarted(10000));
    for (int i = 0; i < 1000 && CopiesIn(state).empty(); ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    ASSERT_EQ(CopiesIn(state).size(), 1u) << "the editor made its working copy";

    ::kill(static_cast<pid_t>(editor.processId()), GetParam());
    ASSERT_TRUE(editor.waitForFinished(10000)) << "the editor did not end (a question?)";
    EXPECT_EQ(editor.exitStatus(), QProcess::NormalExit) << "ended by the signal itself";
    EXPECT_EQ(editor.exitCode(), 0);
    EXPECT_TRUE(std::filesystem::is_empty(state)) << "no working copy or note left";
    QSettings config(configFile, QSettings::IniFormat);
    EXPECT_EQ(config.value(QStringLiteral("Settings/WindowLocationSet")).toInt(), 1)
        << "the window position was written";
}

INSTANTIATE_TEST_SUITE_P(Signals, ClosingSignal, ::testing::Values(SIGTERM, SIGHUP, SIGINT),
                         [](const auto& info) {
                             return std::string(info.param == SIGTERM  ? "Term"
                                                : info.param == SIGHUP ? "Hangup"
                                                                       : "Interrupt");
                         });

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
    EXPECT_TRUE(answerer.Shown()[0].text.startsWith(
        QStringLiteral("Unsaved changes to %1 from ").arg(QString::fromStdString(original))));
    EXPECT_TRUE(answerer.Shown()[0].text.endsWith(QStringLiteral(" were found. Recover them?")));
    EXPECT_EQ(answerer.Shown()[0].buttons, QMessageBox::Yes | QMessageBox::No);
    EXPECT_EQ(shell->Doc().Session().Path(), original);
    EXPECT_TRUE(shell->Doc().IsModified());
    EXPECT_EQ(shell->Doc().Devices().GetDeviceName(1), "Recovered hall");
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
    EXPECT_EQ(shell->Doc().Devices().GetDeviceName(1), "No Device Name");
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
    EXPECT_EQ(shell->Doc().Session().Path(), second);
    EXPECT_EQ(shell->Doc().Devices().GetDeviceName(1), "Second");
}

}  // namespace
}  // namespace arvestra
