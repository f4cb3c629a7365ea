// arvestra-cli: the headless front end over the core, for scripting, backups and automation.
#include <CLI/CLI.hpp>

#include "cli/ExitStatus.h"
#include "cli/Verbs.h"

namespace {

constexpr char kFooter[] =
    "Every verb has --help with an example. Exit status: 0 success, 1 failure (the message,\n"
    "with the editor's error numbers, on stderr), 2 wrong usage.\n\n"
    "Quick start with the simulator:\n"
    "  arvestra-devsim --devices 1,3 --link /tmp/bus &\n"
    "  arvestra-cli create --port /tmp/bus hall.kvx\n"
    "  arvestra-cli info hall.kvx";

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
