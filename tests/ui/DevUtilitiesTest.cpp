// The development utilities window: its switches, the grid density, the dump of the equaliser
// page on screen, the factory reset question and the view's command 32821.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>

#include "app/CommandId.h"
#include "document/DocTestSupport.h"
#include "model/CurveDisplayOptions.h"
#include "model/ResponseDump.h"
#include "ui/DocumentPageHost.h"
#include "ui/UiTestSupport.h"
#include "ui/ViewTestSupport.h"
#include "ui/dialogs/DevUtilitiesDialog.h"
#include "ui/pages/PageDialog.h"
#include "ui/pages/PageHost.h"
#include "ui/pages/ResponseDumpSource.h"

namespace arvestra {
namespace {

using testing::DocBench;

// An equaliser page as the utilities see it: it rebuilds its grid from the shared options when
// refreshed (the page framework's update) and dumps a 12 dB/octave low-pass at 1 kHz.
class DumpPage : public CPageDialog, public IResponseDumpSource {
  public:
    DumpPage(IPageHost& host, QWidget* parent) : CPageDialog(134, host, parent) {
        path.Add(0, CurveKind::LowPass);
        settings[0].lowPass = {1000.0, 0};
    }
    int GetBitmapId() const override { return 133; }
    void UpdatePage(int unused) override {
        CPageDialog::UpdatePage(unused);
        ++updates;
        const int n = SharedCurveDisplayOptions().extraPoints;
        if (n != response.ExtraPoints()) response.SetExtraPoints(n);
    }
    std::string ResponseDump() override {
        return DumpResponse(response, path, settings,
                            GraphMapping({0, 0, 640, 300}, kGraphicEqGraph));
    }
    FilterResponse response;
    CurveSet path;
    FilterResponse::ChannelSettings settings{};
    int updates = 0;
};

std::vector<std::string> DumpLines(const std::string& text) {
    std::vector<std::string> lines;
    for (std::size_t start = 0, end; (end = text.find("\r\n", start)) != std::string::npos;
         start = end + 2) {
        lines.push_back(text.substr(start, end - start));
    }
    return lines;
}

bool HasLineStarting(const std::vector<std::string>& lines, const std::string& head) {
    for (const std::string& line : lines) {
        if (line.rfind(head, 0) == 0) return true;
    }
    return false;
}

class DevUtilities : public ::testing::Test {
  protected:
    void SetUp() override { SharedCurveDisplayOptions() = {}; }
    void TearDown() override { SharedCurveDisplayOptions() = {}; }

    DocBench bench;
    test::DocumentPageHost host{&bench.doc};
    QWidget frame;
    DumpPage* graphic = new DumpPage(host, &frame);
    DumpPage* parametric = new DumpPage(host, &frame);
    CDevUtilitiesDialog dialog{bench.doc, nullptr};

    void ShowOnly(DumpPage* page) {
        frame.show();
        graphic->setVisible(page == graphic);
        parametric->setVisible(page == parametric);
        dialog.Bind(graphic, parametric);
    }
};

TEST_F(DevUtilities, GridDensityZeroDumps101LinesInTheStatedFormats) {
    graphic->Create();
    parametric->Create();
    ShowOnly(graphic);
    dialog.Refresh();
    EXPECT_EQ(DumpLines(dialog.DumpText()).size(), 401u);
    EXPECT_TRUE(dialog.ExtraPointsRadio(3)->isChecked());

    dialog.ExtraPointsRadio(0)->click();
    EXPECT_EQ(SharedCurveDisplayOptions().extraPoints, 0);
    EXPECT_GE(graphic->updates, 1);
    EXPECT_GE(parametric->updates, 1);
    dialog.UpdateButton()->click();
    const std::vector<std::string> lines = DumpLines(dialog.DumpText());
    ASSERT_EQ(lines.size(), 101u);
    EXPECT_EQ(lines.front().rfind("20.00\t", 0), 0u);
    EXPECT_TRUE(HasLineStarting(lines, "125.0\t"));
    EXPECT_TRUE(HasLineStarting(lines, "1000\t-3.01"));  // computed, not placeholder zeros
    EXPECT_EQ(dialog.DumpEdit()->toPlainText().count(QLatin1Char('\n')), 101);
}

TEST_F(DevUtilities, TheDumpIsOfTheGraphicPageThenTheParametricPageThenEmpty) {
    graphic->Create();
    parametric->Create();
    parametric->settings[0].lowPass = {100.0, 0};
    ShowOnly(parametric);
    dialog.Refresh();
    const std::string parametricDump = dialog.DumpText();
    EXPECT_FALSE(parametricDump.empty());
    ShowOnly(graphic);
    dialog.Refresh();
    EXPECT_NE(dialog.DumpText(), parametricDump);
    ShowOnly(nullptr);
    SharedCurveDisplayOptions().extraPoints = 5;
    dialog.ExtraPointsRadio(1)->setChecked(true);
    dialog.Refresh();
    EXPECT_EQ(dialog.DumpText(), "");
    // With no equaliser page on screen the radios are left as they were.
    EXPECT_TRUE(dialog.ExtraPointsRadio(1)->isChecked());
}

TEST_F(DevUtilities, SwitchesSetTheirFlags) {
    ShowOnly(graphic);
    dialog.Refresh();
    EXPECT_TRUE(dialog.PowerSpectrumBox()->isChecked());
    EXPECT_TRUE(dialog.RealTimeUpdateBox()->isChecked());
    const int before = graphic->updates;
    dialog.PowerSpectrumBox()->click();
    EXPECT_FALSE(SharedCurveDisplayOptions().drawCurve);
    EXPECT_GT(graphic->updates, before);
    dialog.RealTimeUpdateBox()->click();
    EXPECT_EQ(bench.doc.Bus().IsStatusPolling(), 0);
    dialog.SimulateTimeoutButton()->click();
    EXPECT_EQ(bench.doc.Bus().Link().simulateTimeoutOnce.load(), 1);
    dialog.show();
    dialog.ExitButton()->click();
    EXPECT_FALSE(dialog.isVisible());
}

TEST_F(DevUtilities, OfflineTheFactoryResetIsNotOfferedAndAsksNothing) {
    dialog.Refresh();
    EXPECT_FALSE(dialog.FactoryResetButton()->isEnabled());
    bench.device.ClearRequests();
    dialog.OnFactoryReset();
    EXPECT_TRUE(bench.ui.Questions().empty());
    EXPECT_TRUE(bench.device.Requests().empty());
}

TEST_F(DevUtilities, CancelAtTheFactoryResetQuestionSendsNothing) {
    bench.GoOnline();
    dialog.Refresh();
    ASSERT_TRUE(dialog.FactoryResetButton()->isEnabled());
    bench.device.ClearRequests();
    bench.ui.Push(UiAnswer::Cancel);
    dialog.FactoryResetButton()->click();
    ASSERT_EQ(bench.ui.Questions().size(), 1u);
    EXPECT_EQ(bench.ui.Questions()[0].text,
              "Are you sure you want to re-initialize this device to the factory default "
              "settings?");
    EXPECT_TRUE(bench.device.RequestsOf(CMD_STORE_PRESET).empty());

    bench.ui.Push(UiAnswer::Ok);
    dialog.FactoryResetButton()->click();
    EXPECT_EQ(bench.device.RequestsOf(CMD_STORE_PRESET).size(), 2u);
}

TEST(DevUtilitiesView, Command32821ShowsTheWindowBoundToTheView) {
    viewtest::ViewHarness h;
    ASSERT_NE(h.view->DevUtilities(), nullptr);
    EXPECT_FALSE(h.view->DevUtilities()->isVisible());
    EXPECT_TRUE(h.view->OnCommand(CommandId::ShowDevUtilities));
    EXPECT_TRUE(h.view->DevUtilities()->isVisible());
    EXPECT_EQ(h.view->DevUtilities()->windowTitle(), QStringLiteral("Development Utilities"));
    h.view->DevUtilities()->hide();
}

}  // namespace
}  // namespace arvestra
