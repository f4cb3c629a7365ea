#pragma once

#include <QWizardPage>

#include <vector>

#include "document/CopySetting.h"

class QLabel;
class QListWidget;

namespace arvestra {

class CCopyWiz;

// A list page of the copy wizard: the unit list (3028), and as the page asks the preset list
// (3029) and the setting list (3030). Source pages take one selection per list, destination
// pages several. Units are the devices of the side's location ("address name"), presets the
// edit buffer and presets 1 to 8 of the (first) chosen unit, settings the eleven names. The
// lists fill when the page is first shown and again only when the side's location changed.
class CCopyWizListPage : public QWizardPage {
    Q_OBJECT
  public:
    enum class Lists { Unit, UnitPreset, UnitPresetSetting };

    CCopyWizListPage(CCopyWiz& wizard, int id, bool destination, Lists lists);

    void initializePage() override;
    int nextId() const override;
    bool isComplete() const override;

    // The chosen addresses, images (0..8) and settings, in list order.
    std::vector<int> SelectedAddresses() const;
    std::vector<int> SelectedImages() const;
    std::vector<SettingId> SelectedSettings() const;

    QListWidget* UnitList() const { return units; }
    QListWidget* PresetList() const { return presets; }
    QListWidget* SettingList() const { return settings; }

  private:
    void FillUnits();
    void FillPresets();
    void FillSettings();

    CCopyWiz& wizard;
    int id;
    bool destination;
    QListWidget* units = nullptr;
    QListWidget* presets = nullptr;
    QListWidget* settings = nullptr;
    QLabel* summary = nullptr;
    int filledGeneration = -1;
};

}  // namespace arvestra
