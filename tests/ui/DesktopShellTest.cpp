// The editor on a Linux desktop: a window that fits small screens and scrolls, files dropped on
// it, and message boxes that belong to the main window. Pictures of the main window on a
// 1366 x 768 screen with 9 pt and 11 pt fonts are written when ARVESTRA_SCREENSHOT_DIR names a
// directory.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QMimeData>
#include <QScrollArea>
#include <QScrollBar>
#include <QUrl>

#include <thread>

#include "document/CQ7310Doc.h"
#include "ui/ShellTestSupport.h"
#include "ui/UiTestSupport.h"
#include "ui/shell/DocumentActions.h"
#include "ui/shell/EditorShell.h"
#include "ui/shell/MainFrame.h"
#include "ui/shell/WindowPlacement.h"
#include "ui/view/Q7310View.h"

namespace arvestra {
namespace {

using shelltest::BoxAnswerer;
using shelltest::ScopedSettings;
using shelltest::ShownBox;

TEST(WindowFit, TheWindowNeverOpensLargerThanTheScreen) {
    const struct {
        WindowSize wanted;
        ScreenArea screen;
        WindowSize fitted;
    } cases[] = {
        {{1056, 850}, {0, 0, 1366, 768}, {1072, 768}},    // too tall: wider by the bar
        {{1056, 850}, {0, 0, 1280, 800}, {1072, 800}},    // likewise
        {{1360, 850}, {0, 0, 1366, 768}, {1366, 768}},    // the bar's room is cut short
        {{1500, 700}, {0, 0, 1366, 768}, {1366, 716}},    // too wide: taller by the bar
        {{1500, 900}, {0, 27, 1366, 741}, {1366, 741}},   // both: a panel takes the top
        {{800, 600}, {1920, 0, 1920, 1080}, {800, 600}},  // fits: left as it is
        {{1366, 768}, {0, 0, 1366, 768}, {1366, 768}},    // exactly the screen
    };
    for (const auto& c : cases) {
        const WindowSize fitted = FitWindowToScreen(c.wanted, c.screen, 16);
        EXPECT_EQ(fitted.width, c.fitted.width);
        EXPECT_EQ(fitted.height, c.fitted.height);
    }
}

class DesktopShellTest : public ::testing::Test {
  protected:
    void Start(const ScreenArea& screen) {
        settings.SetValue(QStringLiteral("DontWarnAboutNonSmallFonts"), 1);
        shell = std::make_unique<CEditorShell>(
            [this](CQ7310Doc& doc, CAppSettings& appSettings, QWidget* frame) {
                view = new CQ7310View(doc, appSettings, frame);
                return view;
            });
        shell->SetDisplayOverride({screen, 24});
        ASSERT_TRUE(shell->Startup({}));
        test::FlushEvents();
    }
    CMainFrame& Frame() { return *shell->Frame(); }
    CQ7310Doc& Doc() { return shell->Doc(); }
    QScrollArea* Scroller() { return qobject_cast<QScrollArea*>(Frame().centralWidget()); }
    QString TempFile(const QString& name) const { return settings.Directory() + '/' + name; }
    void WriteFile(const QString& name, const QByteArray& bytes) const {
        QFile file(TempFile(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }
    // Drags `files` over the window; true when the window would take the drop.
    bool DragEnter(const QStringList& files) {
        QMimeData mime;
        QList<QUrl> urls;
        for (const QString& file : files) urls.append(QUrl::fromLocalFile(file));
        mime.setUrls(urls);
        QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(&Frame(), &enter);
        return enter.isAccepted();
    }
    // Drags `files` over the window and lets go, as a file manager does.
    void Drop(const QStringList& files) {
        DragEnter(files);
        QMimeData mime;
        QList<QUrl> urls;
        for (const QString& file : files) urls.append(QUrl::fromLocalFile(file));
        mime.setUrls(urls);
        QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(&Frame(), &drop);
        test::FlushEvents();
    }

    ScopedSettings settings;
    std::unique_ptr<CEditorShell> shell;
    CQ7310View* view = nullptr;
};

// ---- Small screens -------------------------------------------------------------------------

TEST_F(DesktopShellTest, OnALaptopScreenTheWindowFitsAndTheViewScrolls) {
    Start({0, 0, 1366, 560});
    const QRect outer = Frame().frameGeometry();
    EXPECT_LE(outer.height(), 560);
    EXPECT_LE(outer.width(), 1366);
    EXPECT_GE(outer.top(), 0);
    ASSERT_NE(Scroller(), nullptr);
    EXPECT_EQ(Scroller()->widget(), view);
    // The view keeps its layout size; the window shows part of it and scrolls to the rest.
    const PixelRect picture = view->PictureRectangle();
    EXPECT_EQ(view->size(), QSize(picture.right + 5, picture.bottom + 5));
    EXPECT_LT(Scroller()->viewport()->height(), view->height());
    EXPECT_GT(Scroller()->verticalScrollBar()->maximum(), 0);
    // Resizable in both directions: narrower than the view brings the other scroll bar.
    EXPECT_LT(Frame().minimumSizeHint().width(), view->width());
    Frame().resize(600, 400);
    test::FlushEvents();
    EXPECT_EQ(Frame().size(), QSize(600, 400));
    EXPECT_GT(Scroller()->horizontalScrollBar()->maximum(), 0);
    EXPECT_GT(Scroller()->verticalScrollBar()->maximum(), 0);
}

// The main window on a 1366 x 768 laptop screen with the desktop font at `points`.
void ShootLaptop(int points, const QString& name) {
    const QFont original = QApplication::font();
    QFont font = original;
    font.setPointSize(points);
    QApplication::setFont(font);
    {
        ScopedSettings settings;
        settings.SetValue(QStringLiteral("DontWarnAboutNonSmallFonts"), 1);
        CQ7310View* view = nullptr;
        CEditorShell shell([&view](CQ7310Doc& doc, CAppSettings& appSettings, QWidget* frame) {
            view = new CQ7310View(doc, appSettings, frame);
            return view;
        });
        shell.SetDisplayOverride({{0, 0, 1366, 768}, 24});
        ASSERT_TRUE(shell.Startup({}));
        test::FlushEvents();
        const QRect outer = shell.Frame()->frameGeometry();
        EXPECT_LE(outer.width(), 1366) << points;
        EXPECT_LE(outer.height(), 768) << points;
        EXPECT_EQ(view->font().pointSize(), points);
        const QPixmap picture = shell.Frame()->grab();
        ASSERT_FALSE(picture.isNull());
        const QString directory = qEnvironmentVariable("ARVESTRA_SCREENSHOT_DIR");
        if (!directory.isEmpty()) {
            QDir().mkpath(directory);
            EXPECT_TRUE(picture.save(QDir(directory).filePath(name + QStringLiteral(".png"))));
        }
    }
    QApplication::setFont(original);
}

TEST(DesktopScreenshots, LaptopScreenWithSmallAndLargeFonts) {
    ShootLaptop(9, QStringLiteral("main-window-1366x768-9pt"));
    ShootLaptop(11, QStringLiteral("main-window-1366x768-11pt"));
}

// ---- Drops ---------------------------------------------------------------------------------

TEST_F(DesktopShellTest, OnlyLocationFilesAreTakenAtDragEnter) {
    Start({0, 0, 1920, 1200});
    WriteFile(QStringLiteral("notes.txt"), "hello");
    WriteFile(QStringLiteral("song.KVX"), "x");
    EXPECT_FALSE(DragEnter({TempFile(QStringLiteral("notes.txt"))}));
    EXPECT_FALSE(DragEnter({TempFile(QStringLiteral("kvx"))}));
    EXPECT_TRUE(DragEnter({TempFile(QStringLiteral("song.KVX"))}));
    EXPECT_TRUE(DragEnter({TempFile(QStringLiteral("notes.txt")), TempFile("song.KVX")}));
}

TEST_F(DesktopShellTest, ADroppedFileThatFailsItsChecksLeavesTheOpenLocation) {
    Start({0, 0, 1920, 1200});
    BoxAnswerer answerer(shell->Ui(), {QMessageBox::Ok, QMessageBox::Ok});
    const QString kept = TempFile(QStringLiteral("kept.kvx"));
    Doc().SetDeviceName("Kept", 1);
    ASSERT_TRUE(Doc().SaveLocation(kept.toStdString()));
    WriteFile(QStringLiteral("bad.kvx"), QByteArray("not a location file at all"));
    WriteFile(QStringLiteral("empty.kvx"), QByteArray());

    const struct {
        const char* file;
        const char* number;
    } cases[] = {{"bad.kvx", "error number: 127 - "}, {"empty.kvx", "error number: 127 - "}};
    for (const auto& c : cases) {
        const std::size_t before = answerer.Shown().size();
        Drop({TempFile(QString::fromLatin1(c.file))});
        ASSERT_EQ(answerer.Shown().size(), before + 1) << c.file;
        const ShownBox& box = answerer.Shown().back();
        EXPECT_TRUE(
            box.text.startsWith(QStringLiteral("Error: The location file that you are "
                                               "trying to open has been corrupted")));
        EXPECT_TRUE(box.text.contains(QString::fromLatin1(c.number))) << box.text.toStdString();
        EXPECT_EQ(box.icon, QMessageBox::Critical);
        EXPECT_EQ(box.buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
        EXPECT_TRUE(Frame().isVisible()) << c.file;
        EXPECT_EQ(QString::fromStdString(Doc().Session().Path()), kept);
        EXPECT_EQ(Doc().Devices().GetDeviceName(1), "Kept");
    }
    EXPECT_EQ(answerer.Unexpected(), 0);
}

TEST_F(DesktopShellTest, AGoodLocationFileAmongOtherDroppedFilesIsOpened) {
    Start({0, 0, 1920, 1200});
    const QString good = TempFile(QStringLiteral("hall.kvx"));
    ASSERT_TRUE(Doc().SaveLocation(good.toStdString()));
    ASSERT_TRUE(shell->Actions().FileNew());
    WriteFile(QStringLiteral("readme.txt"), "words");
    Drop({TempFile(QStringLiteral("readme.txt")), good});
    EXPECT_EQ(QString::fromStdString(Doc().Session().Path()), good);
}

// ---- Message boxes -------------------------------------------------------------------------

TEST_F(DesktopShellTest, BoxesBelongToTheMainWindowWhoeverAsks) {
    Start({0, 0, 1920, 1200});
    BoxAnswerer answerer(shell->Ui(), {QMessageBox::Ok, QMessageBox::Ignore});
    std::vector<QWidget*> parents;
    answerer.onShown = [&parents](QWidget* box) { parents.push_back(box->parentWidget()); };

    UiQuestion fromWindow;
    fromWindow.text = "A question of the window";
    fromWindow.owner = BoxOwner::None;
    shell->Ui().Ask(fromWindow);

    UiQuestion fromWorker;
    fromWorker.text = "A question of the worker";
    fromWorker.buttons = ButtonSet::AbortRetryIgnore;
    fromWorker.owner = BoxOwner::None;
    UiAnswer workerAnswer = UiAnswer::Ok;
    std::thread worker([&] { workerAnswer = shell->Ui().Ask(fromWorker); });
    ASSERT_TRUE(test::WaitUntil([&] { return parents.size() == 2; }, 5000));
    worker.join();

    EXPECT_EQ(workerAnswer, UiAnswer::Ignore);
    EXPECT_EQ(parents, (std::vector<QWidget*>{&Frame(), &Frame()}));
}

}  // namespace
}  // namespace arvestra
