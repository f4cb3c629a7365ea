// Opens arbitrary bytes as a Location File and then lists its devices and selects and reads
// some of them: the header checks, the address table, the records and every field of every
// image must cope with whatever a file holds.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "app/AppState.h"
#include "app/ErrorReporter.h"
#include "document/CQ7310Doc.h"
#include "document/LocationFileFormat.h"
#include "model/ParamField.h"
#include "support/FakeClock.h"
#include "support/ScriptedUi.h"

namespace {

using namespace arvestra;

// A directory in memory (tmpfs) for the input and the document's working copy: every input
// makes a working copy of 528,638 bytes, and on a disk that costs more than the rest of the run.
// Without /dev/shm the temporary directory is used as it is.
void KeepFilesInMemory() {
    char pattern[] = "/dev/shm/fuzz-kvx-XXXXXX";
    if (::mkdtemp(pattern) == nullptr) return;
    static const std::string directory = pattern;
    ::setenv("TMPDIR", directory.c_str(), 1);
    std::atexit([] {
        // Only the input file is left at exit; the working copies go with their documents.
        std::filesystem::remove_all(directory);
    });
}

// The input as a file, where OpenLocation reads it from.
std::string WriteInput(const uint8_t* data, std::size_t size) {
    static const std::string path = [] {
        const char* dir = std::getenv("TMPDIR");
        std::string pattern = std::string(dir && *dir ? dir : "/tmp") + "/fuzz-kvx-XXXXXX";
        int fd = ::mkstemp(pattern.data());
        if (fd >= 0) ::close(fd);
        return pattern;
    }();
    FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) std::abort();
    if (size > 0 && std::fwrite(data, 1, size, file) != size) std::abort();
    std::fclose(file);
    return path;
}

// Reads everything a view and the dialogs read from the selected device.
// The sum only keeps the reads from being optimised away; unsigned so it may wrap.
unsigned ReadSelectedDevice(CQ7310Doc& doc, int address) {
    unsigned sum = static_cast<unsigned>(doc.Devices().GetDeviceName(address).size());
    for (int image = 0; image < kImageCount; ++image) {
        sum += static_cast<unsigned>(doc.Devices().GetPresetName(image).size());
    }
    sum += static_cast<unsigned>(doc.Devices().CurrentPreset() + doc.Devices().PresetModified() +
                                 doc.Devices().BypassA() + doc.Devices().BypassB());
    for (const FieldDescriptor& field : AllFields()) {
        const ParamField id = static_cast<ParamField>(&field - AllFields().data());
        for (int channel = 0; channel < 2; ++channel) {
            for (int index = 0; index < field.indexCount; ++index) {
                sum += static_cast<unsigned>(doc.Edits().Get(id, channel, index));
            }
        }
    }
    for (int channel = 0; channel < 2; ++channel) {
        sum += static_cast<unsigned>(doc.AnyIndicatorLit(channel));
        sum += static_cast<unsigned>(doc.Edits().GetDelaySamples(channel));
        sum += static_cast<unsigned>(doc.Edits().GetTemperatureTenths(channel));
        for (int i = 0; i < kChainLength; ++i) {
            sum += static_cast<unsigned>(doc.GetChainNode(channel, i));
        }
    }
    for (int code = 0; code < 16; ++code) sum += static_cast<unsigned>(doc.IsKindConfigured(code));
    return sum;
}

// The devices read in full: the first and the last the table lists and one the input picks.
// Every device is read by the same code at its own offsets, so reading all of up to 126 of
// them twice over (most of an input's time) finds nothing that these three do not.
std::vector<int> DevicesToRead(CQ7310Doc& doc, uint8_t pick) {
    std::vector<int> present;
    for (int address = kFirstAddress; address <= kMaxAddress; ++address) {
        if (doc.Devices().IsDevicePresent(address)) present.push_back(address);
    }
    if (present.size() <= 3) return present;
    return {present.front(), present[pick % present.size()], present.back()};
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    KeepFilesInMemory();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    AppState app;
    testing::ScriptedUi ui;
    // An older file is converted or used as it is, depending on the input.
    ui.Push(size % 2 == 0 ? UiAnswer::Yes : UiAnswer::No);
    testing::FakeClock clock;
    ErrorReporter reporter(app, ui);
    CQ7310Doc doc(reporter, clock);
    app.SetActiveDocument(&doc.Bus());

    if (doc.OpenLocation(WriteInput(data, size)) == 1) {
        volatile unsigned sink = static_cast<unsigned>(UsedLength(doc.Devices().Location()));
        for (const int address : DevicesToRead(doc, size > 0 ? data[size - 1] : 0)) {
            if (doc.EditDevice(address) != 1) std::abort();
            sink = sink + ReadSelectedDevice(doc, address);
            // Offline, a recall copies the current preset's image over the edit buffer.
            if (doc.RecallPreset(doc.Devices().CurrentPreset(), false) != 1) std::abort();
            sink = sink + ReadSelectedDevice(doc, address);
        }
        static_cast<void>(sink);
    }
    app.SetActiveDocument(nullptr);
    return 0;
}
