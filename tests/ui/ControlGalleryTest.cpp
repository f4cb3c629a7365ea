// Renders every control in every state and checks each picture against the control's computed
// geometry. With ARVESTRA_UI_RENDER_DIR set, the pictures are also written there as PNG files
// (enlarged 6 times, one file per state, plus gallery.png with all of them) for a visual check.

#include <gtest/gtest.h>

#include <QDir>
#include <QPainter>
#include <functional>
#include <vector>

#include "ui/UiTestSupport.h"
#include "ui/controls/ButtonGeometry.h"
#include "ui/controls/ColorButton.h"
#include "ui/controls/LedGeometry.h"
#include "ui/controls/LedIndicator.h"
#include "ui/controls/LevelMeter.h"
#include "ui/controls/PanelPalette.h"
#include "ui/controls/PanelSlider.h"
#include "ui/controls/SliderGeometry.h"

namespace arvestra {
namespace {

using test::FlushEvents;
using test::GrabImage;

constexpr int kZoom = 6;

struct Shot {
    QString name;
    QImage image;
};

// Collects the pictures and writes them at the end when a render directory is given.
class Gallery {
  public:
    void Add(const QString& name, const QImage& image) { shots_.push_back({name, image}); }

    void WriteIfAsked() const {
        const QString dir = qEnvironmentVariable("ARVESTRA_UI_RENDER_DIR");
        if (dir.isEmpty()) return;
        QDir().mkpath(dir);
        int sheetWidth = 0;
        int sheetHeight = 0;
        for (const Shot& shot : shots_) {
            sheetWidth = std::max(sheetWidth, shot.image.width() * kZoom);
            sheetHeight += shot.image.height() * kZoom + 24;
        }
        QImage sheet(sheetWidth + 16, sheetHeight + 8, QImage::Format_RGB32);
        sheet.fill(QColor(0x30, 0x30, 0x30));
        QPainter painter(&sheet);
        int y = 4;
        for (const Shot& shot : shots_) {
            const QImage big = shot.image.scaled(shot.image.size() * kZoom);
            big.save(QDir(dir).filePath(shot.name + ".png"));
            painter.setPen(Qt::white);
            painter.drawText(8, y + 14, shot.name);
            painter.drawImage(8, y + 20, big);
            y += big.height() + 24;
        }
        painter.end();
        sheet.save(QDir(dir).filePath("gallery.png"));
    }

  private:
    std::vector<Shot> shots_;
};

Gallery& TheGallery() {
    static Gallery gallery;
    return gallery;
}

// Every pixel for which keep(x, y) holds must show the colour its last run gives it.
void ExpectRuns(const QImage& image, const PaintRuns& runs, const PanelPalette& palette,
                const std::function<bool(int, int)>& keep, const QString& name) {
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (!keep(x, y)) continue;
            const Ink ink = InkAt(runs, x, y, Ink::Panel);
            ASSERT_EQ(image.pixelColor(x, y), palette.ColorOf(ink))
                << name.toStdString() << " pixel " << x << "," << y;
        }
    }
}

TEST(ControlGallery, ButtonsMatchTheirBevelsInEveryState) {
    struct State {
        QString name;
        bool latchedLook;  // a latching button, latched
        bool enabled;
        QColor face;
    };
    const State states[] = {
        {"button-raised", false, true, PanelPalette::kPanel},
        {"button-pressed", true, true, PanelPalette::kPanel},
        {"button-disabled", false, false, PanelPalette::kPanel},
        {"button-chain-current", true, true, QColor(0xFF, 0x00, 0x00)},
        {"button-chain", false, true, QColor(0x55, 0x7F, 0xFF)},
    };
    for (const State& s : states) {
        CColorButton button(s.face == PanelPalette::kPanel ? "Edit" : "EQ");
        button.resize(s.face == PanelPalette::kPanel ? 64 : 18,
                      s.face == PanelPalette::kPanel ? 20 : 16);
        button.SetMomentary(false);
        button.SetLatched(s.latchedLook);
        button.SetFaceColor(s.face);
        if (s.face != PanelPalette::kPanel) button.SetTextColor(Qt::white);
        button.setEnabled(s.enabled);
        const QImage image = GrabImage(button);
        TheGallery().Add(s.name, image);
        PanelPalette palette;
        palette.face = s.face;
        const ButtonLook look =
            ComputeButtonLook({button.width(), button.height(), s.latchedLook, false, s.enabled});
        const int w = button.width();
        const int h = button.height();
        // The two outer rings carry the bevel; the label never reaches them.
        ExpectRuns(
            image, look.runs, palette,
            [&](int x, int y) { return x < 2 || y < 2 || x >= w - 2 || y >= h - 2; }, s.name);
    }
}

TEST(ControlGallery, FocusedButtonShowsItsFocusRectangle) {
    QWidget window;
    CColorButton button("Device", &window);
    button.resize(64, 20);
    window.show();
    window.activateWindow();
    button.setFocus();
    ASSERT_TRUE(test::WaitUntil([&] { return button.hasFocus(); }, 2000));
    FlushEvents();
    const QImage image = GrabImage(button);
    TheGallery().Add("button-focused", image);
    int black = 0;
    for (int x = 3; x < 61; ++x) black += image.pixelColor(x, 3) == QColor(Qt::black) ? 1 : 0;
    EXPECT_GE(black, 25) << "a dotted line: about every other pixel is black";
    EXPECT_LE(black, 33);
}

TEST(ControlGallery, SlidersMatchTheirLookInEveryState) {
    struct State {
        QString name;
        QSize size;
        int minimum, maximum, value;
        bool focused, enabled;
    };
    const State states[] = {
        {"slider-min", {136, 17}, 152, 232, 152, false, true},
        {"slider-middle", {136, 17}, 152, 232, 192, false, true},
        {"slider-max-focused", {136, 17}, 152, 232, 232, true, true},
        {"slider-disabled", {136, 17}, 152, 232, 172, false, false},
        {"slider-vertical", {17, 120}, 0, 60, 20, false, true},
        {"slider-vertical-focused", {17, 120}, 0, 60, 45, true, true},
    };
    for (const State& s : states) {
        QWidget window;
        CPanelSlider slider(&window);
        slider.resize(s.size);
        slider.setRange(s.minimum, s.maximum);
        slider.setValue(s.value);
        slider.setEnabled(s.enabled);
        window.resize(s.size + QSize(20, 20));
        // A shown window hands its focus to the slider, so only focused states are shown.
        if (s.focused) {
            window.show();
            window.activateWindow();
            slider.setFocus();
            ASSERT_TRUE(test::WaitUntil([&] { return slider.hasFocus(); }, 2000))
                << s.name.toStdString();
        }
        FlushEvents();
        const QImage image = GrabImage(slider);
        TheGallery().Add(s.name, image);
        const SliderLook look = ComputeSliderLook({s.size.width(),
                                                   s.size.height(),
                                                   {s.minimum, s.maximum, false},
                                                   s.value,
                                                   s.focused,
                                                   s.enabled});
        ExpectRuns(
            image, look.runs, PanelPalette{}, [](int, int) { return true; }, s.name);
    }
}

TEST(ControlGallery, LampsMatchTheirLook) {
    for (const bool lit : {false, true}) {
        CLedIndicator lamp;
        lamp.resize(9, 9);
        lamp.SetLit(lit);
        const QImage image = GrabImage(lamp);
        const QString name = lit ? "lamp-lit" : "lamp-dark";
        TheGallery().Add(name, image);
        ExpectRuns(
            image, ComputeLedRuns(9, 9, lit), PanelPalette{}, [](int, int) { return true; }, name);
    }
}

TEST(ControlGallery, MetersInEveryZone) {
    struct State {
        QString name;
        int width, maximum, position;
        bool gainReduction;
    };
    const State states[] = {
        {"meter-empty", 153, 90, 0, false},   {"meter-zone1", 153, 90, 40, false},
        {"meter-zone2", 153, 90, 65, false},  {"meter-zone3", 153, 90, 80, false},
        {"meter-full", 153, 90, 90, false},   {"meter-gr-none", 159, 41, 41, true},
        {"meter-gr-some", 159, 41, 30, true}, {"meter-gr-full", 159, 41, 0, true},
    };
    for (const State& s : states) {
        CLevelMeter meter;
        meter.resize(s.width, 9);
        meter.SetRange(0, s.maximum);
        if (s.gainReduction) meter.SetAllZoneColors(QColor(0x80, 0, 0), QColor(0xFF, 0, 0));
        meter.SetPosition(s.position);
        const QImage image = GrabImage(meter);
        TheGallery().Add(s.name, image);
        const MeterLayout layout = ComputeMeterLayout({s.width, 9, 0, s.maximum, s.position});
        // The outline and the black gaps, and the first column's zone colour.
        EXPECT_EQ(image.pixelColor(0, 4), QColor(Qt::black));
        EXPECT_EQ(image.pixelColor(3, 4), QColor(Qt::black));
        const bool firstLit = layout.columns.front() == MeterInk::Lit1;
        EXPECT_EQ(image.pixelColor(1, 4), firstLit ? meter.LitColor(0) : meter.UnlitColor(0));
    }
}

// Runs last in this file: writes the collected pictures when asked.
TEST(ControlGallery, WritePictures) {
    TheGallery().WriteIfAsked();
    SUCCEED();
}

}  // namespace
}  // namespace arvestra
