#pragma once

#include <QString>

#include <functional>
#include <vector>

#include "plot/CurvePlot.h"

class QWidget;

namespace arvestra {

// Saving a displayed response curve as a PNG or SVG picture or as CSV, the kind chosen by the
// file's suffix (PNG when it has none): what the equaliser pages' context menu offers.
class CCurveExport {
  public:
    // Writes the curve to `path`; false with `error` set when nothing could be written.
    static bool Save(const QString& path, const std::vector<CurvePoint>& points,
                     const QString& title, QString& error);
    // Asks for a file name and saves; a failure is shown in a box. False when cancelled or
    // not written.
    static bool Ask(QWidget* parent, const std::vector<CurvePoint>& points, const QString& title);
};

}  // namespace arvestra
