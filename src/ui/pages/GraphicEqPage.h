#pragma once

#include <array>
#include <vector>

#include "ui/controls/PixelRect.h"
#include "ui/pages/FilterPage.h"
#include "ui/pages/GraphicEqPageGeometry.h"

namespace arvestra {

// The graphic EQ page: the 31-band graphic equaliser of one channel (template 134). Each band
// has a vertical slider and a dot on the graph; a dot is dragged up and down, and a stroke with
// the right button draws gains across the bands. "Narrow Bw" and "Wide Bw" set the bands' width;
// the rest of the page is the EQ pages' common base.
class CGraphicEqPage : public CFilterPage {
    Q_OBJECT
  public:
    static constexpr int kTemplateId = 134;
    static constexpr int kBitmapId = 133;
    static constexpr int kBands = kGraphicEqTraits.bands;

    using MouseState = GraphicEqDrag;

    CGraphicEqPage(IPageHost& host, QWidget* parent);

    int GetBitmapId() const override { return kBitmapId; }

    MouseState State() const { return state_; }
    CPanelSlider* BandSlider(int band) const;
    // A band's column of the graph (page pixels).
    PixelRect ColumnOf(int band) const;
    // The dot range: y at +15 dB and at -15 dB.
    int TopLimitY() const { return yTop_; }
    int BottomLimitY() const { return yBottom_; }
    // The tip of a band's slider and dot: its gain as "%.1f dB".
    QString BandTipText(int band) const;

    CColorButton* NarrowButton() const { return narrow_; }
    CColorButton* WideButton() const { return wide_; }

  protected:
    void OnInitDialog() override;
    void RefreshBands() override;
    void FlattenBands() override;
    void ResetBand(int band) override;
    QString DotTipText(int band) const override { return BandTipText(band); }
    void EndGesture() override;
    void OnGridRebuilt() override;

    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

  private:
    struct Band {
        CPanelSlider* slider = nullptr;
        int dotX = 0;
        PixelRect column;
    };

    void BuildControls();
    void PlaceSliders();
    int GainCode(int band) const;
    void PlaceDotFromPosition(int band, int position);
    void SetBandFromY(int band, int y);
    void SetBandPosition(int band, int position);
    void ShowSliderPosition(int band, int position);
    void OnBandSlider(int band, int position);
    void DrawTo(const QPoint& point);
    void EndDrag();
    void EndDrawing();
    void OnBandwidth(bool narrow);
    void LatchBandwidth();

    std::array<Band, kBands> bands_{};
    CColorButton* narrow_ = nullptr;
    CColorButton* wide_ = nullptr;
    int yTop_ = 0;
    int yBottom_ = 0;
    MouseState state_ = MouseState::Idle;
    int lastY_ = 0;
    int lastColumn_ = -1;
    int lastDrawY_ = 0;
};

}  // namespace arvestra
