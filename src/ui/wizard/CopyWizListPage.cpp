#include "ui/wizard/CopyWizListPage.h"

#include <QGridLayout>
#include <QLabel>
#include <QListWidget>

#include "document/CQ7310Doc.h"
#include "ui/dialogs/NameText.h"
#include "ui/wizard/CopyWiz.h"

namespace arvestra {

namespace {

constexpr int kDataRole = Qt::UserRole;

QListWidget* MakeList(QWidget* parent, int controlId, bool several) {
    auto* list = new QListWidget(parent);
    list->setObjectName(QString::number(controlId));
    list->setSelectionMode(several ? QAbstractItemView::ExtendedSelection
                                   : QAbstractItemView::SingleSelection);
    return list;
}

// Rows of a list whose items are selected, in list order, as their data values.
std::vector<int> SelectedData(const QListWidget* list) {
    std::vector<int> values;
    if (list == nullptr) return values;
    for (int row = 0; row < list->count(); ++row) {
        const QListWidgetItem* item = list->item(row);
        if (item->isSelected()) values.push_back(item->data(kDataRole).toInt());
    }
    return values;
}

QString LocationText(const std::string& latin1) {
    return NameToDisplay(latin1);
}

// Selects the first row when nothing is selected (a source always has a choice).
void SelectFirstIfNone(QListWidget* list) {
    if (list != nullptr && list->count() > 0 && list->selectedItems().isEmpty()) {
        list->setCurrentRow(0);
    }
}

}  // namespace

CCopyWizListPage::CCopyWizListPage(CCopyWiz& wiz, int pageId, bool isDestination, Lists lists)
    : wizard(wiz), id(pageId), destination(isDestination) {
    setTitle(QString::fromLatin1(copywiz::PageTitle(pageId)));
    auto* layout = new QGridLayout(this);
    const auto addList = [&](QListWidget*& list, int controlId, const char* caption, int column) {
        list = MakeList(this, controlId, destination);
        auto* label = new QLabel(QString::fromLatin1(caption), this);
        label->setBuddy(list);
        layout->addWidget(label, 0, column);
        layout->addWidget(list, 1, column);
        connect(list, &QListWidget::itemSelectionChanged, this, &CCopyWizListPage::completeChanged);
    };
    addList(units, 3028, "&Unit:", 0);
    if (lists != Lists::Unit) {
        addList(presets, 3029, "&Preset:", 1);
        connect(units, &QListWidget::itemSelectionChanged, this, &CCopyWizListPage::FillPresets);
    }
    if (lists == Lists::UnitPresetSetting) addList(settings, 3030, "&Setting:", 2);
    summary = new QLabel(this);
    summary->setWordWrap(true);
    layout->addWidget(summary, 2, 0, 1, 3);
}

void CCopyWizListPage::initializePage() {
    const int generation = wizard.LocationGeneration(destination);
    if (generation != filledGeneration) {
        filledGeneration = generation;
        FillUnits();
        FillPresets();
        FillSettings();
    }
    summary->setText(wizard.Summary());
}

void CCopyWizListPage::FillUnits() {
    const QSignalBlocker quiet(units);
    units->clear();
    const CLocationImage* location = wizard.ListLocation(destination);
    if (location == nullptr) return;
    const bool current = wizard.ListsShowCurrentLocation(destination);
    CQ7310Doc& doc = wizard.Doc();
    for (int a = kFirstAddress; a <= kMaxAddress; ++a) {
        const int slot = location->SlotOf(a);
        // Online the current location's destinations are the devices on the bus.
        if (slot == kNoDevice || (current && doc.Devices().IsDevicePresent(a) == 0)) continue;
        auto* item = new QListWidgetItem(
            QStringLiteral("%1 %2").arg(a).arg(LocationText(location->DeviceName(slot))), units);
        item->setData(kDataRole, a);
        if (current && a == doc.Devices().CurrentAddress() && !destination)
            units->setCurrentItem(item);
    }
    if (!destination) SelectFirstIfNone(units);
}

void CCopyWizListPage::FillPresets() {
    if (presets == nullptr) return;
    const std::vector<int> chosen = SelectedData(units);
    const std::vector<int> kept = SelectedData(presets);
    const QSignalBlocker quiet(presets);
    presets->clear();
    const CLocationImage* location = wizard.ListLocation(destination);
    if (location == nullptr || chosen.empty()) return;
    const int slot = location->SlotOf(chosen.front());
    if (slot == kNoDevice) return;
    for (int image = 0; image < kImageCount; ++image) {
        const QString name = LocationText(location->PresetName(slot, image));
        const QString text = image == 0 ? QStringLiteral("Edit Buffer (%1)").arg(name)
                                        : QStringLiteral("%1 %2").arg(image).arg(name);
        auto* item = new QListWidgetItem(text, presets);
        item->setData(kDataRole, image);
        item->setSelected(std::find(kept.begin(), kept.end(), image) != kept.end());
    }
    if (!destination) SelectFirstIfNone(presets);
    emit completeChanged();
}

void CCopyWizListPage::FillSettings() {
    if (settings == nullptr || settings->count() > 0) return;
    for (int row = 0; row < kSettingCount; ++row) {
        auto* item = new QListWidgetItem(
            QString::fromLatin1(SettingNames()[static_cast<std::size_t>(row)]), settings);
        item->setData(kDataRole, row);
    }
    if (!destination) SelectFirstIfNone(settings);
}

int CCopyWizListPage::nextId() const {
    return copywiz::NextPage(id, wizard.Choices());
}

bool CCopyWizListPage::isComplete() const {
    for (const QListWidget* list : {units, presets, settings}) {
        if (list != nullptr && list->selectedItems().isEmpty()) return false;
    }
    return true;
}

std::vector<int> CCopyWizListPage::SelectedAddresses() const {
    return SelectedData(units);
}

std::vector<int> CCopyWizListPage::SelectedImages() const {
    return SelectedData(presets);
}

std::vector<SettingId> CCopyWizListPage::SelectedSettings() const {
    std::vector<SettingId> out;
    for (const int row : SelectedData(settings)) {
        if (const auto setting = SettingAt(row)) out.push_back(*setting);
    }
    return out;
}

}  // namespace arvestra
