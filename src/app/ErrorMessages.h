#pragma once

namespace arvestra {

// Message texts shown through the error reporter.

// Communication failures (link, worker pause, flush).
inline constexpr char kMsgCannotCommunicate[] =
    "Error: Cannot communicate with the Device.\nPlease make sure that the Device is correctly "
    "connected to your computer.";

// The worker thread could not be started: to the user this is one more communication failure.
inline constexpr const char* kMsgCannotStartWorker = kMsgCannotCommunicate;

// Port open and configuration failures; %s is the port name ("COM2").
inline constexpr char kMsgCouldntOpenPortFormat[] =
    "Error: Couldn't open serial port %s. Please make sure that you have the correct serial port "
    "selected.";

// Discovery found no device.
inline constexpr char kMsgNoDevicesFound[] =
    "Error: No Devices were found to be connected to your computer.";

}  // namespace arvestra
