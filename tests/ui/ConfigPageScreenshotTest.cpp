// A picture of the configuration page in the main window with a tie and a full chain (written
// when ARVESTRA_SCREENSHOT_DIR names a directory); otherwise it checks what the picture shows.
#include <gtest/gtest.h>

#include <QDir>

#include "document/CQ7310Doc.h"
#include "ui/ShellTestSupport.h"
#include "ui/UiTestSupport.h"
#include "ui/controls/ColorButton.h"
#include "ui/pages/ConfigPage.h"
#include "ui/shell/EditorShell.h"
#include "ui/shell/MainFrame.h"
#include "ui/view/Q7310View.h"

namespace arvestra {
namespace {

TEST(ConfigPageScreenshot, ATieAndAFullChain) {
    shelltest::ScopedSettings settings;
    settings.SetValue(QStringLiteral("DontWarnAboutNonSmallFonts"), 1);
    CQ7310View* view = nullptr;
    CEditorShell shell([&view](CQ7310Doc& doc, CAppSettings& appSettings, QWidget* frame) {
        view = new CQ7310View(doc, appSettings, frame);
        return view;
    });
    shell.SetDisplayOverride({{0, 0, 1280, 1024}, 24});
    ASSERT_TRUE(shell.Startup({}));
    CQ7310Doc& doc = shell.Doc();
    // Channel 1 runs all five of its blocks; channel 2 taps it after the high pass filter.
    const int chain[16] = {1, 11, 13, 5, 3, 0, 0, 0, 2, 0, 12, 8, 0, 0, 0, 0};
    for (int slot = 0; slot < 16; ++slot)
        doc.Edits().SetConfig(ParamField::ChainSlot, slot, chain[slot]);
    doc.Edits().SetConfig(ParamField::JoinOn, 0, 1);
    doc.Edits().SetConfig(ParamField::JoinTarget, 0, 1);
    doc.Edits().SetConfig(ParamField::JoinPosition, 0, 3);
    doc.Edits().SetConfig(ParamField::JoinPosition, 1, 2);
    doc.Edits().SetConfig(ParamField::PinkNoiseLevel, 0, 50);
    doc.Edits().Set(ParamField::EqType, 1, 1);
    doc.Edits().SetMasterWithCopy(FieldBlock::LowPass, 0, 1);
    view->OnUpdate(1);
    shell.Frame()->show();
    test::FlushEvents();

    auto* page = static_cast<CConfigPage*>(view->Page(PageKind::Configuration));
    ASSERT_TRUE(page->isVisible());
    EXPECT_EQ(page->PlaceOf(5), (TilePlace{PlaceKind::Cell, 3}));
    EXPECT_EQ(page->PlaceOf(14), (TilePlace{PlaceKind::Frame, 8}));
    // The tie: channel 2's Low Pass B is fed from channel 1's High Pass A.
    EXPECT_EQ(doc.Edits().Get(ParamField::LpSource, kChannelB), 15);
    EXPECT_EQ(doc.Edits().Get(ParamField::EqSource, kChannelB), 2);

    const QPixmap picture = shell.Frame()->grab();
    ASSERT_FALSE(picture.isNull());
    const QString directory = qEnvironmentVariable("ARVESTRA_SCREENSHOT_DIR");
    if (!directory.isEmpty()) {
        QDir().mkpath(directory);
        EXPECT_TRUE(picture.save(QDir(directory).filePath(QStringLiteral("config-page.png"))));
    }

    // A drop refreshes every view, which derives the sources again: Delay B put after Comp/Lim B
    // takes its signal and feeds channel 2's output.
    ASSERT_TRUE(page->MoveTile(4, {PlaceKind::Cell, 12}));
    test::FlushEvents();
    EXPECT_EQ(doc.Edits().Get(ParamField::DelaySource, kChannelB), 10);
    EXPECT_EQ(doc.Edits().Get(ParamField::OutputSource, kChannelB), 6);
    EXPECT_TRUE(view->ChainButton(12)->isVisible()) << "the main view's chain map follows";
}

}  // namespace
}  // namespace arvestra
