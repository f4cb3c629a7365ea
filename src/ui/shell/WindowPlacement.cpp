#include "ui/shell/WindowPlacement.h"

#include <algorithm>

namespace arvestra {

namespace {

// Keeps one coordinate between the screen's start and the last position at which the window
// still fits; the start wins when the window is larger than the screen.
int ClampToScreen(int value, int screenStart, int screenLength, int windowLength) {
    const int last = screenStart + screenLength - windowLength;
    return std::max(std::min(value, last), screenStart);
}

int Centre(int screenStart, int screenLength, int windowLength) {
    return std::max(screenStart + (screenLength - windowLength) / 2, screenStart);
}

}  // namespace

WindowSize FitWindowToScreen(const WindowSize& wanted, const ScreenArea& screen, int scrollBar) {
    const bool cutHeight = wanted.height > screen.height;
    const bool cutWidth = wanted.width > screen.width;
    const int width = wanted.width + (cutHeight ? scrollBar : 0);
    const int height = wanted.height + (cutWidth ? scrollBar : 0);
    return {std::min(width, screen.width), std::min(height, screen.height)};
}

WindowPosition PlaceMainWindow(const SavedPlacement& saved, const ScreenArea& screen,
                               int windowWidth, int windowHeight) {
    if (!saved.isSet) {
        return {Centre(screen.left, screen.width, windowWidth),
                Centre(screen.top, screen.height, windowHeight)};
    }
    return {ClampToScreen(saved.left, screen.left, screen.width, windowWidth),
            ClampToScreen(saved.top, screen.top, screen.height, windowHeight)};
}

}  // namespace arvestra
