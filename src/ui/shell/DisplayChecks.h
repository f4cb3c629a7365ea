#pragma once

class QWidget;

namespace arvestra {

class CAppSettings;

// The display warnings of start-up. Each shows its dialog only when the setting does not forbid
// it and the display is unsuitable, and stores the tick of "&Don't show me this warning again.".
class CDisplayChecks {
  public:
    // Colour warning (dialog 180): run by the application after the main window is shown.
    // True when the dialog was shown.
    static bool CheckColours(QWidget* parent, CAppSettings& settings, int bitsPerPixel);
    // Font warning (dialog 181): run by the main view when it is first shown; the setting is
    // read first and the view's resolution only looked at when the warning is allowed.
    static bool CheckFonts(QWidget* view, CAppSettings& settings);
};

}  // namespace arvestra
