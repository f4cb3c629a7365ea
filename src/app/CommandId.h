#pragma once

// The commands of the editor's menus and those posted between its parts, by the numbers the
// rest of the system uses to name them (a page posts 32801 to show EQ A, the worker posts 32809
// after a status poll). The core posts two of them and passes the others through untouched.
#include <iosfwd>

namespace arvestra {

enum class CommandId : int {
    // File menu.
    FileNew = 57600,
    FileOpen = 57601,
    FileSave = 57603,
    FileSaveAs = 57604,
    FileMru1 = 57616,  // the recent files are FileMru1 .. FileMru1 + kRecentFileCommands - 1
    AppExit = 57665,
    FileExportSettings = 32901,
    FileImportSettings = 32902,

    // Edit menu (handled by the main view).
    EditCopy = 57634,
    EditDeviceList = 32777,
    EditSaveCurrentPreset = 32820,
    EditUndo = 57643,
    EditRedo = 57644,
    EditCompareAB = 32900,

    // View menu (handled by the main view).
    ViewDeviceConfiguration = 145,
    ViewDelayA = 32799,
    ViewDelayB = 32800,
    ViewEqA = 32801,
    ViewEqB = 32802,
    ViewCompLimA = 32803,
    ViewCompLimB = 32804,
    ViewLowPassA = 32805,
    ViewLowPassB = 32806,
    ViewHighPassA = 32807,
    ViewHighPassB = 32808,
    ViewEditButton = 1135,  // the main view's Edit button, named by its control id

    // Online menu.
    WorkOnline = 32774,
    PortCom1 = 32811,  // COM1..COM4 are PortCom1 .. PortCom1 + kPortCommands - 1
    Baud19200 = 32815,
    Baud38400 = 32816,
    PortDevices = 32830,    // "Port &Devices...": the device path of COM1..COM4
    RemoteControl = 32850,  // "&Remote Control...": the phone and tablet page
    ShowControl = 32851,    // "&Show Control...": OSC for cue systems

    // Help menu.
    AppAbout = 57664,
    HelpTopics = 57667,

    // Posted by the core: new meters (or offline), and the development utilities asked for.
    MeterRefresh = 32809,
    ShowDevUtilities = 32821,
};

inline constexpr int kPortCommands = 4;
inline constexpr int kRecentFileCommands = 4;

// The command that selects COM port `port` (1..kPortCommands).
constexpr CommandId PortCommand(int port) {
    return static_cast<CommandId>(static_cast<int>(CommandId::PortCom1) + port - 1);
}

// The port a command selects (1..kPortCommands), or 0 when it selects none.
constexpr int PortOfCommand(CommandId id) {
    const int port = static_cast<int>(id) - static_cast<int>(CommandId::PortCom1) + 1;
    return port >= 1 && port <= kPortCommands ? port : 0;
}

// The command that opens recent file `index` (0..kRecentFileCommands - 1).
constexpr CommandId RecentFileCommand(int index) {
    return static_cast<CommandId>(static_cast<int>(CommandId::FileMru1) + index);
}

// The recent file a command opens (0..kRecentFileCommands - 1), or -1 when it opens none.
constexpr int RecentFileOfCommand(CommandId id) {
    const int index = static_cast<int>(id) - static_cast<int>(CommandId::FileMru1);
    return index >= 0 && index < kRecentFileCommands ? index : -1;
}

// Writes a command as its number (messages and test output).
std::ostream& operator<<(std::ostream& out, CommandId id);

}  // namespace arvestra
