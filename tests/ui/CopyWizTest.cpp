// The copy wizard: its navigation table, the pages on screen for each path, the lists, and
// Finish copying into the current location and into files.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>

#include "app/CommandId.h"
#include "document/DocTestSupport.h"
#include "document/LocationBuffer.h"
#include "document/LocationFileTestDir.h"
#include "ui/ViewTestSupport.h"
#include "ui/shell/EditorShell.h"
#include "ui/shell/MainFrame.h"
#include "ui/wizard/CopyWiz.h"
#include "ui/wizard/CopyWizChoicePage.h"
#include "ui/wizard/CopyWizFilePage.h"
#include "ui/wizard/CopyWizListPage.h"

namespace arvestra {
namespace {

using namespace copywiz;
using testing::DocBench;

// ---- The table -------------------------------------------------------------------------------

struct NextCase {
    int page;
    Choices choices;
    int next;
};

class Navigation : public ::testing::TestWithParam<NextCase> {};

TEST_P(Navigation, NextPageFollowsTheChoices) {
    const NextCase& c = GetParam();
    EXPECT_EQ(NextPage(c.page, c.choices), c.next);
}

INSTANTIATE_TEST_SUITE_P(
    Table, Navigation,
    ::testing::Values(
        NextCase{kType, {}, kSourceFl}, NextCase{kSourceFl, {0, 0, 0}, kSourceSetting},
        NextCase{kSourceFl, {1, 0, 0}, kSourcePreset}, NextCase{kSourceFl, {2, 0, 0}, kSourceUnit},
        NextCase{kSourceFl, {1, 1, 0}, kSourceFile},
        NextCase{kSourceFl, {-1, -1, -1}, kSourceUnit},  // page order
        NextCase{kSourceFile, {1, 1, 0}, kSourcePreset},
        NextCase{kSourceFile, {2, 1, 0}, kSourceUnit}, NextCase{kSourceUnit, {2, 0, 0}, kDestFl},
        NextCase{kSourceSetting, {0, 0, 0}, kDestFl}, NextCase{kDestFl, {2, 0, 0}, kDestUnit},
        NextCase{kDestFl, {0, 0, 0}, kDestSetting}, NextCase{kDestFl, {1, 0, 1}, kDestFile},
        NextCase{kDestFl, {-1, 0, -1}, kDestUnit},  // page order
        NextCase{kDestFile, {1, 0, 1}, kDestPreset}, NextCase{kDestUnit, {2, 0, 0}, kNoPage},
        NextCase{kDestSetting, {0, 0, 0}, kNoPage}, NextCase{999, {}, kNoPage}));

// ---- The wizard --------------------------------------------------------------------------------

class CopyWizard : public ::testing::Test {
  protected:
    CopyWizard() {
        bench.doc.AddDevice(4);
        bench.doc.SetDeviceName("Balcony", 4);
        bench.doc.SelectDevice(1);
        bench.doc.SetModifiedFlag(false);
    }
    void Open() {
        wizard = std::make_unique<CCopyWiz>(bench.doc, nullptr);
        wizard->show();
        wizard->restart();
    }
    void Choose(int pageId, int index) {
        auto* page = dynamic_cast<CCopyWizChoicePage*>(wizard->page(pageId));
        ASSERT_NE(page, nullptr);
        page->Radio(index)->click();
    }
    CCopyWizListPage* List(int pageId) {
        return dynamic_cast<CCopyWizListPage*>(wizard->page(pageId));
    }
    void Next() { wizard->next(); }
    bool ButtonShown(QWizard::WizardButton which) {
        QAbstractButton* b = wizard->button(which);
        return b->isVisible() && b->isEnabled();
    }
    // Selects the rows whose text starts with each prefix.
    static void Select(QListWidget* list, std::initializer_list<const char*> prefixes) {
        list->clearSelection();
        for (int row = 0; row < list->count(); ++row) {
            for (const char* prefix : prefixes) {
                if (list->item(row)->text().startsWith(QString::fromLatin1(prefix))) {
                    list->item(row)->setSelected(true);
                }
            }
        }
    }

    DocBench bench;
    std::unique_ptr<CCopyWiz> wizard;
};

TEST_F(CopyWizard, OpensOnCopyWhatWithEveryChoiceAtItsFirstRadio) {
    Open();
    EXPECT_EQ(wizard->windowTitle(), QStringLiteral("Copy Wiz"));
    EXPECT_EQ(wizard->currentId(), kType);
    EXPECT_EQ(wizard->Choices().what, 0);
    EXPECT_EQ(wizard->Choices().source, 0);
    EXPECT_EQ(wizard->Choices().destination, 0);
    EXPECT_TRUE(ButtonShown(QWizard::NextButton));
    EXPECT_FALSE(wizard->button(QWizard::BackButton)->isVisible());
    EXPECT_EQ(wizard->pageIds().size(), 11);
}

TEST_F(CopyWizard, PresetFromAFileShowsTheFilePageAndBackReturns) {
    Open();
    Choose(kType, 1);
    Next();
    Choose(kSourceFl, 1);
    Next();
    EXPECT_EQ(wizard->currentId(), kSourceFile);
    EXPECT_EQ(wizard->currentPage()->title(), QStringLiteral("Select Source File"));
    EXPECT_FALSE(ButtonShown(QWizard::NextButton));  // no file name yet
    wizard->back();
    EXPECT_EQ(wizard->currentId(), kSourceFl);
}

TEST_F(CopyWizard, DeviceBetweenCurrentLocationsWalksUnitToWhereUnitAndFinish) {
    Open();
    Choose(kType, 2);
    Next();
    Next();
    EXPECT_EQ(wizard->currentId(), kSourceUnit);
    Next();
    EXPECT_EQ(wizard->currentId(), kDestFl);
    Next();
    EXPECT_EQ(wizard->currentId(), kDestUnit);
    EXPECT_FALSE(wizard->button(QWizard::NextButton)->isVisible());
    EXPECT_TRUE(wizard->button(QWizard::FinishButton)->isVisible());
    wizard->back();
    EXPECT_EQ(wizard->currentId(), kDestFl);
}

TEST_F(CopyWizard, NextIdOnlyReadsTheChoices) {
    Open();
    const Choices before = wizard->Choices();
    for (const int id : wizard->pageIds()) {
        const int first = wizard->page(id)->nextId();
        EXPECT_EQ(wizard->page(id)->nextId(), first);
        EXPECT_EQ(first, NextPage(id, before));
    }
    EXPECT_EQ(wizard->currentId(), kType);
    EXPECT_EQ(wizard->Choices().what, before.what);
    EXPECT_EQ(wizard->Choices().source, before.source);
}

TEST_F(CopyWizard, ListsShowTheRealDevicesAndKeepTheirSelectionWhenRevisited) {
    Open();
    Choose(kType, 1);
    Next();
    Next();
    CCopyWizListPage* source = List(kSourcePreset);
    ASSERT_EQ(source->UnitList()->count(), 2);
    EXPECT_EQ(source->UnitList()->item(0)->text(), QStringLiteral("1 No Device Name"));
    EXPECT_EQ(source->UnitList()->item(1)->text(), QStringLiteral("4 Balcony"));
    EXPECT_EQ(source->UnitList()->selectionMode(), QAbstractItemView::SingleSelection);
    ASSERT_EQ(source->PresetList()->count(), 9);
    EXPECT_EQ(source->PresetList()->item(3)->text(), QStringLiteral("3 Preset 3"));
    Select(source->PresetList(), {"5 "});
    Next();
    wizard->back();
    EXPECT_EQ(source->SelectedImages(), (std::vector<int>{5}));
    Next();
    Next();
    CCopyWizListPage* target = List(kDestPreset);
    EXPECT_EQ(target->UnitList()->selectionMode(), QAbstractItemView::ExtendedSelection);
    EXPECT_FALSE(wizard->button(QWizard::FinishButton)->isEnabled());  // nothing chosen yet
}

TEST_F(CopyWizard, FinishCopiesASettingIntoTheCurrentLocation) {
    bench.doc.Edits().Set(ParamField::EqGraphicGain, 0, 6, 50);
    bench.doc.SetModifiedFlag(false);
    Open();
    Next();
    Next();
    CCopyWizListPage* source = List(kSourceSetting);
    Select(source->UnitList(), {"1 "});
    Select(source->PresetList(), {"Edit Buffer"});
    Select(source->SettingList(), {"EQ A"});
    Next();
    Next();
    CCopyWizListPage* target = List(kDestSetting);
    Select(target->UnitList(), {"1 ", "4 "});
    Select(target->PresetList(), {"Edit Buffer", "2 "});
    Select(target->SettingList(), {"EQ B"});
    ASSERT_TRUE(wizard->button(QWizard::FinishButton)->isEnabled());
    wizard->button(QWizard::FinishButton)->click();
    EXPECT_EQ(wizard->LastError(), "");
    EXPECT_EQ(wizard->result(), QDialog::Accepted);
    EXPECT_TRUE(bench.doc.IsModified());
    const CLocationImage& loc = bench.doc.Devices().Location();
    for (int address : {1, 4}) {
        for (int image : {0, 2}) {
            const std::span<const std::uint8_t, kPresetImageSize> bytes(
                loc.Image(loc.SlotOf(address), image), kPresetImageSize);
            EXPECT_EQ(ReadField(bytes, ParamField::EqGraphicGain, 1, 6), 50) << address << image;
        }
    }
}

TEST_F(CopyWizard, AFailedCopyIsShownAndTheWizardStays) {
    Open();
    Next();
    Next();
    Select(List(kSourceSetting)->SettingList(), {"EQ A"});
    Next();
    Next();
    CCopyWizListPage* target = List(kDestSetting);
    Select(target->UnitList(), {"4 "});
    Select(target->PresetList(), {"1 "});
    Select(target->SettingList(), {"Delay B"});
    wizard->button(QWizard::FinishButton)->click();
    EXPECT_EQ(wizard->LastError(), "\"EQ A\" cannot be copied into \"Delay B\".");
    EXPECT_EQ(wizard->currentId(), kDestSetting);
    EXPECT_TRUE(wizard->isVisible());
    ASSERT_FALSE(bench.ui.Questions().empty());
    EXPECT_EQ(bench.ui.Questions().back().text, wizard->LastError());
    EXPECT_FALSE(bench.doc.IsModified());
}

TEST_F(CopyWizard, FromAFileIntoAFileThroughTheFilePagesNeverWritesTheSource) {
    testing::ScratchDir dir;
    const std::string from = dir.File("from.kvx");
    const std::string to = dir.File("to.kvx");
    bench.doc.Devices().Location().Image(bench.doc.Devices().Location().SlotOf(4), 3)[4] = 11;
    ASSERT_EQ(bench.doc.SaveLocation(to), 1);
    ASSERT_EQ(bench.doc.SaveLocation(from), 1);  // the open file: a source, never written
    bench.doc.SetModifiedFlag(false);
    const auto sourceBytes = testing::ReadFileBytes(from);
    Open();
    QString asked;
    wizard->SetFileChooser([&](bool destination, const QString&) {
        asked += destination ? QStringLiteral("D") : QStringLiteral("S");
        return QString::fromStdString(destination ? to : from);
    });
    Choose(kType, 1);
    Next();
    Choose(kSourceFl, 1);
    Next();
    auto* sourcePage = dynamic_cast<CCopyWizFilePage*>(wizard->page(kSourceFile));
    sourcePage->BrowseButton()->click();
    EXPECT_EQ(sourcePage->FileEdit()->text(), QString::fromStdString(from));
    Next();
    EXPECT_EQ(wizard->currentId(), kSourcePreset);  // the file's units
    Select(List(kSourcePreset)->UnitList(), {"4 "});
    Select(List(kSourcePreset)->PresetList(), {"3 "});
    Next();
    Choose(kDestFl, 1);
    Next();
    dynamic_cast<CCopyWizFilePage*>(wizard->page(kDestFile))->BrowseButton()->click();
    Next();
    EXPECT_EQ(wizard->currentId(), kDestPreset);
    Select(List(kDestPreset)->UnitList(), {"1 "});
    Select(List(kDestPreset)->PresetList(), {"7 "});
    wizard->button(QWizard::FinishButton)->click();
    EXPECT_EQ(wizard->LastError(), "");
    EXPECT_EQ(asked, QStringLiteral("SD"));
    EXPECT_EQ(testing::ReadFileBytes(from), sourceBytes);
    std::string error;
    auto saved = CLocationBuffer::Load(to, false, error);
    ASSERT_TRUE(saved) << error;
    EXPECT_EQ(saved->Location().Image(saved->Location().SlotOf(1), 7)[4], 11);
    EXPECT_FALSE(bench.doc.IsModified());
}

TEST_F(CopyWizard, AnUnreadableFileKeepsTheFilePage) {
    Open();
    Next();
    Choose(kSourceFl, 1);
    Next();
    auto* page = dynamic_cast<CCopyWizFilePage*>(wizard->page(kSourceFile));
    page->FileEdit()->setText(QStringLiteral("/nonexistent/none.kvx"));
    Next();
    EXPECT_EQ(wizard->currentId(), kSourceFile);
    ASSERT_FALSE(bench.ui.Questions().empty());
    EXPECT_NE(bench.ui.Questions().back().text.find("cannot read"), std::string::npos);
}

TEST(CopyWizardView, TheCopyCommandRunsTheWizardModally) {
    viewtest::ViewHarness h;
    h.doc.SetModifiedFlag(false);
    QString seen;
    QTimer::singleShot(0, [&] {
        if (QWidget* modal = QApplication::activeModalWidget()) {
            seen = modal->windowTitle();
            modal->close();
        }
    });
    EXPECT_TRUE(h.view->OnCommand(CommandId::EditCopy));
    EXPECT_EQ(seen, QStringLiteral("Copy Wiz"));
    EXPECT_FALSE(h.doc.IsModified());
}

}  // namespace
}  // namespace arvestra

namespace arvestra {
namespace {

// The main window with the full view, as the editor starts it.
class CopyShortcut : public ::testing::Test {
  protected:
    void SetUp() override {
        settings.SetValue("DontWarnAboutNonSmallFonts", 1);
        shell = std::make_unique<CEditorShell>(
            [](CQ7310Doc& doc, CAppSettings& appSettings, QWidget* frame) -> IFrameView* {
                return new CQ7310View(doc, appSettings, frame);
            });
        shell->SetDisplayOverride({{0, 0, 1280, 1024}, 24});
        ASSERT_TRUE(shell->Startup({}));
        shell->Frame()->activateWindow();
        test::FlushEvents();
    }
    // Presses Ctrl+C on a widget; the title of the modal window it opened, if any.
    QString PressCtrlC(QWidget* target) {
        QString seen;
        QTimer::singleShot(50, [&] {
            if (QWidget* modal = QApplication::activeModalWidget()) {
                seen = modal->windowTitle();
                modal->close();
            }
        });
        QTest::keyClick(target, Qt::Key_C, Qt::ControlModifier);
        test::WaitUntil([] { return false; }, 120);
        return seen;
    }

    shelltest::ScopedSettings settings;
    std::unique_ptr<CEditorShell> shell;
};

TEST_F(CopyShortcut, CtrlCOpensTheWizardButCopiesTextInsideATextField) {
    EXPECT_EQ(PressCtrlC(shell->Frame()), QStringLiteral("Copy Wiz"));
    auto* field = new QLineEdit(QStringLiteral("12.5"), shell->View()->Widget());
    field->show();
    field->setFocus();
    field->selectAll();
    test::FlushEvents();
    EXPECT_EQ(PressCtrlC(field), QString());
}

}  // namespace
}  // namespace arvestra
