#include "ui/dialogs/DialogUnits.h"

#include <QFontMetrics>
#include <QWidget>

#include <algorithm>

namespace arvestra {

namespace {

// Rounds value * numerator / denominator to the nearest integer, halves away from zero.
int ScaleRounded(int value, int numerator, int denominator) {
    const long long product = static_cast<long long>(value) * numerator;
    const long long half = denominator / 2;
    return static_cast<int>(product >= 0 ? (product + half) / denominator
                                         : -((-product + half) / denominator));
}

}  // namespace

DialogBaseUnits MeasureBaseUnits(const QFont& font) {
    const QFontMetrics metrics(font);
    const int alphabetWidth = metrics.horizontalAdvance(
        QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
    DialogBaseUnits units;
    units.x = std::max(1, (alphabetWidth / 26 + 1) / 2);
    units.y = std::max(1, metrics.height());
    return units;
}

QRect DialogRectToPixels(const QRect& dialogRect, const DialogBaseUnits& units) {
    const int left = ScaleRounded(dialogRect.x(), units.x, 4);
    const int top = ScaleRounded(dialogRect.y(), units.y, 8);
    const int right = ScaleRounded(dialogRect.x() + dialogRect.width(), units.x, 4);
    const int bottom = ScaleRounded(dialogRect.y() + dialogRect.height(), units.y, 8);
    return QRect(left, top, right - left, bottom - top);
}

void PlaceInDialogUnits(QWidget* child, int x, int y, int width, int height,
                        const DialogBaseUnits& units) {
    child->setGeometry(DialogRectToPixels(QRect(x, y, width, height), units));
}

}  // namespace arvestra
