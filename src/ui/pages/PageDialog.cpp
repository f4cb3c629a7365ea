#include "ui/pages/PageDialog.h"

#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPaintEvent>
#include <QPainter>

#include "app/CommandId.h"
#include "document/PageDocument.h"
#include "ui/controls/ColorButton.h"
#include "ui/controls/PanelPalette.h"
#include "ui/dialogs/NameText.h"
#include "ui/pages/PageGeometry.h"
#include "ui/pages/PageHost.h"
#include "ui/pages/PicturePainter.h"
#include "ui/pages/ToolTipControl.h"

namespace arvestra {

namespace {

PixelRect ToPixelRect(const QRect& r) {
    return {r.x(), r.y(), r.x() + r.width(), r.y() + r.height()};
}

bool IsBlockCode(int code) {
    return code >= 0 && code < kBlockCodeCount;
}

}  // namespace

CPageDialog::CPageDialog(int id, IPageHost& pageHost, QWidget* parent)
    : QWidget(parent), templateId(id), host(pageHost) {
    units = MeasureBaseUnits(font());
    // A page is created hidden; the view shows one page at a time.
    setVisible(false);
    // The paint handler covers the whole page, so nothing is erased first (no flicker).
    setAttribute(Qt::WA_OpaquePaintEvent);
    // Every control but edit fields and lists gets the panel colours; those keep their base.
    QPalette colours = palette();
    colours.setColor(QPalette::Window, PanelPalette::kPanel);
    colours.setColor(QPalette::Button, PanelPalette::kPanel);
    colours.setColor(QPalette::WindowText, Qt::black);
    colours.setColor(QPalette::ButtonText, Qt::black);
    setPalette(colours);
    resize(PageSize(units));
    toolTip = new CToolTipControl(this);
    BuildFrameworkControls();
}

CPageDialog::~CPageDialog() = default;

QSize CPageDialog::PageSize(const DialogBaseUnits& units) {
    const PixelRect size = DialogToPixels(kPageSize, units);
    return {size.Width(), size.Height()};
}

void CPageDialog::PlaceControl(QWidget* child, int x, int y, int width, int height) const {
    PlaceInDialogUnits(child, x, y, width, height, units);
}

void CPageDialog::BuildFrameworkControls() {
    const auto place = [this](QWidget* child, int id) {
        const DialogRect r = PagePlaceOf(id);
        PlaceControl(child, r.x, r.y, r.width, r.height);
    };
    onlineButton = new CColorButton(QStringLiteral("Online"), this);
    offlineButton = new CColorButton(QStringLiteral("Offline"), this);
    deviceButton = new CColorButton(QStringLiteral("Device"), this);
    presetButton = new CColorButton(QStringLiteral("Preset"), this);
    deviceName = new QLabel(this);
    presetName = new QLabel(this);
    place(onlineButton, page_id::kOnline);
    place(offlineButton, page_id::kOffline);
    place(deviceButton, page_id::kDevice);
    place(presetButton, page_id::kPreset);
    place(deviceName, page_id::kDeviceName);
    place(presetName, page_id::kPresetName);
    for (QLabel* label : {deviceName, presetName}) {
        label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
        label->setIndent(units.x / 2);
        label->setTextFormat(Qt::PlainText);
    }
    connect(onlineButton, &CColorButton::clicked, this, &CPageDialog::OnOnlineButton);
    connect(offlineButton, &CColorButton::clicked, this, &CPageDialog::OnOfflineButton);
    connect(deviceButton, &CColorButton::clicked, this, [this] { OnDeviceButton(); });
    connect(presetButton, &CColorButton::clicked, this, [this] { OnPresetButton(); });
}

void CPageDialog::Create() {
    if (created) return;
    created = true;
    OnInitDialog();
}

void CPageDialog::AddEditField(QWidget* field) {
    if (field != nullptr) editFields.push_back(field);
}

void CPageDialog::OnInitDialog() {
    for (QWidget* field : editFields) {
        field->setGeometry(ToQRect(ShrunkEditField(ToPixelRect(field->geometry()))));
        // The page draws the field's frame itself, in the border it freed.
        if (auto* edit = qobject_cast<QLineEdit*>(field)) edit->setFrame(false);
    }
    doc = host.HostDocument();
    toolTip->SetDelays(CToolTipControl::kDefaultAutoPopMs, CToolTipControl::kDefaultInitialMs);
    onlineButton->SetMomentary(false);
    offlineButton->SetMomentary(false);
}

void CPageDialog::OnOK() {}

void CPageDialog::OnCancel() {}

void CPageDialog::PaintArtwork(QPainter& /*painter*/) {}

void CPageDialog::PaintPage(QPainter& /*painter*/) {}

void CPageDialog::UpdatePage(int /*unused*/) {
    if (doc == nullptr) return;
    if (doc->Devices().CountPresentDevices() == 0) {
        deviceName->clear();
        presetName->clear();
    } else {
        deviceName->setText(DeviceLabelText(doc->Devices()));
        presetName->setText(PresetLabelText(doc->Devices()));
    }
    RefreshLatchState();
}

QString CPageDialog::DeviceLabelText(const DeviceTable& devices) {
    const int address = devices.CurrentAddress();
    return QStringLiteral("%1 - %2").arg(address).arg(
        NameToDisplay(devices.GetDeviceName(address)));
}

QString CPageDialog::PresetLabelText(const DeviceTable& devices) {
    const int preset = devices.CurrentPreset();
    return QStringLiteral("%1 - %2").arg(preset).arg(NameToDisplay(devices.GetPresetName(preset)));
}

void CPageDialog::RefreshLatchState() {
    const bool online = doc != nullptr && doc->IsOnline() != 0;
    onlineButton->SetLatched(online);
    offlineButton->SetLatched(!online);
}

void CPageDialog::RequestViewUpdate() {
    host.OnUpdate(1);
}

int CPageDialog::IsBlockInChain(int code) const {
    if (doc == nullptr) return 0;
    for (int slot = 0; slot < kChainSlotCount; ++slot) {
        if (doc->Edits().Get(ParamField::ChainSlot, kChannelA, slot) == code) return 1;
    }
    return 0;
}

void CPageDialog::ShowBlockPage(int code) {
    if (const auto command = ViewCommandOfBlock(code)) host.PostViewCommand(*command);
}

void CPageDialog::ClearSelectedBlocks() {
    selectedBlocks.fill(0);
}

void CPageDialog::SelectBlock(int code) {
    if (IsBlockCode(code)) selectedBlocks[static_cast<std::size_t>(code)] = 1;
}

int CPageDialog::SelectedBlockFlag(int code) const {
    return IsBlockCode(code) ? selectedBlocks[static_cast<std::size_t>(code)] : 0;
}

int CPageDialog::SelectedBlock() const {
    for (int code = 0; code < kBlockCodeCount; ++code) {
        if (selectedBlocks[static_cast<std::size_t>(code)] != 0) return code;
    }
    return -1;
}

void CPageDialog::OnDeviceButton() {
    if (doc == nullptr) return;
    if (host.RunSelectDeviceDialog(this)) RequestViewUpdate();
}

void CPageDialog::OnPresetButton() {
    if (doc == nullptr) return;
    // On Cancel the dialog itself brings back the preset that was current when it opened.
    host.RunSelectPresetDialog(this);
}

void CPageDialog::OnOnlineButton() {
    if (doc != nullptr && doc->IsOnline() == 0) host.RunFrameCommand(CommandId::WorkOnline);
    RefreshLatchState();
}

void CPageDialog::OnOfflineButton() {
    if (doc != nullptr && doc->IsOnline() != 0) host.RunFrameCommand(CommandId::WorkOnline);
    RefreshLatchState();
}

void CPageDialog::PaintBackground(QPainter& painter) {
    arvestra::PaintPicture(painter, PageBasePicture(width(), height(), units), font());
    PaintArtwork(painter);
}

void CPageDialog::DrawEditFrames(QPainter& painter) {
    const PanelPalette palette;
    for (QWidget* field : editFields) {
        FillRuns(painter, EditFrameRuns(ToPixelRect(field->geometry())), palette);
    }
}

void CPageDialog::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    PaintBackground(painter);
    DrawEditFrames(painter);
    PaintPage(painter);
}

void CPageDialog::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
            OnOK();
            event->accept();
            return;
        case Qt::Key_Escape:
            OnCancel();
            event->accept();
            return;
        default:
            QWidget::keyPressEvent(event);
    }
}

}  // namespace arvestra
