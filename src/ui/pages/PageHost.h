#pragma once

#include "app/CommandId.h"

namespace arvestra {

class CQ7310Doc;

// What a page needs from the view that hosts it: the document, the view's own update handling,
// posting a View command to it, and the frame commands a page can start (going online and
// offline). The main view implements it; tests can stand in for it.
class IPageHost {
  public:
    virtual ~IPageHost() = default;

    // The document the view shows, or nullptr while it has none.
    virtual CQ7310Doc* HostDocument() = 0;
    // Runs the view's update handling at once with a hint (1: full refresh).
    virtual void OnUpdate(int hint) = 0;
    // Queues a command for the view; it runs after the current event, in posting order.
    virtual void PostViewCommand(CommandId command) = 0;
    // Runs a main-window command now, as its menu entry would (e.g. "&Work Online").
    virtual void RunFrameCommand(CommandId command) = 0;
};

}  // namespace arvestra
