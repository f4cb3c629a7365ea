#include "ui/pages/FilterPage.h"

#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QPolygonF>

#include <algorithm>
#include <cmath>

#include "app/CommandId.h"
#include "document/PageDocument.h"
#include "model/CurveDisplayOptions.h"
#include "model/FilterSettingsFromImage.h"
#include "model/ResponseDump.h"
#include "model/Scales.h"
#include "model/SignalPath.h"
#include "model/TypedNumber.h"
#include "model/ValueFormat.h"
#include "ui/controls/ColorButton.h"
#include "ui/controls/PanelPalette.h"
#include "ui/controls/PanelSlider.h"
#include "ui/pages/FilterPageGeometry.h"
#include "ui/pages/FilterPageShared.h"
#include "ui/pages/PageHost.h"
#include "ui/pages/PicturePainter.h"
#include "ui/pages/ToolTipControl.h"
#include "ui/shell/CurveExport.h"

namespace arvestra {

namespace {

const QColor kGraphBackground{0x00, 0x00, 0x00};
const QColor kGridLine{0x30, 0x38, 0x30};
const QColor kZeroLine{0x70, 0x78, 0x70};
const QColor kCurve{0x00, 0xFF, 0x00};
const QColor kReadoutText{0xC0, 0xFF, 0xC0};
const QColor kDotFill{0x00, 0xFF, 0x00};

constexpr int kLowPassKind = 0;
constexpr int kHighPassKind = 1;

int KindIndex(int section) {
    return SectionIsLowPass(section) ? kLowPassKind : kHighPassKind;
}

ParamField CutoffField(int section) {
    return SectionIsLowPass(section) ? ParamField::LpCutoff : ParamField::HpCutoff;
}

ParamField SlopeField(int section) {
    return SectionIsLowPass(section) ? ParamField::LpSlope : ParamField::HpSlope;
}

CurveKind SectionCurve(int section) {
    return SectionIsLowPass(section) ? CurveKind::LowPass : CurveKind::HighPass;
}

FieldBlock LinkBlockOf(CurveKind kind) {
    switch (kind) {
        case CurveKind::LowPass:
            return FieldBlock::LowPass;
        case CurveKind::HighPass:
            return FieldBlock::HighPass;
        case CurveKind::Graphic:
        case CurveKind::Parametric:
            break;
    }
    return FieldBlock::Equaliser;
}

// The EQ pages of one view share their state: the first one made creates it.
std::shared_ptr<FilterPageShared> FindShared(QWidget* parent, const CFilterPage* self) {
    if (parent != nullptr) {
        for (QObject* child : parent->children()) {
            auto* sibling = qobject_cast<CFilterPage*>(child);
            if (sibling != nullptr && sibling != self && sibling->SharedState() != nullptr) {
                return sibling->SharedState();
            }
        }
    }
    return std::make_shared<FilterPageShared>();
}

}  // namespace

CFilterPage::CFilterPage(int templateId, const EqPageTraits& traits, IPageHost& host,
                         QWidget* parent)
    : CPageDialog(templateId, host, parent),
      traits_(traits),
      dots_(static_cast<std::size_t>(std::max(traits.bands, 0))) {
    shared_ = FindShared(parent, this);
    // Hover and the read-out follow the pointer without a button held.
    setMouseTracking(true);
    BuildSections();
    BuildEqButtons();
}

CFilterPage::~CFilterPage() = default;

void CFilterPage::BuildSections() {
    for (int s = 0; s < kSectionCount; ++s) {
        Section& section = sections_[static_cast<std::size_t>(s)];
        const SectionPlaces places = SectionPlacesOf(s);
        section.slope12 = new CColorButton(QStringLiteral("12"), this);
        section.slope24 = new CColorButton(QStringLiteral("24"), this);
        section.edit = new QLineEdit(this);
        section.slider = new CPanelSlider(this);
        const auto place = [this](QWidget* w, const DialogRect& r) {
            PlaceControl(w, r.x, r.y, r.width, r.height);
        };
        place(section.slope12, places.slope12);
        place(section.slope24, places.slope24);
        place(section.edit, places.edit);
        place(section.slider, places.slider);
        section.edit->setAlignment(Qt::AlignRight);
        const QString caption = QString::fromLatin1(SectionCaption(s));
        section.edit->setAccessibleName(caption + QStringLiteral(" cut-off in Hz"));
        section.slider->setAccessibleName(caption + QStringLiteral(" cut-off"));
        section.edit->installEventFilter(this);
        connect(section.slope12, &CColorButton::clicked, this, [this, s] { OnSlopeButton(s, 0); });
        connect(section.slope24, &CColorButton::clicked, this, [this, s] { OnSlopeButton(s, 1); });
        connect(section.edit, &QLineEdit::editingFinished, this,
                [this, s] { CommitSectionEdit(s); });
        connect(section.slider, &CPanelSlider::userMoved, this,
                [this, s](int value) { OnSectionSlider(s, value); });
    }
    const std::array<DialogRect, 2> channelPlaces = {filter_button::kChannel1,
                                                     filter_button::kChannel2};
    for (int channel = 0; channel < 2; ++channel) {
        const auto c = static_cast<std::size_t>(channel);
        channelButtons_[c] =
            new CColorButton(channel == 0 ? QStringLiteral("Ch 1") : QStringLiteral("Ch 2"), this);
        const DialogRect& r = channelPlaces[c];
        PlaceControl(channelButtons_[c], r.x, r.y, r.width, r.height);
        connect(channelButtons_[c], &CColorButton::clicked, this,
                [this, channel] { OnChannelButton(channel); });
    }
}

void CFilterPage::BuildEqButtons() {
    eqBypass_ = AddEqButton("EQ Bypass", filter_button::kEqBypass);
    flat_ = AddEqButton("Flat", filter_button::kFlat);
    graphic_ = AddEqButton("Graphic", filter_button::kGraphic);
    parametric_ = AddEqButton("Parametric", filter_button::kParametric);
    connect(eqBypass_, &CColorButton::clicked, this, [this] { OnEqBypass(); });
    connect(flat_, &CColorButton::clicked, this, [this] { OnFlat(); });
    connect(graphic_, &CColorButton::clicked, this, [this] { OnEqType(0); });
    connect(parametric_, &CColorButton::clicked, this, [this] { OnEqType(1); });
}

void CFilterPage::AddBandSlider(CPanelSlider* slider, std::function<void(int position)> moved) {
    slider->installEventFilter(this);
    connect(slider, &CPanelSlider::userMoved, this, [moved](int position) { moved(position); });
    bandSliders_.push_back({slider, std::move(moved)});
    AddEditableControl(slider);
}

void CFilterPage::AddEditableControl(QWidget* control) {
    editableControls_.push_back(control);
}

CColorButton* CFilterPage::AddEqButton(const char* text, const DialogRect& place) {
    auto* button = new CColorButton(QString::fromLatin1(text), this);
    PlaceControl(button, place.x, place.y, place.width, place.height);
    AddEditableControl(button);
    return button;
}

void CFilterPage::OnInitDialog() {
    for (const Section& section : sections_) AddEditField(section.edit);
    CPageDialog::OnInitDialog();
    for (Section& section : sections_) {
        const QSignalBlocker quiet(section.slider);
        section.slider->setRange(0, 100);
        section.slope12->SetMomentary(false);
        section.slope24->SetMomentary(false);
    }
    for (CColorButton* button : channelButtons_) button->SetMomentary(false);
    for (CColorButton* button : {eqBypass_, graphic_, parametric_}) button->SetMomentary(false);
    path_.Clear();
    for (int band = 0; band < traits_.bands; ++band) {
        dots_[static_cast<std::size_t>(band)].rect = {0, 0, kDotSize, kDotSize};
        ToolTip().AddRectTool(this, band + 1, ToQRect(DotRectOf(band)),
                              [this, band] { return DotTipText(band); });
    }
    mapping_ = GraphMapping(GraphRectFor(Units()), traits_.graph);
    artwork_ = FilterPageArtwork(mapping_, traits_.labelDbStep, Units());
    AddPageArtwork(artwork_);
    EnsureGridPixels();
    // The pointer entering a control leaves the graph without a Leave to the page.
    for (QWidget* child : findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        child->installEventFilter(this);
    }
}

void CFilterPage::AddPageArtwork(Picture& /*picture*/) const {}

// ---- Shared state ------------------------------------------------------------------------

int CFilterPage::DisplayedChannel() const {
    return shared_->displayedChannel;
}

void CFilterPage::SetDisplayedChannel(int channel) {
    shared_->displayedChannel = channel == 0 ? 0 : 1;
    LatchChannelButtons();
    WalkPath();
    shared_->response.RequestFullRecompute();
    InvalidateGraphInterior();
}

bool CFilterPage::CurveSwitch() const {
    return shared_->curveSwitch;
}

void CFilterPage::SetCurveSwitch(bool on) {
    SharedCurveDisplayOptions().drawCurve = on;
    shared_->curveSwitch = on;
    shared_->response.RequestFullRecompute();
    InvalidateGraphInterior();
}

int CFilterPage::ExtraPoints() const {
    return shared_->response.ExtraPoints();
}

void CFilterPage::SetExtraPoints(int extraPoints) {
    shared_->response.SetExtraPoints(extraPoints);
    SharedCurveDisplayOptions().extraPoints = shared_->response.ExtraPoints();
    ++shared_->gridGeneration;
    EnsureGridPixels();
    InvalidateGraphInterior();
}

std::span<const float> CFilterPage::GridFrequencies() const {
    return shared_->response.Grid().Frequencies();
}

std::span<const double> CFilterPage::LevelsDb() const {
    return shared_->response.LevelsDb();
}

const FilterResponse& CFilterPage::Response() const {
    return shared_->response;
}

QRect CFilterPage::GraphRect() const {
    return ToQRect(ToPixelRect(mapping_.Rect()));
}

void CFilterPage::EnsureGridPixels() {
    const std::span<const float> hz = GridFrequencies();
    if (gridGenerationSeen_ == shared_->gridGeneration && gridX_.size() == hz.size()) return;
    gridGenerationSeen_ = shared_->gridGeneration;
    gridX_.resize(hz.size());
    gridY_.assign(hz.size(), mapping_.DbToY(0.0));
    for (std::size_t i = 0; i < hz.size(); ++i) gridX_[i] = mapping_.FrequencyToX(hz[i]);
    shared_->response.RequestFullRecompute();
    OnGridRebuilt();
}

// ---- Controls ----------------------------------------------------------------------------

CColorButton* CFilterPage::SlopeButton(int section, int slope) const {
    if (section < 0 || section >= kSectionCount) return nullptr;
    const Section& s = sections_[static_cast<std::size_t>(section)];
    return slope == 0 ? s.slope12 : s.slope24;
}

QLineEdit* CFilterPage::SectionEdit(int section) const {
    if (section < 0 || section >= kSectionCount) return nullptr;
    return sections_[static_cast<std::size_t>(section)].edit;
}

CPanelSlider* CFilterPage::SectionSlider(int section) const {
    if (section < 0 || section >= kSectionCount) return nullptr;
    return sections_[static_cast<std::size_t>(section)].slider;
}

CColorButton* CFilterPage::ChannelButton(int channel) const {
    return channel == 0 || channel == 1 ? channelButtons_[static_cast<std::size_t>(channel)]
                                        : nullptr;
}

// ---- Refresh -----------------------------------------------------------------------------

bool CFilterPage::HasDocumentData() const {
    return Document() != nullptr && Document()->Devices().CountPresentDevices() > 0;
}

bool CFilterPage::IsShownPage() const {
    return parentWidget() != nullptr ? isVisibleTo(parentWidget()) : isVisible();
}

std::span<const std::uint8_t, kPresetImageSize> CFilterPage::Image() const {
    return std::span<const std::uint8_t, kPresetImageSize>(Document()->Edits().Data(),
                                                           kPresetImageSize);
}

void CFilterPage::UpdatePage(int hint) {
    CPageDialog::UpdatePage(hint);
    if (!HasDocumentData()) return;
    FollowDisplayOptions();
    EnsureGridPixels();
    shared_->response.RequestFullRecompute();
    InvalidateGraphInterior();
    RefreshFrequencies();
    RefreshSlopes();
    WalkPath();
    // A hidden page leaves the shared channel alone: it belongs to the page on screen.
    if (IsShownPage()) AutoDisplayChannel();
    LatchChannelButtons();
    RefreshPathDependents();
    // Opened for an EQ of the other type: the view is asked for the other page.
    const BlockCode openedFor[] = {BlockCode::EqA, BlockCode::EqB};
    for (int channel = 0; channel < 2; ++channel) {
        if (IsShownPage() && IsOpenedFor(openedFor[channel]) &&
            Document()->Edits().Get(ParamField::EqType, channel) != traits_.eqType) {
            editedChannel_ = channel;
            OnEqType(1 - traits_.eqType);
            break;
        }
    }
    RefreshEqButtons();
    RefreshBands();
    ApplyFocus();
}

void CFilterPage::RefreshEqButtons() {
    graphic_->SetLatched(traits_.eqType == 0);
    parametric_->SetLatched(traits_.eqType == 1);
    eqBypass_->SetLatched(Document()->Edits().Get(ParamField::EqBypass, editedChannel_) != 0);
}

void CFilterPage::FollowDisplayOptions() {
    // The development utilities switch the curve and the grid density for every EQ page at once.
    const CurveDisplayOptions& options = SharedCurveDisplayOptions();
    if (options.extraPoints != ExtraPoints()) SetExtraPoints(options.extraPoints);
    if (options.drawCurve != CurveSwitch()) SetCurveSwitch(options.drawCurve);
}

std::string CFilterPage::ResponseDump() {
    if (!HasDocumentData()) return {};
    ComputeResponseNow();
    return FormatResponseDump(GridFrequencies(), LevelsDb(), Mapping());
}

void CFilterPage::ComputeResponseNow() {
    FollowDisplayOptions();
    // Lists and exports show computed levels even while the curve is switched off.
    EnsureGridPixels();
    shared_->response.Update(path_, FilterSettingsFromImage(Image()));
}

std::vector<CurvePoint> CFilterPage::DisplayedCurve() {
    std::vector<CurvePoint> curve;
    if (!HasDocumentData()) return curve;
    ComputeResponseNow();
    const std::span<const float> hz = GridFrequencies();
    const std::span<const double> db = LevelsDb();
    curve.reserve(hz.size());
    for (std::size_t i = 0; i < hz.size() && i < db.size(); ++i) curve.push_back({hz[i], db[i]});
    return curve;
}

void CFilterPage::contextMenuEvent(QContextMenuEvent* event) {
    event->accept();
    // On the graph the right button draws across the bands: no menu there.
    if (event->reason() == QContextMenuEvent::Mouse && GraphRect().contains(event->pos())) return;
    if (!HasDocumentData()) return;
    QMenu menu(this);
    connect(menu.addAction(QStringLiteral("&Export Curve...")), &QAction::triggered, this, [this] {
        const QString title = QStringLiteral("Ch %1 response").arg(DisplayedChannel() + 1);
        CCurveExport::Ask(this, DisplayedCurve(), title);
    });
    menu.addSeparator();
    const int channel = DisplayedChannel();
    const bool loaded = Overlay(channel).Loaded();
    connect(menu.addAction(QStringLiteral("&Load Measurement...")), &QAction::triggered, this,
            [this] { AskLoadMeasurement(); });
    QAction* normalise = menu.addAction(QStringLiteral("&Normalise Measurement..."));
    normalise->setEnabled(loaded);
    connect(normalise, &QAction::triggered, this, [this] { AskNormalisation(); });
    QAction* clear = menu.addAction(QStringLiteral("&Clear Measurement"));
    clear->setEnabled(loaded);
    connect(clear, &QAction::triggered, this, [this, channel] { ClearMeasurement(channel); });
    QAction* fit = menu.addAction(QStringLiteral("&Fit to Measurement..."));
    fit->setEnabled(loaded && IsEditable());
    connect(fit, &QAction::triggered, this, [this] { AskFit(); });
    AddContextActions(menu);
    menu.exec(event->globalPos());
}

void CFilterPage::RefreshPathDependents() {
    for (int s = 0; s < kSectionCount; ++s) {
        const bool present = IsPresent(SectionChannel(s), SectionCurve(s));
        const Section& section = sections_[static_cast<std::size_t>(s)];
        for (QWidget* control : std::initializer_list<QWidget*>{section.slope12, section.slope24,
                                                                section.edit, section.slider}) {
            control->setEnabled(present);
        }
    }
    ChooseEditedChannel();
    for (QWidget* control : editableControls_) control->setEnabled(editable_);
    if (!DotsMovable()) EndGesture();
}

void CFilterPage::ChooseEditedChannel() {
    if (!IsBlockInChain(BlockCode::EqA) && !IsBlockInChain(BlockCode::EqB)) {
        editable_ = false;
        return;
    }
    if (IsOpenedFor(BlockCode::EqA)) {
        editedChannel_ = 0;
    } else if (IsOpenedFor(BlockCode::EqB)) {
        editedChannel_ = 1;
    } else {
        // Opened for a filter in the displayed path: the channel whose equaliser is there too,
        // when only one is.
        bool filterShown = false;
        for (int channel = 0; channel < 2; ++channel) {
            filterShown =
                filterShown ||
                (IsOpenedFor(LowPassBlockOf(channel)) && IsPresent(channel, CurveKind::LowPass)) ||
                (IsOpenedFor(HighPassBlockOf(channel)) && IsPresent(channel, CurveKind::HighPass));
        }
        const bool a = IsPresent(0, traits_.curve);
        const bool b = IsPresent(1, traits_.curve);
        if (filterShown && a != b) editedChannel_ = a ? 0 : 1;
    }
    editable_ = IsPresent(editedChannel_, traits_.curve);
}

void CFilterPage::RefreshFrequencies() {
    std::array<std::array<bool, 2>, 2> changed{};
    for (int s = 0; s < kSectionCount; ++s) {
        const int channel = SectionChannel(s);
        const int code = Document()->Edits().Get(CutoffField(s), channel);
        Section& section = sections_[static_cast<std::size_t>(s)];
        // What the user is typing stays until it is committed.
        if (!(section.edit->hasFocus() && section.edit->isModified())) {
            section.edit->setText(
                QString::fromStdString(FormatCutoff(valueOf(Scale::Frequency, code))));
        }
        {
            const QSignalBlocker quiet(section.slider);
            section.slider->setValue(code);
        }
        int& shown =
            shownCutoff_[static_cast<std::size_t>(KindIndex(s))][static_cast<std::size_t>(channel)];
        if (shown != code)
            changed[static_cast<std::size_t>(KindIndex(s))][static_cast<std::size_t>(channel)] =
                true;
        shown = code;
    }
    for (int s = 0; s < kSectionCount; ++s) {
        if (changed[static_cast<std::size_t>(KindIndex(s))]
                   [static_cast<std::size_t>(SectionChannel(s))]) {
            MarkCurveDirty(SectionChannel(s), SectionCurve(s));
        }
    }
    InvalidateGraphInterior();
}

void CFilterPage::RefreshSlopes() {
    std::array<std::array<bool, 2>, 2> changed{};
    for (int s = 0; s < kSectionCount; ++s) {
        const int channel = SectionChannel(s);
        const int slope = Document()->Edits().Get(SlopeField(s), channel);
        Section& section = sections_[static_cast<std::size_t>(s)];
        section.slope12->SetLatched(slope == 0);
        section.slope24->SetLatched(slope == 1);
        int& shown =
            shownSlope_[static_cast<std::size_t>(KindIndex(s))][static_cast<std::size_t>(channel)];
        if (shown != slope)
            changed[static_cast<std::size_t>(KindIndex(s))][static_cast<std::size_t>(channel)] =
                true;
        shown = slope;
    }
    for (int s = 0; s < kSectionCount; ++s) {
        if (changed[static_cast<std::size_t>(KindIndex(s))]
                   [static_cast<std::size_t>(SectionChannel(s))]) {
            MarkCurveDirty(SectionChannel(s), SectionCurve(s));
        }
    }
    InvalidateGraphInterior();
}

void CFilterPage::WalkPath() {
    // The path is walked whether or not the curve is drawn: what is editable depends on it.
    if (!HasDocumentData()) return;
    path_ = WalkSignalPath(Image(), DisplayedChannel()).curves;
}

void CFilterPage::AutoDisplayChannel() {
    struct Pair {
        BlockCode block;
        int channel;
        CurveKind kind;
    };
    static constexpr std::array<Pair, 8> kPairs{{{BlockCode::EqA, 0, CurveKind::Graphic},
                                                 {BlockCode::EqB, 1, CurveKind::Graphic},
                                                 {BlockCode::EqA, 0, CurveKind::Parametric},
                                                 {BlockCode::EqB, 1, CurveKind::Parametric},
                                                 {BlockCode::LowPassA, 0, CurveKind::LowPass},
                                                 {BlockCode::LowPassB, 1, CurveKind::LowPass},
                                                 {BlockCode::HighPassA, 0, CurveKind::HighPass},
                                                 {BlockCode::HighPassB, 1, CurveKind::HighPass}}};
    for (const Pair& pair : kPairs) {
        if (!IsOpenedFor(pair.block) || IsPresent(pair.channel, pair.kind)) continue;
        SetDisplayedChannel(1 - DisplayedChannel());
        if (!IsPresent(pair.channel, pair.kind)) SetDisplayedChannel(1 - DisplayedChannel());
    }
}

void CFilterPage::LatchChannelButtons() {
    channelButtons_[0]->SetLatched(DisplayedChannel() == 0);
    channelButtons_[1]->SetLatched(DisplayedChannel() == 1);
}

void CFilterPage::ApplyFocus() {
    if (!IsShownPage()) return;
    QWidget* target = DefaultFocusWidget();
    for (int s = 0; s < kSectionCount; ++s) {
        const Section& section = sections_[static_cast<std::size_t>(s)];
        if (!IsOpenedFor(SectionBlock(s))) continue;
        // The block changed because its own edit took the focus: the user types there next.
        if (section.edit->hasFocus()) return;
        target = section.slider;
    }
    if (target != nullptr) target->setFocus(Qt::OtherFocusReason);
}

QWidget* CFilterPage::DefaultFocusWidget() const {
    return bandSliders_.empty() ? nullptr : bandSliders_.front().slider;
}

void CFilterPage::MarkCurveDirty(int channel, CurveKind kind) {
    if (Document() != nullptr && Document()->Edits().IsLinked(LinkBlockOf(kind))) {
        shared_->response.MarkDirty(0, kind);
        shared_->response.MarkDirty(1, kind);
        return;
    }
    shared_->response.MarkDirty(channel, kind);
}

// ---- Section input -----------------------------------------------------------------------

void CFilterPage::OnSectionSlider(int section, int value) {
    if (!HasDocumentData()) return;
    Document()->Edits().Set(CutoffField(section), SectionChannel(section), value);
    RefreshFrequencies();
    ShowBlockPage(SectionBlock(section));
}

void CFilterPage::StoreTypedCutoff(int section) {
    QLineEdit* edit = sections_[static_cast<std::size_t>(section)].edit;
    const double hz = ParseLeadingNumber(edit->text().toStdString());
    edit->setModified(false);
    Document()->Edits().Set(CutoffField(section), SectionChannel(section),
                            nearestCode(Scale::Frequency, hz));
}

void CFilterPage::CommitSectionEdit(int section) {
    if (!HasDocumentData()) return;
    StoreTypedCutoff(section);
    RefreshFrequencies();
}

void CFilterPage::OnOK() {
    if (!HasDocumentData()) return;
    // Every field is read before any is rewritten, so no typed text is lost to a refresh.
    for (int s = 0; s < kSectionCount; ++s) StoreTypedCutoff(s);
    RefreshFrequencies();
}

void CFilterPage::OnSlopeButton(int section, int slope) {
    if (!HasDocumentData()) return;
    Document()->Edits().Set(SlopeField(section), SectionChannel(section), slope);
    RefreshSlopes();
}

void CFilterPage::OnChannelButton(int channel) {
    if (!HasDocumentData()) return;
    SetDisplayedChannel(channel);
    RefreshPathDependents();
}

bool CFilterPage::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress &&
        StepBandSlider(watched, static_cast<QKeyEvent*>(event))) {
        return true;
    }
    if (event->type() == QEvent::Enter && watched != this) ClearReadout();
    if (event->type() == QEvent::FocusIn) {
        for (int s = 0; s < kSectionCount; ++s) {
            if (watched == sections_[static_cast<std::size_t>(s)].edit) {
                ShowBlockPage(SectionBlock(s));
            }
        }
    }
    return CPageDialog::eventFilter(watched, event);
}

bool CFilterPage::StepBandSlider(QObject* watched, QKeyEvent* key) {
    const bool up = key->key() == Qt::Key_Up;
    if ((!up && key->key() != Qt::Key_Down) || !(key->modifiers() & Qt::ShiftModifier)) {
        return false;
    }
    for (const BandSlider& band : bandSliders_) {
        CPanelSlider* slider = band.slider;
        if (watched != slider || !slider->isEnabled()) continue;
        // Up raises the value: a band slider's top end is its highest value.
        const int position = std::clamp(slider->value() + (up ? -kLargeKeyStep : kLargeKeyStep),
                                        slider->minimum(), slider->maximum());
        if (position != slider->value()) band.moved(position);
        return true;
    }
    return false;
}

// ---- The equaliser -----------------------------------------------------------------------

void CFilterPage::MarkBandsDirty() {
    MarkCurveDirty(editedChannel_, traits_.curve);
}

void CFilterPage::ShowEqPage() {
    ShowBlockPage(EqBlockOf(editedChannel_));
}

void CFilterPage::OnEqBypass() {
    if (!HasDocumentData()) return;
    Document()->Edits().ToggleFlag(ParamField::EqBypass, editedChannel_);
    eqBypass_->SetLatched(Document()->Edits().Get(ParamField::EqBypass, editedChannel_) != 0);
    MarkBandsDirty();
    ShowEqPage();
    InvalidateGraphInterior();
}

void CFilterPage::OnFlat() {
    if (!HasDocumentData()) return;
    FlattenBands();
    ShowEqPage();
}

void CFilterPage::OnEqType(int type) {
    if (!HasDocumentData() || type == traits_.eqType) return;
    graphic_->SetLatched(type == 0);
    parametric_->SetLatched(type == 1);
    Document()->Edits().Set(ParamField::EqType, editedChannel_, type);
    Host().PostViewCommand(CommandId::ViewDeviceConfiguration);
    ShowEqPage();
}

// ---- Dots --------------------------------------------------------------------------------

PixelPoint CFilterPage::DotCentre(int band) const {
    if (band < 0 || band >= traits_.bands) return {};
    return dots_[static_cast<std::size_t>(band)].centre;
}

PixelRect CFilterPage::DotRectOf(int band) const {
    if (band < 0 || band >= traits_.bands) return {};
    return dots_[static_cast<std::size_t>(band)].rect;
}

void CFilterPage::PlaceDot(int band, PixelPoint centre) {
    if (band < 0 || band >= traits_.bands) return;
    Dot& dot = dots_[static_cast<std::size_t>(band)];
    const PixelRect old = dot.rect;
    dot.centre = centre;
    dot.rect = DotRect(centre.x, centre.y);
    if (old != dot.rect) {
        ToolTip().AddRectTool(this, band + 1, ToQRect(dot.rect),
                              [this, band] { return DotTipText(band); });
    }
    MarkBandsDirty();
    InvalidateGraphInterior();
}

int CFilterPage::DotAt(const QPoint& point) const {
    for (int band = 0; band < traits_.bands; ++band) {
        if (DotRectOf(band).Contains(point.x(), point.y())) return band;
    }
    return -1;
}

void CFilterPage::RepaintDot(int band) {
    if (band >= 0 && band < traits_.bands) update(ToQRect(DotRectOf(band).Shrunk(-2)));
}

void CFilterPage::HoverDot(const QPoint& point) {
    const int band = DotAt(point);
    if (band == hoveredBand_) return;
    RepaintDot(hoveredBand_);
    RepaintDot(band);
    hoveredBand_ = band;
}

void CFilterPage::SetDraggedBand(int band) {
    RepaintDot(draggedBand_);
    draggedBand_ = band;
    RepaintDot(band);
    if (band < 0) hoveredBand_ = -1;
}

void CFilterPage::mouseDoubleClickEvent(QMouseEvent* event) {
    const int band = DotAt(event->position().toPoint());
    if (event->button() != Qt::LeftButton || !DotsMovable() || band < 0 || !HasDocumentData()) {
        CPageDialog::mouseDoubleClickEvent(event);
        return;
    }
    // A double click on a dot puts its band back to 0 dB.
    ResetBand(band);
    ShowEqPage();
    RepaintGraphNow();
    event->accept();
}

void CFilterPage::PaintDots(QPainter& painter) {
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setBrush(kDotFill);
    for (int band = 0; band < traits_.bands; ++band) {
        const PixelRect r = DotRectOf(band);
        const bool marked = band == hoveredBand_ || band == draggedBand_;
        painter.setPen(QPen(marked ? Qt::white : Qt::black, 1.0));
        painter.drawEllipse(QRectF(r.left + 0.5, r.top + 0.5, kDotSize - 1, kDotSize - 1));
    }
    painter.setBrush(Qt::NoBrush);
    painter.setRenderHint(QPainter::Antialiasing, false);
}

// ---- Painting ----------------------------------------------------------------------------

void CFilterPage::InvalidateGraphInterior() {
    update(ToQRect(GraphInterior(mapping_.Rect())));
}

void CFilterPage::RepaintGraphNow() {
    repaint(GraphRect());
}

void CFilterPage::BringResponseUpToDate() {
    if (!HasDocumentData() || !shared_->curveSwitch) return;
    EnsureGridPixels();
    shared_->response.Update(path_, FilterSettingsFromImage(Image()));
}

void CFilterPage::paintEvent(QPaintEvent* event) {
    paintDirty_ = event->rect();
    CPageDialog::paintEvent(event);
}

void CFilterPage::PaintArtwork(QPainter& painter) {
    PaintPicture(painter, artwork_, font(), paintDirty_);
    const QRect graph = GraphRect();
    painter.fillRect(graph, kGraphBackground);
    const GraphGrid grid = ComputeGraphGrid(mapping_, traits_.gridDbStep);
    for (const int x : grid.columns) painter.fillRect(x, graph.top(), 1, graph.height(), kGridLine);
    for (const int y : grid.rows) {
        painter.fillRect(graph.left(), y, graph.width(), 1,
                         y == grid.zeroRow ? kZeroLine : kGridLine);
    }
}

void CFilterPage::PaintPage(QPainter& painter) {
    // A grid rebuilt through the other page shows here at the next paint.
    EnsureGridPixels();
    painter.save();
    painter.setClipRect(GraphRect());
    if (shared_->curveSwitch && HasDocumentData()) {
        BringResponseUpToDate();
        const std::span<const double> levels = LevelsDb();
        const std::size_t count = std::min(levels.size(), gridX_.size());
        gridY_.resize(count);
        QPolygonF line;
        line.reserve(static_cast<qsizetype>(count));
        for (std::size_t i = 0; i < count; ++i) {
            gridY_[i] = mapping_.DbToY(levels[i]);
            // Through the pixel centres, so a flat stretch stays one crisp row.
            line.append(QPointF(gridX_[i] + 0.5, gridY_[i] + 0.5));
        }
        painter.setRenderHint(QPainter::Antialiasing, true);
        painter.setPen(QPen(kCurve, 1.0));
        painter.drawPolyline(line);
        painter.setRenderHint(QPainter::Antialiasing, false);
    }
    PaintOverlay(painter);
    painter.setPen(QPen(Qt::black, 1.0));
    PaintDots(painter);
    if (!readout_.isEmpty()) {
        painter.setPen(kReadoutText);
        painter.drawText(ReadoutRect(), Qt::AlignRight | Qt::AlignTop, readout_);
    }
    painter.restore();
}

QRect CFilterPage::ReadoutRect() const {
    const QRect graph = GraphRect();
    const int height = Units().y + 4;
    // As wide as the graph: with a measurement shown the read-out carries three levels.
    return {graph.left() + 4, graph.top() + 3, graph.width() - 8, height};
}

bool CFilterPage::InGraph(const QPoint& position) const {
    return GraphRect().contains(position);
}

void CFilterPage::UpdateReadout(const QPoint& position) {
    QString text;
    if (InGraph(position)) {
        // The levels of the curve as it is now, after whatever the pointer just changed.
        BringResponseUpToDate();
        const double hz = mapping_.XToFrequency(position.x());
        const double db = mapping_.YToDb(position.y());
        text = QString::asprintf(hz < 100.0 ? "%.1f Hz  %+.1f dB" : "%.0f Hz  %+.1f dB", hz, db);
        const std::span<const float> grid = GridFrequencies();
        const std::span<const double> levels = LevelsDb();
        if (shared_->curveSwitch && !grid.empty() && levels.size() == grid.size()) {
            const auto it = std::lower_bound(grid.begin(), grid.end(), static_cast<float>(hz));
            std::size_t i = static_cast<std::size_t>(it - grid.begin());
            if (i == grid.size() || (i > 0 && hz - grid[i - 1] < grid[i] - hz)) --i;
            text += QString::asprintf("  (curve %+.1f dB)", levels[i]);
            const OverlayCurves overlay = DisplayedOverlay();
            if (i < overlay.measuredDb.size() && !std::isnan(overlay.measuredDb[i])) {
                text += QString::asprintf("  measured %+.1f dB  result %+.1f dB",
                                          overlay.measuredDb[i], overlay.resultDb[i]);
            }
        }
    }
    if (text == readout_) return;
    readout_ = text;
    update(ReadoutRect());
}

void CFilterPage::ClearReadout() {
    if (readout_.isEmpty()) return;
    readout_.clear();
    update(ReadoutRect());
}

void CFilterPage::leaveEvent(QEvent* event) {
    ClearReadout();
    CPageDialog::leaveEvent(event);
}

void CFilterPage::showEvent(QShowEvent* event) {
    CPageDialog::showEvent(event);
    shared_->response.RequestFullRecompute();
    ApplyFocus();
}

void CFilterPage::hideEvent(QHideEvent* event) {
    // A gesture's button-up goes to whatever is on screen now; end it here instead.
    EndGesture();
    ClearReadout();
    CPageDialog::hideEvent(event);
}

}  // namespace arvestra
