// Select Preset when a recall goes wrong: the check mark shows the preset that is really
// current, and Cancel on a page's Preset button recalls the first preset once, not twice.
#include <gtest/gtest.h>

#include <QRadioButton>
#include <QTest>

#include "document/DocTestSupport.h"
#include "link/DeviceCommands.h"
#include "ui/ViewTestSupport.h"
#include "ui/controls/ColorButton.h"
#include "ui/dialogs/SelectPresetDialog.h"
#include "ui/pages/PageDialog.h"

namespace arvestra {
namespace {

TEST(SelectPresetFaults, AFailedRecallLeavesTheCheckOnTheCurrentPreset) {
    testing::DocBench bench;
    bench.GoOnline();
    bench.doc.Devices().SetPresetModified(1);
    // The user wants the modified preset saved first, and the device does not take the store.
    bench.device.silentCommands = {CMD_STORE_PRESET};
    bench.ui.Push(UiAnswer::Yes);
    bench.ui.Push(UiAnswer::Ignore);
    CSelectPresetDialog dialog(bench.doc, nullptr);
    ASSERT_TRUE(dialog.PresetRadio(1)->isChecked());

    dialog.PresetRadio(3)->click();

    ASSERT_EQ(bench.ui.Questions().size(), 2u);
    EXPECT_EQ(bench.ui.Questions()[1].buttons, ButtonSet::AbortRetryIgnore);
    EXPECT_EQ(bench.doc.Devices().CurrentPreset(), 1);
    EXPECT_TRUE(dialog.PresetRadio(1)->isChecked());
    EXPECT_FALSE(dialog.PresetRadio(3)->isChecked());
}

TEST(SelectPresetFaults, CancelFromAPageRecallsTheFirstPresetOnce) {
    // The page's Preset button, as the main view hosts it: the view runs the dialog.
    viewtest::ViewHarness harness;
    CPageDialog* page = harness.view->VisiblePage();
    ASSERT_NE(page, nullptr);

    // Preset 2 is recalled and then edited; on Cancel the user keeps the edits (Cancel in the
    // save question), so preset 2 stays current and must not be asked about a second time.
    shelltest::NextDialog act([&harness](QWidget* widget) {
        auto* dialog = static_cast<CSelectPresetDialog*>(widget);
        dialog->PresetRadio(2)->click();
        harness.doc.Devices().SetPresetModified(1);
        harness.ui.Push(UiAnswer::Cancel);
        dialog->reject();
    });
    QTest::mouseClick(page->PresetButton(), Qt::LeftButton);
    ASSERT_TRUE(act.Ran());

    int saveQuestions = 0;
    for (const UiQuestion& question : harness.ui.Questions()) {
        if (question.text == kMsgSavePreset) ++saveQuestions;
    }
    EXPECT_EQ(saveQuestions, 1);
    EXPECT_EQ(harness.doc.Devices().CurrentPreset(), 2);
}

}  // namespace
}  // namespace arvestra
