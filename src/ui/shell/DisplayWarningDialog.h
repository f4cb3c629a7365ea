#pragma once

#include "ui/dialogs/UnitDialog.h"

class QCheckBox;

namespace arvestra {

// The two display warnings: too few colours (dialog 180) and a font setting other than the
// standard one (dialog 181). Each has an OK button and the box "&Don't show me this warning
// again."; the caller stores the tick.
class CDisplayWarningDialog : public CUnitDialog {
    Q_OBJECT
  public:
    enum class Kind { Colours = 180, Fonts = 181 };

    CDisplayWarningDialog(Kind kind, QWidget* parent);

    // The warning's text.
    static QString Text(Kind kind);
    // True when the box was ticked as the dialog closed.
    bool DontShowAgain() const;
    // Ticks or clears the box (tests).
    void SetDontShowAgain(bool on);

    // Warn about colours when the screen has fewer than 16 bits per pixel.
    static bool ShouldWarnColours(int bitsPerPixel, bool dontWarn);
    // Warn about fonts when the logical resolution is not the standard 96 dots per inch, which is
    // the setting at which the editor's layouts are drawn pixel for pixel.
    static bool ShouldWarnFonts(int logicalDpi, bool dontWarn);

    static constexpr int kStandardDpi = 96;

  private:
    QCheckBox* dontShow = nullptr;
};

}  // namespace arvestra
