#pragma once

#include <QPoint>

#include <array>

#include "model/ParamField.h"
#include "ui/pages/ConfigPageGeometry.h"
#include "ui/pages/PageDialog.h"

class QLabel;
class QMenu;

namespace arvestra {

class CChainCell;
class CColorButton;
class CLedIndicator;
class CPanelSlider;

// The configuration page: the signal routing of the current preset (template 145). Ten block
// tiles are dragged between the palette and the two chains of eight cells; a line dragged from
// one chain to the other ties them; from the chains the page derives every block's source and
// records the chain lists (through the core's routing update). Pink noise selects and level,
// the channel bypass buttons and the Master buttons of the block pairs sit here too.
//
// Everything a drag does can be done from the keyboard: Tab reaches the cells and frames; Space
// (or Enter) on a tile picks it up, the arrow keys move to another place and Space drops it
// there (Escape puts it back); Delete sends a chained tile back to the palette; the context
// menu (right button, Menu key or Shift+F10) moves a tile to any free slot and sets or removes
// the tie.
class CConfigPage : public CPageDialog {
    Q_OBJECT
  public:
    static constexpr int kTemplateId = 145;
    static constexpr int kBitmapId = 131;
    static constexpr int kTileCount = 10;

    // The interaction in progress.
    enum class DragMode { Idle, Tile, Tie };

    CConfigPage(IPageHost& host, QWidget* parent);
    ~CConfigPage() override;

    int GetBitmapId() const override { return kBitmapId; }
    // Refresh from the document: latches, lamps, slider, names, masters; the clean-up of chains
    // and palette, the tiles in their places and the routing update. A drag in progress ends
    // first, as a release at its last point.
    void UpdatePage(int unused) override;

    // Moves the tile of a block code to a free place, as a drop there does; false when the
    // code names no tile or the place is not free.
    bool MoveTile(int code, TilePlace place);
    // Sends a chained tile back to the palette (its home frame when free, else the first free
    // frame of its channel's row, else any free frame); false when it is not in a chain.
    bool ReturnTileToPalette(int code);
    // Ties the chains as a tie drag from a tie point of sourceRow to a tie point of the other
    // row does; a targetPosition of -1 removes the tie. False when the routing update failed.
    bool SetTie(int sourceRow, int sourcePosition, int targetPosition);

    // State and parts, for the view and for tests.
    DragMode Mode() const { return drag.mode; }
    // The tile being dragged (its block code) and its drop target; 0 and None while idle.
    int DraggedCode() const;
    TilePlace DropTarget() const { return drag.mode == DragMode::Tile ? drag.target : TilePlace{}; }
    int TieTarget() const { return drag.tieTarget; }
    // The block code of the selected tile, 0 for none; the tile carried by the keyboard.
    int SelectedCode() const;
    int CarriedCode() const;
    // Where a block's tile sits and its rectangle (page pixels); None / empty for other codes.
    TilePlace PlaceOf(int code) const;
    PixelRect TileRect(int code) const;
    CChainCell* Cell(int index) const;
    CChainCell* Frame(int index) const;
    CColorButton* PinkButton(int channel) const;
    CLedIndicator* PinkLamp(int channel) const;
    CColorButton* BypassButton(int channel) const;
    CColorButton* MasterButton(int code) const;
    QLabel* NameLabel(int code) const;
    CPanelSlider* LevelSlider() const { return slider; }
    const ChainGeometry& Chain() const { return chain; }
    // The tip text of a tile: the block's name and channel.
    QString TileTipText(int code) const;
    // The "%.1f dB" read-out of the pink noise level.
    QString LevelTipText() const;

  protected:
    void OnInitDialog() override;
    void PaintPage(QPainter& painter) override;
    void PaintArtwork(QPainter& painter) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void changeEvent(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;

  private:
    struct Tile {
        int code = 0;
        int channel = 0;
        FieldBlock block = FieldBlock::Equaliser;
        int homeFrame = 0;
        PixelRect rect;
        int slot = -1;     // chain cell 0..15, or -1
        int palette = -1;  // palette frame 0..11, or -1
        QLabel* name = nullptr;
        QLabel* letter = nullptr;
        CColorButton* master = nullptr;
    };

    struct DragState {
        DragMode mode = DragMode::Idle;
        int tile = -1;
        QPoint last;
        TilePlace target;
        int tieRow = 0;
        int tieSource = 0;
        int tieTarget = -1;
    };

    void BuildControls();
    void BuildTiles();
    void ConnectControls();
    void RefreshLatches();
    void RefreshPinkNoise();
    void RefreshSlider();
    void RefreshNamesAndMasters();
    void PlaceTilesFromPreset();
    void PlaceTile(int tile, const PixelRect& rect);
    void FitNameText(QLabel* label) const;
    void PutTile(int tile, TilePlace place);
    void ClearTilePlace(int tile);
    // The chain slot or palette entry a tile holds, cleared in the preset and the maps; only
    // where the page's own map shows it there.
    void PickUp(int tile);
    // Puts a tile into a place: maps, rectangle, preset entry, views, selection and focus.
    void Drop(int tile, TilePlace place);
    PixelRect PlaceRect(TilePlace place) const;
    bool IsFree(TilePlace place) const;
    void MarkTarget(TilePlace place, bool on);
    TilePlace NearestFreePlace(const PixelRect& rect) const;
    // The tile's home palette frame when free, else the first free frame from the start of its
    // channel's row on; no place when every frame is taken.
    TilePlace FreeFrameFor(int tile) const;

    void BeginTileDrag(int tile, const QPoint& point);
    void MoveTileDrag(const QPoint& point);
    void FinishTileDrag();
    void BeginTieDrag(TiePoint point);
    void MoveTieDrag(const QPoint& point);
    void FinishTieDrag();
    // Ends a drag whose button-up never came, as a release at its last point.
    void EndDragAtLastPoint();
    // Runs the routing update; on success refreshes all views.
    bool RerouteAndNotify();

    void OnPinkButton(int channel);
    void OnBypassButton(int channel);
    void OnMasterButton(int tile);
    void OnLevelMoved(int value);

    bool HandlePlaceKey(CChainCell* place, QKeyEvent* event);
    void FocusPlace(TilePlace place);
    TilePlace NeighbourPlace(TilePlace from, int key) const;
    void ShowPlaceMenu(TilePlace place, const QPoint& global);
    void AddTieMenu(QMenu& menu);

    int TileAt(const QPoint& point) const;
    int TileOfCode(int code) const;
    TilePlace PlaceOfTile(int tile) const;
    void InvalidateRect(const PixelRect& rect);

    std::array<Tile, kTileCount> tiles{};
    std::array<CChainCell*, kConfigCells> cells{};
    std::array<CChainCell*, kConfigFrames> frames{};
    std::array<int, kConfigCells> cellTile{};
    std::array<int, kConfigFrames> frameTile{};
    std::array<PixelRect, kConfigCells> cellRects{};
    std::array<PixelRect, kConfigFrames> frameRects{};
    std::array<CColorButton*, 2> pinkButtons{};
    std::array<CLedIndicator*, 2> pinkLamps{};
    std::array<CColorButton*, 2> bypassButtons{};
    CPanelSlider* slider = nullptr;
    ChainGeometry chain;
    Picture artwork;
    DragState drag;
    int selectedTile = -1;
    int carriedTile = -1;
    bool refreshing = false;
};

}  // namespace arvestra
