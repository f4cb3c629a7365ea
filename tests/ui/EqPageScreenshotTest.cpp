// Pictures of both EQ pages with a shaped response, for the documentation. They are written only
// when ARVESTRA_SCREENSHOT_DIR names a directory; otherwise the test checks that the pages paint
// their curve where the response lies.
#include <gtest/gtest.h>

#include <QDir>

#include "ui/EqPageTestSupport.h"
#include "ui/pages/FilterPageShared.h"

namespace arvestra {
namespace {

using eqtest::EqPageFixture;

void Save(QWidget& window, const QString& name) {
    const QString directory = qEnvironmentVariable("ARVESTRA_SCREENSHOT_DIR");
    if (directory.isEmpty()) return;
    QDir().mkpath(directory);
    EXPECT_TRUE(window.grab().save(QDir(directory).filePath(name + QStringLiteral(".png"))));
}

// Counts the pixels of the curve's green in an image region.
int GreenPixels(const QImage& image, const QRect& area) {
    int count = 0;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x) {
            const QColor c = image.pixelColor(x, y);
            if (c.green() > 150 && c.red() < 100 && c.blue() < 100) ++count;
        }
    }
    return count;
}

TEST(EqPageScreenshots, BothPagesWithShapedCurves) {
    EqPageFixture f;
    CQ7310Doc& doc = f.Doc();
    const std::array<int, 31> gains = {30, 32, 36, 40, 42, 40, 36, 33, 30, 28, 26,
                                       24, 22, 24, 27, 30, 30, 30, 31, 33, 36, 40,
                                       44, 46, 44, 40, 36, 33, 30, 28, 26};
    for (int band = 0; band < 31; ++band) {
        doc.Edits().Set(ParamField::EqGraphicGain, 0, band, gains[static_cast<std::size_t>(band)]);
    }
    doc.Edits().Set(ParamField::HpCutoff, 0, 10);
    doc.Edits().Set(ParamField::LpCutoff, 0, 92);
    doc.Edits().Set(ParamField::LpSlope, 0, 0);
    f.Open(CommandId::ViewEqA);
    f.harness.view->window()->resize(f.harness.view->size());
    test::FlushEvents();
    const QImage graphic = test::GrabImage(f.Graphic());
    EXPECT_GT(GreenPixels(graphic, f.Graphic().GraphRect()), 300);
    Save(*f.harness.view, QStringLiteral("graphic-eq-page"));

    doc.Edits().Set(ParamField::EqType, 1, 1);
    const std::array<int, 10> frequency = {10, 20, 30, 40, 50, 60, 70, 80, 90, 97};
    const std::array<int, 10> gain = {97, 109, 97, 85, 97, 91, 97, 115, 97, 73};
    for (int band = 0; band < 10; ++band) {
        doc.Edits().Set(ParamField::EqParamFrequency, 1, band,
                        frequency[static_cast<std::size_t>(band)]);
        doc.Edits().Set(ParamField::EqParamGain, 1, band, gain[static_cast<std::size_t>(band)]);
        doc.Edits().Set(ParamField::EqParamBandwidth, 1, band, 15 + band % 3 * 4);
    }
    doc.Edits().Set(ParamField::HpCutoff, 1, 20);
    doc.Edits().Set(ParamField::HpSlope, 1, 0);
    f.Open(CommandId::ViewEqB);
    ASSERT_TRUE(f.Parametric().isVisible());
    const QImage parametric = test::GrabImage(f.Parametric());
    EXPECT_GT(GreenPixels(parametric, f.Parametric().GraphRect()), 300);
    Save(*f.harness.view, QStringLiteral("parametric-eq-page"));
}

}  // namespace
}  // namespace arvestra
