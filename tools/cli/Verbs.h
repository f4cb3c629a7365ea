// The verbs of arvestra-cli. Each Add*Verb registers one subcommand with its options, help and
// example, and what runs when the command line chose it.
#pragma once

#include <functional>
#include <vector>

#include <CLI/CLI.hpp>

namespace arvestra::cli {

// One verb: its subcommand, and the run that returns the exit status.
struct Verb {
    CLI::App* command = nullptr;
    std::function<int()> run;
};
using VerbList = std::vector<Verb>;

void AddNewVerb(CLI::App& app, VerbList& verbs);
void AddInfoVerb(CLI::App& app, VerbList& verbs);
void AddScanVerb(CLI::App& app, VerbList& verbs);
void AddCreateVerb(CLI::App& app, VerbList& verbs);
void AddUploadVerb(CLI::App& app, VerbList& verbs);
void AddDownloadVerb(CLI::App& app, VerbList& verbs);
void AddRecallVerb(CLI::App& app, VerbList& verbs);
void AddGetVerb(CLI::App& app, VerbList& verbs);
void AddSetVerb(CLI::App& app, VerbList& verbs);
void AddResponseVerb(CLI::App& app, VerbList& verbs);
void AddParamsVerb(CLI::App& app, VerbList& verbs);
void AddCopyVerb(CLI::App& app, VerbList& verbs);
// Only in builds with the remote server (the program's own sources, not the verbs' library).
void AddServeVerb(CLI::App& app, VerbList& verbs);
void AddExportVerb(CLI::App& app, VerbList& verbs);
void AddImportVerb(CLI::App& app, VerbList& verbs);
void AddEqImportVerb(CLI::App& app, VerbList& verbs);
void AddEqExportVerb(CLI::App& app, VerbList& verbs);
void AddAutoEqVerb(CLI::App& app, VerbList& verbs);

// Registers every verb, in the order --help lists them.
void AddAllVerbs(CLI::App& app, VerbList& verbs);

}  // namespace arvestra::cli
