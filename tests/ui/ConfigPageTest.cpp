// The configuration page driven by mouse and keyboard events: tile drags into cells and back
// into the palette, tie drags, drags that lose their button-up, refreshes, Master, Bypass and
// pink noise buttons, the double click and the keyboard moves.
#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QTest>

#include "app/CommandId.h"
#include "document/CQ7310Doc.h"
#include "ui/DocumentPageHost.h"
#include "ui/ViewTestSupport.h"
#include "ui/controls/ColorButton.h"
#include "ui/controls/LedIndicator.h"
#include "ui/controls/PanelPalette.h"
#include "ui/controls/PanelSlider.h"
#include "ui/pages/ChainCell.h"
#include "ui/pages/ConfigPage.h"
#include "ui/pages/PageHost.h"

namespace arvestra {
namespace {

using PF = ParamField;
using test::FlushEvents;
using viewtest::ViewHarness;

constexpr int kEqA = 1, kEqB = 2, kLowPassA = 11, kLowPassB = 12;

class Host : public test::DocumentPageHost {
  public:
    explicit Host(CQ7310Doc* document) : DocumentPageHost(document) {}
    void OnUpdate(int hint) override { updates.push_back(hint); }
    void PostViewCommand(CommandId command) override { posted.push_back(command); }
    std::vector<int> updates;
    std::vector<CommandId> posted;
};

QPoint CentreOf(const PixelRect& r) {
    return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

class ConfigPageTest : public ::testing::Test {
  protected:
    ConfigPageTest() : host(&harness.doc) {
        parent.resize(1200, 700);
        page = new CConfigPage(host, &parent);
        page->Create();
        page->show();
        parent.show();
        page->UpdatePage(0);
        FlushEvents();
    }

    void Send(QEvent::Type type, QPoint at, Qt::MouseButton button, Qt::MouseButtons held) {
        QMouseEvent event(type, at, page->mapToGlobal(at), button, held, Qt::NoModifier);
        QApplication::sendEvent(page, &event);
    }
    void Press(QPoint at) { Send(QEvent::MouseButtonPress, at, Qt::LeftButton, Qt::LeftButton); }
    void Drag(QPoint at) { Send(QEvent::MouseMove, at, Qt::NoButton, Qt::LeftButton); }
    void Release(QPoint at) { Send(QEvent::MouseButtonRelease, at, Qt::LeftButton, Qt::NoButton); }
    void Hover(QPoint at) { Send(QEvent::MouseMove, at, Qt::NoButton, Qt::NoButton); }
    // Drags the tile of `code` by its centre onto the centre of `to`.
    void DragTile(int code, const PixelRect& to) {
        const QPoint from = CentreOf(page->TileRect(code));
        Press(from);
        Drag(from + QPoint(3, 3));
        Drag(CentreOf(to));
        Release(CentreOf(to));
    }
    PixelRect CellRectOf(int cell) const { return CellRect(cell, page->Units()); }
    PixelRect FrameRectOf(int frame) const { return FrameRect(frame, page->Units()); }
    int Slot(int s) const { return harness.doc.Edits().Get(PF::ChainSlot, 0, s); }
    int Palette(int p) const { return harness.doc.Edits().Get(PF::PalettePosition, 0, p); }
    void Refresh() {
        page->UpdatePage(0);
        FlushEvents();
    }
    QPoint TiePoint(int row, int k) const {
        const PixelPoint p =
            page->Chain().rows[static_cast<std::size_t>(row)].points[static_cast<std::size_t>(k)];
        return {p.x, p.y};
    }

    ViewHarness harness{false};
    Host host;
    QWidget parent;
    CConfigPage* page = nullptr;
};

TEST_F(ConfigPageTest, TilesStartInTheirHomeFrames) {
    EXPECT_EQ(page->PlaceOf(kEqA), (TilePlace{PlaceKind::Frame, 0}));
    EXPECT_EQ(page->PlaceOf(kLowPassB), (TilePlace{PlaceKind::Frame, 7}));
    EXPECT_EQ(page->TileRect(kEqB), FrameRectOf(6));
    EXPECT_EQ(page->GetBitmapId(), 131);
    EXPECT_EQ(page->TileTipText(kLowPassA), QStringLiteral("Low Pass, Ch 1"));
}

TEST_F(ConfigPageTest, ATileDroppedIntoACellWritesTheSlotAndBackIntoThePaletteTheEntry) {
    DragTile(kEqA, CellRectOf(2));
    EXPECT_EQ(Slot(2), kEqA);
    EXPECT_EQ(Palette(0), 0);
    EXPECT_EQ(page->PlaceOf(kEqA), (TilePlace{PlaceKind::Cell, 2}));
    EXPECT_EQ(page->TileRect(kEqA), CellRectOf(2));
    EXPECT_EQ(page->SelectedCode(), kEqA);
    EXPECT_EQ(page->Mode(), CConfigPage::DragMode::Idle);
    ASSERT_FALSE(harness.ui.ViewUpdates().empty());
    EXPECT_EQ(harness.ui.ViewUpdates().back(), ViewHint::Change);

    DragTile(kEqA, FrameRectOf(11));  // the empty sixth frame of row B
    EXPECT_EQ(Slot(2), 0);
    EXPECT_EQ(Palette(11), kEqA);
    EXPECT_EQ(page->SelectedCode(), 0);
    EXPECT_TRUE(page->LevelSlider()->hasFocus());
}

TEST_F(ConfigPageTest, WhileDraggingTheNearestFreePlaceIsMarked) {
    const QPoint from = CentreOf(page->TileRect(kEqA));
    Press(from);
    EXPECT_EQ(page->Mode(), CConfigPage::DragMode::Tile);
    EXPECT_EQ(page->DropTarget(), (TilePlace{PlaceKind::Frame, 0})) << "its own place is free";
    EXPECT_TRUE(page->Frame(0)->IsDropTarget());
    Drag(CentreOf(CellRectOf(9)) + QPoint(2, 1));
    EXPECT_EQ(page->DropTarget(), (TilePlace{PlaceKind::Cell, 9}));
    EXPECT_TRUE(page->Cell(9)->IsDropTarget());
    EXPECT_FALSE(page->Frame(0)->IsDropTarget());
    Release(CentreOf(CellRectOf(9)));
    EXPECT_FALSE(page->Cell(9)->IsDropTarget());
}

TEST_F(ConfigPageTest, ALowPassATileInTheChannel2RowJoinsChannelBsChainList) {
    DragTile(kLowPassA, CellRectOf(9));
    Refresh();
    EXPECT_EQ(Slot(9), kLowPassA);
    EXPECT_EQ(harness.doc.ChainHoldsKind(kChannelB, kLowPassA), 1);
    EXPECT_EQ(harness.doc.ChainHoldsKind(kChannelA, kLowPassA), 0);
    EXPECT_EQ(harness.doc.Edits().Get(PF::LpSource, kChannelA), 2);
}

// A press and release without moving puts the tile back where it was: the same slot or entry,
// and nothing else in the image changes (a channel 2 tile once landed in slots 16..23, i.e.
// the pink noise, tie and temperature bytes).
struct BackCase {
    const char* name;
    int code;
    bool inChain;
    int place;  // slot or palette entry
};

class PressRelease : public ConfigPageTest, public ::testing::WithParamInterface<BackCase> {};

TEST_P(PressRelease, PutsTheTileBackAndTouchesNothingElse) {
    const BackCase& c = GetParam();
    if (c.inChain) {
        harness.doc.Edits().SetConfig(PF::ChainSlot, c.place, c.code);
        Refresh();
    }
    harness.doc.Edits().SetConfig(PF::JoinPosition, 1, 5);
    harness.doc.Edits().SetConfig(PF::PinkNoiseOn, 1, 1);
    const std::vector<std::uint8_t> before(harness.doc.Edits().Data(),
                                           harness.doc.Edits().Data() + 250);
    const std::size_t updates = harness.ui.ViewUpdates().size();
    const QPoint at = CentreOf(page->TileRect(c.code));
    Press(at);
    Release(at);
    const std::vector<std::uint8_t> after(harness.doc.Edits().Data(),
                                          harness.doc.Edits().Data() + 250);
    EXPECT_EQ(after, before);
    EXPECT_EQ(c.inChain ? Slot(c.place) : Palette(c.place), c.code);
    EXPECT_GT(harness.ui.ViewUpdates().size(), updates) << "all views are refreshed";
}

INSTANTIATE_TEST_SUITE_P(Places, PressRelease,
                         ::testing::Values(BackCase{"Channel2Cell", kLowPassB, true, 12},
                                           BackCase{"Channel1Cell", kEqA, true, 3},
                                           BackCase{"PaletteRowB", kEqB, false, 6},
                                           BackCase{"PaletteRowA", kLowPassA, false, 1}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(ConfigPageTest, DuplicatesAreCleanedOnRefresh) {
    harness.doc.Edits().SetConfig(PF::ChainSlot, 0, kEqA);
    harness.doc.Edits().SetConfig(PF::ChainSlot, 5, kEqA);
    Refresh();
    EXPECT_EQ(Slot(0), kEqA);
    EXPECT_EQ(Slot(5), 0);
    EXPECT_EQ(page->PlaceOf(kEqA), (TilePlace{PlaceKind::Cell, 0}));
    EXPECT_EQ(Palette(0), 0) << "a chained block leaves the palette";
}

TEST_F(ConfigPageTest, ATileThePresetPlacesNowhereTakesAFreePaletteFrame) {
    harness.doc.Edits().SetConfig(PF::ChainSlot, 3, kEqA);
    Refresh();
    // Another preset: Low Pass A in slot 3, EQ A nowhere.
    harness.doc.Edits().SetConfig(PF::ChainSlot, 3, kLowPassA);
    harness.doc.Edits().SetConfig(PF::PalettePosition, 1, 0);
    Refresh();
    EXPECT_EQ(page->PlaceOf(kEqA), (TilePlace{PlaceKind::Frame, 0})) << "its home frame is free";
    EXPECT_EQ(page->TileRect(kEqA), FrameRectOf(0));
    EXPECT_EQ(Palette(0), 0) << "the preset is left as it is";
    for (const int code : {kEqA, kEqB, kLowPassA, kLowPassB}) {
        for (const int other : {kEqA, kEqB, kLowPassA, kLowPassB}) {
            if (other == code) continue;
            EXPECT_FALSE(ToQRect(page->TileRect(code)).intersects(ToQRect(page->TileRect(other))))
                << code << " " << other;
        }
    }
    // A press picks up the tile that is seen there, and dropping it back changes no slot.
    const QPoint at = CentreOf(CellRectOf(3));
    Press(at);
    EXPECT_EQ(page->DraggedCode(), kLowPassA);
    Release(at);
    EXPECT_EQ(Slot(3), kLowPassA);
}

TEST_F(ConfigPageTest, TileNamesFitTheirTiles) {
    for (int channel = 0; channel < 2; ++channel) harness.doc.Edits().Set(PF::EqType, channel, 1);
    Refresh();
    for (const int code : {kEqA, kEqB, kLowPassA}) {
        QLabel* name = page->NameLabel(code);
        EXPECT_LE(name->fontMetrics().horizontalAdvance(name->text()), name->contentsRect().width())
            << name->text().toStdString();
    }
    EXPECT_EQ(page->NameLabel(kEqA)->text(), QStringLiteral("Parametric"));
}

TEST_F(ConfigPageTest, ADragWhoseButtonUpIsLostEndsAsAReleaseAtItsLastPoint) {
    const QPoint from = CentreOf(page->TileRect(kEqA));
    Press(from);
    Drag(CentreOf(CellRectOf(4)));
    Hover(CentreOf(CellRectOf(6)));  // the button is up: the release was lost
    EXPECT_EQ(page->Mode(), CConfigPage::DragMode::Idle);
    EXPECT_EQ(Slot(4), kEqA);
    // Later plain moves edit nothing.
    Hover(CentreOf(CellRectOf(7)));
    Hover(CentreOf(FrameRectOf(5)));
    EXPECT_EQ(Slot(4), kEqA);
    EXPECT_EQ(Slot(7), 0);
    EXPECT_EQ(page->TileRect(kEqA), CellRectOf(4));
}

TEST_F(ConfigPageTest, HidingOrRefreshingThePageEndsADrag) {
    Press(CentreOf(page->TileRect(kEqB)));
    Drag(CentreOf(CellRectOf(10)));
    page->UpdatePage(0);
    EXPECT_EQ(page->Mode(), CConfigPage::DragMode::Idle);
    EXPECT_EQ(Slot(10), kEqB);

    Press(CentreOf(page->TileRect(kLowPassB)));
    Drag(CentreOf(CellRectOf(11)));
    page->hide();
    EXPECT_EQ(page->Mode(), CConfigPage::DragMode::Idle);
    EXPECT_EQ(Slot(11), kLowPassB);
}

TEST_F(ConfigPageTest, ATieDragTiesTheChainsAndADragReleasedOnNoTargetRemovesTheTie) {
    // From channel 1's input point (position 0) to channel 2's output point (position 8).
    Press(TiePoint(0, 1));
    EXPECT_EQ(page->Mode(), CConfigPage::DragMode::Tie);
    Drag(TiePoint(1, 9) + QPoint(0, 2));
    EXPECT_EQ(page->TieTarget(), 8);
    Release(TiePoint(1, 9));
    EXPECT_EQ(harness.doc.Edits().Get(PF::JoinOn), 1);
    EXPECT_EQ(harness.doc.Edits().Get(PF::JoinTarget), 1);
    EXPECT_EQ(harness.doc.Edits().Get(PF::JoinPosition, 0, 0), 0);
    EXPECT_EQ(harness.doc.Edits().Get(PF::JoinPosition, 0, 1), 8);
    EXPECT_EQ(harness.doc.Edits().Get(PF::OutputSource, kChannelB), 1)
        << "channel 1's input feeds out 2";
    EXPECT_EQ(harness.ui.ViewUpdates().back(), ViewHint::Change);

    // Pressing a tie point again and letting go on channel 1's own side removes the tie; the
    // sources follow at once.
    Press(TiePoint(0, 4));
    Drag(TiePoint(0, 4) + QPoint(20, -5));
    EXPECT_EQ(page->TieTarget(), -1);
    Release(TiePoint(0, 4) + QPoint(20, -5));
    EXPECT_EQ(harness.doc.Edits().Get(PF::JoinOn), 0);
    EXPECT_EQ(harness.doc.Edits().Get(PF::OutputSource, kChannelB), 2);
}

TEST_F(ConfigPageTest, AMasterOnChannelBTurnsChannelAsMasterOff) {
    CColorButton* masterA = page->MasterButton(kLowPassA);
    CColorButton* masterB = page->MasterButton(kLowPassB);
    QTest::mouseClick(masterA, Qt::LeftButton);
    EXPECT_TRUE(masterA->IsLatched());
    EXPECT_EQ(harness.doc.Edits().Get(PF::LpMaster, kChannelA), 1);
    QTest::mouseClick(masterB, Qt::LeftButton);
    EXPECT_TRUE(masterB->IsLatched());
    EXPECT_FALSE(masterA->IsLatched());
    EXPECT_EQ(harness.doc.Edits().Get(PF::LpMaster, kChannelA), 0);
    EXPECT_EQ(harness.doc.Edits().Get(PF::LpMaster, kChannelB), 1);
    QTest::mouseClick(masterB, Qt::LeftButton);
    EXPECT_FALSE(masterB->IsLatched());
    EXPECT_EQ(harness.doc.Edits().Get(PF::LpMaster, kChannelB), 0);
}

TEST_F(ConfigPageTest, BypassButtonsStoreTheChannelsBypass) {
    QTest::mouseClick(page->BypassButton(1), Qt::LeftButton);
    EXPECT_EQ(harness.doc.Devices().BypassB(), 1);
    EXPECT_EQ(harness.doc.Devices().BypassA(), 0);
    EXPECT_TRUE(page->BypassButton(1)->IsLatched());
    QTest::mouseClick(page->BypassButton(1), Qt::LeftButton);
    EXPECT_EQ(harness.doc.Devices().BypassB(), 0);
}

TEST_F(ConfigPageTest, PinkSelectFeedsTheFirstBlockNode17) {
    harness.doc.Edits().SetConfig(PF::ChainSlot, 2, kEqA);
    Refresh();
    QTest::mouseClick(page->PinkButton(0), Qt::LeftButton);
    EXPECT_EQ(harness.doc.Edits().Get(PF::PinkNoiseOn, 0, 0), 1);
    EXPECT_TRUE(page->PinkButton(0)->IsLatched());
    EXPECT_TRUE(page->PinkLamp(0)->IsLit());
    EXPECT_FALSE(page->PinkLamp(1)->IsLit());
    EXPECT_EQ(harness.doc.Edits().Get(PF::EqSource, kChannelA), 17);
    EXPECT_EQ(harness.doc.Edits().Get(PF::OutputSource, kChannelB), 2);
}

TEST_F(ConfigPageTest, TheLevelSliderSetsThePinkNoiseLevelAndARefreshWritesNothing) {
    harness.doc.Edits().SetConfig(PF::PinkNoiseLevel, 0, 40);
    harness.doc.SetModifiedFlag(false);
    Refresh();
    EXPECT_EQ(page->LevelSlider()->value(), 40);
    EXPECT_FALSE(harness.doc.IsModified()) << "the refresh's own move is no edit";
    EXPECT_EQ(page->LevelTipText(), QStringLiteral("-20.0 dB"));
    page->LevelSlider()->setFocus();
    QTest::keyClick(page->LevelSlider(), Qt::Key_Right);
    EXPECT_EQ(harness.doc.Edits().Get(PF::PinkNoiseLevel), 41);
}

TEST_F(ConfigPageTest, ADoubleClickOnTheSelectedTileOpensItsPageAndStartsNoDrag) {
    harness.doc.Edits().SetConfig(PF::ChainSlot, 1, kEqA);
    harness.doc.Edits().SetConfig(PF::ChainSlot, 2, kLowPassA);
    Refresh();
    const QPoint eq = CentreOf(CellRectOf(1));
    Press(eq);
    Release(eq);
    Send(QEvent::MouseButtonDblClick, eq, Qt::LeftButton, Qt::LeftButton);
    EXPECT_EQ(page->Mode(), CConfigPage::DragMode::Idle);
    Release(eq);
    FlushEvents();
    EXPECT_EQ(host.posted, (std::vector<CommandId>{CommandId::ViewEqA}));
    // Not the selected tile: nothing.
    Send(QEvent::MouseButtonDblClick, CentreOf(CellRectOf(2)), Qt::LeftButton, Qt::LeftButton);
    EXPECT_EQ(host.posted.size(), 1u);
    EXPECT_EQ(Slot(1), kEqA);
}

TEST_F(ConfigPageTest, TheKeyboardMovesTilesIntoTheChainAndBack) {
    page->Frame(0)->setFocus();
    QTest::keyClick(page->Frame(0), Qt::Key_Space);
    EXPECT_EQ(page->CarriedCode(), kEqA);
    QTest::keyClick(page->Frame(0), Qt::Key_Down);
    QTest::keyClick(page->Frame(6), Qt::Key_Down);
    ASSERT_TRUE(page->Cell(0)->hasFocus());
    QTest::keyClick(page->Cell(0), Qt::Key_Right);
    QTest::keyClick(page->Cell(1), Qt::Key_Space);
    EXPECT_EQ(Slot(1), kEqA);
    EXPECT_EQ(Palette(0), 0);
    EXPECT_EQ(page->CarriedCode(), 0);
    // Delete sends it back to its home frame.
    page->Cell(1)->setFocus();
    QTest::keyClick(page->Cell(1), Qt::Key_Delete);
    EXPECT_EQ(Slot(1), 0);
    EXPECT_EQ(Palette(0), kEqA);
    // Escape drops what was picked up.
    page->Frame(7)->setFocus();
    QTest::keyClick(page->Frame(7), Qt::Key_Space);
    QTest::keyClick(page->Frame(7), Qt::Key_Escape);
    EXPECT_EQ(page->CarriedCode(), 0);
}

TEST_F(ConfigPageTest, TheKeyboardCanTieAndUntieAsADragDoes) {
    ASSERT_TRUE(page->SetTie(1, 0, 0));
    EXPECT_EQ(harness.doc.Edits().Get(PF::JoinTarget), 0);
    EXPECT_EQ(harness.doc.Edits().Get(PF::OutputSource, kChannelA), 2);
    ASSERT_TRUE(page->SetTie(1, 0, -1));
    EXPECT_EQ(harness.doc.Edits().Get(PF::JoinOn), 0);
    EXPECT_EQ(harness.doc.Edits().Get(PF::OutputSource, kChannelA), 1);
    EXPECT_FALSE(page->MoveTile(kEqA, {PlaceKind::Frame, 1})) << "taken by Low Pass A";
    EXPECT_FALSE(page->MoveTile(7, {PlaceKind::Cell, 1})) << "no tile has code 7";
}

TEST_F(ConfigPageTest, ValuesFromAFileAreLimitedWhereTheyAreUsed) {
    std::uint8_t* image = harness.doc.Edits().Data();
    image[0] = 7;                          // EQ A type: anything but 0 is parametric
    image[196 + 4] = 0xF0 | 0x0F;          // slot 4 and palette entry 4: code 15
    image[212] = (15 << 1) | 0x20 | 0x40;  // tie on, A feeds B, tie position 15
    Refresh();
    EXPECT_EQ(page->NameLabel(kEqA)->text(), QStringLiteral("Parametric"));
    EXPECT_EQ(page->NameLabel(kEqB)->text(), QStringLiteral("Graphic"));
    EXPECT_EQ(Slot(4), 0);
    EXPECT_EQ(Palette(4), 0);
    // Delay A's home entry held 15: the tile shows there, the preset keeps the entry empty.
    EXPECT_EQ(page->PlaceOf(3), (TilePlace{PlaceKind::Frame, 4}));
    const QImage picture = test::GrabImage(*page);  // paints the tie at position 15 safely
    EXPECT_FALSE(picture.isNull());
}

}  // namespace
}  // namespace arvestra
