// The options every verb that talks to the bus shares: --port, --baud and --retries.
#pragma once

#include <string>

#include <CLI/CLI.hpp>

#include "cli/AnswerPolicy.h"
#include "cli/PortOption.h"

namespace arvestra::cli {

struct BusOptions {
    std::string port;
    int baud = 19200;
    int retries = 0;
};

// Adds the three options to a verb; --port is required when the verb always needs the bus.
CLI::Option* AddBusOptions(CLI::App* command, BusOptions& bus, bool portRequired);

// The port of a --port value that passed the option's check.
PortSpec PortOf(const BusOptions& bus);

// The answer policy of a verb.
AnswerPolicy PolicyOf(const BusOptions& bus, std::optional<bool> reconcile = std::nullopt);

// Help text shared by the verbs: what --port accepts.
inline constexpr char kPortHelp[] =
    "serial port: COM1 to COM4 (mapped to /dev/ttyS0.. or $ARVESTRA_COM<n>), a device path, "
    "tcp:HOST:PORT (raw TCP) or rfc2217:HOST:PORT (a network serial server that also sets the "
    "baud rate)";

}  // namespace arvestra::cli
