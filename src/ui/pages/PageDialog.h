#pragma once

#include <QWidget>

#include <array>
#include <vector>

#include "ui/dialogs/DialogUnits.h"
#include "ui/pages/BlockTable.h"

class QLabel;
class QPainter;

namespace arvestra {

class CColorButton;
class DeviceTable;
class IPageDocument;
class CToolTipControl;
class IPageHost;

// The base of the five editing pages: what every page shows and does alike. It carries the
// "Online"/"Offline" latches, the "Device" and "Preset" buttons with the device and preset name
// fields, the grey panel with the page's background picture, sunken frames around value edit
// fields, a tool tip, and the services a page uses to talk back to the view that hosts it. A
// page is a child window of the main view; Enter and Escape never close or hide it.
class CPageDialog : public QWidget {
    Q_OBJECT
  public:
    // Builds the page and the framework controls; the page is hidden and has no document until
    // Create runs.
    CPageDialog(int templateId, IPageHost& host, QWidget* parent);
    ~CPageDialog() override;

    // Creation by the view: runs the page's initialisation once (derived pages add their
    // controls and edit fields in OnInitDialog). The page stays hidden.
    void Create();

    // Refreshes every control of the page from the document; the argument is not used. Does
    // nothing while the page has no document.
    virtual void UpdatePage(int unused);
    // The id of the page's background picture.
    virtual int GetBitmapId() const = 0;

    // Paints the page's background picture over the whole page.
    void PaintBackground(QPainter& painter);
    // Draws the sunken frame around every registered edit field.
    void DrawEditFrames(QPainter& painter);
    // Full refresh of the hosting view and every page, at once.
    void RequestViewUpdate();
    // 1 when one of the 16 chain slots of the current preset holds the block code, else 0.
    int IsBlockInChain(int code) const;
    // Queues the View command of a block for the hosting view; other codes do nothing.
    void ShowBlockPage(int code);

    // Selected-block flags, indexed by block code 0..14: the view sets the flag of the block
    // the page is shown for.
    void ClearSelectedBlocks();
    void SelectBlock(int code);
    int SelectedBlockFlag(int code) const;
    // The same three for a named block.
    bool IsBlockInChain(BlockCode code) const { return IsBlockInChain(ToInt(code)) != 0; }
    void ShowBlockPage(BlockCode code) { ShowBlockPage(ToInt(code)); }
    bool IsOpenedFor(BlockCode code) const { return SelectedBlockFlag(ToInt(code)) != 0; }
    // The lowest block code whose flag is set, or -1 when none is.
    int SelectedBlock() const;

    // Latch refresh of the Online/Offline pair from the application's online flag.
    void RefreshLatchState();

    int TemplateId() const { return templateId; }
    // The page's size in pixels for a font's base units (the configuration page's size).
    static QSize PageSize(const DialogBaseUnits& units);

    IPageDocument* Document() const { return doc; }
    IPageHost& Host() const { return host; }
    CColorButton* OnlineButton() const { return onlineButton; }
    CColorButton* OfflineButton() const { return offlineButton; }
    CColorButton* DeviceButton() const { return deviceButton; }
    CColorButton* PresetButton() const { return presetButton; }
    QLabel* DeviceNameLabel() const { return deviceName; }
    QLabel* PresetNameLabel() const { return presetName; }
    CToolTipControl& ToolTip() const { return *toolTip; }
    const std::vector<QWidget*>& EditFields() const { return editFields; }
    const DialogBaseUnits& Units() const { return units; }

    // The texts of the two name fields: "%d - %s" with the address and the device name, and
    // with the preset number and the preset name.
    static QString DeviceLabelText(const DeviceTable& devices);
    static QString PresetLabelText(const DeviceTable& devices);

  protected:
    // Initialisation: a derived page builds its controls, registers its edit fields and then
    // calls this base version, which frames the fields, binds the document and the tool tip and
    // makes Online/Offline latching.
    virtual void OnInitDialog();
    // Enter and Escape: nothing by default, so they never close a page. A page may commit an
    // edit field on Enter.
    virtual void OnOK();
    virtual void OnCancel();
    // The page's own artwork over the common panel; nothing by default.
    virtual void PaintArtwork(QPainter& painter);
    // The page's own graphics after the background and the edit frames; nothing by default.
    virtual void PaintPage(QPainter& painter);

    // Registers a value edit field for the sunken frame; before OnInitDialog reaches the base.
    void AddEditField(QWidget* field);
    // Places a child at a rectangle in dialog units of this page.
    void PlaceControl(QWidget* child, int x, int y, int width, int height) const;

    // "Device", "Preset", "Online" and "Offline".
    virtual void OnDeviceButton();
    virtual void OnPresetButton();
    void OnOnlineButton();
    void OnOfflineButton();

    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

  private:
    void BuildFrameworkControls();

    int templateId;
    IPageHost& host;
    IPageDocument* doc = nullptr;
    DialogBaseUnits units;
    std::vector<QWidget*> editFields;
    std::array<int, kBlockCodeCount> selectedBlocks{};
    CToolTipControl* toolTip = nullptr;
    CColorButton* onlineButton = nullptr;
    CColorButton* offlineButton = nullptr;
    CColorButton* deviceButton = nullptr;
    CColorButton* presetButton = nullptr;
    QLabel* deviceName = nullptr;
    QLabel* presetName = nullptr;
    bool created = false;
};

}  // namespace arvestra
