// The main view on a location offline: first showing, sliders and their read-outs, meters and
// lamps on the refresh command, the chain buttons, the View and Edit commands, page switching,
// update hints, the chain map and what a refresh repaints.
#include <gtest/gtest.h>
#include <functional>

#include <QLabel>
#include <QTest>

#include "app/CommandId.h"
#include "ui/ViewTestSupport.h"
#include "ui/controls/ColorButton.h"
#include "ui/controls/LedIndicator.h"
#include "ui/controls/LevelMeter.h"
#include "ui/controls/PanelSlider.h"
#include "ui/pages/PageDialog.h"
#include "ui/pages/ToolTipControl.h"
#include "ui/view/ViewLayout.h"

namespace arvestra {
namespace {

using test::FlushEvents;
using test::GrabImage;
using test::PaintRecorder;
using viewtest::ViewHarness;

const QColor kBlue{0x55, 0x7F, 0xFF};
const QColor kRed{0xFF, 0x00, 0x00};
const QColor kDarkRed{0x80, 0x00, 0x00};
const QColor kPanel{0xA0, 0xA0, 0xA4};

class ViewTest : public ::testing::Test {
  protected:
    CQ7310View& View() { return *h.view; }
    CQ7310Doc& Doc() { return h.doc; }
    // The meters as the last poll left them, changed by `change`.
    MeterRecord MeterWith(const std::function<void(MeterRecord&)>& change) {
        MeterRecord meters = Doc().Bus().Meters();
        change(meters);
        return meters;
    }
    void StoreMeters(const MeterRecord& meters) { Doc().Bus().StoreMeters(meters); }
    CPageDialog* Shown() { return View().VisiblePage(); }
    CPageDialog* PageOf(PageKind kind) { return View().Page(kind); }
    int VisiblePages() {
        int count = 0;
        for (int k = 0; k < kPageCount; ++k) {
            if (PageOf(static_cast<PageKind>(k))->isVisible()) ++count;
        }
        return count;
    }
    bool Enabled(CommandId id) {
        bool enabled = false;
        bool checked = false;
        EXPECT_TRUE(View().CommandState(id, enabled, checked)) << id;
        return enabled;
    }

    ViewHarness h;
};

TEST_F(ViewTest, FirstShowingPreparesTheStripAndShowsTheConfigurationPage) {
    EXPECT_TRUE(View().IsInitialised());
    EXPECT_EQ(View().CurrentBlock(), 0);
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(View().LevelSlider(i)->minimum(), 152);
        EXPECT_EQ(View().LevelSlider(i)->maximum(), 232);
    }
    for (const int id : {1127, 1128}) EXPECT_EQ(View().Meter(id)->Maximum(), 90);
    for (const int id : {1129, 1130}) EXPECT_EQ(View().Meter(id)->Maximum(), 114);
    for (const int id : {1131, 1132, 1133, 1134}) {
        CLevelMeter* meter = View().Meter(id);
        EXPECT_EQ(meter->Maximum(), 41);
        EXPECT_EQ(meter->Position(), 41);
        for (int zone = 0; zone < 3; ++zone) {
            EXPECT_EQ(meter->LitColor(zone), kDarkRed);
            EXPECT_EQ(meter->UnlitColor(zone), kRed);
        }
    }
    for (int slot = 0; slot < 16; ++slot) {
        EXPECT_EQ(View().ChainButton(slot)->FaceColor(), kBlue);
        EXPECT_EQ(View().ChainButton(slot)->TextColor(), QColor(Qt::white));
    }
    EXPECT_EQ(Shown(), PageOf(PageKind::Configuration));
    EXPECT_EQ(VisiblePages(), 1);
    EXPECT_EQ(PageOf(PageKind::Configuration)->SelectedBlockFlag(0), 1);
    const PixelRect area = PageAreaRect(View().Units());
    for (int k = 0; k < kPageCount; ++k) {
        CPageDialog* page = PageOf(static_cast<PageKind>(k));
        EXPECT_EQ(page->geometry(), QRect(area.left, area.top, area.Width(), area.Height()));
        EXPECT_EQ(page->Document(), &Doc());
    }
    const PixelRect picture = View().PictureRectangle();
    EXPECT_EQ(View().size(), QSize(picture.right + 5, picture.bottom + 5));
    // A second first showing changes nothing.
    View().OnInitialUpdate();
    EXPECT_EQ(VisiblePages(), 1);
}

TEST_F(ViewTest, SlidersShowTheLevelCodesAndTheirReadOuts) {
    struct Case {
        int index;
        ParamField field;
        int channel;
        int code;
        const char* text;
    };
    const Case cases[] = {
        {0, ParamField::InputLevel, 0, 152, "-20.0 dB"},
        {1, ParamField::InputLevel, 1, 192, "0.0 dB"},
        {2, ParamField::OutputLevel, 0, 232, "20.0 dB"},
        {3, ParamField::OutputLevel, 1, 201, "4.5 dB"},
    };
    for (const Case& c : cases) Doc().Edits().Set(c.field, c.channel, c.code);
    View().OnUpdate(1);
    for (const Case& c : cases) {
        CPanelSlider* slider = View().LevelSlider(c.index);
        EXPECT_EQ(slider->value(), c.code) << c.index;
        EXPECT_EQ(View().SliderTipText(c.index), QString::fromLatin1(c.text));
        EXPECT_EQ(View().ToolTip().TextFor(slider), QString::fromLatin1(c.text));
    }
}

TEST_F(ViewTest, MovingASliderSetsTheLevelAndMarksThePresetModified) {
    Doc().Devices().SetPresetModified(0);
    Doc().SetModifiedFlag(false);
    CPanelSlider* slider = View().LevelSlider(2);  // Ch 1 output
    slider->setFocus();
    QTest::keyClick(slider, Qt::Key_Right);
    EXPECT_EQ(Doc().Edits().Get(ParamField::OutputLevel, 0), 193);
    EXPECT_EQ(Doc().Edits().Get(ParamField::OutputLevel, 1), 192);
    EXPECT_EQ(Doc().Devices().PresetModified(), 1);
    EXPECT_TRUE(Doc().IsModified());
    EXPECT_EQ(View().SliderTipText(2), QStringLiteral("0.5 dB"));
    QTest::keyClick(slider, Qt::Key_End);
    EXPECT_EQ(Doc().Edits().Get(ParamField::OutputLevel, 0), 232);
    QTest::keyClick(View().LevelSlider(1), Qt::Key_Home);
    EXPECT_EQ(Doc().Edits().Get(ParamField::InputLevel, 1), 152);
    EXPECT_EQ(View().SliderTipText(1), QStringLiteral("-20.0 dB"));
}

TEST_F(ViewTest, RefreshCommandMovesTheMetersFromTheMeterMembers) {
    h.SetOnlineFlag(1);  // the meters follow the device while online
    MeterRecord meters = Doc().Bus().Meters();
    meters.levelA = 10;
    meters.levelB = 90;
    meters.level2A = 57;
    meters.level2B = 114;
    meters.reduction2[0] = 0;   // Ch 1 H
    meters.reduction1[0] = 41;  // Ch 1 L
    meters.reduction2[1] = 5;   // Ch 2 H
    meters.reduction1[1] = 82;  // Ch 2 L: two compressors add up past the bar
    StoreMeters(meters);
    EXPECT_TRUE(View().OnCommand(CommandId::MeterRefresh));
    const std::pair<int, int> expected[] = {{1127, 10}, {1128, 90}, {1129, 57}, {1130, 114},
                                            {1131, 41}, {1132, 0},  {1133, 36}, {1134, 0}};
    for (const auto& [id, position] : expected) {
        EXPECT_EQ(View().Meter(id)->Position(), position) << id;
    }
}

// Counts the columns of a meter's middle row by colour.
int CountColour(CLevelMeter* meter, const QColor& colour) {
    const QImage image = GrabImage(*meter);
    int count = 0;
    for (int x = 1; x < image.width() - 1; ++x) {
        if (image.pixelColor(x, image.height() / 2) == colour) ++count;
    }
    return count;
}

TEST_F(ViewTest, GainReductionMetersAreDarkAtZeroAndBrightAtFortyOne) {
    h.SetOnlineFlag(1);  // the meters follow the device while online
    CLevelMeter* meter = View().Meter(1131);
    StoreMeters(MeterWith([](MeterRecord& m) { m.reduction2[0] = 0; }));
    View().OnCommand(CommandId::MeterRefresh);
    FlushEvents();
    EXPECT_EQ(CountColour(meter, kRed), 0);
    EXPECT_GT(CountColour(meter, kDarkRed), meter->width() / 2);
    StoreMeters(MeterWith([](MeterRecord& m) { m.reduction2[0] = 41; }));
    View().OnCommand(CommandId::MeterRefresh);
    FlushEvents();
    EXPECT_EQ(CountColour(meter, kDarkRed), 0);
    EXPECT_GT(CountColour(meter, kRed), meter->width() / 2);
}

TEST_F(ViewTest, LampsFollowTheIndicatorRule) {
    h.SetOnlineFlag(1);  // the meters follow the device while online
    struct Case {
        const char* name;
        std::uint8_t bits;
        std::vector<int> chainA;  // nodes of channel A's list after its output
        std::vector<int> chainB;
        bool lampA;
        bool lampB;
    };
    const Case cases[] = {
        {"nothing reported", 0, {3, 1}, {4, 2}, false, false},
        {"EQ A in chain A", 0x01, {3, 1}, {4, 2}, true, false},
        {"EQ B reported, in chain B", 0x02, {3, 1}, {4, 2}, false, true},
        {"EQ B reported, in no chain", 0x02, {3, 1}, {2}, false, false},
        {"Comp/Lim A in chain B", 0x04, {1}, {7, 2}, false, true},
        {"Comp/Lim B second bit, in both", 0x20, {10, 1}, {10, 2}, true, true},
    };
    for (const Case& c : cases) {
        h.SetChainList(0, {});
        h.SetChainList(1, {});
        int i = 1;
        for (int node : c.chainA) Doc().SetChainNode(0, i++, node);
        i = 1;
        for (int node : c.chainB) Doc().SetChainNode(1, i++, node);
        StoreMeters(MeterWith([&](MeterRecord& m) { m.indicatorBits = c.bits; }));
        View().OnCommand(CommandId::MeterRefresh);
        EXPECT_EQ(View().Lamp(0)->IsLit(), c.lampA) << c.name;
        EXPECT_EQ(View().Lamp(1)->IsLit(), c.lampB) << c.name;
    }
}

TEST_F(ViewTest, ChainButtonsMirrorTheSlots) {
    const std::array<int, 16> chain{1, 11, 13, 5, 3, 0, 0, 0, 8, 2, 0, 0, 0, 0, 12, 14};
    h.SetChain(chain);
    View().OnUpdate(2);
    const char* labels[] = {"EQ", "LP", "HP", "C", "D", "", "",   "",
                            "C",  "EQ", "",   "",  "",  "", "LP", "HP"};
    for (int slot = 0; slot < 16; ++slot) {
        CColorButton* button = View().ChainButton(slot);
        const int code = chain[static_cast<std::size_t>(slot)];
        EXPECT_EQ(button->isVisible(), code != 0) << slot;
        if (code == 0) continue;
        EXPECT_EQ(button->text(), QString::fromLatin1(labels[slot])) << slot;
        EXPECT_EQ(button->FaceColor(), kBlue) << slot;
    }
    // The block whose page is shown is red.
    View().OnCommand(CommandId::ViewCompLimB);
    EXPECT_EQ(View().ChainButton(8)->FaceColor(), kRed);
    EXPECT_EQ(View().ChainButton(3)->FaceColor(), kBlue);
    // Emptying a slot hides its button.
    Doc().Edits().Set(ParamField::ChainSlot, 0, 1, 0);
    View().OnUpdate(2);
    EXPECT_FALSE(View().ChainButton(1)->isVisible());
}

TEST_F(ViewTest, ViewMenuOffersOnlyBlocksThatOccupyASlot) {
    std::array<int, 16> chain{};
    chain[2] = 11;
    chain[12] = 8;
    h.SetChain(chain);
    // Chain lists name blocks too, but only the slots decide.
    h.SetChainList(0, {3, 15, 1});
    const std::pair<CommandId, bool> cases[] = {
        {CommandId::ViewDeviceConfiguration, true},
        {CommandId::ViewLowPassA, true},
        {CommandId::ViewCompLimB, true},
        {CommandId::ViewEqA, false},
        {CommandId::ViewHighPassA, false},
        {CommandId::ViewEqB, false},
        {CommandId::ViewLowPassB, false},
        {CommandId::ViewHighPassB, false},
        {CommandId::ViewDelayA, false},
        {CommandId::ViewDelayB, false},
        {CommandId::ViewCompLimA, false},
    };
    for (const auto& [id, enabled] : cases) EXPECT_EQ(Enabled(id), enabled) << id;
    bool enabled = false;
    bool checked = false;
    EXPECT_FALSE(View().CommandState(CommandId::MeterRefresh, enabled, checked));
    // A View command of a block in no slot does nothing.
    View().OnCommand(CommandId::ViewEqA);
    EXPECT_EQ(Shown(), PageOf(PageKind::Configuration));
    EXPECT_EQ(View().CurrentBlock(), 0);
}

TEST_F(ViewTest, EditCommandsFollowOnlineStateAndPresetModified) {
    Doc().Devices().SetPresetModified(0);
    EXPECT_TRUE(Enabled(CommandId::EditDeviceList));
    EXPECT_FALSE(Enabled(CommandId::EditSaveCurrentPreset));
    Doc().Devices().SetPresetModified(1);
    EXPECT_TRUE(Enabled(CommandId::EditSaveCurrentPreset));
    h.SetOnlineFlag(1);
    EXPECT_FALSE(Enabled(CommandId::EditDeviceList));
    // Online the device list is not opened at all.
    View().OnCommand(CommandId::EditDeviceList);
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    h.SetOnlineFlag(0);
}

TEST_F(ViewTest, SaveCurrentPresetStoresTheEditBuffer) {
    Doc().Edits().Set(ParamField::InputLevel, 0, 200);
    ASSERT_EQ(Doc().Devices().PresetModified(), 1);
    View().OnCommand(CommandId::EditSaveCurrentPreset);
    EXPECT_EQ(Doc().Devices().PresetModified(), 0);
    Doc().RecallPreset(2, true);
    Doc().RecallPreset(1, true);
    EXPECT_EQ(Doc().Edits().Get(ParamField::InputLevel, 0), 200);
}

TEST_F(ViewTest, DeviceListRunsOfflineAndRefreshesAllViews) {
    const std::size_t before = h.ui.ViewUpdates().size();
    shelltest::NextDialog done([](QWidget* dialog) { static_cast<QDialog*>(dialog)->accept(); });
    View().OnCommand(CommandId::EditDeviceList);
    EXPECT_TRUE(done.Ran());
    const std::vector<ViewHint> updates = h.ui.ViewUpdates();
    ASSERT_EQ(updates.size(), before + 1);
    EXPECT_EQ(updates.back(), ViewHint::Change);
}

TEST_F(ViewTest, ShowPagePicksTheEqPageOfTheBlocksPath) {
    // Chain A: EQ A then Low Pass A; slot 3 holds High Pass A, which no chain list names.
    h.SetChain({1, 11, 0, 13, 0, 0, 0, 0, 2, 0, 0, 0, 0, 0, 0, 0});
    h.SetChainList(0, {13, 3, 1});
    h.SetChainList(1, {4, 2});
    Doc().Edits().Set(ParamField::EqType, 0, 1);  // channel A parametric
    Doc().Edits().Set(ParamField::EqType, 1, 0);

    View().OnCommand(CommandId::ViewLowPassA);
    EXPECT_EQ(Shown(), PageOf(PageKind::ParametricEq));
    EXPECT_EQ(View().CurrentBlock(), 11);
    EXPECT_EQ(Shown()->SelectedBlock(), 11);
    EXPECT_EQ(PageOf(PageKind::Configuration)->SelectedBlock(), -1);
    EXPECT_EQ(VisiblePages(), 1);
    EXPECT_TRUE(View().EditButton()->isEnabled());

    View().OnCommand(CommandId::ViewHighPassA);
    EXPECT_EQ(Shown(), PageOf(PageKind::GraphicEq));
    EXPECT_EQ(Shown()->SelectedBlock(), 13);

    View().OnCommand(CommandId::ViewEqB);
    EXPECT_EQ(Shown(), PageOf(PageKind::GraphicEq));
    EXPECT_EQ(Shown()->SelectedBlock(), 2);

    View().OnCommand(CommandId::ViewEqA);
    EXPECT_EQ(Shown(), PageOf(PageKind::ParametricEq));

    // Choosing the block already shown does nothing, even when its page would now differ.
    Doc().Edits().Set(ParamField::EqType, 0, 0);
    View().OnCommand(CommandId::ViewEqA);
    EXPECT_EQ(Shown(), PageOf(PageKind::ParametricEq));

    // "Device Configuration" always re-shows the configuration page.
    View().OnCommand(CommandId::ViewDeviceConfiguration);
    EXPECT_EQ(Shown(), PageOf(PageKind::Configuration));
    EXPECT_EQ(View().CurrentBlock(), 0);
    EXPECT_FALSE(View().EditButton()->isEnabled());
    View().OnCommand(CommandId::ViewDeviceConfiguration);
    EXPECT_EQ(Shown(), PageOf(PageKind::Configuration));
}

TEST_F(ViewTest, ChainButtonsAndEditSwitchPages) {
    h.SetChain({3, 0, 0, 5, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 4});
    View().OnUpdate(2);
    QTest::mouseClick(View().ChainButton(3), Qt::LeftButton);
    EXPECT_EQ(Shown(), PageOf(PageKind::CompLim));
    EXPECT_EQ(View().CurrentBlock(), 5);
    EXPECT_EQ(View().ChainButton(3)->FaceColor(), kRed);
    QTest::mouseClick(View().ChainButton(15), Qt::LeftButton);
    EXPECT_EQ(Shown(), PageOf(PageKind::Delay));
    EXPECT_EQ(Shown()->SelectedBlock(), 4);
    EXPECT_EQ(View().ChainButton(3)->FaceColor(), kBlue);
    EXPECT_EQ(View().ChainButton(15)->FaceColor(), kRed);
    QTest::mouseClick(View().EditButton(), Qt::LeftButton);
    EXPECT_EQ(Shown(), PageOf(PageKind::Configuration));
    EXPECT_EQ(View().CurrentBlock(), 0);
    EXPECT_FALSE(View().EditButton()->isEnabled());
}

TEST_F(ViewTest, UpdateHints) {
    h.SetChain({3, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0});
    View().OnUpdate(2);
    View().OnCommand(CommandId::ViewDelayA);
    ASSERT_EQ(Shown(), PageOf(PageKind::Delay));

    // Hint 2 refreshes only the chain buttons.
    Doc().Edits().Set(ParamField::InputLevel, 0, 170);
    Doc().Edits().Set(ParamField::ChainSlot, 0, 1, 14);
    View().OnUpdate(2);
    EXPECT_EQ(View().LevelSlider(0)->value(), 192);
    EXPECT_TRUE(View().ChainButton(1)->isVisible());
    // Hints above 3 are ignored.
    View().OnUpdate(4);
    EXPECT_EQ(View().LevelSlider(0)->value(), 192);
    EXPECT_EQ(Shown(), PageOf(PageKind::Delay));
    // Hint 0 refreshes everything.
    View().OnUpdate(0);
    EXPECT_EQ(View().LevelSlider(0)->value(), 170);
    // Hint 3 (a document was loaded) goes back to the configuration page and refreshes all.
    Doc().Edits().Set(ParamField::InputLevel, 0, 180);
    h.SetOnlineFlag(1);
    View().OnUpdate(3);
    EXPECT_EQ(Shown(), PageOf(PageKind::Configuration));
    EXPECT_EQ(View().CurrentBlock(), 0);
    EXPECT_EQ(View().LevelSlider(0)->value(), 180);
    EXPECT_EQ(View().OnlineLabel()->text(), QStringLiteral("Online"));
    h.SetOnlineFlag(0);
}

TEST_F(ViewTest, OnlineLabelTextAndColours) {
    QLabel* label = View().OnlineLabel();
    EXPECT_EQ(label->text(), QStringLiteral("Offline"));
    EXPECT_EQ(label->palette().color(QPalette::WindowText), kRed);
    EXPECT_EQ(label->palette().color(QPalette::Window), QColor(Qt::black));
    h.SetOnlineFlag(1);
    View().OnUpdate(0);
    EXPECT_EQ(label->text(), QStringLiteral("Online"));
    EXPECT_EQ(label->palette().color(QPalette::WindowText), QColor(0x00, 0xFF, 0x00));
    h.SetOnlineFlag(0);
    View().OnUpdate(1);
    EXPECT_EQ(label->text(), QStringLiteral("Offline"));
}

TEST_F(ViewTest, FullRefreshWithoutADeviceDoesNothing) {
    Doc().Edits().Set(ParamField::InputLevel, 0, 160);
    Doc().DeleteDevice(1);
    ASSERT_EQ(Doc().Devices().CountPresentDevices(), 0);
    h.SetOnlineFlag(1);
    View().OnUpdate(1);
    EXPECT_EQ(View().OnlineLabel()->text(), QStringLiteral("Offline"));
    EXPECT_EQ(View().LevelSlider(0)->value(), 192);
    h.SetOnlineFlag(0);
}

TEST_F(ViewTest, RefreshFollowsNoPresetWhileOfflineOrWithoutAReport) {
    Doc().Edits().Set(ParamField::InputLevel, 0, 170);
    ASSERT_EQ(Doc().Devices().PresetModified(), 1);
    struct Case {
        int online;
        int reported;
    };
    // Offline the reported preset is stale; 0 and 9 are no reports at all.
    const Case cases[] = {{0, 3}, {1, 0}, {1, 9}, {1, -1}};
    for (const Case& c : cases) {
        h.SetOnlineFlag(c.online);
        Doc().Bus().SetDevicePreset(c.reported);
        View().OnCommand(CommandId::MeterRefresh);
        EXPECT_EQ(Doc().Devices().CurrentPreset(), 1) << c.online << " " << c.reported;
        EXPECT_EQ(Doc().Devices().PresetModified(), 1) << c.online << " " << c.reported;
        EXPECT_EQ(Doc().Edits().Get(ParamField::InputLevel, 0), 170);
    }
    h.SetOnlineFlag(0);
    EXPECT_TRUE(h.ui.Questions().empty());
}

TEST_F(ViewTest, RefreshWhileOfflineTakesTheApplicationOfflineFormally) {
    // An error answer cleared the flag while the document still thought itself live.
    Doc().Bus().SetSyncLive(1);
    View().OnCommand(CommandId::MeterRefresh);
    EXPECT_EQ(Doc().Bus().IsSyncLive(), 0);
}

// ---- Painting ------------------------------------------------------------------------------

TEST_F(ViewTest, ChainMapDrawsNodesSegmentsAndTheTie) {
    h.SetChain({1, 0, 0, 0, 0, 0, 0, 0, 2, 0, 0, 0, 0, 0, 0, 0});
    View().OnUpdate(2);
    FlushEvents();
    const ChainGeometry& g = View().Chain();
    const auto pixel = [&](int x, int y) { return GrabImage(View()).pixelColor(x, y); };
    const ChainRowGeometry& a = g.rows[0];
    const ChainRowGeometry& b = g.rows[1];
    EXPECT_EQ(pixel(a.points[0].x, a.y), QColor(Qt::white));
    EXPECT_EQ(pixel(b.points[10].x, b.y), QColor(Qt::white));
    EXPECT_EQ(pixel((b.points[0].x + b.points[1].x) / 2, b.y), QColor(Qt::white));
    EXPECT_EQ(pixel(a.points[2].x, (a.y + g.midlineY) / 2), kPanel);

    // Channel A's chain feeds B's after slot 1; B starts at its slot 3.
    Doc().Edits().Set(ParamField::JoinOn, 0, 1);
    Doc().Edits().Set(ParamField::JoinTarget, 0, 1);
    Doc().Edits().Set(ParamField::JoinPosition, 0, 0, 2);
    Doc().Edits().Set(ParamField::JoinPosition, 0, 1, 3);
    View().OnUpdate(2);
    FlushEvents();
    EXPECT_EQ(pixel((b.points[0].x + b.points[1].x) / 2, b.y), kPanel);
    EXPECT_EQ(pixel(a.points[3].x, (a.y + g.midlineY) / 2), QColor(Qt::white));
    EXPECT_EQ(pixel((a.points[3].x + b.points[4].x) / 2, g.midlineY), QColor(Qt::white));
    EXPECT_EQ(pixel(b.points[4].x, (b.y + g.midlineY) / 2), QColor(Qt::white));
}

TEST_F(ViewTest, BackgroundShowsTheStripCaptionsAndMeterFrames) {
    const QImage image = GrabImage(View());
    const PixelRect meter = FormPixels(1127, View().Units());
    EXPECT_EQ(image.pixelColor(meter.left - 1, meter.top + 2), QColor(0x80, 0x80, 0x80));
    EXPECT_EQ(image.pixelColor(meter.right, meter.top + 2), QColor(Qt::white));
    // Caption text leaves dark pixels in the caption row above the input section.
    const PixelRect caption = DialogToPixels({27, 263, 102, 9}, View().Units());
    int dark = 0;
    for (int y = caption.top; y < caption.bottom; ++y) {
        for (int x = caption.left; x < caption.right; ++x) {
            if (image.pixelColor(x, y).lightness() < 60) ++dark;
        }
    }
    EXPECT_GT(dark, 20);
}

TEST_F(ViewTest, MeterRefreshWhileOnlineRepaintsOnlyTheMetersThatMoved) {
    h.SetOnlineFlag(1);
    Doc().Bus().SetDevicePreset(Doc().Devices().CurrentPreset());
    View().OnCommand(CommandId::MeterRefresh);
    FlushEvents();
    PaintRecorder viewPaints(View());
    std::vector<std::unique_ptr<PaintRecorder>> meterPaints;
    for (const int id : kMeterIds) {
        meterPaints.push_back(std::make_unique<PaintRecorder>(*View().Meter(id)));
    }
    PaintRecorder lampPaints(*View().Lamp(0));

    // The same readings again: nothing at all is repainted.
    View().OnCommand(CommandId::MeterRefresh);
    FlushEvents();
    EXPECT_EQ(viewPaints.Count(), 0);
    for (const auto& paints : meterPaints) EXPECT_EQ(paints->Count(), 0);

    // Only the Ch 1 input meter moves.
    StoreMeters(MeterWith([](MeterRecord& m) { m.levelA = 60; }));
    View().OnCommand(CommandId::MeterRefresh);
    FlushEvents();
    EXPECT_EQ(viewPaints.Count(), 0);
    EXPECT_GT(meterPaints[0]->Count(), 0);
    for (std::size_t i = 1; i < meterPaints.size(); ++i) EXPECT_EQ(meterPaints[i]->Count(), 0);
    EXPECT_EQ(lampPaints.Count(), 0);
    h.SetOnlineFlag(0);
}

}  // namespace
}  // namespace arvestra
