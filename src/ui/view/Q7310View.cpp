#include "ui/view/Q7310View.h"

#include <QLabel>
#include <QLayout>
#include <QPaintEvent>
#include <QPainter>
#include <QTimer>

#include <algorithm>

#include "app/CommandId.h"
#include "document/CQ7310Doc.h"
#include "ui/controls/ColorButton.h"
#include "ui/controls/LedIndicator.h"
#include "ui/controls/LevelMeter.h"
#include "ui/controls/PanelPalette.h"
#include "ui/controls/PanelSlider.h"
#include "ui/dialogs/DevUtilitiesDialog.h"
#include "ui/dialogs/EditDeviceListDialog.h"
#include "ui/dialogs/SelectDeviceDialog.h"
#include "ui/dialogs/SelectPresetDialog.h"
#include "ui/pages/CompLimPage.h"
#include "ui/pages/ConfigPage.h"
#include "ui/pages/DelayPage.h"
#include "ui/pages/GraphicEqPage.h"
#include "ui/pages/ParametricEqPage.h"
#include "ui/pages/PicturePainter.h"
#include "ui/pages/ToolTipControl.h"
#include "ui/shell/DisplayChecks.h"
#include "ui/shell/MainFrame.h"
#include "ui/view/StripPicture.h"
#include "ui/view/StripValues.h"
#include "ui/view/ViewLayout.h"
#include "ui/wizard/CopyWiz.h"

namespace arvestra {

namespace {

const QColor kChainFace{0x55, 0x7F, 0xFF};
const QColor kChainFaceCurrent{0xFF, 0x00, 0x00};
const QColor kReductionLit{0x80, 0x00, 0x00};
const QColor kReductionUnlit{0xFF, 0x00, 0x00};
const QColor kOnlineText{0x00, 0xFF, 0x00};
const QColor kOfflineText{0xFF, 0x00, 0x00};

// The level field and channel behind each slider, in refresh order.
struct SliderField {
    ParamField field;
    int channel;
};
constexpr std::array<SliderField, 4> kSliderFields{{{ParamField::InputLevel, kChannelA},
                                                    {ParamField::InputLevel, kChannelB},
                                                    {ParamField::OutputLevel, kChannelA},
                                                    {ParamField::OutputLevel, kChannelB}}};

QRect ToQRectOf(const PixelRect& r) {
    return ToQRect(r);
}

PixelRect ToPixelRect(const QRect& r) {
    return {r.x(), r.y(), r.x() + r.width(), r.y() + r.height()};
}

int PageIndex(PageKind kind) {
    return std::clamp(static_cast<int>(kind), 0, kPageCount - 1);
}

}  // namespace

CQ7310View::CQ7310View(CQ7310Doc& document, CAppSettings& appSettings, QWidget* parent)
    : QWidget(parent), doc(document), settings(appSettings) {
    units = MeasureBaseUnits(font());
    pictureRect = PictureRect(units);
    picture = ComputeStripPicture(units);
    const PixelRect form = DialogToPixels(kFormSize, units);
    setFixedSize(form.Width(), form.Height());
    toolTip = new CToolTipControl(this);
    BuildControls();
    editListener = doc.Edits().Listen([this](const EditEvent& event) { FollowEdit(event); });
}

CQ7310View::~CQ7310View() {
    doc.Edits().Unlisten(editListener);
}

void CQ7310View::FollowEdit(const EditEvent& event) {
    // A page shows its own edits as it makes them; a replacement, a read-back and a new record
    // come with a refresh of their own.
    switch (event.reason) {
        case EditReason::Page:
        case EditReason::DeviceRead:
        case EditReason::DeviceSetup:
            return;
        default:
            break;
    }
    if (event.replaced || event.image != 0 || refreshQueued) return;
    refreshQueued = true;
    QTimer::singleShot(0, this, [this] {
        refreshQueued = false;
        if (initialised) OnUpdate(static_cast<int>(ViewHint::Change));
    });
}

void CQ7310View::BuildControls() {
    const auto place = [this](QWidget* widget, int id) {
        widget->setGeometry(ToQRectOf(FormPixels(id, units)));
    };
    onlineLabel = new QLabel(QStringLiteral("Offline"), this);
    onlineLabel->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    onlineLabel->setAutoFillBackground(true);
    place(onlineLabel, view_id::kOnlineLabel);
    RefreshOnlineLabel();

    lamps[0] = new CLedIndicator(this);
    lamps[1] = new CLedIndicator(this);
    place(lamps[0], view_id::kLamp1);
    place(lamps[1], view_id::kLamp2);

    for (std::size_t slot = 0; slot < chainButtons.size(); ++slot) {
        auto* button = new CColorButton(this);
        place(button, kChainButtonIds[slot]);
        button->setVisible(false);
        button->setFocusPolicy(Qt::NoFocus);
        connect(button, &CColorButton::clicked, this,
                [this, slot] { OnChainButton(static_cast<int>(slot)); });
        chainButtons[slot] = button;
    }
    editButton = new CColorButton(QStringLiteral("Edit"), this);
    place(editButton, view_id::kEditButton);
    connect(editButton, &CColorButton::clicked, this, [this] { ShowConfiguration(); });

    for (std::size_t i = 0; i < meters.size(); ++i) {
        meters[i] = new CLevelMeter(this);
        place(meters[i], kMeterIds[i]);
    }
    for (std::size_t i = 0; i < sliders.size(); ++i) {
        sliders[i] = new CPanelSlider(this);
        sliders[i]->SetWheelRaises(true);  // wheel up raises the level
        place(sliders[i], kLevelSliderIds[i]);
        connect(sliders[i], &CPanelSlider::userMoved, this,
                [this, i](int value) { OnSliderMoved(static_cast<int>(i), value); });
    }
}

CPageDialog* CQ7310View::Page(PageKind kind) const {
    if (kind == PageKind::EqForBlock) return nullptr;
    return pages[static_cast<std::size_t>(PageIndex(kind))];
}

CPageDialog* CQ7310View::VisiblePage() const {
    for (CPageDialog* page : pages) {
        if (page != nullptr && page->isVisibleTo(this)) return page;
    }
    return nullptr;
}

CPanelSlider* CQ7310View::LevelSlider(int index) const {
    if (index < 0 || index >= static_cast<int>(sliders.size())) return nullptr;
    return sliders[static_cast<std::size_t>(index)];
}

CLevelMeter* CQ7310View::Meter(int id) const {
    for (std::size_t i = 0; i < kMeterIds.size(); ++i) {
        if (kMeterIds[i] == id) return meters[i];
    }
    return nullptr;
}

CLedIndicator* CQ7310View::Lamp(int channel) const {
    return channel == 0 || channel == 1 ? lamps[static_cast<std::size_t>(channel)] : nullptr;
}

CColorButton* CQ7310View::ChainButton(int slot) const {
    if (slot < 0 || slot >= kChainSlotCount) return nullptr;
    return chainButtons[static_cast<std::size_t>(slot)];
}

QString CQ7310View::SliderTipText(int index) const {
    const CPanelSlider* slider = LevelSlider(index);
    return slider != nullptr ? QString::fromStdString(LevelText(slider->value())) : QString();
}

bool CQ7310View::AnyDevicePresent() const {
    return doc.Devices().CountPresentDevices() > 0;
}

// ---- First showing -----------------------------------------------------------------------

void CQ7310View::OnInitialUpdate() {
    // The form's own initial update: a full refresh, as every newly loaded document gets.
    OnUpdate(0);
    if (initialised) return;
    CDisplayChecks::CheckFonts(this, settings);
    for (CColorButton* button : chainButtons) {
        button->SetFaceColor(kChainFace);
        button->SetTextColor(Qt::white);
    }
    for (const int id : {view_id::kReduction1H, view_id::kReduction1L, view_id::kReduction2H,
                         view_id::kReduction2L}) {
        // The bright part is the unlit part: it grows from the right end as reduction rises.
        Meter(id)->SetAllZoneColors(kReductionLit, kReductionUnlit);
        Meter(id)->SetRange(0, kReductionMeterMax);
        Meter(id)->SetPosition(kReductionMeterMax);
    }
    for (const int id : {view_id::kInputMeter1, view_id::kInputMeter2}) {
        Meter(id)->SetRange(0, kInputMeterMax);
    }
    for (const int id : {view_id::kOutputMeter1, view_id::kOutputMeter2}) {
        Meter(id)->SetRange(0, kOutputMeterMax);
    }
    for (CPanelSlider* slider : sliders) {
        const QSignalBlocker quiet(slider);
        slider->setRange(kLevelCodeMin, kLevelCodeMax);
    }
    FitFrameToPicture();
    CreatePages();
    devUtils = new CDevUtilitiesDialog(doc, this);
    devUtils->hide();

    std::array<PixelRect, kChainSlotCount> buttons{};
    for (std::size_t slot = 0; slot < buttons.size(); ++slot) {
        buttons[slot] = ToPixelRect(chainButtons[slot]->geometry());
    }
    chainGeometry = ComputeChainGeometry(buttons);
    initialised = true;

    toolTip->SetDelays(CToolTipControl::kDefaultAutoPopMs, CToolTipControl::kDefaultInitialMs);
    for (int i = 0; i < static_cast<int>(sliders.size()); ++i) {
        toolTip->AddTool(sliders[static_cast<std::size_t>(i)],
                         [this, i] { return SliderTipText(i); });
    }
    ShowPage(PageKind::Configuration, 0);
    OnUpdate(1);
}

void CQ7310View::FitFrameToPicture() {
    const PixelPoint client = ViewClientSizeForPicture(pictureRect);
    setFixedSize(client.x, client.y);
    // The frame is fitted to this size, within its screen, when the shell places it.
    updateGeometry();
}

void CQ7310View::CreatePages() {
    pages[static_cast<std::size_t>(PageKind::Configuration)] = new CConfigPage(*this, this);
    pages[static_cast<std::size_t>(PageKind::Delay)] = new CDelayPage(*this, this);
    pages[static_cast<std::size_t>(PageKind::GraphicEq)] = new CGraphicEqPage(*this, this);
    pages[static_cast<std::size_t>(PageKind::CompLim)] = new CCompLimPage(*this, this);
    pages[static_cast<std::size_t>(PageKind::ParametricEq)] = new CParametricEqPage(*this, this);
    const QRect area = ToQRectOf(PageAreaRect(units));
    // Created in the order configuration, delay, graphic EQ, compressor/limiter, parametric EQ.
    for (const PageKind kind : {PageKind::Configuration, PageKind::Delay, PageKind::GraphicEq,
                                PageKind::CompLim, PageKind::ParametricEq}) {
        CPageDialog* page = Page(kind);
        page->setGeometry(area);
        page->Create();
    }
}

// ---- Pages and the chain map -------------------------------------------------------------

PageKind CQ7310View::ResolveKind(PageKind kind, int block) const {
    if (kind != PageKind::EqForBlock) return kind;
    EqPageInputs inputs;
    for (int channel = 0; channel < 2; ++channel) {
        const auto c = static_cast<std::size_t>(channel);
        inputs.parametric[c] = doc.Edits().Get(ParamField::EqType, channel) == 1;
        for (int code = 0; code < kBlockCodeCount; ++code) {
            inputs.inChain[c][static_cast<std::size_t>(code)] =
                doc.ChainHoldsKind(channel, code) != 0;
        }
    }
    return ResolveEqPage(block, inputs);
}

void CQ7310View::ShowPage(PageKind kind, int block) {
    if (block != 0 && block == currentBlock) return;
    currentBlock = block;
    if (!initialised) return;
    Page(PageKind::Configuration)->ClearSelectedBlocks();
    const PageKind target = ResolveKind(kind, block);
    CPageDialog* shown = Page(target);
    shown->ClearSelectedBlocks();
    shown->SelectBlock(target == PageKind::Configuration ? 0 : block);
    // Hide first, so that two pages are never on screen together.
    for (CPageDialog* page : pages) {
        if (page != shown) page->setVisible(false);
    }
    shown->setVisible(true);
    shown->UpdatePage(0);
    RefreshChainButtons();
}

void CQ7310View::ShowConfiguration() {
    ShowPage(PageKind::Configuration, 0);
    currentBlock = 0;
    RefreshChainButtons();
}

void CQ7310View::RefreshChainButtons() {
    if (!initialised) return;
    editButton->setEnabled(currentBlock != 0);
    for (int slot = 0; slot < kChainSlotCount; ++slot) {
        CColorButton* button = chainButtons[static_cast<std::size_t>(slot)];
        const int code = doc.Edits().Get(ParamField::ChainSlot, kChannelA, slot);
        if (code == 0) {
            button->setVisible(false);
            continue;
        }
        button->SetFaceColor(code == currentBlock ? kChainFaceCurrent : kChainFace);
        button->setText(QString::fromLatin1(ChainButtonLabel(code)));
        button->setVisible(true);
    }
    update(ToQRectOf(chainGeometry.area));
}

void CQ7310View::OnChainButton(int slot) {
    const int code = doc.Edits().Get(ParamField::ChainSlot, kChannelA, slot);
    if (const auto command = ViewCommandOfBlock(code)) RunViewCommand(*command);
}

bool CQ7310View::RunViewCommand(CommandId id) {
    const BlockEntry* entry = FindBlockByCommand(id);
    if (entry == nullptr) return false;
    // A posted View command of a block that left the chain meanwhile is dropped, as its
    // greyed menu entry would be.
    if (doc.IsKindConfigured(entry->code) != 0) ShowPage(entry->kind, entry->code);
    return true;
}

// ---- Commands --------------------------------------------------------------------------------

bool CQ7310View::OnCommand(CommandId id) {
    switch (id) {
        case CommandId::ViewDeviceConfiguration:
        case CommandId::ViewEditButton:
            ShowConfiguration();
            return true;
        case CommandId::EditDeviceList:
            if (doc.IsOnline() == 0) {
                CEditDeviceListDialog::Run(doc, this);
                doc.Ui().DocumentChanged();
            }
            return true;
        case CommandId::EditSaveCurrentPreset:
            if (doc.Devices().PresetModified() != 0) doc.StorePreset();
            return true;
        case CommandId::MeterRefresh:
            OnMeterRefresh();
            return true;
        case CommandId::ShowDevUtilities:
            ShowDevUtilities();
            return true;
        case CommandId::EditCopy:
            RunCopyWizard();
            return true;
        default:
            return RunViewCommand(id);
    }
}

bool CQ7310View::CommandState(CommandId id, bool& enabled, bool& checked) {
    checked = false;
    switch (id) {
        case CommandId::ViewDeviceConfiguration:
            enabled = true;
            checked = currentBlock == 0;
            return true;
        case CommandId::EditDeviceList:
            enabled = doc.IsOnline() == 0;
            return true;
        case CommandId::EditSaveCurrentPreset:
            enabled = doc.Devices().PresetModified() != 0;
            return true;
        case CommandId::EditCopy:
            enabled = true;
            return true;
        default:
            break;
    }
    const BlockEntry* entry = FindBlockByCommand(id);
    if (entry == nullptr) return false;
    enabled = doc.IsKindConfigured(entry->code) != 0;
    checked = enabled && currentBlock == entry->code;
    return true;
}

void CQ7310View::PostViewCommand(CommandId command) {
    doc.Ui().PostViewCommand(command);
}

void CQ7310View::RunFrameCommand(CommandId command) {
    if (auto* frame = qobject_cast<CMainFrame*>(window())) frame->OnCommand(command);
}

void CQ7310View::ShowDevUtilities() {
    if (devUtils == nullptr) return;
    devUtils->Bind(Page(PageKind::GraphicEq), Page(PageKind::ParametricEq));
    devUtils->Refresh();
    devUtils->show();
    devUtils->raise();
    devUtils->activateWindow();
}

void CQ7310View::RunCopyWizard() {
    CCopyWiz wizard(doc, this);
    wizard.exec();
}

// ---- Updates -----------------------------------------------------------------------------

IPageDocument* CQ7310View::HostDocument() {
    return &doc;
}

bool CQ7310View::RunSelectDeviceDialog(QWidget* parent) {
    return CSelectDeviceDialog::Run(doc, parent);
}

void CQ7310View::RunSelectPresetDialog(QWidget* parent) {
    CSelectPresetDialog::Run(doc, parent);
}

void CQ7310View::OnUpdate(int hint) {
    if (devUtils != nullptr) devUtils->RefreshOnlineState();
    switch (hint) {
        case 0:
        case 1:
            FullRefresh();
            break;
        case 2:
            RefreshChainButtons();
            break;
        case 3:
            // A new, opened or re-initialised document: back to the configuration page, then
            // the full refresh of a newly loaded document (online label, sliders, all pages).
            if (initialised) ShowPage(PageKind::Configuration, 0);
            FullRefresh();
            break;
        default:
            break;
    }
}

void CQ7310View::FullRefresh() {
    if (initialised && doc.IsOnline() == 0) ShowMeters(false);
    if (!AnyDevicePresent()) return;
    RefreshOnlineLabel();
    if (initialised) {
        for (int i = 0; i < static_cast<int>(sliders.size()); ++i) RefreshSlider(i);
        RefreshChainButtons();
    }
    for (const PageKind kind : {PageKind::Configuration, PageKind::Delay, PageKind::GraphicEq,
                                PageKind::CompLim, PageKind::ParametricEq}) {
        if (CPageDialog* page = Page(kind)) page->UpdatePage(0);
    }
}

void CQ7310View::RefreshOnlineLabel() {
    const bool online = doc.IsOnline() != 0;
    onlineLabel->setText(online ? QStringLiteral("Online") : QStringLiteral("Offline"));
    QPalette colours = onlineLabel->palette();
    const QColor text = online ? kOnlineText : kOfflineText;
    if (colours.color(QPalette::WindowText) == text &&
        colours.color(QPalette::Window) == QColor(Qt::black)) {
        return;
    }
    colours.setColor(QPalette::Window, Qt::black);
    colours.setColor(QPalette::WindowText, text);
    onlineLabel->setPalette(colours);
}

void CQ7310View::RefreshSlider(int index) {
    const SliderField& source = kSliderFields[static_cast<std::size_t>(index)];
    CPanelSlider* slider = sliders[static_cast<std::size_t>(index)];
    slider->setValue(doc.Edits().Get(source.field, source.channel));
    toolTip->UpdateTipText(slider);
}

void CQ7310View::OnSliderMoved(int index, int value) {
    const SliderField& target = kSliderFields[static_cast<std::size_t>(index)];
    // The level operation clamps to 152..232, marks the bytes for the device and the preset
    // modified.
    doc.Edits().Set(target.field, target.channel, value);
    RefreshSlider(index);
    doc.SetModifiedFlag(true);
}

void CQ7310View::ShowMeters(bool live) {
    // Offline the meters are dark whatever the last poll left in the document: the flag can be
    // cleared (an error answered "continue offline", File New) before anything resets them.
    MeterReadings readings;
    if (live) {
        const MeterRecord polled = doc.Bus().Meters();
        readings.levelA = polled.levelA;
        readings.levelB = polled.levelB;
        readings.level2A = polled.level2A;
        readings.level2B = polled.level2B;
        readings.reduction1 = polled.reduction1;
        readings.reduction2 = polled.reduction2;
    }
    const std::array<int, 8> positions = MeterPositions(readings);
    for (std::size_t i = 0; i < meters.size(); ++i) meters[i]->SetPosition(positions[i]);
    lamps[0]->SetLit(live && doc.AnyIndicatorLit(kChannelA) != 0);
    lamps[1]->SetLit(live && doc.AnyIndicatorLit(kChannelB) != 0);
}

void CQ7310View::OnMeterRefresh() {
    ShowMeters(doc.IsOnline() != 0);

    // Follow a preset change made at the device. Only a real report counts: a refresh posted
    // before the first poll, or after going offline, carries no preset of the device.
    const bool online = doc.IsOnline() != 0;
    const int reported = doc.Bus().DevicePreset();
    if (online && reported >= 1 && reported <= 8 && reported != doc.Devices().CurrentPreset()) {
        doc.Devices().SetPresetModified(0);
        if (doc.RecallPreset(reported, true) == 0) return;
        OnUpdate(1);
    }
    // An error answered "continue offline" cleared the flag only; going offline formally closes
    // the link.
    if (doc.IsOnline() == 0) doc.App().SetOnline(0);
}

// ---- Painting --------------------------------------------------------------------------------

void CQ7310View::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    PaintPicture(painter, picture, font(), event->rect());
    if (initialised && AnyDevicePresent() &&
        event->rect().intersects(ToQRectOf(chainGeometry.area))) {
        PaintChainMap(painter);
    }
}

void CQ7310View::PaintChainMap(QPainter& painter) const {
    ChainTie tie;
    tie.enabled = doc.Edits().Get(ParamField::JoinOn) != 0;
    tie.direction = doc.Edits().Get(ParamField::JoinTarget);
    tie.position = {doc.Edits().Get(ParamField::JoinPosition, kChannelA, 0),
                    doc.Edits().Get(ParamField::JoinPosition, kChannelA, 1)};
    const ChainMapPicture map = ComputeChainMapPicture(chainGeometry, tie);
    painter.setPen(QPen(Qt::white, 1));
    painter.setBrush(Qt::white);
    for (const PixelRect& circle : map.circles) {
        painter.drawEllipse(QRect(circle.left, circle.top, circle.Width(), circle.Height()));
    }
    for (const ChainSegment& segment : map.segments) {
        painter.drawLine(segment.from.x, segment.from.y, segment.to.x, segment.to.y);
    }
}

}  // namespace arvestra
