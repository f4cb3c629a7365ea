#pragma once

#include "app/UiPort.h"

// Command ids of the main window's menus and of the commands posted between the parts of the
// editor. The numbers are those the rest of the system uses to name a command (a page posts
// 32801 to show EQ A, the worker posts 32809 after a status poll).
namespace arvestra::command {

// File menu.
inline constexpr int kFileNew = 57600;
inline constexpr int kFileOpen = 57601;
inline constexpr int kFileSave = 57603;
inline constexpr int kFileSaveAs = 57604;
inline constexpr int kFileMru1 = 57616;  // the four recent files are 57616..57619
inline constexpr int kAppExit = 57665;
inline constexpr int kFileExportSettings = 32901;
inline constexpr int kFileImportSettings = 32902;

// Edit menu (handled by the main view).
inline constexpr int kEditCopy = 57634;
inline constexpr int kEditDeviceList = 32777;
inline constexpr int kEditSaveCurrentPreset = 32820;
inline constexpr int kEditUndo = 57643;
inline constexpr int kEditRedo = 57644;
inline constexpr int kEditCompareAB = 32900;

// View menu (handled by the main view).
inline constexpr int kViewDeviceConfiguration = 145;
inline constexpr int kViewDelayA = 32799;
inline constexpr int kViewDelayB = 32800;
inline constexpr int kViewEqA = 32801;
inline constexpr int kViewEqB = 32802;
inline constexpr int kViewCompLimA = 32803;
inline constexpr int kViewCompLimB = 32804;
inline constexpr int kViewLowPassA = 32805;
inline constexpr int kViewLowPassB = 32806;
inline constexpr int kViewHighPassA = 32807;
inline constexpr int kViewHighPassB = 32808;

// Online menu.
inline constexpr int kWorkOnline = 32774;
inline constexpr int kPortCom1 = 32811;  // Com1..Com4 are 32811..32814
inline constexpr int kBaud19200 = 32815;
inline constexpr int kBaud38400 = 32816;
inline constexpr int kPortDevices = 32830;    // "Port &Devices...": the device path of COM1..COM4
inline constexpr int kRemoteControl = 32850;  // "&Remote Control...": the phone and tablet page
inline constexpr int kShowControl = 32851;    // "&Show Control...": OSC for cue systems

// Help menu.
inline constexpr int kAppAbout = 57664;
inline constexpr int kHelpTopics = 57667;

// Posted commands (their numbers belong to the user interface port).
inline constexpr int kMeterRefresh = kCmdMeterRefresh;
inline constexpr int kShowDevUtilities = kCmdDevelopmentUtilities;

}  // namespace arvestra::command
