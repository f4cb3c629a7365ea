// Pictures of the delay and compressor/limiter pages in the main window. They are written only
// when ARVESTRA_SCREENSHOT_DIR names a directory; otherwise the test checks what the painted
// compressor/limiter page shows: a curve in each live graph and none in a disabled one.
#include <gtest/gtest.h>

#include <QDir>

#include "ui/ViewTestSupport.h"
#include "ui/pages/CompLimPage.h"
#include "ui/pages/DelayPage.h"

namespace arvestra {
namespace {

using PF = ParamField;

// Pixels of the curve's pure green inside a rectangle of a page picture.
int GreenPixels(const QImage& image, const PixelRect& r) {
    int count = 0;
    for (int y = r.top; y < r.bottom; ++y) {
        for (int x = r.left; x < r.right; ++x) {
            if (image.pixelColor(x, y) == QColor(0, 255, 0)) ++count;
        }
    }
    return count;
}

class PageScreenshots : public ::testing::Test {
  protected:
    void Save(QWidget& widget, const QString& name) {
        const QString directory = qEnvironmentVariable("ARVESTRA_SCREENSHOT_DIR");
        if (directory.isEmpty()) return;
        QDir().mkpath(directory);
        EXPECT_TRUE(widget.window()->grab().save(QDir(directory).filePath(name + ".png")));
    }

    viewtest::ViewHarness harness;
};

TEST_F(PageScreenshots, DelayPage) {
    CDelayPage::SetCelsius(false);
    harness.doc.Edits().SetDelaySamples(kChannelA, 14000);
    harness.view->ShowPage(PageKind::Delay, CDelayPage::kDelayABlock);
    auto* page = static_cast<CDelayPage*>(harness.view->Page(PageKind::Delay));
    test::FlushEvents();
    const QImage image = test::GrabImage(*page);
    EXPECT_EQ(image.size(), page->size());
    Save(*page, QStringLiteral("delay-page"));
}

TEST_F(PageScreenshots, CompLimPageDrawsCurvesOnlyForShownBands) {
    CQ7310Doc& doc = harness.doc;
    doc.Edits().Set(PF::ClMode, kChannelA, 0);
    doc.Edits().Set(PF::ClThreshold, kChannelA, 0, 160);
    doc.Edits().Set(PF::ClRatio, kChannelA, 0, 15);
    doc.Edits().Set(PF::ClGain, kChannelA, 0, 60);
    doc.Edits().Set(PF::ClThreshold, kChannelA, 1, 130);
    doc.Edits().Set(PF::ClRatio, kChannelA, 1, 5);
    harness.view->ShowPage(PageKind::CompLim, CCompLimPage::kCompLimABlock);
    auto* page = static_cast<CCompLimPage*>(harness.view->Page(PageKind::CompLim));
    test::FlushEvents();
    QImage image = test::GrabImage(*page);
    EXPECT_GT(GreenPixels(image, page->BandControls(0).graph), 20);
    EXPECT_GT(GreenPixels(image, page->BandControls(1).graph), 20);
    Save(*page, QStringLiteral("complim-page-split"));

    doc.Edits().Set(PF::ClMode, kChannelA, 1);
    page->UpdatePage(0);
    test::FlushEvents();
    image = test::GrabImage(*page);
    EXPECT_EQ(GreenPixels(image, page->BandControls(0).graph), 0);
    EXPECT_GT(GreenPixels(image, page->BandControls(1).graph), 20);
    Save(*page, QStringLiteral("complim-page-full-range"));
}

}  // namespace
}  // namespace arvestra
