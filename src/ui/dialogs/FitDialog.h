#pragma once

#include "tune/FitProblem.h"
#include "ui/dialogs/UnitDialog.h"

class QComboBox;
class QDoubleSpinBox;
class QLineEdit;

namespace arvestra {

// "Fit to Measurement": the target (flat, tilted, or a target file), the range and the largest
// boost and cut of an EQ fit. The measurement itself is the one shown on the page.
class CFitDialog : public CUnitDialog {
    Q_OBJECT
  public:
    // What the user chose; the target file is read by the caller.
    struct Choices {
        enum class Target { Flat, Tilt, File };
        Target target = Target::Flat;
        double tiltDbPerOctave = -0.5;
        QString targetPath;
        double lowHz = 40.0;
        double highHz = 16000.0;
        FitLimits limits;
    };

    // what: a line that says which EQ is fitted to which measurement.
    CFitDialog(const QString& what, const Choices& choices, QWidget* parent);

    Choices Chosen() const;

    // Runs the dialog from choices; true with the new choices on OK.
    static bool Ask(const QString& what, QWidget* parent, Choices& choices);

  private:
    void FollowTarget();
    void BrowseTarget();

    QComboBox* target_ = nullptr;
    QDoubleSpinBox* tilt_ = nullptr;
    QLineEdit* targetPath_ = nullptr;
    QDoubleSpinBox* low_ = nullptr;
    QDoubleSpinBox* high_ = nullptr;
    QDoubleSpinBox* boost_ = nullptr;
    QDoubleSpinBox* cut_ = nullptr;
};

}  // namespace arvestra
