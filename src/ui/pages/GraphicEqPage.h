#pragma once

#include <array>
#include <vector>

#include "ui/controls/PixelRect.h"
#include "ui/pages/FilterPage.h"

namespace arvestra {

// The graphic EQ page: the 31-band graphic equaliser of one channel (template 134). Each band
// has a vertical slider and a dot on the graph; a dot is dragged up and down, and a stroke with
// the right button draws gains across the bands. "Flat", "Narrow Bw", "Wide Bw", "EQ Bypass"
// and the "Graphic"/"Parametric" switch complete the page.
class CGraphicEqPage : public CFilterPage {
    Q_OBJECT
  public:
    static constexpr int kTemplateId = 134;
    static constexpr int kBitmapId = 133;
    static constexpr int kBands = 31;
    // Shift with an arrow key moves a band this many codes (3 dB).
    static constexpr int kLargeKeyStep = 6;

    enum class MouseState { Idle, Dragging, Drawing };

    CGraphicEqPage(IPageHost& host, QWidget* parent);

    int GetBitmapId() const override { return kBitmapId; }
    double GetGraphTopDb() const override;
    double GetGraphBottomDb() const override;
    double GetGraphLowHz() const override;
    double GetGraphHighHz() const override;

    // Refreshes the base part, the edited channel and editability, the buttons, every band's
    // slider and dot, and the focus (while shown).
    void UpdatePage(int hint) override;

    int EditedChannel() const { return editedChannel_; }
    bool IsEditable() const { return editable_; }
    MouseState State() const { return state_; }
    int HoveredBand() const { return hoveredBand_; }
    CPanelSlider* BandSlider(int band) const;
    // A band's dot centre and rectangle, and its column of the graph (page pixels).
    PixelPoint DotCentre(int band) const;
    PixelRect DotRectOf(int band) const;
    PixelRect ColumnOf(int band) const;
    // The dot range: y at +15 dB and at -15 dB.
    int TopLimitY() const { return yTop_; }
    int BottomLimitY() const { return yBottom_; }
    // The tip of a band's slider and dot: its gain as "%.1f dB".
    QString BandTipText(int band) const;

    CColorButton* EqBypassButton() const { return eqBypass_; }
    CColorButton* FlatButton() const { return flat_; }
    CColorButton* NarrowButton() const { return narrow_; }
    CColorButton* WideButton() const { return wide_; }
    CColorButton* GraphicButton() const { return graphic_; }
    CColorButton* ParametricButton() const { return parametric_; }

  protected:
    void OnInitDialog() override;
    int EqEditedChannel() const override { return editedChannel_; }
    bool EqEditable() const override { return editable_; }
    EqKind PageEqKind() const override { return EqKind::Graphic; }
    void PaintDots(QPainter& painter) override;
    void AddPageArtwork(Picture& picture) const override;
    double GridDbStep() const override { return 5.0; }
    double LabelDbStep() const override { return 10.0; }
    QWidget* DefaultFocusWidget() const override;
    void RefreshPathDependents() override;
    void EndGesture() override;
    void OnGridRebuilt() override;

    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    struct Band {
        CPanelSlider* slider = nullptr;
        int dotX = 0;
        int dotY = 0;
        PixelRect dot;
        PixelRect column;
    };

    void BuildControls();
    void PlaceSliders();
    int DotAt(const QPoint& point) const;
    int GainCode(int band) const;
    void PlaceDotFromPosition(int band, int position);
    void PlaceDotAtY(int band, int y);
    void SetBandFromY(int band, int y);
    void SetBandPosition(int band, int position);
    void OnBandSlider(int band, int position);
    void EndDrag();
    void EndDrawing();
    void ShowEqPage();
    void OnFlat();
    void OnBandwidth(bool narrow);
    void OnEqBypass();
    void OnParametric();
    void LatchBandwidth();

    std::array<Band, kBands> bands_{};
    CColorButton* eqBypass_ = nullptr;
    CColorButton* flat_ = nullptr;
    CColorButton* narrow_ = nullptr;
    CColorButton* wide_ = nullptr;
    CColorButton* graphic_ = nullptr;
    CColorButton* parametric_ = nullptr;
    int editedChannel_ = 0;
    bool editable_ = false;
    int yTop_ = 0;
    int yBottom_ = 0;
    MouseState state_ = MouseState::Idle;
    int dragBand_ = -1;
    int lastY_ = 0;
    int hoveredBand_ = -1;
    int lastColumn_ = -1;
    int lastDrawY_ = 0;
};

}  // namespace arvestra
