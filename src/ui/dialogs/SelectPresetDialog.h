#pragma once

#include <array>

#include "ui/dialogs/UnitDialog.h"

class QRadioButton;
class QPushButton;

namespace arvestra {

class CQ7310Doc;

// "Select Preset" (dialog 171): eight radio buttons (3120-3127) named after presets 1 to 8 of
// the current device, the scope "&Current Device Only" (3128) or "&All Devices" (3129) and
// "&Edit Preset Name" (3119). A preset radio recalls at once; Cancel recalls again the preset
// that was current when the dialog opened, OK keeps the one recalled last.
class CSelectPresetDialog : public CUnitDialog {
    Q_OBJECT
  public:
    CSelectPresetDialog(CQ7310Doc& doc, QWidget* parent);

    // The preset current when the dialog opened.
    int OriginalPreset() const { return originalPreset; }
    // True while the scope is all devices.
    bool AllDevices() const { return allDevicesScope; }
    QRadioButton* PresetRadio(int preset) const { return presets.at(preset - 1); }
    QRadioButton* CurrentDeviceOnlyRadio() const { return currentOnly; }
    QRadioButton* AllDevicesRadio() const { return allDevices; }
    QPushButton* EditNameButton() const { return editName; }

    // The page's "Preset" button: runs the dialog. True when it ended with OK.
    static bool Run(CQ7310Doc& doc, QWidget* parent);

  public slots:
    // A preset radio: recalls preset n (1..8) in the chosen scope, then refreshes.
    void OnPresetClicked(int preset);
    // "&Edit Preset Name": renames the current preset.
    void OnEditPresetName();
    // Cancel, Escape and the close button: the preset current at opening comes back.
    void reject() override;

  protected:
    // Asks for the new name; true with the text on OK (tests replace it).
    virtual bool AskPresetName(const QString& current, QString& result);

  private:
    // Relabels the radios with the preset names and checks the current preset.
    void RefreshLabels();
    // Checks the radio of the preset that is current now.
    void RefreshChecks();

    CQ7310Doc& doc;
    int originalPreset;
    bool allDevicesScope = false;
    std::array<QRadioButton*, 8> presets{};
    QRadioButton* currentOnly = nullptr;
    QRadioButton* allDevices = nullptr;
    QPushButton* editName = nullptr;
};

}  // namespace arvestra
