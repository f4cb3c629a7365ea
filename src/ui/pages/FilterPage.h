#pragma once

#include <QPoint>
#include <QRect>

#include <array>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "document/EqCodeEdits.h"
#include "model/CurveSet.h"
#include "model/GraphMapping.h"
#include "model/PresetImage.h"
#include "plot/CurvePlot.h"
#include "tune/OverlayCurves.h"
#include "ui/controls/PixelRect.h"
#include "ui/dialogs/FitDialog.h"
#include "ui/pages/FilterPageGeometry.h"
#include "ui/pages/MeasurementOverlay.h"
#include "ui/pages/PageDialog.h"
#include "ui/pages/Picture.h"
#include "ui/pages/ResponseDumpSource.h"

class QKeyEvent;
class QLineEdit;
class QMenu;

namespace arvestra {

class CColorButton;
class CPanelSlider;
class FilterResponse;
struct FilterPageShared;

// What the graphic and the parametric EQ page share: the high-pass and low-pass sections of both
// channels, the "Ch 1"/"Ch 2" switch of the displayed channel, the response graph (logarithmic
// frequency axis, linear dB axis), its frequency grid, the walk of the displayed output's signal
// path and the green response curve; and of the equaliser itself the edited channel and whether
// it is editable, the "Graphic"/"Parametric" switch, "Flat", "EQ Bypass", the band dots (hit
// test, hover, tips, painting) and the band sliders' large key steps. A page differs from the
// other by its traits and by its bands. The displayed channel, the curve switch and the response
// (grid, curves, levels) are shared by the EQ pages of one view, so both always show the same.
class CFilterPage : public CPageDialog, public IResponseDumpSource {
    Q_OBJECT
  public:
    // UpdatePage hint after the grid density changed: the page rebuilds its grid pixels,
    // recomputes every curve and repaints. Every refresh also notices a grid rebuilt meanwhile.
    static constexpr int kRefreshGrid = 2;

    // Shift with an up or down arrow key moves a band slider this many codes.
    static constexpr int kLargeKeyStep = 6;

    CFilterPage(int templateId, const EqPageTraits& traits, IPageHost& host, QWidget* parent);
    ~CFilterPage() override;

    // Refreshes the sections, walks the displayed path, picks the displayed channel for the
    // block the page was opened for (only while the page is shown) and requests a full
    // recompute of the curve; then the edited channel, editability, the EQ buttons, the bands
    // and the focus. Opened for an EQ of the other type, the page asks for the other page.
    void UpdatePage(int hint) override;

    const EqPageTraits& Traits() const { return traits_; }
    // The channel whose equaliser the page edits (independent of the displayed channel), and
    // whether that equaliser lies in the displayed path.
    int EditedChannel() const { return editedChannel_; }
    bool IsEditable() const { return editable_; }
    // The band dots: centre and rectangle (page pixels), the dot under the pointer (-1 none).
    PixelPoint DotCentre(int band) const;
    PixelRect DotRectOf(int band) const;
    int HoveredBand() const { return hoveredBand_; }

    CColorButton* EqBypassButton() const { return eqBypass_; }
    CColorButton* FlatButton() const { return flat_; }
    CColorButton* GraphicButton() const { return graphic_; }
    CColorButton* ParametricButton() const { return parametric_; }

    // The channel whose output path the graph shows (0 or 1), shared by both EQ pages.
    int DisplayedChannel() const;
    // Shows the path of output `channel`: latches "Ch 1"/"Ch 2", walks the path again and
    // recomputes the whole curve.
    void SetDisplayedChannel(int channel);
    // Whether the curve is computed and drawn (shared); the path is walked either way.
    bool CurveSwitch() const;
    void SetCurveSwitch(bool on);
    // Extra grid points per frequency-scale step (0..7, shared). Setting it rebuilds the grid
    // and every array sized by it, then recomputes and repaints this page; the other EQ page
    // follows at its next refresh or paint.
    int ExtraPoints() const;
    void SetExtraPoints(int extraPoints);

    // The curves in the displayed path, as last walked.
    const CurveSet& PathFlags() const { return path_; }
    bool IsPresent(int channel, CurveKind kind) const { return path_.Contains(channel, kind); }
    // Recomputes what changed, as the next repaint would (nothing while the switch is off).
    void BringResponseUpToDate();
    // The grid, the levels last computed on it, and the pixels of every grid point (y as last
    // painted). These are what the response dump of the development utilities lists.
    std::span<const float> GridFrequencies() const;
    std::span<const double> LevelsDb() const;
    const std::vector<int>& GridX() const { return gridX_; }
    const std::vector<int>& GridY() const { return gridY_; }
    const FilterResponse& Response() const;
    // The state this page shares with the other EQ page of its view.
    const std::shared_ptr<FilterPageShared>& SharedState() const { return shared_; }
    const GraphMapping& Mapping() const { return mapping_; }
    // The development utilities' dump of the displayed response, its levels computed first.
    std::string ResponseDump() override;
    // The displayed response, computed first, as the curve the context menu exports.
    std::vector<CurvePoint> DisplayedCurve();
    QRect GraphRect() const;

    // The section controls: section 0 Ch 1 high-pass, 1 Ch 1 low-pass, 2 Ch 2 high-pass, 3 Ch 2
    // low-pass; slope 0 is "12", 1 is "24".
    CColorButton* SlopeButton(int section, int slope) const;
    QLineEdit* SectionEdit(int section) const;
    CPanelSlider* SectionSlider(int section) const;
    CColorButton* ChannelButton(int channel) const;
    // The read-out of frequency and level under the pointer; empty while it is off the graph.
    QString ReadoutText() const { return readout_; }

    // The measurement shown under output `channel`'s curve (shared by both EQ pages).
    const MeasurementOverlay& Overlay(int channel) const;
    // Shows a measurement file under output `channel`'s curve and keeps it in the settings;
    // false with `error` set when it cannot be read or normalised (the overlay is unchanged).
    bool LoadMeasurement(int channel, const QString& path, const Normalisation& normalisation,
                         QString& error);
    // Removes the measurement of output `channel`.
    void ClearMeasurement(int channel);
    // The displayed output's measurement and the predicted result at the grid points (empty
    // without a measurement).
    OverlayCurves DisplayedOverlay();
    // Fits the edited channel's EQ of this page's kind to the displayed output's measurement
    // and applies the codes as one undo step; false with `message` set when it cannot.
    // `message` reports the residual before and after on success.
    bool FitToMeasurement(const CFitDialog::Choices& choices, QString& message);

  protected:
    // The context menu (menu key, Shift+F10, or the right button off the graph, where it does
    // not draw): "Export Curve..." saves the displayed response as PNG, SVG or CSV.
    void contextMenuEvent(QContextMenuEvent* event) override;
    void OnInitDialog() override;
    // Enter commits all four section edits.
    void OnOK() override;
    void PaintArtwork(QPainter& painter) override;
    void PaintPage(QPainter& painter) override;

    // The equaliser kind the page edits.
    EqKind PageEqKind() const {
        return Traits().eqType == 0 ? EqKind::Graphic : EqKind::Parametric;
    }
    // Adds the derived page's own entries to the context menu.
    virtual void AddContextActions(QMenu& menu);
    // Runs `edit` as one undo step named `text` (when the editor keeps a history) and refreshes
    // the view afterwards.
    void RunAsOneStep(const QString& text, const std::function<void()>& edit);

    // Captions of the derived page, added to the page's background.
    virtual void AddPageArtwork(Picture& picture) const;
    // Ends a mouse gesture whose button-up will not come (the page is hidden).
    virtual void EndGesture() {}
    // The graph's pixel columns were rebuilt (new grid).
    virtual void OnGridRebuilt() {}
    // Shows every band's values from the edited channel: sliders, buttons and dots.
    virtual void RefreshBands() = 0;
    // "Flat": every band of the edited channel at 0 dB, its controls and dots following.
    virtual void FlattenBands() = 0;
    // A double click on a band's dot: that band back to 0 dB.
    virtual void ResetBand(int band) = 0;
    // The tip of a band's dot.
    virtual QString DotTipText(int band) const = 0;
    // Whether the dots follow the mouse (the parametric page lets them even while its controls
    // are disabled).
    virtual bool DotsMovable() const { return IsEditable(); }

    // Registers a band slider: enabled with the equaliser's editability, stepped by
    // kLargeKeyStep with Shift and an up or down arrow, and `moved` runs with every position
    // the user gives it. The first registered slider takes the focus when the page opens for
    // an EQ.
    void AddBandSlider(CPanelSlider* slider, std::function<void(int position)> moved);
    // Registers another control that is enabled exactly while the equaliser is editable.
    void AddEditableControl(QWidget* control);
    // Makes a button at a place in dialog units that is enabled while the equaliser is editable.
    CColorButton* AddEqButton(const char* text, const DialogRect& place);
    // Moves a band's dot to centre on `centre`; marks the curve and repaints the graph.
    void PlaceDot(int band, PixelPoint centre);
    // The first band (from 0) whose dot contains the point, or -1.
    int DotAt(const QPoint& point) const;
    // Follows the pointer over the dots, repainting the one it leaves and the one it enters.
    void HoverDot(const QPoint& point);
    // The band whose dot is held (-1 none); it is drawn marked, like the hovered one.
    void SetDraggedBand(int band);
    int DraggedBand() const { return draggedBand_; }
    void RepaintDot(int band);
    // Marks the edited equaliser's curve for recomputation.
    void MarkBandsDirty();
    // Queues the View command of the edited channel's EQ.
    void ShowEqPage();

    // Marks a curve for recomputation: for `channel`, or for both when its block is linked.
    void MarkCurveDirty(int channel, CurveKind kind);
    // Schedules a repaint of the graph's interior.
    void InvalidateGraphInterior();
    // Repaints the graph now, without erasing.
    void RepaintGraphNow();
    // True while the view shows this page.
    bool IsShownPage() const;
    // True once there is a document with at least one device.
    bool HasDocumentData() const;
    // Gives the focus to the section slider of the block the page was opened for, else to the
    // default control; only while the page is shown.
    void ApplyFocus();
    // Follows the pointer for the read-out (mouse tracking is on).
    void UpdateReadout(const QPoint& position);
    void ClearReadout();
    // Whether a point lies in the graph.
    bool InGraph(const QPoint& position) const;

    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void leaveEvent(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    struct BandSlider {
        CPanelSlider* slider = nullptr;
        std::function<void(int)> moved;
    };
    struct Dot {
        PixelPoint centre;
        PixelRect rect;
    };

    // Enables what depends on the displayed path (the sections, and the equaliser's controls by
    // its editability); runs after every refresh and every change of the displayed channel.
    void RefreshPathDependents();
    // Picks the edited channel and its editability from the chain and the displayed path.
    void ChooseEditedChannel();
    void BuildEqButtons();
    void RefreshEqButtons();
    void OnEqBypass();
    void OnFlat();
    // "Graphic" (0) or "Parametric" (1): the edited channel's EQ becomes that type and the view
    // shows its page. The page's own type does nothing.
    void OnEqType(int type);
    void PaintDots(QPainter& painter);
    // Shift with an up or down arrow on a band slider.
    bool StepBandSlider(QObject* watched, QKeyEvent* key);
    QWidget* DefaultFocusWidget() const;
    // Takes the curve switch and grid density the development utilities set.
    void FollowDisplayOptions();
    // Brings the levels up to date on the current grid, whether or not the curve is drawn.
    void ComputeResponseNow();
    struct Section {
        CColorButton* slope12 = nullptr;
        CColorButton* slope24 = nullptr;
        QLineEdit* edit = nullptr;
        CPanelSlider* slider = nullptr;
    };

    void BuildSections();
    void EnsureGridPixels();
    void RefreshFrequencies();
    void RefreshSlopes();
    void WalkPath();
    void AutoDisplayChannel();
    void LatchChannelButtons();
    void StoreTypedCutoff(int section);
    void CommitSectionEdit(int section);
    void OnSectionSlider(int section, int value);
    void OnSlopeButton(int section, int slope);
    void OnChannelButton(int channel);
    QRect ReadoutRect() const;
    // Draws the displayed output's measurement and the predicted result, clipped to the graph.
    void PaintOverlay(QPainter& painter);
    // The EQ curves of the displayed path in dB (0 dB where none is in the path).
    std::vector<double> EqLevelsInPath() const;
    // Asks for a measurement file, or for how to normalise it, or runs the fit dialog.
    void AskLoadMeasurement();
    void AskNormalisation();
    void AskFit();
    std::span<const std::uint8_t, kPresetImageSize> Image() const;

    EqPageTraits traits_;
    std::shared_ptr<FilterPageShared> shared_;
    std::array<Section, 4> sections_{};
    std::array<CColorButton*, 2> channelButtons_{};
    GraphMapping mapping_{{}, {0, 0, 1, 1}};
    Picture artwork_;
    CurveSet path_;
    std::vector<int> gridX_;
    std::vector<int> gridY_;
    int gridGenerationSeen_ = -1;
    // Cut-off and slope codes last shown per kind (0 low-pass, 1 high-pass) and channel, so a
    // refresh marks only the curves whose settings changed.
    std::array<std::array<int, 2>, 2> shownCutoff_{{{-1, -1}, {-1, -1}}};
    std::array<std::array<int, 2>, 2> shownSlope_{{{-1, -1}, {-1, -1}}};
    QRect paintDirty_;
    QString readout_;
    CColorButton* eqBypass_ = nullptr;
    CColorButton* flat_ = nullptr;
    CColorButton* graphic_ = nullptr;
    CColorButton* parametric_ = nullptr;
    std::vector<BandSlider> bandSliders_;
    std::vector<QWidget*> editableControls_;
    std::vector<Dot> dots_;
    int editedChannel_ = 0;
    bool editable_ = false;
    int hoveredBand_ = -1;
    int draggedBand_ = -1;
};

}  // namespace arvestra
