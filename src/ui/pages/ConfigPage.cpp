// CConfigPage: controls, refresh and painting. Mouse and keyboard handling are in
// ConfigPageInput.cpp.
#include "ui/pages/ConfigPage.h"

#include <QFontInfo>
#include <QFontMetrics>
#include <QLabel>
#include <QPainter>

#include <algorithm>

#include "document/ChainRouting.h"
#include "document/PageDocument.h"
#include "model/Scales.h"
#include "model/ValueFormat.h"
#include "ui/controls/ColorButton.h"
#include "ui/controls/LedIndicator.h"
#include "ui/controls/PanelSlider.h"
#include "ui/pages/ChainCell.h"
#include "ui/pages/PicturePainter.h"
#include "ui/pages/ToolTipControl.h"

namespace arvestra {

namespace {

namespace L = config_layout;

const QColor kTileColor{0x55, 0x7F, 0xFF};
constexpr int kPinkLevelMax = 80;
constexpr int kTileToolIdBase = 1000;
// A tile name is not made smaller than this to fit its tile.
constexpr int kSmallestNamePixels = 7;

// The ten tiles in table order: code, channel, link group, display name, home palette frame.
struct TileSpec {
    int code;
    int channel;
    FieldBlock block;
    const char* name;
    int homeFrame;
};

constexpr std::array<TileSpec, CConfigPage::kTileCount> kTileSpecs{{
    {1, 0, FieldBlock::Equaliser, "Graphic", 0},
    {11, 0, FieldBlock::LowPass, "Low Pass", 1},
    {13, 0, FieldBlock::HighPass, "High Pass", 2},
    {5, 0, FieldBlock::CompLimiter, "Comp/Lim", 3},
    {3, 0, FieldBlock::Delay, "Delay", 4},
    {2, 1, FieldBlock::Equaliser, "Graphic", 6},
    {12, 1, FieldBlock::LowPass, "Low Pass", 7},
    {14, 1, FieldBlock::HighPass, "High Pass", 8},
    {8, 1, FieldBlock::CompLimiter, "Comp/Lim", 9},
    {4, 1, FieldBlock::Delay, "Delay", 10},
}};

ParamField MasterField(FieldBlock block) {
    switch (block) {
        case FieldBlock::LowPass:
            return ParamField::LpMaster;
        case FieldBlock::HighPass:
            return ParamField::HpMaster;
        case FieldBlock::Delay:
            return ParamField::DelayMaster;
        case FieldBlock::CompLimiter:
            return ParamField::ClMaster;
        default:
            return ParamField::EqMaster;
    }
}

QRect ToQ(const PixelRect& r) {
    return {r.left, r.top, r.Width(), r.Height()};
}

std::size_t At(int i) {
    return static_cast<std::size_t>(i);
}

}  // namespace

CConfigPage::CConfigPage(IPageHost& host, QWidget* parent)
    : CPageDialog(kTemplateId, host, parent) {
    cellTile.fill(-1);
    frameTile.fill(-1);
    // Plain moves must arrive too: one after a lost button-up is how a stale drag is noticed.
    setMouseTracking(true);
}

CConfigPage::~CConfigPage() = default;

// ---- Initialisation ------------------------------------------------------------------------

void CConfigPage::OnInitDialog() {
    BuildControls();
    BuildTiles();
    ConnectControls();
    CPageDialog::OnInitDialog();
    ToolTip().AddTool(slider, [this] { return LevelTipText(); });
    for (int t = 0; t < kTileCount; ++t) PlaceTile(t, tiles[At(t)].rect);
}

void CConfigPage::BuildControls() {
    const DialogBaseUnits& units = Units();
    for (int i = 0; i < kConfigCells; ++i) {
        cellRects[At(i)] = CellRect(i, units);
        cells[At(i)] = new CChainCell(CChainCell::Kind::Cell, i, this);
        cells[At(i)]->setGeometry(ToQ(cellRects[At(i)]));
        cells[At(i)]->installEventFilter(this);
        cells[At(i)]->setAccessibleName(
            tr("Ch %1 slot %2").arg(i / kConfigCellsPerRow + 1).arg(i % kConfigCellsPerRow + 1));
    }
    for (int i = 0; i < kConfigFrames; ++i) {
        frameRects[At(i)] = FrameRect(i, units);
        frames[At(i)] = new CChainCell(CChainCell::Kind::Frame, i, this);
        frames[At(i)]->setGeometry(ToQ(frameRects[At(i)]));
        frames[At(i)]->installEventFilter(this);
        frames[At(i)]->setAccessibleName(tr("Palette %1").arg(i + 1));
    }
    chain = ConfigChainGeometry(cellRects);
    const std::array<DialogRect, 2> pinkRects{L::kPinkButton1, L::kPinkButton2};
    const std::array<DialogRect, 2> lampRects{L::kPinkLamp1, L::kPinkLamp2};
    const std::array<DialogRect, 2> bypassRects{L::kBypassButton1, L::kBypassButton2};
    for (int ch = 0; ch < 2; ++ch) {
        pinkButtons[At(ch)] = new CColorButton(ch == 0 ? tr("Ch 1") : tr("Ch 2"), this);
        pinkButtons[At(ch)]->SetMomentary(false);
        pinkLamps[At(ch)] = new CLedIndicator(this);
        bypassButtons[At(ch)] = new CColorButton(tr("Bypass"), this);
        bypassButtons[At(ch)]->SetMomentary(false);
        const auto place = [this](QWidget* w, const DialogRect& r) {
            PlaceControl(w, r.x, r.y, r.width, r.height);
        };
        place(pinkButtons[At(ch)], pinkRects[At(ch)]);
        place(pinkLamps[At(ch)], lampRects[At(ch)]);
        place(bypassButtons[At(ch)], bypassRects[At(ch)]);
    }
    slider = new CPanelSlider(this);
    slider->setRange(0, kPinkLevelMax);
    slider->setFocusPolicy(Qt::StrongFocus);
    PlaceControl(slider, L::kLevelSlider.x, L::kLevelSlider.y, L::kLevelSlider.width,
                 L::kLevelSlider.height);
}

void CConfigPage::BuildTiles() {
    QPalette colours = palette();
    colours.setColor(QPalette::Window, kTileColor);
    colours.setColor(QPalette::WindowText, Qt::white);
    for (int t = 0; t < kTileCount; ++t) {
        const TileSpec& spec = kTileSpecs[At(t)];
        Tile& tile = tiles[At(t)];
        tile.code = spec.code;
        tile.channel = spec.channel;
        tile.block = spec.block;
        tile.homeFrame = spec.homeFrame;
        tile.palette = spec.homeFrame;
        tile.rect = frameRects[At(spec.homeFrame)];
        frameTile[At(spec.homeFrame)] = t;
        tile.name = new QLabel(tr(spec.name), this);
        tile.letter =
            new QLabel(spec.channel == 0 ? QStringLiteral("A") : QStringLiteral("B"), this);
        for (QLabel* label : {tile.name, tile.letter}) {
            label->setAlignment(Qt::AlignCenter);
            label->setAutoFillBackground(true);
            label->setPalette(colours);
            label->setTextFormat(Qt::PlainText);
            // The page takes the mouse: a press on a label picks up its tile.
            label->setAttribute(Qt::WA_TransparentForMouseEvents);
        }
        const PixelRect nameSize = DialogToPixels(L::kNameLabel, Units());
        const PixelRect letterSize = DialogToPixels(L::kLetterLabel, Units());
        const PixelRect masterSize = DialogToPixels(L::kMasterButton, Units());
        tile.name->resize(nameSize.Width(), nameSize.Height());
        tile.letter->resize(letterSize.Width(), letterSize.Height());
        tile.master = new CColorButton(tr("Master"), this);
        tile.master->SetFaceColor(kTileColor);
        tile.master->SetTextColor(Qt::white);
        tile.master->SetMomentary(false);
        tile.master->setFocusPolicy(Qt::TabFocus);
        tile.master->resize(masterSize.Width(), masterSize.Height());
    }
}

void CConfigPage::ConnectControls() {
    for (int ch = 0; ch < 2; ++ch) {
        connect(pinkButtons[At(ch)], &CColorButton::clicked, this,
                [this, ch] { OnPinkButton(ch); });
        connect(bypassButtons[At(ch)], &CColorButton::clicked, this,
                [this, ch] { OnBypassButton(ch); });
    }
    for (int t = 0; t < kTileCount; ++t) {
        connect(tiles[At(t)].master, &CColorButton::clicked, this,
                [this, t] { OnMasterButton(t); });
    }
    connect(slider, &CPanelSlider::userMoved, this, &CConfigPage::OnLevelMoved);
}

void CConfigPage::showEvent(QShowEvent* event) {
    CPageDialog::showEvent(event);
    slider->setFocus(Qt::OtherFocusReason);
}

// ---- Refresh -------------------------------------------------------------------------------

void CConfigPage::UpdatePage(int unused) {
    IPageDocument* doc = Document();
    if (doc == nullptr || refreshing) return;
    // A refresh during a drag would place the dragged tile under the pointer's feet.
    if (drag.mode != DragMode::Idle) EndDragAtLastPoint();
    refreshing = true;
    RefreshLatches();
    RefreshPinkNoise();
    RefreshSlider();
    RefreshNamesAndMasters();
    CleanChainsAndPalette(doc->Edits());
    PlaceTilesFromPreset();
    const bool routed = doc->DeriveRouting() != 0;
    refreshing = false;
    if (!routed) return;
    InvalidateRect(chain.area);
    CPageDialog::UpdatePage(unused);
}

void CConfigPage::RefreshLatches() {
    IPageDocument& doc = *Document();
    bypassButtons[0]->SetLatched(doc.Devices().BypassA() != 0);
    bypassButtons[1]->SetLatched(doc.Devices().BypassB() != 0);
}

void CConfigPage::RefreshPinkNoise() {
    IPageDocument& doc = *Document();
    for (int ch = 0; ch < 2; ++ch) {
        const bool on = doc.Edits().Get(ParamField::PinkNoiseOn, kChannelA, ch) != 0;
        pinkButtons[At(ch)]->SetLatched(on);
        pinkLamps[At(ch)]->SetLit(on);
    }
}

void CConfigPage::RefreshSlider() {
    // A programmatic move must not come back as an edit.
    const QSignalBlocker quiet(slider);
    slider->setValue(Document()->Edits().Get(ParamField::PinkNoiseLevel));
    ToolTip().UpdateTipText(slider);
}

void CConfigPage::RefreshNamesAndMasters() {
    IPageDocument& doc = *Document();
    for (Tile& tile : tiles) {
        if (tile.block == FieldBlock::Equaliser) {
            // A file may hold any byte here: everything but 0 is the parametric equaliser.
            const int type = std::min(doc.Edits().Get(ParamField::EqType, tile.channel), 1);
            tile.name->setText(type == 1 ? tr("Parametric") : tr("Graphic"));
            FitNameText(tile.name);
        }
        tile.master->SetLatched(doc.Edits().Get(MasterField(tile.block), tile.channel) != 0);
    }
}

void CConfigPage::PlaceTilesFromPreset() {
    IPageDocument& doc = *Document();
    // Every tile starts without a place: one the preset no longer places keeps only its
    // rectangle, and never a slot that another block now holds.
    for (int t = 0; t < kTileCount; ++t) ClearTilePlace(t);
    cellTile.fill(-1);
    frameTile.fill(-1);
    for (int s = 0; s < kConfigCells; ++s) {
        const int tile = TileOfCode(doc.Edits().Get(ParamField::ChainSlot, kChannelA, s));
        if (tile >= 0 && PlaceOfTile(tile).kind == PlaceKind::None) {
            PutTile(tile, {PlaceKind::Cell, s});
        }
    }
    for (int p = 0; p < kConfigFrames; ++p) {
        const int tile = TileOfCode(doc.Edits().Get(ParamField::PalettePosition, kChannelA, p));
        if (tile >= 0 && PlaceOfTile(tile).kind == PlaceKind::None) {
            PutTile(tile, {PlaceKind::Frame, p});
        }
    }
    // A block the preset places nowhere is shown in a free palette frame (the preset is left as
    // it is), so its tile never hides under another one.
    for (int t = 0; t < kTileCount; ++t) {
        if (PlaceOfTile(t).kind == PlaceKind::None) PutTile(t, FreeFrameFor(t));
    }
    if (selectedTile >= 0 && tiles[At(selectedTile)].slot < 0) selectedTile = -1;
    if (carriedTile >= 0 && PlaceOfTile(carriedTile).kind == PlaceKind::None) carriedTile = -1;
    update();
}

// ---- Tiles and places ----------------------------------------------------------------------

void CConfigPage::PlaceTile(int t, const PixelRect& rect) {
    Tile& tile = tiles[At(t)];
    tile.rect = rect;
    const TileParts parts =
        PlaceTileParts(rect, tile.name->height(), {tile.letter->width(), tile.letter->height()},
                       {tile.master->width(), tile.master->height()});
    tile.name->setGeometry(ToQ(parts.name));
    FitNameText(tile.name);
    tile.letter->setGeometry(ToQ(parts.letter));
    tile.master->setGeometry(ToQ(parts.master));
    ToolTip().AddRectTool(this, kTileToolIdBase + t, ToQ(rect),
                          [this, code = tile.code] { return TileTipText(code); });
}

// The tile is narrow: a name wider than its label is shown in a smaller font, never clipped.
void CConfigPage::FitNameText(QLabel* label) const {
    QFont fitted = font();
    int pixels = QFontInfo(fitted).pixelSize();
    const int room = label->contentsRect().width();
    while (pixels > kSmallestNamePixels &&
           QFontMetrics(fitted).horizontalAdvance(label->text()) > room) {
        fitted.setPixelSize(--pixels);
    }
    if (fitted != label->font()) label->setFont(fitted);
}

void CConfigPage::PutTile(int t, TilePlace place) {
    Tile& tile = tiles[At(t)];
    if (place.kind == PlaceKind::Cell) {
        cellTile[At(place.index)] = t;
        tile.slot = place.index;
        tile.palette = -1;
    } else if (place.kind == PlaceKind::Frame) {
        frameTile[At(place.index)] = t;
        tile.palette = place.index;
        tile.slot = -1;
    } else {
        return;
    }
    PlaceTile(t, PlaceRect(place));
}

void CConfigPage::ClearTilePlace(int t) {
    tiles[At(t)].slot = -1;
    tiles[At(t)].palette = -1;
}

void CConfigPage::PickUp(int t) {
    Tile& tile = tiles[At(t)];
    IPageDocument* doc = Document();
    if (tile.slot >= 0 && cellTile[At(tile.slot)] == t) {
        cellTile[At(tile.slot)] = -1;
        if (doc != nullptr) doc->Edits().SetConfig(ParamField::ChainSlot, tile.slot, 0);
    }
    if (tile.palette >= 0 && frameTile[At(tile.palette)] == t) {
        frameTile[At(tile.palette)] = -1;
        if (doc != nullptr) doc->Edits().SetConfig(ParamField::PalettePosition, tile.palette, 0);
    }
    ClearTilePlace(t);
}

void CConfigPage::Drop(int t, TilePlace place) {
    IPageDocument* doc = Document();
    if (doc == nullptr || place.kind == PlaceKind::None) return;
    const PixelRect old = tiles[At(t)].rect;
    PutTile(t, place);
    InvalidateRect(old);
    InvalidateRect(tiles[At(t)].rect);
    const int code = tiles[At(t)].code;
    if (place.kind == PlaceKind::Frame) {
        doc->Edits().SetConfig(ParamField::PalettePosition, place.index, code);
        selectedTile = -1;
        doc->NotifyViewsOfChange();
        slider->setFocus(Qt::OtherFocusReason);
    } else {
        doc->Edits().SetConfig(ParamField::ChainSlot, place.index, code);
        selectedTile = t;
        doc->NotifyViewsOfChange();
        cells[At(place.index)]->setFocus(Qt::OtherFocusReason);
    }
}

PixelRect CConfigPage::PlaceRect(TilePlace place) const {
    if (place.kind == PlaceKind::Cell) return cellRects[At(place.index)];
    if (place.kind == PlaceKind::Frame) return frameRects[At(place.index)];
    return {};
}

bool CConfigPage::IsFree(TilePlace place) const {
    if (place.kind == PlaceKind::Cell && place.index >= 0 && place.index < kConfigCells) {
        return cellTile[At(place.index)] < 0;
    }
    if (place.kind == PlaceKind::Frame && place.index >= 0 && place.index < kConfigFrames) {
        return frameTile[At(place.index)] < 0;
    }
    return false;
}

void CConfigPage::MarkTarget(TilePlace place, bool on) {
    if (place.kind == PlaceKind::Cell) cells[At(place.index)]->SetDropTarget(on);
    if (place.kind == PlaceKind::Frame) frames[At(place.index)]->SetDropTarget(on);
}

TilePlace CConfigPage::NearestFreePlace(const PixelRect& rect) const {
    std::array<bool, kConfigCells> cellTaken{};
    std::array<bool, kConfigFrames> frameTaken{};
    for (int i = 0; i < kConfigCells; ++i) cellTaken[At(i)] = cellTile[At(i)] >= 0;
    for (int i = 0; i < kConfigFrames; ++i) frameTaken[At(i)] = frameTile[At(i)] >= 0;
    return ChooseDropTarget(rect, cellRects, cellTaken, frameRects, frameTaken);
}

int CConfigPage::TileOfCode(int code) const {
    for (int t = 0; t < kTileCount; ++t) {
        if (tiles[At(t)].code == code) return t;
    }
    return -1;
}

TilePlace CConfigPage::PlaceOfTile(int t) const {
    if (t < 0 || t >= kTileCount) return {};
    const Tile& tile = tiles[At(t)];
    if (tile.slot >= 0) return {PlaceKind::Cell, tile.slot};
    if (tile.palette >= 0) return {PlaceKind::Frame, tile.palette};
    return {};
}

int CConfigPage::TileAt(const QPoint& point) const {
    // Tiles are drawn in table order: the last one under the point is the one seen.
    for (int t = kTileCount - 1; t >= 0; --t) {
        if (tiles[At(t)].rect.Contains(point.x(), point.y())) return t;
    }
    return -1;
}

void CConfigPage::InvalidateRect(const PixelRect& rect) {
    if (!rect.IsEmpty()) update(ToQ(rect).adjusted(-1, -1, 1, 1));
}

// ---- Public operations and state ------------------------------------------------------------

bool CConfigPage::MoveTile(int code, TilePlace place) {
    const int t = TileOfCode(code);
    if (t < 0 || Document() == nullptr || drag.mode != DragMode::Idle) return false;
    if (PlaceOfTile(t) == place) {
        Drop(t, place);  // rewrites its own entry, as a drop in place does
        return true;
    }
    if (!IsFree(place)) return false;
    PickUp(t);
    Drop(t, place);
    return true;
}

bool CConfigPage::ReturnTileToPalette(int code) {
    const int t = TileOfCode(code);
    if (t < 0 || tiles[At(t)].slot < 0) return false;
    const TilePlace target = FreeFrameFor(t);
    return IsFree(target) && MoveTile(code, target);
}

TilePlace CConfigPage::FreeFrameFor(int t) const {
    const Tile& tile = tiles[At(t)];
    TilePlace target{PlaceKind::Frame, tile.homeFrame};
    const int rowStart = tile.channel * kConfigFramesPerRow;
    for (int i = 0; i < kConfigFrames && !IsFree(target); ++i) {
        target = {PlaceKind::Frame, (rowStart + i) % kConfigFrames};
    }
    return IsFree(target) ? target : TilePlace{};
}

int CConfigPage::DraggedCode() const {
    return drag.mode == DragMode::Tile ? tiles[At(drag.tile)].code : 0;
}

int CConfigPage::SelectedCode() const {
    return selectedTile >= 0 ? tiles[At(selectedTile)].code : 0;
}

int CConfigPage::CarriedCode() const {
    return carriedTile >= 0 ? tiles[At(carriedTile)].code : 0;
}

TilePlace CConfigPage::PlaceOf(int code) const {
    return PlaceOfTile(TileOfCode(code));
}

PixelRect CConfigPage::TileRect(int code) const {
    const int t = TileOfCode(code);
    return t >= 0 ? tiles[At(t)].rect : PixelRect{};
}

CChainCell* CConfigPage::Cell(int index) const {
    return index >= 0 && index < kConfigCells ? cells[At(index)] : nullptr;
}

CChainCell* CConfigPage::Frame(int index) const {
    return index >= 0 && index < kConfigFrames ? frames[At(index)] : nullptr;
}

CColorButton* CConfigPage::PinkButton(int channel) const {
    return pinkButtons[At(channel == 0 ? 0 : 1)];
}

CLedIndicator* CConfigPage::PinkLamp(int channel) const {
    return pinkLamps[At(channel == 0 ? 0 : 1)];
}

CColorButton* CConfigPage::BypassButton(int channel) const {
    return bypassButtons[At(channel == 0 ? 0 : 1)];
}

CColorButton* CConfigPage::MasterButton(int code) const {
    const int t = TileOfCode(code);
    return t >= 0 ? tiles[At(t)].master : nullptr;
}

QLabel* CConfigPage::NameLabel(int code) const {
    const int t = TileOfCode(code);
    return t >= 0 ? tiles[At(t)].name : nullptr;
}

QString CConfigPage::TileTipText(int code) const {
    const int t = TileOfCode(code);
    if (t < 0) return {};
    const Tile& tile = tiles[At(t)];
    QString name = tile.name->text();
    if (tile.block == FieldBlock::Equaliser) name += tr(" EQ");
    return tr("%1, Ch %2").arg(name).arg(tile.channel + 1);
}

QString CConfigPage::LevelTipText() const {
    return QString::fromStdString(FormatDecibels(valueOf(Scale::PinkNoiseLevel, slider->value())));
}

// ---- Control actions -------------------------------------------------------------------------

void CConfigPage::OnPinkButton(int channel) {
    IPageDocument* doc = Document();
    if (doc == nullptr) return;
    doc->Edits().ToggleFlag(ParamField::PinkNoiseOn, kChannelA, channel);
    RefreshPinkNoise();
    doc->DeriveRouting();
    InvalidateRect(chain.area);
}

void CConfigPage::OnBypassButton(int channel) {
    IPageDocument* doc = Document();
    if (doc == nullptr) return;
    CColorButton* button = bypassButtons[At(channel)];
    const bool on = !button->IsLatched();
    button->SetLatched(on);
    doc->SetBypass(channel, on);
}

void CConfigPage::OnMasterButton(int t) {
    IPageDocument* doc = Document();
    if (doc == nullptr) return;
    const Tile& tile = tiles[At(t)];
    const ParamField field = MasterField(tile.block);
    const int value = doc->Edits().Get(field, tile.channel) != 0 ? 0 : 1;
    doc->Edits().SetMasterWithCopy(tile.block, tile.channel, value);
    const bool on = doc->Edits().Get(field, tile.channel) != 0;
    tile.master->SetLatched(on);
    if (!on) return;
    // At most one channel is master of a block pair.
    const int other = 1 - tile.channel;
    doc->Edits().SetMasterWithCopy(tile.block, other, 0);
    for (const Tile& partner : tiles) {
        if (partner.block == tile.block && partner.channel == other)
            partner.master->SetLatched(false);
    }
}

void CConfigPage::OnLevelMoved(int value) {
    IPageDocument* doc = Document();
    if (doc == nullptr) return;
    doc->Edits().SetConfig(ParamField::PinkNoiseLevel, 0, value);
    RefreshSlider();
}

bool CConfigPage::RerouteAndNotify() {
    IPageDocument* doc = Document();
    if (doc == nullptr) return false;
    const bool ok = doc->DeriveRouting() != 0;
    if (ok) doc->NotifyViewsOfChange();
    InvalidateRect(chain.area);
    update();
    return ok;
}

// ---- Painting --------------------------------------------------------------------------------

void CConfigPage::PaintArtwork(QPainter& painter) {
    if (artwork.bounds.Width() != width() || artwork.bounds.Height() != height()) {
        artwork = ConfigPagePicture(width(), height(), Units());
    }
    PaintPicture(painter, artwork, font());
}

void CConfigPage::PaintPage(QPainter& painter) {
    IPageDocument* doc = Document();
    if (doc == nullptr) return;
    const RoutingConfig config = RoutingConfigOf(doc->Edits());
    ChainTie tie;
    tie.enabled = config.tie.enabled;
    tie.direction = config.tie.direction;
    tie.position = {LimitTiePosition(config.tie.position[0]),
                    LimitTiePosition(config.tie.position[1])};
    const ChainMapPicture lines = ComputeChainMapPicture(chain, tie);
    painter.setPen(Qt::white);
    painter.setBrush(Qt::white);
    for (const PixelRect& circle : lines.circles) painter.drawEllipse(ToQ(circle));
    for (const ChainSegment& s : lines.segments) {
        painter.drawLine(s.from.x, s.from.y, s.to.x, s.to.y);
    }
    if (drag.mode == DragMode::Tie) {
        painter.setPen(Qt::black);
        for (const ChainSegment& s :
             TieDragSegments(chain, drag.tieRow, drag.tieSource, drag.tieTarget)) {
            painter.drawLine(s.from.x, s.from.y, s.to.x, s.to.y);
        }
    }
    for (const Tile& tile : tiles) {
        const QRect r = ToQ(tile.rect);
        painter.setPen(Qt::white);
        painter.setBrush(kTileColor);
        painter.drawRect(r.adjusted(0, 0, -1, -1));
        painter.setPen(Qt::black);
        const PixelRect& t = tile.rect;
        painter.drawLine(t.left + 1, t.bottom - 2, t.right - 2, t.bottom - 2);
        painter.drawLine(t.right - 2, t.bottom - 2, t.right - 2, t.top);
    }
    if (carriedTile >= 0) {
        // The tile picked up from the keyboard, until it is put down.
        painter.setPen(QPen(Qt::yellow, 2, Qt::DashLine));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(ToQ(tiles[At(carriedTile)].rect.Shrunk(2)));
    }
}

}  // namespace arvestra
