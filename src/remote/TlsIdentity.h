// The certificate and key the remote server encrypts with: the user's own, or a self-signed
// one made on first use and kept in the user's configuration directory, so that a phone that
// accepted it once meets the same one next time. Its fingerprint is shown beside the page's
// address so the user can tell it from a stranger's.
#pragma once

#include <optional>
#include <string>

namespace arvestra::remote {

struct TlsIdentity {
    std::string certificatePem;
    std::string keyPem;
    std::string fingerprint;  // SHA-256 of the certificate, "AB:CD:..."
};

// $XDG_CONFIG_HOME/arvestra when that is an absolute path, else ~/.config/arvestra; empty when
// neither is known.
std::string ConfigDirectory();

// Reads the certificate and key at these paths; when neither file exists, makes a self-signed
// pair there first (the key readable by the user alone). Empty, with the reason in `error`,
// when the files cannot be read, made, or do not belong together.
std::optional<TlsIdentity> LoadOrCreateIdentity(const std::string& certificatePath,
                                                const std::string& keyPath, std::string* error);

// The default pair in the configuration directory.
std::string DefaultCertificatePath();
std::string DefaultKeyPath();

}  // namespace arvestra::remote
