// The page framework: the Online/Offline latches, the Device and Preset buttons and name fields,
// edit-field frames, Enter and Escape, the services that talk back to the view, the tool tip.
#include <gtest/gtest.h>

#include <QHoverEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <QToolTip>

#include "app/CommandId.h"
#include "ui/DocumentPageHost.h"
#include "ui/ViewTestSupport.h"
#include "ui/controls/ColorButton.h"
#include "ui/dialogs/SelectDeviceDialog.h"
#include "ui/pages/DelayPage.h"
#include "ui/pages/PageGeometry.h"
#include "ui/pages/PageHost.h"
#include "ui/pages/ToolTipControl.h"

namespace arvestra {
namespace {

using test::FlushEvents;
using test::GrabImage;
using viewtest::ViewHarness;

// A view stand-in that records what a page asks of it.
class RecordingHost : public test::DocumentPageHost {
  public:
    explicit RecordingHost(CQ7310Doc* document) : DocumentPageHost(document) {}
    void OnUpdate(int hint) override { updates.push_back(hint); }
    void PostViewCommand(CommandId command) override { posted.push_back(command); }
    void RunFrameCommand(CommandId command) override {
        frameCommands.push_back(command);
        if (onFrameCommand) onFrameCommand(command);
    }

    std::vector<int> updates;
    std::vector<CommandId> posted;
    std::vector<CommandId> frameCommands;
    std::function<void(CommandId)> onFrameCommand;
};

// A page with one value edit field at (20, 40, 60, 12) dialog units, counting Enter and Escape.
class FieldPage : public CPageDialog {
  public:
    FieldPage(IPageHost& host, QWidget* parent) : CPageDialog(999, host, parent) {}
    int GetBitmapId() const override { return 1; }

    QLineEdit* field = nullptr;
    QRect templateRect;
    int oks = 0;
    int cancels = 0;

  protected:
    void OnInitDialog() override {
        field = new QLineEdit(this);
        PlaceControl(field, 20, 40, 60, 12);
        templateRect = field->geometry();
        AddEditField(field);
        CPageDialog::OnInitDialog();
    }
    void OnOK() override { ++oks; }
    void OnCancel() override { ++cancels; }
};

class PageDialogTest : public ::testing::Test {
  protected:
    PageDialogTest() : host(&harness.doc) {
        parent.resize(900, 500);
        page = new FieldPage(host, &parent);
        page->Create();
        page->show();
        parent.show();
        FlushEvents();
    }

    ViewHarness harness{false};
    RecordingHost host;
    QWidget parent;
    FieldPage* page = nullptr;
};

TEST_F(PageDialogTest, PageHasTheConfigurationPagesSizeAndStartsHidden) {
    RecordingHost other(&harness.doc);
    CDelayPage delay(other, &parent);
    EXPECT_FALSE(delay.isVisibleTo(&parent));
    EXPECT_EQ(delay.size(), CPageDialog::PageSize(delay.Units()));
    EXPECT_EQ(delay.GetBitmapId(), 132);
    // Before its creation a page has no document and ignores refreshes.
    EXPECT_EQ(delay.Document(), nullptr);
    delay.UpdatePage(0);
    EXPECT_TRUE(delay.DeviceNameLabel()->text().isEmpty());
    delay.Create();
    EXPECT_EQ(delay.Document(), &harness.doc);
    EXPECT_FALSE(delay.isVisibleTo(&parent));
}

TEST_F(PageDialogTest, NameFieldsShowAddressAndDeviceNameAndPresetNumberAndName) {
    page->UpdatePage(0);
    EXPECT_EQ(page->DeviceNameLabel()->text(), QStringLiteral("1 - No Device Name"));
    EXPECT_EQ(page->PresetNameLabel()->text(), QStringLiteral("1 - Preset 1"));

    harness.doc.AddDevice(12);
    harness.doc.SetDeviceName("Stage & Left", 12);
    harness.doc.SelectDevice(12);
    harness.doc.RecallPreset(3, true);
    harness.doc.SetPresetName("Evening");
    page->UpdatePage(0);
    EXPECT_EQ(page->DeviceNameLabel()->text(), QStringLiteral("12 - Stage & Left"));
    EXPECT_EQ(page->PresetNameLabel()->text(), QStringLiteral("3 - Evening"));
}

TEST_F(PageDialogTest, LatchesFollowTheOnlineFlagAndAreNeverBothPressed) {
    for (const int online : {0, 1, 0}) {
        harness.SetOnlineFlag(online);
        page->UpdatePage(0);
        EXPECT_TRUE(page->OnlineButton()->IsShownPressed() == (online == 1)) << online;
        EXPECT_TRUE(page->OfflineButton()->IsShownPressed() == (online == 0)) << online;
        EXPECT_FALSE(page->OnlineButton()->IsMomentary());
        EXPECT_FALSE(page->OfflineButton()->IsMomentary());
        // The mouse does not change a latch's look.
        QTest::mousePress(page->OnlineButton(), Qt::LeftButton);
        EXPECT_TRUE(page->OnlineButton()->IsShownPressed() == (online == 1));
        QTest::mouseRelease(page->OnlineButton(), Qt::LeftButton);
        host.frameCommands.clear();
    }
}

TEST_F(PageDialogTest, OnlineAndOfflineAskTheFrameOnlyForARealChange) {
    struct Case {
        int online;
        bool pressOnline;
        std::vector<CommandId> expected;
    };
    const Case cases[] = {
        {0, true, {CommandId::WorkOnline}},
        {0, false, {}},
        {1, true, {}},
        {1, false, {CommandId::WorkOnline}},
    };
    for (const Case& c : cases) {
        harness.SetOnlineFlag(c.online);
        host.frameCommands.clear();
        // The frame's "&Work Online" flips the flag; the latches follow at once.
        host.onFrameCommand = [&](CommandId) { harness.SetOnlineFlag(1 - c.online); };
        QTest::mouseClick(c.pressOnline ? page->OnlineButton() : page->OfflineButton(),
                          Qt::LeftButton);
        EXPECT_EQ(host.frameCommands, c.expected) << c.online << c.pressOnline;
        const bool nowOnline = harness.app.IsOnline() == 1;
        EXPECT_EQ(page->OnlineButton()->IsLatched(), nowOnline);
        EXPECT_EQ(page->OfflineButton()->IsLatched(), !nowOnline);
    }
}

TEST_F(PageDialogTest, EnterAndEscapeNeverCloseThePage) {
    for (const Qt::Key key : {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Escape}) {
        QTest::keyClick(page, key);
        QTest::keyClick(page->field, key);
    }
    FlushEvents();
    EXPECT_TRUE(page->isVisible());
    EXPECT_TRUE(parent.isVisible());
    EXPECT_EQ(page->oks, 4);
    EXPECT_EQ(page->cancels, 2);

    // A page that does not override them ignores the keys entirely.
    RecordingHost other(&harness.doc);
    auto* delay = new CDelayPage(other, &parent);
    delay->Create();
    delay->show();
    for (const Qt::Key key : {Qt::Key_Return, Qt::Key_Escape}) QTest::keyClick(delay, key);
    FlushEvents();
    EXPECT_TRUE(delay->isVisible());
}

TEST_F(PageDialogTest, EditFieldShrinksByTwoPixelsAndGetsASunkenFrame) {
    const QRect r = page->field->geometry();
    EXPECT_EQ(r, page->templateRect.adjusted(2, 2, -2, -2));
    EXPECT_FALSE(page->field->hasFrame());
    const QImage image = GrabImage(*page);
    const int midY = r.center().y();
    const int midX = r.center().x();
    EXPECT_EQ(image.pixelColor(r.left() - 1, midY), QColor(Qt::black));
    EXPECT_EQ(image.pixelColor(midX, r.top() - 1), QColor(Qt::black));
    EXPECT_EQ(image.pixelColor(r.right() + 1, midY), QColor(0xE0, 0xE0, 0xE0));
    EXPECT_EQ(image.pixelColor(midX, r.bottom() + 1), QColor(0xE0, 0xE0, 0xE0));
    EXPECT_EQ(image.pixelColor(r.left() - 2, midY), QColor(0x80, 0x80, 0x80));
    EXPECT_EQ(image.pixelColor(midX, r.top() - 2), QColor(0x80, 0x80, 0x80));
    EXPECT_EQ(image.pixelColor(r.right() + 2, midY), QColor(Qt::white));
    EXPECT_EQ(image.pixelColor(midX, r.bottom() + 2), QColor(Qt::white));
    // Outside the frame the panel shows.
    EXPECT_EQ(image.pixelColor(r.left() - 4, midY), QColor(0xA0, 0xA0, 0xA4));
}

TEST(PageGeometryTest, EditFrameLinesAndShrinking) {
    const PixelRect field{10, 10, 30, 20};
    const PaintRuns runs = EditFrameRuns(field);
    struct Pixel {
        int x;
        int y;
        Ink ink;
    };
    const Pixel pixels[] = {
        {9, 15, Ink::Black},  {20, 9, Ink::Black},  {30, 15, Ink::Light}, {20, 20, Ink::Light},
        {8, 15, Ink::Dark},   {20, 8, Ink::Dark},   {31, 15, Ink::White}, {20, 21, Ink::White},
        {20, 15, Ink::Panel}, {32, 15, Ink::Panel},
    };
    for (const Pixel& p : pixels) {
        EXPECT_EQ(InkAt(runs, p.x, p.y, Ink::Panel), p.ink) << p.x << "," << p.y;
    }
    EXPECT_EQ(ShrunkEditField(field), (PixelRect{12, 12, 28, 18}));
    // Too small to shrink: a one-pixel body in the middle, never inside out.
    EXPECT_EQ(ShrunkEditField({0, 0, 3, 3}), (PixelRect{1, 1, 2, 2}));
}

TEST_F(PageDialogTest, RequestViewUpdateAsksTheViewForAFullRefresh) {
    page->RequestViewUpdate();
    EXPECT_EQ(host.updates, std::vector<int>{1});
}

TEST_F(PageDialogTest, IsBlockInChainLooksAtAllSixteenSlots) {
    std::array<int, 16> chain{};
    chain[0] = 1;
    chain[9] = 5;
    chain[15] = 14;
    harness.SetChain(chain);
    for (const auto& [code, in] :
         std::vector<std::pair<int, int>>{{1, 1}, {5, 1}, {14, 1}, {2, 0}, {8, 0}, {13, 0}}) {
        EXPECT_EQ(page->IsBlockInChain(code), in) << code;
    }
}

TEST_F(PageDialogTest, ShowBlockPagePostsTheBlocksViewCommand) {
    for (const int code : {1, 2, 3, 4, 5, 8, 11, 12, 13, 14, 0, 6, 7, 9, 10, 15, -3}) {
        page->ShowBlockPage(code);
    }
    const std::vector<CommandId> expected{CommandId::ViewEqA,       CommandId::ViewEqB,
                                          CommandId::ViewDelayA,    CommandId::ViewDelayB,
                                          CommandId::ViewCompLimA,  CommandId::ViewCompLimB,
                                          CommandId::ViewLowPassA,  CommandId::ViewLowPassB,
                                          CommandId::ViewHighPassA, CommandId::ViewHighPassB};
    EXPECT_EQ(host.posted, expected);
}

TEST_F(PageDialogTest, SelectedBlockFlags) {
    EXPECT_EQ(page->SelectedBlock(), -1);
    page->SelectBlock(11);
    page->SelectBlock(20);  // no such code: ignored
    EXPECT_EQ(page->SelectedBlockFlag(11), 1);
    EXPECT_EQ(page->SelectedBlockFlag(20), 0);
    EXPECT_EQ(page->SelectedBlock(), 11);
    page->ClearSelectedBlocks();
    EXPECT_EQ(page->SelectedBlock(), -1);
}

TEST_F(PageDialogTest, DeviceButtonMakesTheChosenDeviceCurrentAndRefreshesTheView) {
    harness.doc.AddDevice(5);
    harness.doc.SelectDevice(1);
    shelltest::NextDialog choose([](QWidget* dialog) {
        auto* select = qobject_cast<CSelectDeviceDialog*>(dialog);
        ASSERT_NE(select, nullptr);
        select->List()->setCurrentRow(1);
        static_cast<QDialog*>(dialog)->accept();
    });
    QTest::mouseClick(page->DeviceButton(), Qt::LeftButton);
    EXPECT_TRUE(choose.Ran());
    EXPECT_EQ(harness.doc.Devices().CurrentAddress(), 5);
    EXPECT_EQ(host.updates, std::vector<int>{1});

    shelltest::NextDialog cancel([](QWidget* dialog) { static_cast<QDialog*>(dialog)->reject(); });
    QTest::mouseClick(page->DeviceButton(), Qt::LeftButton);
    EXPECT_TRUE(cancel.Ran());
    EXPECT_EQ(harness.doc.Devices().CurrentAddress(), 5);
    EXPECT_EQ(host.updates, std::vector<int>{1});
}

TEST_F(PageDialogTest, PresetButtonCancelledKeepsThePresetItStartedWith) {
    shelltest::NextDialog cancel([](QWidget* dialog) { static_cast<QDialog*>(dialog)->reject(); });
    QTest::mouseClick(page->PresetButton(), Qt::LeftButton);
    EXPECT_TRUE(cancel.Ran());
    EXPECT_EQ(harness.doc.Devices().CurrentPreset(), 1);
    EXPECT_TRUE(host.updates.empty());
}

// ---- Tool tip ------------------------------------------------------------------------------

class ToolTipControlTest : public ::testing::Test {
  protected:
    ToolTipControlTest() {
        window.resize(200, 100);
        control = new QWidget(&window);
        control->setGeometry(10, 10, 50, 20);
        window.show();
        FlushEvents();
    }
    ~ToolTipControlTest() override { QToolTip::hideText(); }

    static void Hover(QWidget* widget, QEvent::Type type, QPoint at) {
        QHoverEvent event(type, QPointF(at), QPointF(widget->mapToGlobal(at)), QPointF(at));
        QCoreApplication::sendEvent(widget, &event);
    }

    QWidget window;
    QWidget* control = nullptr;
    CToolTipControl tips;
};

TEST_F(ToolTipControlTest, ShowsAfterTheInitialDelayWithTheCurrentText) {
    QString value = QStringLiteral("0.0 dB");
    tips.AddTool(control, [&] { return value; });
    EXPECT_EQ(tips.InitialMs(), 250);
    EXPECT_EQ(tips.AutoPopMs(), 30000);
    EXPECT_TRUE(control->testAttribute(Qt::WA_Hover));
    Hover(control, QEvent::HoverEnter, {5, 5});
    EXPECT_FALSE(tips.IsShowing());  // not before the delay
    ASSERT_TRUE(test::WaitUntil([&] { return tips.IsShowing() && QToolTip::isVisible(); }, 3000));
    EXPECT_EQ(QToolTip::text(), QStringLiteral("0.0 dB"));

    value = QStringLiteral("0.5 dB");
    tips.UpdateTipText(control);
    EXPECT_EQ(QToolTip::text(), QStringLiteral("0.5 dB"));

    Hover(control, QEvent::HoverLeave, {-1, -1});
    EXPECT_FALSE(tips.IsShowing());
    EXPECT_EQ(tips.TextFor(control), QStringLiteral("0.5 dB"));
    EXPECT_TRUE(tips.TextFor(&window).isEmpty());
}

TEST_F(ToolTipControlTest, RectangleToolsAnswerOnlyInsideTheirRectangle) {
    tips.AddRectTool(&window, 7, QRect(100, 50, 40, 30), [] { return QStringLiteral("band"); });
    Hover(&window, QEvent::HoverEnter, {5, 5});
    Hover(&window, QEvent::HoverMove, {5, 6});
    QTest::qWait(400);
    EXPECT_FALSE(tips.IsShowing());
    Hover(&window, QEvent::HoverMove, {110, 60});
    ASSERT_TRUE(test::WaitUntil([&] { return tips.IsShowing(); }, 3000));
    EXPECT_EQ(QToolTip::text(), QStringLiteral("band"));
    Hover(&window, QEvent::HoverMove, {5, 6});
    EXPECT_FALSE(tips.IsShowing());
}

TEST_F(ToolTipControlTest, PlatformToolTipEventsOfAToolAreSwallowed) {
    tips.AddTool(control, [] { return QStringLiteral("x"); });
    QHelpEvent help(QEvent::ToolTip, {5, 5}, control->mapToGlobal(QPoint(5, 5)));
    control->setToolTip(QStringLiteral("platform"));
    QCoreApplication::sendEvent(control, &help);
    EXPECT_FALSE(QToolTip::isVisible() && QToolTip::text() == QStringLiteral("platform"));
}

}  // namespace
}  // namespace arvestra
