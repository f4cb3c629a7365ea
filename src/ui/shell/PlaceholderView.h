#pragma once

#include <QWidget>

#include "ui/shell/FrameView.h"

class QLabel;
class QPushButton;

namespace arvestra {

class CQ7310Doc;
class CAppSettings;

// A plain stand-in for the main view: it shows the online state, the current device and
// preset, opens the device and preset dialogs and the device list, and does the main view's
// duties for the meter refresh (going offline formally after an error answer) and the font
// check. It has the main view's size, so the frame looks as it will.
class CPlaceholderView : public QWidget, public IFrameView {
    Q_OBJECT
  public:
    CPlaceholderView(CQ7310Doc& doc, CAppSettings& settings, QWidget* parent = nullptr);

    QWidget* Widget() override { return this; }
    bool OnCommand(CommandId id) override;
    bool CommandState(CommandId id, bool& enabled, bool& checked) override;
    void OnUpdate(int hint) override;
    void OnInitialUpdate() override;

    // The texts shown, for tests: online label, device line, preset line.
    QString OnlineText() const;
    QString DeviceText() const;
    QString PresetText() const;
    // Number of meter refresh commands handled so far.
    int MeterRefreshCount() const { return meterRefreshes; }

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    void OnMeterRefresh();

    CQ7310Doc& doc;
    CAppSettings& settings;
    QLabel* onlineLabel = nullptr;
    QLabel* deviceLabel = nullptr;
    QLabel* presetLabel = nullptr;
    QPushButton* deviceButton = nullptr;
    QPushButton* presetButton = nullptr;
    bool initialised = false;
    int meterRefreshes = 0;
};

}  // namespace arvestra
