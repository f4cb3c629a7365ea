#pragma once

namespace arvestra {

// Where the main window goes at start-up, in screen pixels.
struct WindowPosition {
    int x = 0;
    int y = 0;
};

// The remembered placement of the main window as read from the settings.
struct SavedPlacement {
    bool isSet = false;  // "WindowLocationSet" was non-zero
    int left = 0;
    int top = 0;
};

// Rectangle of the available screen area, in the same coordinates as the window.
struct ScreenArea {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
};

// An outer window size in screen pixels.
struct WindowSize {
    int width = 0;
    int height = 0;
};

// The outer size a window opens at: the size it wants, but never larger than the screen's
// available area in either direction. Where one direction is cut, the view scrolls in it, and
// the other direction grows by the scroll bar's width (`scrollBar`) if the screen has room, so
// that the bar does not cover the view and bring the second bar too.
WindowSize FitWindowToScreen(const WindowSize& wanted, const ScreenArea& screen, int scrollBar);

// Places a window of the given outer size on the screen: the saved corner when one was
// remembered (negative values taken as the screen's edge, and capped so that the window ends
// at the screen's right and bottom edges at most), otherwise centred. When the window is larger
// than the screen its top-left corner stays on the screen.
WindowPosition PlaceMainWindow(const SavedPlacement& saved, const ScreenArea& screen,
                               int windowWidth, int windowHeight);

}  // namespace arvestra
