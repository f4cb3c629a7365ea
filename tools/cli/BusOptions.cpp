#include "cli/BusOptions.h"

namespace arvestra::cli {

CLI::Option* AddBusOptions(CLI::App* command, BusOptions& bus, bool portRequired) {
    const CLI::Validator portCheck([](std::string& text) { return ParsePortOption(text).error; },
                                   "PORT", "port");
    CLI::Option* port = command->add_option("--port,-p", bus.port, kPortHelp)->check(portCheck);
    if (portRequired) port->required();
    command->add_option("--baud", bus.baud, "baud rate, 19200 (default) or 38400")
        ->check(CLI::IsMember({19200, 38400}));
    command
        ->add_option("--retries", bus.retries,
                     "answer Retry to the first N communication errors before giving up "
                     "(default 0)")
        ->check(CLI::Range(0, 1000));
    return port;
}

PortSpec PortOf(const BusOptions& bus) {
    const PortParse parse = ParsePortOption(bus.port);
    return parse.spec.value_or(PortSpec{});
}

AnswerPolicy PolicyOf(const BusOptions& bus, std::optional<bool> reconcile) {
    AnswerPolicy policy;
    policy.retries = bus.retries;
    policy.reconcile = reconcile;
    return policy;
}

}  // namespace arvestra::cli
