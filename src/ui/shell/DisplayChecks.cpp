#include "ui/shell/DisplayChecks.h"

#include <QWidget>

#include "ui/shell/AppSettings.h"
#include "ui/shell/DisplayWarningDialog.h"

namespace arvestra {

bool CDisplayChecks::CheckColours(QWidget* parent, CAppSettings& settings, int bitsPerPixel) {
    if (!CDisplayWarningDialog::ShouldWarnColours(bitsPerPixel,
                                                  settings.DontWarnAboutNumberOfColors())) {
        return false;
    }
    CDisplayWarningDialog dialog(CDisplayWarningDialog::Kind::Colours, parent);
    dialog.exec();
    if (dialog.DontShowAgain()) {
        settings.SetDontWarnAboutNumberOfColors();
    }
    return true;
}

bool CDisplayChecks::CheckFonts(QWidget* view, CAppSettings& settings) {
    if (settings.DontWarnAboutNonSmallFonts()) {
        return false;
    }
    if (!CDisplayWarningDialog::ShouldWarnFonts(view->logicalDpiY(), false)) {
        return false;
    }
    CDisplayWarningDialog dialog(CDisplayWarningDialog::Kind::Fonts, view);
    dialog.exec();
    if (dialog.DontShowAgain()) {
        settings.SetDontWarnAboutNonSmallFonts();
    }
    return true;
}

}  // namespace arvestra
