// What the EQ verbs (eq-import, autoeq) share: which device, channel and preset they change,
// offline in FILE or live on the bus, and the run around their edit.
#pragma once

#include <functional>
#include <string>

#include <CLI/CLI.hpp>

#include "cli/BusOptions.h"
#include "cli/CliSession.h"

namespace arvestra::cli {

struct EqTargetOptions {
    BusOptions bus;
    std::string file;
    int address = 1;
    int channel = 1;  // 1 or 2
    int preset = 0;   // 0: the edit buffer; 1..8: recall that preset, edit, and store it back
};

// Adds FILE, --address, --channel, --preset and the bus options to a verb.
void AddEqTargetOptions(CLI::App* command, EqTargetOptions& options);

// The edit of one verb on the selected device; false (after a message) to write nothing.
using EqEdit = std::function<bool(CliSession& session, int channel)>;

// Opens FILE (offline) or goes online as "Upload From Devices" does (with --port), selects the
// device, recalls --preset, runs the edit, stores the preset back, and saves FILE. Nothing is
// saved when the edit refuses.
int RunEqEdit(const std::string& verb, const EqTargetOptions& options, const EqEdit& edit);

}  // namespace arvestra::cli
