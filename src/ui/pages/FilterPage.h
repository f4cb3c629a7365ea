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
#include "ui/dialogs/FitDialog.h"
#include "ui/pages/MeasurementOverlay.h"
#include "ui/pages/PageDialog.h"
#include "ui/pages/Picture.h"
#include "ui/pages/ResponseDumpSource.h"

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
// path and the green response curve. The displayed channel, the curve switch and the response
// (grid, curves, levels) are shared by the EQ pages of one view, so both always show the same.
class CFilterPage : public CPageDialog, public IResponseDumpSource {
    Q_OBJECT
  public:
    // UpdatePage hint after the grid density changed: the page rebuilds its grid pixels,
    // recomputes every curve and repaints. Every refresh also notices a grid rebuilt meanwhile.
    static constexpr int kRefreshGrid = 2;

    CFilterPage(int templateId, IPageHost& host, QWidget* parent);
    ~CFilterPage() override;

    // Refreshes the sections, walks the displayed path, picks the displayed channel for the
    // block the page was opened for (only while the page is shown) and requests a full
    // recompute of the curve.
    void UpdatePage(int hint) override;

    // What the graph's edges stand for.
    virtual double GetGraphTopDb() const = 0;
    virtual double GetGraphBottomDb() const = 0;
    virtual double GetGraphLowHz() const = 0;
    virtual double GetGraphHighHz() const = 0;

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

    // The channel whose EQ the page edits, whether it may be edited now, and its EQ kind.
    virtual int EqEditedChannel() const = 0;
    virtual bool EqEditable() const = 0;
    virtual EqKind PageEqKind() const = 0;
    // Adds the derived page's own entries to the context menu.
    virtual void AddContextActions(QMenu& menu);
    // Runs `edit` as one undo step named `text` (when the editor keeps a history) and refreshes
    // the view afterwards.
    void RunAsOneStep(const QString& text, const std::function<void()>& edit);

    // The page's band dots, drawn clipped to the graph after the curve.
    virtual void PaintDots(QPainter& painter) = 0;
    // Captions of the derived page, added to the page's background.
    virtual void AddPageArtwork(Picture& picture) const;
    // dB between grid rows and between level captions.
    virtual double GridDbStep() const = 0;
    virtual double LabelDbStep() const = 0;
    // The control that takes the focus when the page was opened for an EQ.
    virtual QWidget* DefaultFocusWidget() const = 0;
    // Enables what depends on the displayed path (the sections here; derived pages add their
    // editability); runs after every refresh and every change of the displayed channel.
    virtual void RefreshPathDependents();
    // Ends a mouse gesture whose button-up will not come (the page is hidden).
    virtual void EndGesture() {}
    // The graph's pixel columns were rebuilt (new grid).
    virtual void OnGridRebuilt() {}

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

    void paintEvent(QPaintEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void leaveEvent(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
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
};

}  // namespace arvestra
