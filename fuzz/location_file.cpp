// Opens arbitrary bytes as a Location File and then lists its devices and selects and reads
// some of them: the header checks, the address table, the records and every field of every
// image must cope with whatever a file holds.
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>
#include <string>
#include <vector>

#include "app/AppState.h"
#include "app/ErrorReporter.h"
#include "document/CQ7310Doc.h"
#include "document/LocationFileFormat.h"
#include "document/LocationSession.h"
#include "document/WorkingCopy.h"
#include "model/ParamField.h"
#include "support/FakeClock.h"
#include "support/ScriptedUi.h"

namespace {

using namespace arvestra;

// The input is opened as the Location File at this path, through a working copy in memory:
// a working copy on disk (a 528,638-byte file made, filled and deleted for every input) would
// cost more than everything else an input does.
constexpr char kInputPath[] = "fuzz-input.kvx";

// Makes the one working copy an input needs from the input's bytes, in memory that is reused
// from input to input (allocating and clearing half a megabyte afresh each time is slow under
// the sanitizers too).
WorkingCopyMaker InputCopyMaker(std::span<const uint8_t> input) {
    static std::array<uint8_t, kLocationSize>* const memory =
        new std::array<uint8_t, kLocationSize>;
    return [input, made = false](const std::string& path, FileFault&) mutable {
        // A second copy in the same memory would overwrite the first while it is in use.
        if (made || path != kInputPath) std::abort();
        made = true;
        return WorkingCopy::InMemory(input, *memory);
    };
}

// What the views show of the selected device apart from its edit buffer: its name, the preset
// names and which blocks the chain holds (the page menus). A recall changes none of the names,
// and the chain slots it brings are read again as fields by ReadCurrentImage.
// The sums only keep the reads from being optimised away; unsigned so they may wrap.
unsigned ReadDeviceRecord(CQ7310Doc& doc, int address) {
    unsigned sum = static_cast<unsigned>(doc.Devices().GetDeviceName(address).size());
    for (int image = 0; image < kImageCount; ++image) {
        sum += static_cast<unsigned>(doc.Devices().GetPresetName(image).size());
    }
    for (int code = 0; code < 16; ++code) sum += static_cast<unsigned>(doc.IsKindConfigured(code));
    return sum;
}

// Everything the views and dialogs read from the edit buffer: every field (a per-channel field
// on both channels, any other once, as both channels read the same byte), the lamps, the delay,
// the temperature and the chains, with the record's preset and bypass state. The fields are
// decoded straight from the edit buffer's bytes, by the decoder doc.Get uses, without looking
// the buffer up again for each of the 308 reads; the lookups themselves run in the reads below.
unsigned ReadCurrentImage(CQ7310Doc& doc) {
    unsigned sum =
        static_cast<unsigned>(doc.Devices().CurrentPreset() + doc.Devices().PresetModified() +
                              doc.Devices().BypassA() + doc.Devices().BypassB());
    const uint8_t* bytes = doc.Edits().Data();
    if (bytes == nullptr) std::abort();  // a selected device always has an edit buffer
    const std::span<const uint8_t, kPresetImageSize> image(bytes, kPresetImageSize);
    for (const FieldDescriptor& field : AllFields()) {
        const ParamField id = static_cast<ParamField>(&field - AllFields().data());
        for (int channel = field.perChannel() ? 0 : 1; channel < 2; ++channel) {
            for (int index = 0; index < field.indexCount; ++index) {
                sum += static_cast<unsigned>(ReadField(image, id, channel, index));
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

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    AppState app;
    testing::ScriptedUi ui;
    // An older file is converted or used as it is, depending on the input.
    ui.Push(size % 2 == 0 ? UiAnswer::Yes : UiAnswer::No);
    testing::FakeClock clock;
    ErrorReporter reporter(app, ui);
    CQ7310Doc doc(reporter, clock);
    app.SetActiveDocument(&doc.Bus());
    doc.Session().SetWorkingCopyMaker(InputCopyMaker(std::span<const uint8_t>(data, size)));

    if (doc.OpenLocation(kInputPath) == 1) {
        volatile unsigned sink = static_cast<unsigned>(UsedLength(doc.Devices().Location()));
        for (const int address : DevicesToRead(doc, size > 0 ? data[size - 1] : 0)) {
            if (doc.EditDevice(address) != 1) std::abort();
            sink = sink + ReadDeviceRecord(doc, address) + ReadCurrentImage(doc);
            // Offline, a recall copies the current preset's image over the edit buffer.
            if (doc.RecallPreset(doc.Devices().CurrentPreset(), false) != 1) std::abort();
            sink = sink + ReadCurrentImage(doc);
        }
        static_cast<void>(sink);
    }
    app.SetActiveDocument(nullptr);
    return 0;
}
