// The program icon is the scalable drawing, rendered sharp at every size a desktop asks for.
#include <gtest/gtest.h>

#include <QDir>
#include <QImage>
#include <QPixmap>

#include <cstdlib>

#include "ui/shell/AppIcon.h"

namespace arvestra {
namespace {

TEST(AppIcon, TheDrawingIsRenderedAtEveryUsualSize) {
    const QIcon icon = MakeAppIcon();
    ASSERT_FALSE(icon.isNull()) << "the icon drawing could not be read from the resources";
    const QList<QSize> sizes = icon.availableSizes();
    for (int size : {16, 32, 48, 256}) EXPECT_TRUE(sizes.contains(QSize(size, size))) << size;
    // Pictures of the smallest and the largest, to look at.
    const QString directory = qEnvironmentVariable("ARVESTRA_SCREENSHOT_DIR");
    if (directory.isEmpty()) return;
    QDir().mkpath(directory);
    for (int size : {16, 256}) {
        EXPECT_TRUE(icon.pixmap(QSize(size, size))
                        .save(QDir(directory).filePath(QStringLiteral("icon-%1.png").arg(size))));
    }
}

TEST(AppIcon, PanelMetersAndKnobAreWhereTheDrawingPutsThem) {
    const QImage image = MakeAppIcon().pixmap(QSize(64, 64)).toImage();
    ASSERT_EQ(image.size(), QSize(64, 64));
    const struct {
        QPoint at;
        const char* what;
        bool (*looks)(const QColor&);
    } cases[] = {
        {{1, 1}, "transparent corner", [](const QColor& c) { return c.alpha() == 0; }},
        {{16, 26},
         "green meter segment",
         [](const QColor& c) { return c.green() > 150 && c.red() < 60 && c.blue() < 60; }},
        {{36, 26},
         "red meter segment",
         [](const QColor& c) { return c.red() > 150 && c.green() < 60; }},
        {{46, 34}, "blue knob", [](const QColor& c) { return c.blue() > c.red() + 60; }},
        {{10, 48},
         "grey panel",
         [](const QColor& c) { return c.alpha() == 255 && std::abs(c.red() - c.blue()) < 12; }},
    };
    for (const auto& c : cases) {
        EXPECT_TRUE(c.looks(image.pixelColor(c.at)))
            << c.what << " at " << c.at.x() << "," << c.at.y();
    }
}

}  // namespace
}  // namespace arvestra
