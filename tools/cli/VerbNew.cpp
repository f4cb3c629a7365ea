// new FILE: a new offline location with one default device at address 1, saved.
#include <memory>

#include "cli/CliSession.h"
#include "cli/ExitStatus.h"
#include "cli/Verbs.h"

namespace arvestra::cli {

namespace {

struct NewOptions {
    std::string file;
    bool force = false;
};

int RunNew(const NewOptions& options) {
    CliSession session("new", AnswerPolicy{});
    if (!session.MayWriteNewFile(options.file, options.force)) return kExitFailure;
    const bool ok =
        session.Doc().NewLocation() != 0 && session.Healthy() && session.SaveFile(options.file);
    return session.Finish(ok);
}

}  // namespace

void AddNewVerb(CLI::App& app, VerbList& verbs) {
    auto options = std::make_shared<NewOptions>();
    CLI::App* command =
        app.add_subcommand("new", "Make a new Location File with one default device at address 1");
    command->add_option("FILE", options->file, "Location File to write (.kvx)")->required();
    command->add_flag("--force", options->force, "replace FILE if it exists");
    command->footer("Example:\n  arvestra-cli new hall.kvx");
    verbs.push_back({command, [options] { return RunNew(*options); }});
}

}  // namespace arvestra::cli
