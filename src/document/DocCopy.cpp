#include "document/DocCopy.h"

#include <filesystem>
#include <memory>

#include "document/CQ7310Doc.h"
#include "document/EditPath.h"
#include "document/LocationBuffer.h"
#include "document/TextFormat.h"

namespace arvestra {

namespace {

std::span<const uint8_t, kPresetImageSize> SnapshotImage(const CopySnapshot& snapshot, int image) {
    return std::span<const uint8_t, kPresetImageSize>(
        snapshot.record.data() + kRecImages + static_cast<std::size_t>(image) * kImageSlotSize,
        kPresetImageSize);
}

// A setting into the edit buffer goes through the edit path, as "set" would: values are
// limited, linked channels follow, and online the worker sends the marked bytes.
bool ApplySettingToEditBuffer(CQ7310Doc& doc, const CopySnapshot& snapshot,
                              const CopyRequest& request, const CopyTarget& target) {
    doc.SelectDevice(target.address);
    const std::vector<ParamEdit> edits = SettingEdits(SnapshotImage(snapshot, request.fromImage),
                                                      request.fromSetting, target.setting);
    const bool done = ApplyDocumentEdits(doc, edits, EditReason::Copy);
    doc.RecordChains();
    return done;
}

// Any other target: the bytes change with the worker paused, then, online, the device gets
// the image (or its whole record) as the download of a device sends it.
bool ApplyBytes(CQ7310Doc& doc, const CopySnapshot& snapshot, const CopyRequest& request,
                const CopyTarget& target, bool online) {
    const PauseResult pause = doc.Bus().PauseWorker(true);
    if (!pause.ok) return false;
    const bool written = ApplyCopyTarget(snapshot, request, target, doc.Devices().Location());
    doc.Bus().ResumeWorker(pause.saved);
    if (!written) return false;
    if (!online) return true;
    doc.SelectDevice(target.address);
    if (request.what == CopyWhat::Device) return doc.DownloadDevice() != 0;
    if (doc.SendImage(target.image) == 0) return false;
    if (target.image == 0) doc.RecordChains();
    return true;
}

std::string CheckPresentOnBus(const DeviceTable& devices, const CopyRequest& request) {
    for (const int address : request.toAddresses) {
        if (devices.IsDevicePresent(address) == 0) {
            return FormatText("No device answered at address %d.", address);
        }
    }
    return {};
}

// True when a path names the file the document has open: a copy written there behind the
// document's back would be lost at the document's next save.
bool IsOpenLocationFile(const LocationSession& session, const std::string& path) {
    if (session.Path().empty()) return false;
    std::error_code error;
    return std::filesystem::equivalent(session.Path(), path, error);
}

}  // namespace

std::string CopyIntoDocument(CQ7310Doc& doc, const CLocationImage& source,
                             const CopyRequest& request) {
    const bool online = doc.IsOnline() != 0;
    std::string error = CheckCopy(source, doc.Devices().Location(), request, !online);
    if (error.empty() && online) error = CheckPresentOnBus(doc.Devices(), request);
    if (!error.empty()) return error;

    const CopySnapshot snapshot = TakeCopySnapshot(source, request.fromAddress);
    const int remembered = doc.Devices().CurrentAddress();
    for (const CopyTarget& target : CopyTargets(request)) {
        bool ok = true;
        if (request.what == CopyWhat::Setting && target.image == 0) {
            ok = ApplySettingToEditBuffer(doc, snapshot, request, target);
        } else {
            ok = ApplyBytes(doc, snapshot, request, target, online);
        }
        if (!ok || (online && doc.IsOnline() == 0)) {
            error = FormatText("The copy to the device at address %d did not complete.",
                               target.address);
            break;
        }
    }
    // Selecting the device again sends the edits still pending for the last destination.
    doc.SelectDevice(remembered);
    if (!online) doc.Devices().RebuildPresentTable();
    doc.SetModifiedFlag(true);
    // The copy replaced what it reached, as a recall does: an undo afterwards would revert the
    // edit buffer and leave copied presets and names, a device half one thing, half another.
    doc.Edits().EndHistory("a copy was made into the location");
    doc.Ui().DocumentChanged();
    return error;
}

std::string RunCopy(CQ7310Doc& doc, const CopyEndpoint& from, const CopyEndpoint& to,
                    const CopyRequest& request) {
    std::string error;
    std::unique_ptr<CLocationBuffer> sourceFile;
    if (!from.currentLocation) {
        sourceFile = CLocationBuffer::Load(from.path, true, error);
        if (!sourceFile) return error;
    }
    const CLocationImage& source = sourceFile ? sourceFile->Location() : doc.Devices().Location();
    if (to.currentLocation) return CopyIntoDocument(doc, source, request);
    if (IsOpenLocationFile(doc.Session(), to.path)) {
        return to.path + " is the location open here; choose Current Location to copy into it.";
    }

    std::unique_ptr<CLocationBuffer> destination = CLocationBuffer::Load(to.path, false, error);
    if (!destination) return error;
    error = CopyBetweenLocations(source, destination->Location(), request, true);
    if (!error.empty()) return error;
    destination->Save(to.path, error);
    return error;
}

}  // namespace arvestra
