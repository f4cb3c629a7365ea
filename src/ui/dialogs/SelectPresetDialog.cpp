#include "ui/dialogs/SelectPresetDialog.h"

#include <QButtonGroup>
#include <QPushButton>
#include <QRadioButton>

#include "document/CQ7310Doc.h"
#include "ui/dialogs/EditNameDialog.h"
#include "ui/dialogs/NameText.h"

namespace arvestra {

CSelectPresetDialog::CSelectPresetDialog(CQ7310Doc& document, QWidget* parent)
    : CUnitDialog(QStringLiteral("Select Preset"), 214, 142, parent),
      doc(document),
      originalPreset(document.Devices().CurrentPreset()) {
    auto* presetGroup = new QButtonGroup(this);
    presetGroup->setExclusive(true);
    for (int preset = 1; preset <= 8; ++preset) {
        auto* radio = new QRadioButton(QStringLiteral("Preset &%1").arg(preset), this);
        Place(radio, 11, 7 + (preset - 1) * 14, 122, 10);
        presetGroup->addButton(radio, preset);
        presets.at(preset - 1) = radio;
        connect(radio, &QRadioButton::clicked, this, [this, preset] { OnPresetClicked(preset); });
    }

    currentOnly = new QRadioButton(QStringLiteral("&Current Device Only"), this);
    allDevices = new QRadioButton(QStringLiteral("&All Devices"), this);
    auto* scopeGroup = new QButtonGroup(this);
    scopeGroup->addButton(currentOnly);
    scopeGroup->addButton(allDevices);
    Place(currentOnly, 7, 124, 90, 10);
    Place(allDevices, 100, 124, 70, 10);
    currentOnly->setChecked(true);
    connect(currentOnly, &QRadioButton::clicked, this, [this] { allDevicesScope = false; });
    connect(allDevices, &QRadioButton::clicked, this, [this] { allDevicesScope = true; });

    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    auto* cancel = new QPushButton(QStringLiteral("Cancel"), this);
    editName = new QPushButton(QStringLiteral("&Edit Preset Name"), this);
    Place(ok, 138, 7, 70, 14);
    Place(cancel, 138, 24, 70, 14);
    Place(editName, 138, 101, 70, 14);
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &CSelectPresetDialog::reject);
    connect(editName, &QPushButton::clicked, this, &CSelectPresetDialog::OnEditPresetName);

    RefreshLabels();
}

void CSelectPresetDialog::RefreshLabels() {
    for (int preset = 1; preset <= 8; ++preset) {
        presets.at(preset - 1)
            ->setText(NameAsLabel(NameToDisplay(doc.Devices().GetPresetName(preset))));
    }
    RefreshChecks();
}

void CSelectPresetDialog::RefreshChecks() {
    const int current = doc.Devices().CurrentPreset();
    for (int preset = 1; preset <= 8; ++preset) {
        presets.at(preset - 1)->setChecked(preset == current);
    }
}

void CSelectPresetDialog::OnPresetClicked(int preset) {
    const int result =
        allDevicesScope ? doc.RecallPresetOnAllDevices(preset) : doc.RecallPreset(preset, true);
    if (result == 0) {
        // Reported by the location model. The labels stay as they were, but the check mark
        // goes back to the preset that is current now, not the one that was clicked.
        RefreshChecks();
        return;
    }
    RefreshLabels();
    doc.Ui().DocumentChanged();
}

bool CSelectPresetDialog::AskPresetName(const QString& current, QString& result) {
    return CEditNameDialog::Edit(CEditNameDialog::Kind::Preset, current, this, result);
}

void CSelectPresetDialog::OnEditPresetName() {
    QString name;
    if (AskPresetName(NameToDisplay(doc.Devices().GetPresetName(doc.Devices().CurrentPreset())),
                      name)) {
        if (doc.SetPresetName(NameFromDisplay(name)) == 0) {
            return;
        }
    }
    RefreshLabels();
    doc.Ui().DocumentChanged();
}

void CSelectPresetDialog::reject() {
    if (doc.Devices().CurrentPreset() != originalPreset) {
        if (doc.RecallPreset(originalPreset, true) != 0) {
            doc.Ui().DocumentChanged();
        }
    }
    QDialog::reject();
}

bool CSelectPresetDialog::Run(CQ7310Doc& doc, QWidget* parent) {
    CSelectPresetDialog dialog(doc, parent);
    return dialog.exec() == QDialog::Accepted;
}

}  // namespace arvestra
