#include "cli/CliSession.h"

#include <cerrno>
#include <cstring>
#include <filesystem>

#include <fcntl.h>
#include <unistd.h>

#include "cli/CliProgress.h"
#include "cli/ExitStatus.h"

namespace arvestra::cli {

CliSession::CliSession(std::string verb, AnswerPolicy policy)
    : verb_(std::move(verb)),
      console_(stderr),
      ui_(app_, console_, policy),
      reporter_(app_, ui_),
      doc_(reporter_, clock_) {
    app_.SetActiveDocument(&doc_.Bus());
}

CliSession::~CliSession() {
    GoOffline();
    app_.SetActiveDocument(nullptr);
}

void CliSession::UsePort(const PortSpec& port, int baudRate) {
    CSerialLink& link = doc_.Bus().Link();
    link.SetPortNumber(port.comNumber);
    link.SetBaudRate(baudRate);
    if (!port.path.empty()) {
        link.Ports().SetPath(port.comNumber, port.path);
        ui_.SetPortAlias("COM" + std::to_string(port.comNumber), port.path);
    }
}

bool CliSession::OpenFile(const std::string& path) {
    // A file that cannot be read is named as such, rather than reported as a failed working copy.
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        ui_.Fail("cannot open " + path + ": " + std::strerror(errno));
        return false;
    }
    ::close(fd);
    std::error_code error;
    if (std::filesystem::is_directory(path, error)) {
        ui_.Fail("cannot open " + path + ": it is a directory");
        return false;
    }
    return doc_.OpenLocation(path) != 0 && Healthy();
}

bool CliSession::SaveFile(const std::string& path) {
    const bool held = !fileLock_.Path().empty() && fileLock_.Path() == path;
    if (!held && !HoldForEditing(path)) return false;
    if (doc_.SaveLocation(path) == 0 || !Healthy()) return false;
    fileLock_.Renew();  // the save put a new file in place of the locked one
    return true;
}

bool CliSession::HoldForEditing(const std::string& path) {
    LockHolder holder;
    if (fileLock_.Acquire(path, &holder) != EWOULDBLOCK) return true;  // no lock, no conflict
    ui_.Fail(LockedFileMessage(path, holder));
    return false;
}

bool CliSession::MayWriteNewFile(const std::string& path, bool force) {
    std::error_code error;
    if (force || !std::filesystem::exists(path, error)) return true;
    ui_.Fail(path + " already exists; give --force to replace it");
    return false;
}

void CliSession::WithProgress(const std::function<void()>& work) {
    CliProgress progress(console_, [this] { return ProgressText(); });
    work();
}

bool CliSession::GoOnline(GoOnlineChoice choice) {
    FrameworkFileSteps steps;
    // The tool starts with nothing open that could be saved first.
    steps.saveModified = [] { return true; };
    arvestra::GoOnline online(app_, doc_, steps);
    int result = 0;
    WithProgress([&] { result = online.Run(choice); });
    return result != 0 && StillOnline();
}

bool CliSession::UploadAllDevices() {
    if (!StillOnline()) return false;
    WithProgress([this] { doc_.UploadAllDevices(); });
    return StillOnline();
}

void CliSession::GoOffline() {
    if (app_.IsOnline() != 0 || doc_.Bus().Link().IsOpen()) app_.SetOnline(0);
}

bool CliSession::RequireDevice(int address) {
    if (!CLocationImage::IsDeviceAddress(address)) {
        ui_.Fail("the address must be 1 to 126");
        return false;
    }
    const bool online = app_.IsOnline() != 0;
    const bool found = online ? doc_.Devices().IsMarkedPresent(address) != 0
                              : doc_.Devices().Location().SlotOf(address) != kNoDevice;
    if (found) return true;
    ui_.Fail(online ? "no device answered at address " + std::to_string(address)
                    : "the location holds no device at address " + std::to_string(address));
    return false;
}

int CliSession::Finish(bool ok) {
    GoOffline();
    return ok && Healthy() ? kExitSuccess : kExitFailure;
}

std::string CliSession::ProgressText() {
    // Only the link's address is read here (on the progress thread): it is an atomic, and it
    // tells where the bus traffic has got to.
    return "arvestra-cli " + verb_ + ": bus address " +
           std::to_string(static_cast<int>(doc_.Bus().Link().Address()));
}

}  // namespace arvestra::cli
