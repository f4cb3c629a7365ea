// What an editing page may do with the document: edit the current device's edit buffer, read
// the device facts its labels and latches show, and the two operations beyond the edit buffer a
// page starts (a bypass button, the routing after a chain was changed). Files, the bus and the
// device list stay with the document's own window, so a page cannot open a location or go
// online behind the document's back.
#pragma once

#include "document/DeviceTable.h"
#include "document/EditBuffer.h"

namespace arvestra {

class IPageDocument {
  public:
    virtual ~IPageDocument() = default;

    // The edit buffer of the current device: every parameter a page shows and sets.
    virtual EditBuffer& Edits() = 0;
    virtual const EditBuffer& Edits() const = 0;
    // The device list and the device and preset being edited; read-only.
    virtual const DeviceTable& Devices() const = 0;
    virtual bool IsOnline() const = 0;

    // Sets the bypass flag of a channel of the current device (and sends both flags online);
    // 1 on success.
    virtual int SetBypass(int channel, bool on) = 0;
    // Derives every source node from the chains and sends them, live one block at a time, and
    // records the chain lists; 0 when a wait for the device gave up (reported).
    virtual int DeriveRouting() = 0;
    // Tells every view of the document that it changed.
    virtual void NotifyViewsOfChange() = 0;
};

}  // namespace arvestra
