#include "ui/dialogs/FitDialog.h"

#include <QComboBox>
#include <QDoubleSpinBox>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace arvestra {

namespace {

QDoubleSpinBox* SpinBox(QWidget* parent, double low, double high, double step, int decimals,
                        double value) {
    auto* box = new QDoubleSpinBox(parent);
    box->setRange(low, high);
    box->setSingleStep(step);
    box->setDecimals(decimals);
    box->setValue(value);
    return box;
}

}  // namespace

CFitDialog::CFitDialog(const QString& what, const Choices& choices, QWidget* parent)
    : CUnitDialog(QStringLiteral("Fit to Measurement"), 230, 150, parent) {
    auto* intro = new QLabel(what, this);
    intro->setWordWrap(true);
    Place(intro, 7, 6, 216, 18);

    auto label = [this](const QString& text, int y, QWidget* buddy) {
        auto* l = new QLabel(text, this);
        l->setBuddy(buddy);
        Place(l, 7, y + 2, 90, 8);
    };
    target_ = new QComboBox(this);
    target_->addItems(
        {QStringLiteral("Flat"), QStringLiteral("Tilt"), QStringLiteral("Target file")});
    target_->setCurrentIndex(static_cast<int>(choices.target));
    Place(target_, 100, 28, 123, 12);
    label(QStringLiteral("&Target:"), 28, target_);

    tilt_ = SpinBox(this, -3.0, 3.0, 0.1, 2, choices.tiltDbPerOctave);
    Place(tilt_, 100, 44, 60, 12);
    label(QStringLiteral("T&ilt (dB per octave):"), 44, tilt_);

    targetPath_ = new QLineEdit(choices.targetPath, this);
    Place(targetPath_, 100, 60, 80, 12);
    label(QStringLiteral("Target &file:"), 60, targetPath_);
    auto* browse = new QPushButton(QStringLiteral("&Browse..."), this);
    Place(browse, 183, 59, 40, 14);

    low_ = SpinBox(this, 20.0, 20000.0, 10.0, 0, choices.lowHz);
    high_ = SpinBox(this, 20.0, 20000.0, 100.0, 0, choices.highHz);
    Place(low_, 100, 76, 55, 12);
    Place(high_, 168, 76, 55, 12);
    label(QStringLiteral("&Range (Hz):"), 76, low_);
    auto* to = new QLabel(QStringLiteral("to"), this);
    Place(to, 158, 78, 9, 8);

    boost_ = SpinBox(this, 0.0, 12.0, 0.5, 1, choices.limits.maxBoostDb);
    Place(boost_, 100, 92, 55, 12);
    label(QStringLiteral("Largest &boost (dB):"), 92, boost_);
    cut_ = SpinBox(this, 0.0, 30.0, 0.5, 1, choices.limits.maxCutDb);
    Place(cut_, 100, 108, 55, 12);
    label(QStringLiteral("Largest &cut (dB):"), 108, cut_);

    auto* ok = new QPushButton(QStringLiteral("Fit"), this);
    auto* cancel = new QPushButton(QStringLiteral("Cancel"), this);
    ok->setDefault(true);
    Place(ok, 119, 130, 50, 14);
    Place(cancel, 173, 130, 50, 14);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(browse, &QPushButton::clicked, this, [this] { BrowseTarget(); });
    connect(target_, &QComboBox::currentIndexChanged, this, [this] { FollowTarget(); });
    FollowTarget();
}

void CFitDialog::FollowTarget() {
    const auto target = static_cast<Choices::Target>(target_->currentIndex());
    tilt_->setEnabled(target == Choices::Target::Tilt);
    targetPath_->setEnabled(target == Choices::Target::File);
}

void CFitDialog::BrowseTarget() {
    const QString path = QFileDialog::getOpenFileName(
        this, QStringLiteral("Target Response"), targetPath_->text(),
        QStringLiteral("Responses (*.txt *.csv *.frd);;All files (*)"));
    if (!path.isEmpty()) targetPath_->setText(path);
}

CFitDialog::Choices CFitDialog::Chosen() const {
    Choices choices;
    choices.target = static_cast<Choices::Target>(target_->currentIndex());
    choices.tiltDbPerOctave = tilt_->value();
    choices.targetPath = targetPath_->text();
    choices.lowHz = low_->value();
    choices.highHz = high_->value();
    choices.limits = {boost_->value(), cut_->value()};
    return choices;
}

bool CFitDialog::Ask(const QString& what, QWidget* parent, Choices& choices) {
    CFitDialog dialog(what, choices, parent);
    if (dialog.exec() != QDialog::Accepted) return false;
    choices = dialog.Chosen();
    return true;
}

}  // namespace arvestra
