// arvestra-cli: the headless front end over the core, for scripting, backups and automation.
#include <cstdio>
#include <string>

#include <CLI/CLI.hpp>

#include "cli/ExitStatus.h"
#include "cli/Verbs.h"

namespace {

constexpr char kFooter[] =
    "Every verb has --help with an example. Exit status: 0 success, 1 failure (the message,\n"
    "with the editor's error numbers, on stderr), 2 wrong usage, 3 done but not as given (an\n"
    "import that skipped or limited values; the list on stderr). A verb never writes a\n"
    "Location File that the editor or serve has open: it names the program and fails.\n\n"
    "Quick start with the simulator:\n"
    "  arvestra-devsim --devices 1,3 --link /tmp/bus &\n"
    "  arvestra-cli create --port /tmp/bus hall.kvx\n"
    "  arvestra-cli info hall.kvx";

bool IsVerb(const arvestra::cli::VerbList& verbs, const std::string& word) {
    for (const arvestra::cli::Verb& verb : verbs) {
        if (verb.command->get_name() == word) return true;
    }
    return false;
}

}  // namespace

int main(int argc, char** argv) {
    using namespace arvestra::cli;
    CLI::App app(
        "arvestra-cli: make, read, edit, upload and download Location Files, and "
        "talk to the devices on the bus, without a window.",
        "arvestra-cli");
    app.require_subcommand(1);
    app.footer(kFooter);
    VerbList verbs;
    AddAllVerbs(app, verbs);
#ifdef ARVESTRA_HAVE_REMOTE
    AddServeVerb(app, verbs);
#endif
    // The parser would only say that a verb is required; name the word that is not one.
    if (argc > 1 && argv[1][0] != '-' && !IsVerb(verbs, argv[1])) {
        std::fprintf(stderr, "arvestra-cli: unknown verb %s (see arvestra-cli --help)\n", argv[1]);
        return kExitUsage;
    }
    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& error) {
        const int shown = app.exit(error);
        return shown == 0 ? kExitSuccess : kExitUsage;
    }
    for (const Verb& verb : verbs) {
        if (verb.command->parsed()) return verb.run();
    }
    return kExitUsage;
}
