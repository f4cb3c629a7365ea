// serve [--port P] FILE [--http HOST:PORT] [--osc HOST:PORT [--osc-allow LIST]] [--address A]
// [--insecure] [--qr PNG]: the remote control and show control without a window. With --port the
// tool goes online as "Upload From Devices" does (FILE's earlier contents are replaced) and every
// change a page or an OSC message makes goes live to the device; without it they edit FILE
// offline. The page's address, with the access code, is the first line on standard output; then
// the address that only watches, the certificate's fingerprint, on a terminal the QR code, and
// the OSC address ("osc.udp://HOST:PORT/"). The tool serves until SIGINT or SIGTERM, then sends
// what is pending, reads every device back (online) and saves FILE. Its working copy is kept for
// recovery as the editor's is, so a killed tool leaves its edits to be recovered.
//
// This verb alone links Qt (the remote server); the rest of the tool stays free of it.
#include <sys/socket.h>
#include <unistd.h>
#include <csignal>
#include <cstdio>
#include <memory>
#include <optional>

#include <QCoreApplication>
#include <QSocketNotifier>

#include "cli/BusOptions.h"
#include "cli/CliSession.h"
#include "cli/ExitStatus.h"
#include "cli/Verbs.h"
#include "document/RecoveryStore.h"
#include "remote/ListenAddress.h"
#include "remote/QrCode.h"
#include "remote/RemoteServer.h"
#ifdef ARVESTRA_HAVE_OSC
#include "remote/OscService.h"
#endif

namespace arvestra::cli {

namespace {

struct ServeOptions {
    BusOptions bus;
    std::string file;
    std::string http;
    std::string osc;
    std::string oscAllow;
    int address = 0;
    bool insecure = false;
    std::string qrFile;
    std::string certificate;
    std::string key;
};

// The write end of the pipe the signal handler wakes the event loop through.
int g_stopWrite = -1;

void OnStopSignal(int) {
    const char byte = 1;
    // Nothing else is safe in a handler; a full pipe already holds a wake-up.
    [[maybe_unused]] const ssize_t written = ::write(g_stopWrite, &byte, 1);
}

// Quits the event loop on SIGINT or SIGTERM.
class StopOnSignal {
  public:
    StopOnSignal() {
        if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, fds_) != 0) return;
        g_stopWrite = fds_[0];
        notifier_ = std::make_unique<QSocketNotifier>(fds_[1], QSocketNotifier::Read);
        QObject::connect(notifier_.get(), &QSocketNotifier::activated,
                         [] { QCoreApplication::quit(); });
        struct sigaction action {};
        action.sa_handler = OnStopSignal;
        sigemptyset(&action.sa_mask);
        sigaction(SIGINT, &action, nullptr);
        sigaction(SIGTERM, &action, nullptr);
    }
    ~StopOnSignal() {
        std::signal(SIGINT, SIG_DFL);
        std::signal(SIGTERM, SIG_DFL);
        notifier_.reset();
        g_stopWrite = -1;
        for (const int fd : fds_) {
            if (fd >= 0) ::close(fd);
        }
    }
    StopOnSignal(const StopOnSignal&) = delete;
    StopOnSignal& operator=(const StopOnSignal&) = delete;

  private:
    int fds_[2] = {-1, -1};
    std::unique_ptr<QSocketNotifier> notifier_;
};

// Working copies go where the editor keeps them for recovery, each with its note.
void KeepForRecovery(LocationSession& session) {
    const std::string directory = RecoveryStore::StateDirectory();
    if (!directory.empty() && RecoveryStore::EnsureDirectory(directory) == 0) {
        session.SetRecoveryDirectory(directory);
    }
}

// Opens the location and selects the device to edit first; false after a message.
bool Prepare(CliSession& session, const ServeOptions& options) {
    const bool online = !options.bus.port.empty();
    KeepForRecovery(session.Doc().Session());
    if (online) {
        session.UsePort(PortOf(options.bus), options.bus.baud);
        if (!session.GoOnline(GoOnlineChoice::kUploadFromDevices)) return false;
    } else if (!session.OpenFile(options.file)) {
        return false;
    }
    CQ7310Doc& doc = session.Doc();
    const int address =
        options.address != 0 ? options.address : doc.Devices().FirstPresentAddress();
    if (address == 0) {
        session.Ui().Fail("serve: the location holds no device");
        return false;
    }
    if (!session.RequireDevice(address)) return false;
    if (online) {
        // A copy recovered after a kill names the file it was to be saved as.
        doc.Session().SetPath(options.file);
        doc.Session().UpdateRecoveryNote(doc.IsModified());
        return doc.EditDevice(address) != 0 && session.Healthy();
    }
    doc.SelectDevice(address);
    return true;
}

// Sends what is pending, reads the bus back (online) and saves FILE.
bool Finish(CliSession& session, const ServeOptions& options) {
    if (!options.bus.port.empty()) {
        if (!session.Doc().Bus().WaitDirtyFlushed() || !session.StillOnline()) return false;
        if (!session.UploadAllDevices()) return false;
        session.GoOffline();
    }
    return session.SaveFile(options.file);
}

// The page's address first (scripts read that line), then what a person needs to pair.
bool Announce(const remote::RemoteServer& server, const ServeOptions& options) {
    std::printf("%s\n", qPrintable(server.PageAddress()));
    std::printf("watch only: %s\n", qPrintable(server.ReadOnlyAddress()));
    if (server.IsSecure()) {
        std::printf("certificate SHA-256 fingerprint: %s\n", qPrintable(server.Fingerprint()));
    } else {
        std::fprintf(stderr,
                     "arvestra-cli serve: warning: --insecure: the page, its access code and "
                     "every change travel unencrypted; anyone on the network can read and "
                     "replay them\n");
    }
    const std::optional<remote::QrCode> qr =
        remote::QrCode::Encode(server.PageAddress().toStdString());
    if (qr && ::isatty(STDOUT_FILENO)) std::printf("%s", qr->ToTerminal().c_str());
    std::fflush(stdout);
    if (options.qrFile.empty()) return true;
    if (!qr || !qr->ToImage(8).save(QString::fromStdString(options.qrFile), "PNG")) {
        std::fprintf(stderr, "arvestra-cli serve: cannot write the QR code to %s\n",
                     options.qrFile.c_str());
        return false;
    }
    return true;
}

int RunServe(const ServeOptions& options) {
    if (options.http.empty() && options.osc.empty()) {
        std::fprintf(stderr, "arvestra-cli serve: give --http, --osc or both\n");
        return kExitUsage;
    }
    if (options.certificate.empty() != options.key.empty()) {
        std::fprintf(stderr, "arvestra-cli serve: --cert and --key go together\n");
        return kExitUsage;
    }
    QString error;
    std::optional<remote::ListenAddress> listen;
    if (!options.http.empty()) {
        listen = remote::ParseListenAddress(QString::fromStdString(options.http), &error);
        if (!listen) {
            std::fprintf(stderr, "arvestra-cli serve: --http: %s\n", qPrintable(error));
            return kExitUsage;
        }
    }
#ifdef ARVESTRA_HAVE_OSC
    // Mistyped OSC options are told before the bus is touched.
    std::string reason;
    if (!options.osc.empty() && !osc::ParseOscListenAddress(options.osc, &reason)) {
        std::fprintf(stderr, "arvestra-cli serve: --osc: %s\n", reason.c_str());
        return kExitUsage;
    }
    if (!osc::OscAllowList::Parse(options.oscAllow, &reason)) {
        std::fprintf(stderr, "arvestra-cli serve: --osc-allow: %s\n", reason.c_str());
        return kExitUsage;
    }
#endif
    int argc = 1;
    char name[] = "arvestra-cli";
    char* argv[] = {name, nullptr};
    QCoreApplication app(argc, argv);
    // Before the first exchange: a stop while the devices are read waits for the exchange under
    // way, instead of leaving the request's reply on the line for the next program.
    auto stop = std::make_unique<StopOnSignal>();
    CliSession session("serve", PolicyOf(options.bus));
    if (!session.HoldForEditing(options.file)) return session.Finish(false);
    if (!Prepare(session, options)) return session.Finish(false);

    remote::RemoteServer server(session.Doc());
    remote::ServeOptions serving;
    serving.secure = !options.insecure;
    serving.certificatePath = options.certificate;
    serving.keyPath = options.key;
    server.SetOptions(serving);
    const std::string state = RecoveryStore::StateDirectory();
    if (!state.empty()) server.SetLogPath(state + "/remote-changes.log");
    if (listen && !server.Start(listen->host, listen->port, &error)) {
        session.Ui().Fail("serve: " + error.toStdString());
        return session.Finish(false);
    }
    if (listen && !Announce(server, options)) {
        server.Stop();
        return session.Finish(false);
    }
#ifdef ARVESTRA_HAVE_OSC
    remote::OscService osc(session.Doc());
    if (!options.osc.empty()) {
        if (!osc.Start(options.osc, options.oscAllow, &reason)) {
            session.Ui().Fail("serve: --osc: " + reason);
            return session.Finish(false);
        }
        std::printf("osc.udp://%s/\n", osc.ListenAddress().c_str());
    }
#endif
    std::fflush(stdout);
    QCoreApplication::exec();
    stop.reset();
#ifdef ARVESTRA_HAVE_OSC
    osc.Stop();
#endif
    server.Stop();
    return session.Finish(Finish(session, options));
}

}  // namespace

void AddServeVerb(CLI::App& app, VerbList& verbs) {
    auto options = std::make_shared<ServeOptions>();
    CLI::App* command = app.add_subcommand(
        "serve", "Serve the remote-control page and OSC show control until interrupted");
    AddBusOptions(command, options->bus, false);
    command->add_option("FILE", options->file, "Location File to edit (or to write, with --port)")
        ->required();
    command->add_option("--http", options->http, "address of the remote-control page: HOST:PORT");
#ifdef ARVESTRA_HAVE_OSC
    command->add_option("--osc", options->osc, "address for OSC show control (UDP): HOST:PORT");
    command->add_option("--osc-allow", options->oscAllow,
                        "OSC senders to take messages from, e.g. 127.0.0.1,10.0.0.0/24 "
                        "(default: every sender)");
#endif
    command
        ->add_option("--address,-a", options->address, "device to edit first (default: the lowest)")
        ->check(CLI::Range(1, 126));
    command->add_flag("--insecure", options->insecure,
                      "serve plain HTTP instead of HTTPS (anyone on the network can read it)");
    command->add_option("--qr", options->qrFile, "write the page address's QR code to this PNG");
    command->add_option("--cert", options->certificate,
                        "your own certificate (PEM) instead of the self-signed one");
    command->add_option("--key", options->key, "the private key (PEM) of --cert");
    command->footer(
        "Prints the page's address (with its access code) as the first line, then the address\n"
        "that only watches and the certificate's fingerprint (a self-signed certificate is made\n"
        "on first use in ~/.config/arvestra), then serves until\n"
        "Ctrl+C or SIGTERM and saves FILE. With --port the tool goes online as \"Upload From\n"
        "Devices\" does, the pages' changes go to the devices live, and FILE is replaced with "
        "what\nthe bus then holds. HOST is one address of this computer (not 0.0.0.0 unless every\n"
        "network may reach it).\n\n"
        "With --osc, cue systems and control surfaces drive the devices over OSC (the second\n"
        "line, or the first without --http, is osc.udp://HOST:PORT/). Addresses:\n"
        "  /arvestra/<A>/preset/recall i N     /arvestra/<A>/preset/store i N\n"
        "  /arvestra/<A>/bypass/<1|2> i 0|1    /arvestra/<A>/<param> f|i|s\n"
        "  /arvestra/<A>/<param>/inc f|i       /arvestra/<A>/<param>/get\n"
        "  /arvestra/subscribe [f rate]        /arvestra/unsubscribe\n"
        "A is a bus address or \"all\"; param a name of \"arvestra-cli params\"; a float is in\n"
        "the parameter's unit (dB, Hz, ms), an int a code, a string as on the command line.\n\n"
        "Examples:\n"
        "  arvestra-cli serve --port COM2 hall.kvx --http 192.168.1.20:8080\n"
        "  arvestra-cli serve --port COM2 hall.kvx --osc 192.168.1.20:9000 "
        "--osc-allow 192.168.1.0/24");
    verbs.push_back({command, [options] { return RunServe(*options); }});
}

}  // namespace arvestra::cli
