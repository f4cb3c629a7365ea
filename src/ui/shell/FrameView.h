#pragma once

#include "app/CommandId.h"

class QWidget;

namespace arvestra {

// What the main frame needs from the view it hosts: the widget to show, the commands the view
// handles (the View and Edit menus, 32809, 32821, 57634), their menu states, the document's
// update notifications and the first showing.
class IFrameView {
  public:
    virtual ~IFrameView() = default;

    // The view's widget; the frame makes it its central widget and fits its size to it.
    virtual QWidget* Widget() = 0;
    // Runs a command; false when the view does not handle that id.
    virtual bool OnCommand(CommandId id) = 0;
    // Menu state of a view command; false when the view does not handle that id.
    virtual bool CommandState(CommandId id, bool& enabled, bool& checked) = 0;
    // The document changed; hint 0/1 full refresh, 2 chain map, 3 a new document was loaded.
    virtual void OnUpdate(int hint) = 0;
    // Called once, right after the main window was first shown.
    virtual void OnInitialUpdate() = 0;
};

}  // namespace arvestra
