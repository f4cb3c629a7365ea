#pragma once

#include "app/CommandId.h"

class QWidget;

namespace arvestra {

class IPageDocument;

// What a page needs from the view that hosts it: the document (seen as IPageDocument, only what
// a page edits and shows), the view's own update handling, posting a View command to it, the
// frame commands a page can start (going online and offline), and the device and preset
// dialogs, which select and recall through the whole document the view holds. The main view
// implements it; tests can stand in for it.
class IPageHost {
  public:
    virtual ~IPageHost() = default;

    // The document the view shows, or nullptr while it has none.
    virtual IPageDocument* HostDocument() = 0;
    // Runs the view's update handling at once with a hint (1: full refresh).
    virtual void OnUpdate(int hint) = 0;
    // Queues a command for the view; it runs after the current event, in posting order.
    virtual void PostViewCommand(CommandId command) = 0;
    // Runs a main-window command now, as its menu entry would (e.g. "&Work Online").
    virtual void RunFrameCommand(CommandId command) = 0;
    // Runs the Select Device dialog over `parent`; true when the user chose a device.
    virtual bool RunSelectDeviceDialog(QWidget* parent) = 0;
    // Runs the Select Preset dialog over `parent` (Cancel brings back the preset that was
    // current when it opened).
    virtual void RunSelectPresetDialog(QWidget* parent) = 0;
};

}  // namespace arvestra
