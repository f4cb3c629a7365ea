#include "remote/TlsIdentity.h"

#include <openssl/bio.h>
#include <openssl/evp.h>
#include <openssl/pem.h>
#include <openssl/rand.h>
#include <openssl/x509.h>
#include <sys/stat.h>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <memory>
#include <sstream>

#include "document/RecoveryStore.h"

namespace arvestra::remote {

namespace {

constexpr long kValidDays = 3650;

template <typename T, void (*Free)(T*)>
struct Deleter {
    void operator()(T* p) const { Free(p); }
};
using KeyPtr = std::unique_ptr<EVP_PKEY, Deleter<EVP_PKEY, EVP_PKEY_free>>;
using CertPtr = std::unique_ptr<X509, Deleter<X509, X509_free>>;
using BioPtr = std::unique_ptr<BIO, Deleter<BIO, BIO_free_all>>;

bool Fail(std::string* error, const std::string& reason) {
    if (error) *error = reason;
    return false;
}

std::string BioText(BIO* bio) {
    char* data = nullptr;
    const long length = BIO_get_mem_data(bio, &data);
    return std::string(data, static_cast<std::size_t>(length));
}

bool FileExists(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0;
}

bool ReadText(const std::string& path, std::string& text) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    std::ostringstream all;
    all << in.rdbuf();
    text = all.str();
    return true;
}

bool WriteText(const std::string& path, const std::string& text, mode_t mode) {
    std::FILE* out = std::fopen(path.c_str(), "wb");
    if (!out) return false;
    ::chmod(path.c_str(), mode);
    const bool written = std::fwrite(text.data(), 1, text.size(), out) == text.size();
    return std::fclose(out) == 0 && written;
}

std::string DirectoryOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string(".") : path.substr(0, slash);
}

// A new P-256 key and a certificate for it, signed with itself.
bool MakeSelfSigned(TlsIdentity& identity) {
    KeyPtr key(EVP_EC_gen("P-256"));
    CertPtr certificate(X509_new());
    if (!key || !certificate) return false;
    std::uint64_t serial = 0;
    if (RAND_bytes(reinterpret_cast<unsigned char*>(&serial), sizeof serial) != 1) return false;
    ASN1_INTEGER_set_uint64(X509_get_serialNumber(certificate.get()), serial >> 1);
    X509_set_version(certificate.get(), 2);
    X509_gmtime_adj(X509_getm_notBefore(certificate.get()), -3600);
    X509_gmtime_adj(X509_getm_notAfter(certificate.get()), kValidDays * 24 * 3600);
    X509_set_pubkey(certificate.get(), key.get());
    X509_NAME* name = X509_get_subject_name(certificate.get());
    X509_NAME_add_entry_by_txt(name, "CN", MBSTRING_ASC,
                               reinterpret_cast<const unsigned char*>("Arvestra remote control"),
                               -1, -1, 0);
    X509_set_issuer_name(certificate.get(), name);
    if (X509_sign(certificate.get(), key.get(), EVP_sha256()) == 0) return false;
    BioPtr certOut(BIO_new(BIO_s_mem()));
    BioPtr keyOut(BIO_new(BIO_s_mem()));
    if (PEM_write_bio_X509(certOut.get(), certificate.get()) != 1 ||
        PEM_write_bio_PrivateKey(keyOut.get(), key.get(), nullptr, nullptr, 0, nullptr, nullptr) !=
            1) {
        return false;
    }
    identity.certificatePem = BioText(certOut.get());
    identity.keyPem = BioText(keyOut.get());
    return true;
}

// Checks that the PEM texts hold a certificate and its key; sets the fingerprint.
bool Examine(TlsIdentity& identity, std::string* error) {
    BioPtr certIn(BIO_new_mem_buf(identity.certificatePem.data(),
                                  static_cast<int>(identity.certificatePem.size())));
    CertPtr certificate(PEM_read_bio_X509(certIn.get(), nullptr, nullptr, nullptr));
    if (!certificate) return Fail(error, "the certificate file holds no PEM certificate");
    BioPtr keyIn(BIO_new_mem_buf(identity.keyPem.data(), static_cast<int>(identity.keyPem.size())));
    KeyPtr key(PEM_read_bio_PrivateKey(keyIn.get(), nullptr, nullptr, nullptr));
    if (!key) return Fail(error, "the key file holds no PEM private key (or it has a password)");
    if (X509_check_private_key(certificate.get(), key.get()) != 1) {
        return Fail(error, "the key does not belong to the certificate");
    }
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned int length = 0;
    X509_digest(certificate.get(), EVP_sha256(), digest, &length);
    static const char kHex[] = "0123456789ABCDEF";
    identity.fingerprint.clear();
    for (unsigned int i = 0; i < length; ++i) {
        if (i) identity.fingerprint += ':';
        identity.fingerprint += kHex[digest[i] >> 4];
        identity.fingerprint += kHex[digest[i] & 15];
    }
    return true;
}

}  // namespace

std::string ConfigDirectory() {
    const char* config = std::getenv("XDG_CONFIG_HOME");
    if (config && config[0] == '/') return std::string(config) + "/arvestra";
    const char* home = std::getenv("HOME");
    if (home && home[0] != '\0') return std::string(home) + "/.config/arvestra";
    return {};
}

std::string DefaultCertificatePath() {
    const std::string directory = ConfigDirectory();
    return directory.empty() ? std::string() : directory + "/remote-certificate.pem";
}

std::string DefaultKeyPath() {
    const std::string directory = ConfigDirectory();
    return directory.empty() ? std::string() : directory + "/remote-key.pem";
}

std::optional<TlsIdentity> LoadOrCreateIdentity(const std::string& certificatePath,
                                                const std::string& keyPath, std::string* error) {
    TlsIdentity identity;
    if (certificatePath.empty() || keyPath.empty()) {
        Fail(error, "no configuration directory for the certificate (HOME is not set)");
        return std::nullopt;
    }
    const bool haveCertificate = FileExists(certificatePath);
    const bool haveKey = FileExists(keyPath);
    if (!haveCertificate && !haveKey) {
        const int made = RecoveryStore::EnsureDirectory(DirectoryOf(certificatePath));
        if (made != 0 || RecoveryStore::EnsureDirectory(DirectoryOf(keyPath)) != 0) {
            Fail(error, "cannot make the directory of " + certificatePath + ": " +
                            std::strerror(made != 0 ? made : errno));
            return std::nullopt;
        }
        // The key is written first and readable by the user alone.
        if (!MakeSelfSigned(identity) || !WriteText(keyPath, identity.keyPem, 0600) ||
            !WriteText(certificatePath, identity.certificatePem, 0644)) {
            Fail(error, "cannot make a certificate in " + certificatePath);
            return std::nullopt;
        }
    } else if (!ReadText(certificatePath, identity.certificatePem) ||
               !ReadText(keyPath, identity.keyPem)) {
        Fail(error, "cannot read both " + certificatePath + " and " + keyPath);
        return std::nullopt;
    }
    if (!Examine(identity, error)) return std::nullopt;
    return identity;
}

}  // namespace arvestra::remote
