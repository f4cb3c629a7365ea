// What a remote control (the remote page, OSC) may do with the document: read the device list
// and the edit buffer, follow the edits, read the meters, and change the show only through the
// operations a performer has on the device's front panel (choose a device, recall, store,
// bypass, set a parameter). It cannot open or save a location, go online or discover: those
// stay with the editor's own window, so a remote can never change the document behind its back.
#pragma once

#include <optional>
#include <span>
#include <string_view>

#include "document/DeviceTable.h"
#include "document/EditBuffer.h"
#include "document/EditEvent.h"
#include "link/DeviceCommands.h"
#include "model/ParamEdit.h"

namespace arvestra {

class IRemoteControl {
  public:
    // How a store asked for by a remote ended: each failure has its own message.
    enum class StoreOutcome { Stored, NameNotSent, NotStored };

    virtual ~IRemoteControl() = default;

    // ---- Reading -------------------------------------------------------------------------------

    virtual bool IsOnline() const = 0;
    // The device list, the device and preset being edited; read-only.
    virtual const DeviceTable& Devices() const = 0;
    // The edit buffer of the current device; read-only (edits go through ApplyEdits).
    virtual const EditBuffer& Edits() const = 0;
    // The last meters the worker polled.
    virtual MeterRecord Meters() const = 0;
    // The indicator lamp rule for a channel.
    virtual bool AnyIndicatorLit(int channel) const = 0;

    // Announces every change of the edit buffer to `listener` until StopListeningToEdits.
    virtual EditListenerId ListenToEdits(EditListener listener) = 0;
    virtual void StopListeningToEdits(EditListenerId id) = 0;

    // ---- Changing the show ----------------------------------------------------------------------

    // Makes `address` the device being edited (no reading from the device).
    virtual void SelectDevice(int address) = 0;
    // SelectDevice, and online the device's information and edit buffer are read; 1 on success.
    virtual int EditDevice(int address) = 0;
    // Applies edits to the current device through the one edit path (names name the stored
    // preset, the routing follows the chains); false as soon as one failed.
    virtual bool ApplyEdits(std::span<const ParamEdit> edits, EditReason reason) = 0;
    // Recalls a preset as the device's own buttons do: edits of the current preset are given up
    // without asking (the stored presets are untouched); 1 on success.
    virtual int RecallPresetDiscardingEdits(int preset) = 0;
    // Stores the edit buffer as `preset`, named `latin1Name` first when one is given.
    virtual StoreOutcome StorePresetAs(int preset, std::optional<std::string_view> latin1Name) = 0;
    // Sets the bypass flag of a channel of the current device (and sends both flags online);
    // 1 on success.
    virtual int SetBypass(int channel, bool on) = 0;
    // Tells every view of the document that it changed.
    virtual void NotifyViewsOfChange() = 0;
};

}  // namespace arvestra
