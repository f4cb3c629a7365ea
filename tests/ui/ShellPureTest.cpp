// The shell's plain functions: window placement, the Ctrl+K Ctrl+P sequence, the About lines,
// the display-warning rules, dialog units, the recent-file list and address parsing.
#include <gtest/gtest.h>

#include <QDir>
#include <QKeyEvent>

#include "ui/dialogs/DialogUnits.h"
#include "ui/dialogs/NewDeviceAddressDialog.h"
#include "ui/shell/AboutDialog.h"
#include "ui/shell/DevUtilsKeyFilter.h"
#include "ui/shell/DisplayWarningDialog.h"
#include "ui/shell/RecentFileList.h"
#include "ui/shell/WindowPlacement.h"

namespace arvestra {
namespace {

struct PlacementCase {
    const char* name;
    SavedPlacement saved;
    ScreenArea screen;
    int width;
    int height;
    int expectX;
    int expectY;
};

class WindowPlacementTest : public ::testing::TestWithParam<PlacementCase> {};

TEST_P(WindowPlacementTest, PlacesWithinTheScreen) {
    const PlacementCase& c = GetParam();
    const WindowPosition position = PlaceMainWindow(c.saved, c.screen, c.width, c.height);
    EXPECT_EQ(position.x, c.expectX);
    EXPECT_EQ(position.y, c.expectY);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, WindowPlacementTest,
    ::testing::Values(
        PlacementCase{"FirstRunCentres", {false, 0, 0}, {0, 0, 1024, 768}, 800, 600, 112, 84},
        PlacementCase{
            "FirstRunIgnoresStoredCorner", {false, 500, 500}, {0, 0, 1024, 768}, 800, 600, 112, 84},
        PlacementCase{
            "NegativeAndTooLowClamped", {true, -50, 3000}, {0, 0, 1024, 768}, 800, 600, 0, 168},
        PlacementCase{"InsideKeptAsSaved", {true, 10, 20}, {0, 0, 1024, 768}, 800, 600, 10, 20},
        PlacementCase{"RightEdgeCapped", {true, 900, 100}, {0, 0, 1024, 768}, 800, 600, 224, 100},
        PlacementCase{
            "ExactlyAtTheEdgeKept", {true, 224, 168}, {0, 0, 1024, 768}, 800, 600, 224, 168},
        PlacementCase{
            "LargerThanScreenStaysAtOrigin", {true, 50, 50}, {0, 0, 640, 480}, 800, 600, 0, 0},
        PlacementCase{
            "CentreOfLargerWindowAtOrigin", {false, 0, 0}, {0, 0, 640, 480}, 800, 600, 0, 0},
        PlacementCase{
            "SecondScreenOrigin", {true, -50, 5000}, {1920, 0, 1280, 1024}, 800, 600, 1920, 424},
        PlacementCase{
            "SecondScreenCentre", {false, 0, 0}, {1920, 0, 1280, 1024}, 800, 600, 2160, 212}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(DevUtilsSequence, OnlyCtrlKDirectlyFollowedByCtrlPCompletes) {
    struct Case {
        std::vector<int> codes;
        std::vector<bool> completes;
    };
    const Case cases[] = {
        {{11, 16}, {false, true}},
        {{16}, {false}},
        {{11, 'a', 16}, {false, false, false}},
        {{11, 11, 16}, {false, false, true}},
        {{11, 16, 16}, {false, true, false}},
        {{16, 11, 16, 11, 16}, {false, false, true, false, true}},
        {{'k', 'p'}, {false, false}},
    };
    for (const Case& c : cases) {
        CDevUtilsKeyFilter filter(nullptr);
        for (std::size_t i = 0; i < c.codes.size(); ++i) {
            EXPECT_EQ(filter.OnCharacter(c.codes[i]), c.completes[i]) << "step " << i;
        }
    }
}

TEST(DevUtilsSequence, CharacterCodeOfKeyPresses) {
    struct Case {
        int key;
        Qt::KeyboardModifiers modifiers;
        QString text;
        int expected;
    };
    const Case cases[] = {
        {Qt::Key_K, Qt::ControlModifier, QString(), 11},
        {Qt::Key_P, Qt::ControlModifier, QString(), 16},
        {Qt::Key_A, Qt::ControlModifier | Qt::ShiftModifier, QString(), 1},
        {Qt::Key_P, Qt::NoModifier, QStringLiteral("p"), 'p'},
        {Qt::Key_Control, Qt::ControlModifier, QString(), -1},
        {Qt::Key_F5, Qt::NoModifier, QString(), -1},
        {Qt::Key_K, Qt::ControlModifier | Qt::AltModifier, QString(), -1},
    };
    for (const Case& c : cases) {
        const QKeyEvent event(QEvent::KeyPress, c.key, c.modifiers, c.text);
        EXPECT_EQ(CDevUtilsKeyFilter::CharacterCode(event), c.expected) << c.key;
    }
}

TEST(AboutLines, OfflineShowsOfflineAndThreeEmptyLines) {
    AboutDeviceInfo info;
    info.address = 5;
    info.applicationNumber = 7;
    EXPECT_EQ(CAboutDialog::DeviceLines(info),
              (QStringList{QStringLiteral("Offline"), QString(), QString(), QString()}));
}

TEST(AboutLines, OnlineShowsTheDeviceWithEightBitFields) {
    struct Case {
        AboutDeviceInfo info;
        QStringList lines;
    };
    const Case cases[] = {
        {{true, 3, 12, 105, 98},
         {"Address = 3", "Application Number = 12", "App FW Revision = 10.5",
          "Base FW Revision = 9.8"}},
        // Address, application number and application revision are taken as 8-bit; the base
        // revision is not.
        {{true, 259, 300, 1234, 1234},
         {"Address = 3", "Application Number = 44", "App FW Revision = 21.0",
          "Base FW Revision = 123.4"}},
        {{true, 126, 0, 0, 0},
         {"Address = 126", "Application Number = 0", "App FW Revision = 0.0",
          "Base FW Revision = 0.0"}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(CAboutDialog::DeviceLines(c.info), c.lines);
    }
}

TEST(DisplayWarnings, ColourWarningBelowSixteenBitsUnlessSuppressed) {
    EXPECT_TRUE(CDisplayWarningDialog::ShouldWarnColours(8, false));
    EXPECT_TRUE(CDisplayWarningDialog::ShouldWarnColours(15, false));
    EXPECT_FALSE(CDisplayWarningDialog::ShouldWarnColours(16, false));
    EXPECT_FALSE(CDisplayWarningDialog::ShouldWarnColours(32, false));
    EXPECT_FALSE(CDisplayWarningDialog::ShouldWarnColours(8, true));
}

TEST(DisplayWarnings, FontWarningWhenTheResolutionIsNotTheStandardOne) {
    EXPECT_FALSE(CDisplayWarningDialog::ShouldWarnFonts(96, false));
    EXPECT_TRUE(CDisplayWarningDialog::ShouldWarnFonts(120, false));
    EXPECT_TRUE(CDisplayWarningDialog::ShouldWarnFonts(72, false));
    EXPECT_FALSE(CDisplayWarningDialog::ShouldWarnFonts(120, true));
}

TEST(DisplayWarnings, TextsAreTheWarningsWithTheQuotedSectionName) {
    EXPECT_EQ(CDisplayWarningDialog::Text(CDisplayWarningDialog::Kind::Colours),
              QStringLiteral("Your computer's display is set to use less than 64K colors. We "
                             "recommend that you set it to use at least 64K colors in order for "
                             "the graphics to appear correctly. See the \"Display Settings\" "
                             "section of the help file for more information."));
    EXPECT_EQ(CDisplayWarningDialog::Text(CDisplayWarningDialog::Kind::Fonts),
              QStringLiteral("Your computer's display is not set to use Small Fonts. We "
                             "recommend that you set it to use Small Fonts in order for the "
                             "graphics to appear correctly. See the \"Display Settings\" section "
                             "of the help file for more information."));
}

TEST(DialogUnitsConversion, ScalesByQuarterWidthAndEighthHeight) {
    struct Case {
        QRect units;
        DialogBaseUnits base;
        QRect pixels;
    };
    const Case cases[] = {
        {{0, 0, 4, 8}, {6, 13}, {0, 0, 6, 13}},
        {{4, 20, 14, 12}, {6, 13}, {6, 33, 21, 19}},  // edges rounded, not the sizes
        {{0, 0, 528, 329}, {6, 13}, {0, 0, 792, 535}},
        {{10, 10, 40, 14}, {8, 16}, {20, 20, 80, 28}},
        {{0, 0, 0, 0}, {6, 13}, {0, 0, 0, 0}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(DialogRectToPixels(c.units, c.base), c.pixels)
            << c.units.x() << "," << c.units.y();
    }
}

TEST(RecentFiles, NewestFirstWithoutDuplicatesAndAtMostFour) {
    CRecentFileList list(4);
    for (const char* name : {"/a/1.kvx", "/a/2.kvx", "/a/3.kvx", "/a/4.kvx", "/a/5.kvx"}) {
        list.Add(QString::fromLatin1(name));
    }
    EXPECT_EQ(list.Files(), (QStringList{"/a/5.kvx", "/a/4.kvx", "/a/3.kvx", "/a/2.kvx"}));
    list.Add(QStringLiteral("/a/3.kvx"));
    EXPECT_EQ(list.Files(), (QStringList{"/a/3.kvx", "/a/5.kvx", "/a/4.kvx", "/a/2.kvx"}));
    list.Add(QStringLiteral("/a/./x/../5.kvx"));  // the same file under another spelling
    EXPECT_EQ(list.Files().first(), QStringLiteral("/a/5.kvx"));
    EXPECT_EQ(list.Files().size(), 4);
    list.Remove(QStringLiteral("/a/4.kvx"));
    EXPECT_EQ(list.Files(), (QStringList{"/a/5.kvx", "/a/3.kvx", "/a/2.kvx"}));
}

TEST(RecentFiles, LoadDropsBlanksAndDuplicatesAndMenuTextsNumberTheEntries) {
    CRecentFileList list(4);
    list.Load({QStringLiteral("/b/x.kvx"), QString(), QStringLiteral("/b/x.kvx"),
               QStringLiteral("/b/R&D.kvx"), QStringLiteral("/b/y.kvx"), QStringLiteral("/b/z.kvx"),
               QStringLiteral("/b/w.kvx")});
    EXPECT_EQ(list.Files(), (QStringList{"/b/x.kvx", "/b/R&D.kvx", "/b/y.kvx", "/b/z.kvx"}));
    EXPECT_EQ(list.MenuText(0), QStringLiteral("&1 /b/x.kvx"));
    EXPECT_EQ(list.MenuText(1), QStringLiteral("&2 /b/R&&D.kvx"));
    EXPECT_EQ(list.MenuText(4), QString());
    CRecentFileList home(4);
    home.Add(QDir::homePath() + QStringLiteral("/venue.kvx"));
    EXPECT_EQ(home.MenuText(0), QStringLiteral("&1 ~/venue.kvx"));
}

TEST(NewDeviceAddress, AcceptsOnlyWholeNumbersFromOneTo126) {
    struct Case {
        const char* text;
        int expected;  // 0: refused
    };
    const Case cases[] = {{"1", 1},           {"126", 126}, {" 42 ", 42}, {"0", 0},
                          {"127", 0},         {"-1", 0},    {"-126", 0},  {"", 0},
                          {"abc", 0},         {"12abc", 0}, {"4.5", 0},   {"0x10", 0},
                          {"99999999999", 0}, {"+7", 7}};
    for (const Case& c : cases) {
        const std::optional<int> parsed =
            CNewDeviceAddressDialog::ParseAddress(QString::fromLatin1(c.text));
        EXPECT_EQ(parsed.value_or(0), c.expected) << '"' << c.text << '"';
    }
    EXPECT_EQ(CNewDeviceAddressDialog::RangeMessage(),
              QStringLiteral("The device address must be between 1 and 126. Please enter a valid "
                             "device address."));
}

}  // namespace
}  // namespace arvestra
