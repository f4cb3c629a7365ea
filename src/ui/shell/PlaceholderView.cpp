#include "ui/shell/PlaceholderView.h"

#include <QLabel>
#include <QPainter>
#include <QPushButton>

#include "app/CommandId.h"
#include "document/CQ7310Doc.h"
#include "ui/dialogs/DialogUnits.h"
#include "ui/dialogs/EditDeviceListDialog.h"
#include "ui/dialogs/NameText.h"
#include "ui/dialogs/SelectDeviceDialog.h"
#include "ui/dialogs/SelectPresetDialog.h"
#include "ui/shell/DisplayChecks.h"

namespace arvestra {

namespace {

// The main view's form is 528 x 329 dialog units.
constexpr int kFormWidthUnits = 528;
constexpr int kFormHeightUnits = 329;

}  // namespace

CPlaceholderView::CPlaceholderView(CQ7310Doc& document, CAppSettings& appSettings, QWidget* parent)
    : QWidget(parent), doc(document), settings(appSettings) {
    const DialogBaseUnits units = MeasureBaseUnits(font());
    const QRect form = DialogRectToPixels(QRect(0, 0, kFormWidthUnits, kFormHeightUnits), units);
    setFixedSize(form.size());

    onlineLabel = new QLabel(this);
    onlineLabel->setAutoFillBackground(true);
    onlineLabel->setAlignment(Qt::AlignCenter);
    PlaceInDialogUnits(onlineLabel, 4, 5, 42, 8, units);

    deviceLabel = new QLabel(this);
    presetLabel = new QLabel(this);
    PlaceInDialogUnits(deviceLabel, 60, 40, 300, 10, units);
    PlaceInDialogUnits(presetLabel, 60, 56, 300, 10, units);

    deviceButton = new QPushButton(QStringLiteral("Device"), this);
    presetButton = new QPushButton(QStringLiteral("Preset"), this);
    PlaceInDialogUnits(deviceButton, 4, 38, 45, 14, units);
    PlaceInDialogUnits(presetButton, 4, 54, 45, 14, units);
    connect(deviceButton, &QPushButton::clicked, this, [this] {
        if (CSelectDeviceDialog::Run(doc, this)) {
            OnUpdate(1);
        }
    });
    connect(presetButton, &QPushButton::clicked, this, [this] {
        CSelectPresetDialog::Run(doc, this);
        OnUpdate(1);
    });

    auto* note = new QLabel(
        QStringLiteral("The editing pages appear here. Use the Edit and Communications menus, or "
                       "the Device and Preset buttons."),
        this);
    note->setWordWrap(true);
    PlaceInDialogUnits(note, 60, 90, 300, 20, units);
}

QString CPlaceholderView::OnlineText() const {
    return onlineLabel->text();
}
QString CPlaceholderView::DeviceText() const {
    return deviceLabel->text();
}
QString CPlaceholderView::PresetText() const {
    return presetLabel->text();
}

bool CPlaceholderView::OnCommand(CommandId id) {
    switch (id) {
        case CommandId::MeterRefresh:
            OnMeterRefresh();
            return true;
        case CommandId::EditDeviceList:
            if (doc.IsOnline() == 0) {
                CEditDeviceListDialog::Run(doc, this);
                OnUpdate(0);
            }
            return true;
        case CommandId::EditSaveCurrentPreset:
            if (doc.Devices().PresetModified() != 0) {
                doc.StorePreset();
                OnUpdate(0);
            }
            return true;
        case CommandId::ShowDevUtilities:
            return true;  // the development utilities belong to the full main view
        default:
            return false;
    }
}

bool CPlaceholderView::CommandState(CommandId id, bool& enabled, bool& checked) {
    checked = false;
    switch (id) {
        case CommandId::EditDeviceList:
            enabled = doc.IsOnline() == 0;
            return true;
        case CommandId::EditSaveCurrentPreset:
            enabled = doc.Devices().PresetModified() != 0;
            return true;
        case CommandId::ViewDeviceConfiguration:
            enabled = true;
            checked = true;
            return true;
        default:
            return false;
    }
}

void CPlaceholderView::OnMeterRefresh() {
    ++meterRefreshes;
    // An error answered "continue offline" cleared the flag only; going offline formally closes
    // the link here, on the user-interface thread.
    if (doc.IsOnline() == 0) {
        doc.App().SetOnline(0);
    }
}

void CPlaceholderView::OnUpdate(int hint) {
    if (hint > 3) {
        return;
    }
    const bool online = doc.IsOnline() != 0;
    onlineLabel->setText(online ? QStringLiteral("Online") : QStringLiteral("Offline"));
    QPalette palette = onlineLabel->palette();
    palette.setColor(QPalette::Window, Qt::black);
    palette.setColor(QPalette::WindowText, online ? QColor(0x00, 0xFF, 0x00) : QColor(0xFF, 0, 0));
    onlineLabel->setPalette(palette);
    if (doc.Devices().CountPresentDevices() == 0) {
        deviceLabel->setText(QStringLiteral("No device"));
        presetLabel->clear();
        return;
    }
    const int address = doc.Devices().CurrentAddress();
    deviceLabel->setText(QStringLiteral("Device: %1 - %2")
                             .arg(address)
                             .arg(NameToDisplay(doc.Devices().GetDeviceName(address))));
    const int preset = doc.Devices().CurrentPreset();
    presetLabel->setText(
        QStringLiteral("Preset: %1 - %2%3")
            .arg(preset)
            .arg(NameToDisplay(doc.Devices().GetPresetName(preset)))
            .arg(doc.Devices().PresetModified() != 0 ? QStringLiteral(" (modified)") : QString()));
}

void CPlaceholderView::OnInitialUpdate() {
    if (initialised) {
        return;
    }
    CDisplayChecks::CheckFonts(this, settings);
    initialised = true;
    OnUpdate(1);
}

void CPlaceholderView::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    painter.fillRect(rect(), QColor(0xA0, 0xA0, 0xA4));
}

}  // namespace arvestra
