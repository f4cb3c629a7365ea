#include "ui/shell/DisplayWarningDialog.h"

#include <QCheckBox>
#include <QLabel>
#include <QPushButton>

namespace arvestra {

QString CDisplayWarningDialog::Text(Kind kind) {
    const QString tail =
        QStringLiteral(" \"Display Settings\" section of the help file for more information.");
    if (kind == Kind::Colours) {
        return QStringLiteral(
                   "Your computer's display is set to use less than 64K colors. We recommend "
                   "that you set it to use at least 64K colors in order for the graphics to "
                   "appear correctly. See the") +
               tail;
    }
    return QStringLiteral(
               "Your computer's display is not set to use Small Fonts. We recommend that you set "
               "it to use Small Fonts in order for the graphics to appear correctly. See the") +
           tail;
}

CDisplayWarningDialog::CDisplayWarningDialog(Kind kind, QWidget* parent)
    : CUnitDialog(QStringLiteral("Korvanex Arvestra"), 228, 86, parent) {
    auto* text = new QLabel(Text(kind), this);
    text->setWordWrap(true);
    text->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    Place(text, 7, 7, 214, 48);

    dontShow = new QCheckBox(QStringLiteral("&Don't show me this warning again."), this);
    Place(dontShow, 7, 64, 150, 10);

    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setDefault(true);
    Place(ok, 171, 62, 50, 14);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
}

bool CDisplayWarningDialog::DontShowAgain() const {
    return dontShow->isChecked();
}

void CDisplayWarningDialog::SetDontShowAgain(bool on) {
    dontShow->setChecked(on);
}

bool CDisplayWarningDialog::ShouldWarnColours(int bitsPerPixel, bool dontWarn) {
    return !dontWarn && bitsPerPixel < 16;
}

bool CDisplayWarningDialog::ShouldWarnFonts(int logicalDpi, bool dontWarn) {
    return !dontWarn && logicalDpi != kStandardDpi;
}

}  // namespace arvestra
