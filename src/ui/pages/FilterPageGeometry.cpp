#include "ui/pages/FilterPageGeometry.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace arvestra {

namespace {

constexpr int kSectionLeftDu = 4;
constexpr int kSectionPitchDu = 92;
constexpr int kSectionWidthDu = 88;
constexpr int kSectionCaptionTopDu = 194;
constexpr int kSectionRowTopDu = 204;
constexpr int kSectionSliderTopDu = 220;

constexpr int kCaptionDu = 7;
constexpr int kScaleTextDu = 6;

// The frequencies that get a grid column: 20 to 90 Hz, then 1..9 times each power of ten up to
// 9 kHz, then 10 and 20 kHz.
std::vector<double> GridFrequencies() {
    std::vector<double> hz;
    for (double decade = 10.0; decade <= 1000.0; decade *= 10.0) {
        for (int step = decade < 20.0 ? 2 : 1; step <= 9; ++step) hz.push_back(decade * step);
    }
    hz.push_back(10000.0);
    hz.push_back(20000.0);
    return hz;
}

constexpr std::array<double, 10> kCaptionedHz = {20,   50,   100,  200,   500,
                                                 1000, 2000, 5000, 10000, 20000};

}  // namespace

int SectionChannel(int section) {
    return section >= 2 ? 1 : 0;
}

bool SectionIsLowPass(int section) {
    return section % 2 == 1;
}

BlockCode SectionBlock(int section) {
    const int channel = SectionChannel(section);
    return SectionIsLowPass(section) ? LowPassBlockOf(channel) : HighPassBlockOf(channel);
}

const char* SectionCaption(int section) {
    static constexpr std::array<const char*, kSectionCount> kCaptions = {
        "Ch 1 High Pass", "Ch 1 Low Pass", "Ch 2 High Pass", "Ch 2 Low Pass"};
    return kCaptions[static_cast<std::size_t>(std::clamp(section, 0, kSectionCount - 1))];
}

SectionPlaces SectionPlacesOf(int section) {
    const int x = kSectionLeftDu + std::clamp(section, 0, kSectionCount - 1) * kSectionPitchDu;
    return {
        {x, kSectionCaptionTopDu, kSectionWidthDu, 8},
        {x, kSectionRowTopDu, 16, 12},
        {x + 18, kSectionRowTopDu, 16, 12},
        {x + 38, kSectionRowTopDu, 32, 12},
        {x + 72, kSectionRowTopDu, 14, 12},
        {x, kSectionSliderTopDu, kSectionWidthDu, 14},
    };
}

GraphRect GraphRectFor(const DialogBaseUnits& units) {
    const PixelRect r = DialogToPixels(kGraphFrameDu, units);
    return {r.left, r.top, r.right, r.bottom};
}

PixelRect ToPixelRect(const GraphRect& graph) {
    return {graph.left, graph.top, graph.right, graph.bottom};
}

PixelRect GraphInterior(const GraphRect& graph) {
    return {graph.left, graph.top + 1, graph.right, graph.bottom - 1};
}

GraphGrid ComputeGraphGrid(const GraphMapping& mapping, double dbStep) {
    GraphGrid grid;
    const GraphRect& r = mapping.Rect();
    for (const double hz : GridFrequencies()) {
        const int x = mapping.FrequencyToX(hz);
        if (x > r.left && x < r.right - 1) grid.columns.push_back(x);
    }
    const GraphConstants& c = mapping.Constants();
    if (dbStep > 0.0) {
        const double lowest = std::ceil(std::min(c.topDb, c.bottomDb) / dbStep) * dbStep;
        for (double db = lowest; db <= std::max(c.topDb, c.bottomDb); db += dbStep) {
            const int y = mapping.DbToY(db);
            if (y <= r.top || y >= r.bottom - 1) continue;
            grid.rows.push_back(y);
            if (std::fabs(db) < dbStep / 2) grid.zeroRow = y;
        }
    }
    return grid;
}

std::string FrequencyCaption(double hz) {
    char text[16];
    if (hz >= 1000.0) {
        std::snprintf(text, sizeof text, "%dk", static_cast<int>(std::lround(hz / 1000.0)));
    } else {
        std::snprintf(text, sizeof text, "%d", static_cast<int>(std::lround(hz)));
    }
    return text;
}

std::string LevelCaption(double db) {
    const long rounded = std::lround(db);
    char text[16];
    std::snprintf(text, sizeof text, rounded > 0 ? "+%ld" : "%ld", rounded);
    return text;
}

int CaptionPixels(int du, const DialogBaseUnits& units) {
    return std::max(1, (du * units.y + 4) / 8);
}

void AddGraphCaptions(Picture& picture, const GraphMapping& mapping, double labelStep,
                      const DialogBaseUnits& units) {
    const GraphRect& r = mapping.Rect();
    const int textPixels = CaptionPixels(kScaleTextDu, units);
    const int half = textPixels;
    const GraphConstants& c = mapping.Constants();
    if (labelStep > 0.0) {
        const double lowest = std::ceil(c.bottomDb / labelStep) * labelStep;
        for (double db = lowest; db <= c.topDb; db += labelStep) {
            const int y = mapping.DbToY(db);
            PictureText text;
            text.box = {units.x / 2, y - half, r.left - units.x / 2, y + half};
            text.text = LevelCaption(db);
            text.align = TextAlign::Right;
            text.pixelSize = textPixels;
            picture.texts.push_back(text);
        }
    }
    const PixelRect below =
        DialogToPixels({0, kGraphFrameDu.y + kGraphFrameDu.height + 1, 0, 8}, units);
    for (const double hz : kCaptionedHz) {
        const int x = mapping.FrequencyToX(hz);
        PictureText text;
        text.box = {x - 3 * units.x, below.top, x + 3 * units.x, below.bottom};
        text.text = FrequencyCaption(hz);
        text.pixelSize = textPixels;
        picture.texts.push_back(text);
    }
}

Picture FilterPageArtwork(const GraphMapping& mapping, double labelStep,
                          const DialogBaseUnits& units) {
    Picture picture;
    const GraphRect& r = mapping.Rect();
    picture.bounds = ToPixelRect(r).Shrunk(-1);
    AddSunkenFrame(picture.runs, ToPixelRect(r));
    AddGraphCaptions(picture, mapping, labelStep, units);
    const int captionPixels = CaptionPixels(kCaptionDu, units);
    for (int section = 0; section < kSectionCount; ++section) {
        const SectionPlaces places = SectionPlacesOf(section);
        PictureText caption;
        caption.box = DialogToPixels(places.caption, units);
        caption.text = SectionCaption(section);
        caption.align = TextAlign::Left;
        caption.pixelSize = captionPixels;
        caption.bold = true;
        picture.texts.push_back(caption);
        PictureText unit;
        unit.box = DialogToPixels(places.unit, units);
        unit.text = "Hz";
        unit.align = TextAlign::Left;
        unit.pixelSize = captionPixels;
        picture.texts.push_back(unit);
    }
    return picture;
}

PixelRect DotRect(int x, int y) {
    const int left = x - kDotSize / 2;
    const int top = y - kDotSize / 2;
    return {left, top, left + kDotSize, top + kDotSize};
}

}  // namespace arvestra
