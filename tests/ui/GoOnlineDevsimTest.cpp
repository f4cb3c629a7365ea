// "&Work Online" through the editor's shell against arvestra-devsim on a pseudo-terminal: the
// three Go Online choices, Cancel, going offline with its question, and exit while online.
#include <gtest/gtest.h>

#include <QAction>

#include "app/CommandId.h"
#include "document/CQ7310Doc.h"
#include "integration/DevsimChild.h"
#include "ui/ShellTestSupport.h"
#include "ui/UiTestSupport.h"
#include "ui/dialogs/GoOnlineDialog.h"
#include "ui/shell/DocumentActions.h"
#include "ui/shell/EditorShell.h"
#include "ui/shell/MainFrame.h"

namespace arvestra {
namespace {

using devsim_it::DevsimChild;
using shelltest::BoxAnswerer;
using shelltest::ScopedSettings;

class GoOnlineDevsimTest : public ::testing::Test {
  protected:
    void SetUp() override {
        sim = std::make_unique<DevsimChild>(std::vector<std::string>{"--devices", "1,3,7"});
        ASSERT_FALSE(sim->FirstLine().empty()) << "the simulator did not start";
        qputenv("ARVESTRA_COM2", QByteArray::fromStdString(sim->FirstLine()));
        settings.SetValue("DontWarnAboutNonSmallFonts", 1);  // whatever the test display's DPI
        shell = std::make_unique<CEditorShell>();
        shell->SetDisplayOverride({{0, 0, 1280, 1024}, 24});
        ASSERT_TRUE(shell->Startup({}));
    }
    void TearDown() override {
        shell.reset();
        qunsetenv("ARVESTRA_COM2");
    }
    // Chooses in the Go Online dialog and runs "&Work Online".
    void WorkOnline(int choice) {
        shell->Actions().askGoOnlineChoice = [choice] { return choice; };
        shell->Frame()->Action(CommandId::WorkOnline)->trigger();
    }
    std::vector<int> PresentAddresses() {
        std::vector<int> addresses;
        for (int a = 1; a <= 126; ++a) {
            if (shell->Doc().Devices().IsDevicePresent(a)) addresses.push_back(a);
        }
        return addresses;
    }
    void ExpectOnlineMenus(bool online) {
        CMainFrame& frame = *shell->Frame();
        EXPECT_EQ(frame.Action(CommandId::WorkOnline)->isChecked(), online);
        EXPECT_EQ(frame.Action(CommandId::PortCom1)->isEnabled(), !online);
        EXPECT_EQ(frame.Action(CommandId::Baud38400)->isEnabled(), !online);
    }

    ScopedSettings settings;
    std::unique_ptr<DevsimChild> sim;
    std::unique_ptr<CEditorShell> shell;
};

TEST_F(GoOnlineDevsimTest, CreateNewLocationFileScansTheBusAndGoesOnline) {
    BoxAnswerer answerer(shell->Ui());
    WorkOnline(CGoOnlineDialog::kCreateNew);
    EXPECT_EQ(answerer.Unexpected(), 0);
    EXPECT_EQ(shell->App().IsOnline(), 1);
    EXPECT_EQ(PresentAddresses(), (std::vector<int>{1, 3, 7}));
    EXPECT_TRUE(shell->Doc().Bus().Link().IsOpen());
    EXPECT_TRUE(shell->Doc().IsModified());
    ExpectOnlineMenus(true);
    // The worker polls the meters and posts refreshes.
    EXPECT_TRUE(
        test::WaitUntil([&] { return shell->Doc().Bus().Worker().syncEnabled.load() == 1; }, 5000));

    // "&Work Online" again goes offline after the upload question (No: straight offline).
    answerer.Push(QMessageBox::No);
    shell->Frame()->Action(CommandId::WorkOnline)->trigger();
    ASSERT_EQ(answerer.Shown().size(), 1u);
    EXPECT_EQ(answerer.Shown()[0].text,
              QStringLiteral("Do you want to upload settings from all Devices to the location "
                             "file before going offline?"));
    EXPECT_EQ(answerer.Shown()[0].buttons,
              QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
    EXPECT_EQ(shell->App().IsOnline(), 0);
    EXPECT_FALSE(shell->Doc().Bus().Link().IsOpen());
    ExpectOnlineMenus(false);
}

TEST_F(GoOnlineDevsimTest, CancellingTheOfflineQuestionStaysOnline) {
    BoxAnswerer answerer(shell->Ui());
    WorkOnline(CGoOnlineDialog::kCreateNew);
    ASSERT_EQ(shell->App().IsOnline(), 1);
    answerer.Push(QMessageBox::Cancel);
    shell->Frame()->Action(CommandId::WorkOnline)->trigger();
    EXPECT_EQ(shell->App().IsOnline(), 1);
    EXPECT_TRUE(shell->Doc().Bus().Link().IsOpen());
    ExpectOnlineMenus(true);
}

TEST_F(GoOnlineDevsimTest, UploadFromDevicesMakesAModifiedLocationOfTheBus) {
    BoxAnswerer answerer(shell->Ui());
    WorkOnline(CGoOnlineDialog::kUpload);
    EXPECT_EQ(answerer.Unexpected(), 0);
    EXPECT_EQ(shell->App().IsOnline(), 1);
    EXPECT_EQ(PresentAddresses(), (std::vector<int>{1, 3, 7}));
    EXPECT_TRUE(shell->Doc().IsModified());
    EXPECT_TRUE(shell->Doc().Session().Path().empty());
}

TEST_F(GoOnlineDevsimTest, DownloadToDevicesReconcilesWithTheFileFirst) {
    // The new offline location holds one device at address 1; the bus has 1, 3 and 7.
    BoxAnswerer answerer(shell->Ui(), {QMessageBox::Yes, QMessageBox::No});
    WorkOnline(CGoOnlineDialog::kDownload);
    ASSERT_EQ(answerer.Shown().size(), 2u);
    EXPECT_EQ(answerer.Shown()[0].text,
              QStringLiteral("A device was found at address 3 on the network, but not in the "
                             "location file; do you want to add it to the location file?"));
    EXPECT_EQ(answerer.Shown()[1].text,
              QStringLiteral("A device was found at address 7 on the network, but not in the "
                             "location file; do you want to add it to the location file?"));
    EXPECT_EQ(answerer.Unexpected(), 0);
    EXPECT_EQ(shell->App().IsOnline(), 1);
    EXPECT_EQ(PresentAddresses(), (std::vector<int>{1, 3}));
    EXPECT_FALSE(shell->Doc().IsModified());
    EXPECT_EQ(shell->Doc().Devices().CurrentAddress(), 1);  // the lowest present address
}

TEST_F(GoOnlineDevsimTest, CancelStaysOffline) {
    BoxAnswerer answerer(shell->Ui());
    WorkOnline(CGoOnlineDialog::kCancel);
    EXPECT_TRUE(answerer.Shown().empty());
    EXPECT_EQ(shell->App().IsOnline(), 0);
    EXPECT_FALSE(shell->Doc().Bus().Link().IsOpen());
    ExpectOnlineMenus(false);
}

TEST_F(GoOnlineDevsimTest, ExitWhileOnlineOffersToSaveAndLeavesTheWorkerIdle) {
    BoxAnswerer answerer(shell->Ui());
    WorkOnline(CGoOnlineDialog::kCreateNew);
    ASSERT_EQ(shell->App().IsOnline(), 1);
    answerer.Push(QMessageBox::No);
    shell->Frame()->Action(CommandId::AppExit)->trigger();
    ASSERT_EQ(answerer.Shown().size(), 1u);
    EXPECT_EQ(answerer.Shown()[0].text, QStringLiteral("Save changes to Untitled?"));
    EXPECT_FALSE(shell->Frame()->isVisible());
    EXPECT_EQ(shell->App().IsOnline(), 0);
    shell->ExitStep();
    EXPECT_EQ(shell->Doc().Bus().Worker().workerBusy.load(), 0);
}

}  // namespace
}  // namespace arvestra
