// CConfigPage: the tile and tie drags, the double click, and the same moves from the keyboard
// and the context menu.
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>

#include "document/PageDocument.h"
#include "model/RoutingPlan.h"
#include "ui/controls/PanelSlider.h"
#include "ui/pages/ChainCell.h"
#include "ui/pages/ConfigPage.h"

namespace arvestra {

namespace {

std::size_t At(int i) {
    return static_cast<std::size_t>(i);
}

QString PointName(int position) {
    if (position >= kConfigCellsPerRow) return QObject::tr("after slot 8");
    return QObject::tr("before slot %1").arg(position + 1);
}

}  // namespace

// ---- Mouse ---------------------------------------------------------------------------------

void CConfigPage::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || Document() == nullptr) {
        CPageDialog::mousePressEvent(event);
        return;
    }
    if (drag.mode != DragMode::Idle) EndDragAtLastPoint();
    carriedTile = -1;
    const QPoint p = event->position().toPoint();
    for (int i = 0; i < kConfigCells; ++i) {
        if (cellRects[At(i)].Contains(p.x(), p.y()) && cellTile[At(i)] >= 0) {
            selectedTile = cellTile[At(i)];
            cells[At(i)]->setFocus(Qt::MouseFocusReason);
            break;
        }
    }
    const int t = TileAt(p);
    if (t >= 0) {
        BeginTileDrag(t, p);
        return;
    }
    if (const std::optional<TiePoint> point = TiePointAt(chain, {p.x(), p.y()})) {
        BeginTieDrag(*point);
        return;
    }
    CPageDialog::mousePressEvent(event);
}

void CConfigPage::mouseMoveEvent(QMouseEvent* event) {
    if (drag.mode != DragMode::Idle && !(event->buttons() & Qt::LeftButton)) {
        // The button went up where this page could not see it.
        EndDragAtLastPoint();
        return;
    }
    const QPoint p = event->position().toPoint();
    if (drag.mode == DragMode::Tile) {
        MoveTileDrag(p);
    } else if (drag.mode == DragMode::Tie) {
        MoveTieDrag(p);
    }
    CPageDialog::mouseMoveEvent(event);
}

void CConfigPage::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        if (drag.mode == DragMode::Tile) {
            FinishTileDrag();
            return;
        }
        if (drag.mode == DragMode::Tie) {
            FinishTieDrag();
            return;
        }
    }
    CPageDialog::mouseReleaseEvent(event);
}

void CConfigPage::mouseDoubleClickEvent(QMouseEvent* event) {
    // The second press of a double click opens the block's page; it never starts a drag.
    const QPoint p = event->position().toPoint();
    if (event->button() == Qt::LeftButton && selectedTile >= 0 &&
        tiles[At(selectedTile)].rect.Contains(p.x(), p.y())) {
        ShowBlockPage(tiles[At(selectedTile)].code);
    }
    event->accept();
}

void CConfigPage::hideEvent(QHideEvent* event) {
    if (drag.mode != DragMode::Idle) EndDragAtLastPoint();
    carriedTile = -1;
    CPageDialog::hideEvent(event);
}

void CConfigPage::changeEvent(QEvent* event) {
    if (event->type() == QEvent::ActivationChange && !isActiveWindow() &&
        drag.mode != DragMode::Idle) {
        EndDragAtLastPoint();
    }
    CPageDialog::changeEvent(event);
}

void CConfigPage::EndDragAtLastPoint() {
    if (drag.mode == DragMode::Tile) {
        FinishTileDrag();
    } else if (drag.mode == DragMode::Tie) {
        FinishTieDrag();
    }
}

// ---- Tile drag -------------------------------------------------------------------------------

void CConfigPage::BeginTileDrag(int t, const QPoint& point) {
    drag = {};
    drag.mode = DragMode::Tile;
    drag.tile = t;
    drag.last = point;
    drag.target = PlaceOfTile(t);
    PickUp(t);
    // A tile the preset placed nowhere has no place of its own to go back to.
    if (drag.target.kind == PlaceKind::None) drag.target = NearestFreePlace(tiles[At(t)].rect);
    MarkTarget(drag.target, true);
}

void CConfigPage::MoveTileDrag(const QPoint& point) {
    const QPoint delta = point - drag.last;
    drag.last = point;
    const PixelRect old = tiles[At(drag.tile)].rect;
    PlaceTile(drag.tile, old.Moved(delta.x(), delta.y()));
    InvalidateRect(old);
    InvalidateRect(tiles[At(drag.tile)].rect);
    const TilePlace target = NearestFreePlace(tiles[At(drag.tile)].rect);
    if (target == drag.target || target.kind == PlaceKind::None) return;
    MarkTarget(drag.target, false);
    drag.target = target;
    MarkTarget(target, true);
}

void CConfigPage::FinishTileDrag() {
    const int t = drag.tile;
    const TilePlace target = drag.target;
    drag = {};
    MarkTarget(target, false);
    Drop(t, target);
}

// ---- Tie drag --------------------------------------------------------------------------------

void CConfigPage::BeginTieDrag(TiePoint point) {
    drag = {};
    drag.mode = DragMode::Tie;
    drag.tieRow = point.row;
    drag.tieSource = point.position;
    drag.tieTarget = -1;
    Document()->Edits().SetConfig(ParamField::JoinOn, 0, 0);
    InvalidateRect(chain.area);
    update();
}

void CConfigPage::MoveTieDrag(const QPoint& point) {
    drag.last = point;
    const int target = TieTargetFor(chain, drag.tieRow, {point.x(), point.y()});
    if (target == drag.tieTarget) return;
    drag.tieTarget = target;
    InvalidateRect(chain.area);
}

void CConfigPage::FinishTieDrag() {
    const DragState ended = drag;
    drag = {};
    SetTie(ended.tieRow, ended.tieSource, ended.tieTarget);
}

bool CConfigPage::SetTie(int sourceRow, int sourcePosition, int targetPosition) {
    IPageDocument* doc = Document();
    if (doc == nullptr) return false;
    const int row = sourceRow == 0 ? 0 : 1;
    if (targetPosition < 0) {
        doc->Edits().SetConfig(ParamField::JoinOn, 0, 0);
    } else {
        doc->Edits().SetConfig(ParamField::JoinOn, 0, 1);
        doc->Edits().SetConfig(ParamField::JoinTarget, 0, row == 0 ? 1 : 0);
        doc->Edits().SetConfig(ParamField::JoinPosition, row, sourcePosition);
        doc->Edits().SetConfig(ParamField::JoinPosition, 1 - row, targetPosition);
    }
    // Removing the tie changes the sources as much as setting it does.
    return RerouteAndNotify();
}

// ---- Keyboard and context menu ----------------------------------------------------------------

bool CConfigPage::eventFilter(QObject* watched, QEvent* event) {
    auto* place = qobject_cast<CChainCell*>(watched);
    if (place == nullptr) return CPageDialog::eventFilter(watched, event);
    if (event->type() == QEvent::KeyPress) {
        return HandlePlaceKey(place, static_cast<QKeyEvent*>(event));
    }
    if (event->type() == QEvent::ContextMenu) {
        const TilePlace at{
            place->CellKind() == CChainCell::Kind::Cell ? PlaceKind::Cell : PlaceKind::Frame,
            place->Index()};
        ShowPlaceMenu(at, place->mapToGlobal(place->rect().center()));
        return true;
    }
    if (event->type() == QEvent::FocusIn && place->CellKind() == CChainCell::Kind::Cell) {
        const int t = cellTile[At(place->Index())];
        if (t >= 0) selectedTile = t;
    }
    return CPageDialog::eventFilter(watched, event);
}

bool CConfigPage::HandlePlaceKey(CChainCell* place, QKeyEvent* event) {
    const TilePlace at{
        place->CellKind() == CChainCell::Kind::Cell ? PlaceKind::Cell : PlaceKind::Frame,
        place->Index()};
    const int here = at.kind == PlaceKind::Cell ? cellTile[At(at.index)] : frameTile[At(at.index)];
    switch (event->key()) {
        case Qt::Key_Space:
        case Qt::Key_Return:
        case Qt::Key_Enter:
            if (carriedTile >= 0) {
                const int carried = carriedTile;
                carriedTile = -1;
                if (IsFree(at) || PlaceOfTile(carried) == at) MoveTile(tiles[At(carried)].code, at);
                update();
            } else if (here >= 0) {
                carriedTile = here;
                update();
            }
            return true;
        case Qt::Key_Escape:
            carriedTile = -1;
            update();
            return true;
        case Qt::Key_Delete:
        case Qt::Key_Backspace:
            if (here >= 0 && at.kind == PlaceKind::Cell) ReturnTileToPalette(tiles[At(here)].code);
            return true;
        case Qt::Key_Left:
        case Qt::Key_Right:
        case Qt::Key_Up:
        case Qt::Key_Down:
            FocusPlace(NeighbourPlace(at, event->key()));
            return true;
        default:
            return false;
    }
}

void CConfigPage::FocusPlace(TilePlace place) {
    if (place.kind == PlaceKind::Cell) cells[At(place.index)]->setFocus(Qt::TabFocusReason);
    if (place.kind == PlaceKind::Frame) frames[At(place.index)]->setFocus(Qt::TabFocusReason);
}

TilePlace CConfigPage::NeighbourPlace(TilePlace from, int key) const {
    // Four rows of places from top to bottom: palette A, palette B, chain Ch 1, chain Ch 2.
    const bool cell = from.kind == PlaceKind::Cell;
    const int perRow = cell ? kConfigCellsPerRow : kConfigFramesPerRow;
    int row = (cell ? 2 : 0) + from.index / perRow;
    int column = from.index % perRow;
    if (key == Qt::Key_Left) column = std::max(0, column - 1);
    if (key == Qt::Key_Right) column = std::min(perRow - 1, column + 1);
    if (key == Qt::Key_Up) row = std::max(0, row - 1);
    if (key == Qt::Key_Down) row = std::min(3, row + 1);
    if (row >= 2) {
        return {PlaceKind::Cell,
                (row - 2) * kConfigCellsPerRow + std::min(column, kConfigCellsPerRow - 1)};
    }
    return {PlaceKind::Frame,
            row * kConfigFramesPerRow + std::min(column, kConfigFramesPerRow - 1)};
}

void CConfigPage::contextMenuEvent(QContextMenuEvent* event) {
    const QPoint p = event->pos();
    TilePlace at;
    for (int i = 0; i < kConfigCells && at.kind == PlaceKind::None; ++i) {
        if (cellRects[At(i)].Contains(p.x(), p.y())) at = {PlaceKind::Cell, i};
    }
    for (int i = 0; i < kConfigFrames && at.kind == PlaceKind::None; ++i) {
        if (frameRects[At(i)].Contains(p.x(), p.y())) at = {PlaceKind::Frame, i};
    }
    ShowPlaceMenu(at, event->globalPos());
}

void CConfigPage::ShowPlaceMenu(TilePlace place, const QPoint& global) {
    if (Document() == nullptr || drag.mode != DragMode::Idle) return;
    QMenu menu(this);
    int here = -1;
    if (place.kind == PlaceKind::Cell) here = cellTile[At(place.index)];
    if (place.kind == PlaceKind::Frame) here = frameTile[At(place.index)];
    if (here >= 0) {
        const int code = tiles[At(here)].code;
        for (int row = 0; row < 2; ++row) {
            QMenu* into = menu.addMenu(tr("Move to Ch %1 chain").arg(row + 1));
            for (int i = 0; i < kConfigCellsPerRow; ++i) {
                const TilePlace target{PlaceKind::Cell, row * kConfigCellsPerRow + i};
                QAction* action = into->addAction(tr("Slot %1").arg(i + 1));
                action->setEnabled(IsFree(target));
                connect(action, &QAction::triggered, this,
                        [this, code, target] { MoveTile(code, target); });
            }
        }
        QAction* back = menu.addAction(tr("Back to the palette"));
        back->setEnabled(tiles[At(here)].slot >= 0);
        connect(back, &QAction::triggered, this, [this, code] { ReturnTileToPalette(code); });
        QAction* open = menu.addAction(tr("Open its page"));
        connect(open, &QAction::triggered, this, [this, code] { ShowBlockPage(code); });
        menu.addSeparator();
    }
    AddTieMenu(menu);
    menu.exec(global);
}

void CConfigPage::AddTieMenu(QMenu& menu) {
    for (int row = 0; row < 2; ++row) {
        QMenu* from = menu.addMenu(tr("Tie Ch %1 into Ch %2").arg(row + 1).arg(2 - row));
        for (int source = 0; source <= kMaxTiePosition; ++source) {
            QMenu* to = from->addMenu(tr("Tap %1").arg(PointName(source)));
            for (int target = 0; target <= kMaxTiePosition; ++target) {
                QAction* action = to->addAction(tr("Feed %1").arg(PointName(target)));
                connect(action, &QAction::triggered, this,
                        [this, row, source, target] { SetTie(row, source, target); });
            }
        }
    }
    QAction* remove = menu.addAction(tr("Remove the tie"));
    remove->setEnabled(Document()->Edits().Get(ParamField::JoinOn) != 0);
    connect(remove, &QAction::triggered, this, [this] { SetTie(0, 0, -1); });
}

}  // namespace arvestra
