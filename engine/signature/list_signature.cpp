#include "engine/signature/list_signature.h"

#include <cstdio>
#include <cstring>
#include <memory>
#include <vector>

#include <gpgme.h>

#include "engine/checksum_list.h"
#include "os/file_stream.h"
#include "os/file_system.h"

namespace {

constexpr char CLEARSIGN_START[] = "-----BEGIN PGP SIGNED MESSAGE-----";

std::string joined(const std::string& folder, const std::string& name) {
    return folder.empty() ? name : folder.back() == '/' ? folder + name : folder + '/' + name;
}

// Whether the file at path starts, blank lines aside, with a clearsign header.
bool isClearsigned(const std::string& path) {
    std::FILE* stream = openFileStream(path.c_str(), "r");
    if (stream == nullptr) {
        return false;
    }
    char line[128];
    bool clearsigned = false;
    while (std::fgets(line, sizeof line, stream) != nullptr) {
        const std::size_t length = std::strcspn(line, "\r\n");
        if (length != 0) {
            line[length] = '\0';
            clearsigned = std::strcmp(line, CLEARSIGN_START) == 0;
            break;
        }
    }
    std::fclose(stream);
    return clearsigned;
}

// The number of entries a checksum list holds, read from bytes.
int entriesIn(std::string& bytes) {
    if (bytes.empty()) {
        return 0;
    }
    std::FILE* stream = fmemopen(bytes.data(), bytes.size(), "r");
    if (stream == nullptr) {
        return -1;
    }
    const int entries = countListEntries(stream);
    std::fclose(stream);
    return entries;
}

std::string grouped(const char* fingerprint) {
    std::string shown;
    for (std::size_t i = 0; fingerprint != nullptr && fingerprint[i] != '\0'; ++i) {
        if (i != 0 && i % 4 == 0) {
            shown += i % 20 == 0 ? "  " : " ";
        }
        shown += fingerprint[i];
    }
    return shown;
}

std::string validityWords(gpgme_validity_t validity) {
    switch (validity) {
    case GPGME_VALIDITY_ULTIMATE:
        return "the key is your own (ultimately trusted)";
    case GPGME_VALIDITY_FULL:
        return "the key is certified (full validity)";
    case GPGME_VALIDITY_MARGINAL:
        return "the key is only marginally certified";
    case GPGME_VALIDITY_NEVER:
        return "the key is marked as never valid";
    default:
        return "the key is not certified: nothing in your keyring confirms that it belongs to the "
               "signer";
    }
}

SignatureState stateOf(const gpgme_signature_t signature) {
    switch (gpgme_err_code(signature->status)) {
    case GPG_ERR_NO_ERROR:
        // A good signature by a key revoked or expired since is no good signature.
        if ((signature->summary & GPGME_SIGSUM_KEY_REVOKED) != 0) {
            return SignatureState::KeyRevoked;
        }
        if ((signature->summary & (GPGME_SIGSUM_KEY_EXPIRED | GPGME_SIGSUM_SIG_EXPIRED)) != 0) {
            return SignatureState::KeyExpired;
        }
        return SignatureState::Good;
    case GPG_ERR_BAD_SIGNATURE:
        return SignatureState::Bad;
    case GPG_ERR_NO_PUBKEY:
        return SignatureState::KeyMissing;
    case GPG_ERR_KEY_EXPIRED:
    case GPG_ERR_SIG_EXPIRED:
        return SignatureState::KeyExpired;
    case GPG_ERR_CERT_REVOKED:
        return SignatureState::KeyRevoked;
    default:
        return SignatureState::NotChecked;
    }
}

// Which of two states a list with both signatures gets: a bad one spoils it, a good one makes it.
int rank(SignatureState state) {
    switch (state) {
    case SignatureState::Bad:
        return 0;
    case SignatureState::Good:
        return 1;
    default:
        return 2;
    }
}

struct ContextDeleter {
    void operator()(gpgme_ctx_t context) const { gpgme_release(context); }
};
struct DataDeleter {
    void operator()(gpgme_data_t data) const { gpgme_data_release(data); }
};
using Context = std::unique_ptr<gpgme_context, ContextDeleter>;
using Data = std::unique_ptr<gpgme_data, DataDeleter>;

Data dataFromFile(const std::string& path) {
    gpgme_data_t data = nullptr;
    return Data(gpgme_data_new_from_file(&data, path.c_str(), 1) == 0 ? data : nullptr);
}

Context openPgpContext() {
    static const bool ready = gpgme_check_version(nullptr) != nullptr &&
                              gpgme_engine_check_version(GPGME_PROTOCOL_OpenPGP) == 0;
    gpgme_ctx_t context = nullptr;
    if (!ready || gpgme_new(&context) != 0) {
        return Context();
    }
    gpgme_set_protocol(context, GPGME_PROTOCOL_OpenPGP);
    // Never a key server: what is not in the keyring is said to be missing.
    gpgme_set_offline(context, 1);
    return Context(context);
}

// Fills signature from the verification gpg made in context.
void readVerification(gpgme_ctx_t context, gpgme_error_t error, ListSignature& signature) {
    const gpgme_verify_result_t result = error == 0 ? gpgme_op_verify_result(context) : nullptr;
    if (result == nullptr || result->signatures == nullptr) {
        signature.state = gpgme_err_code(error) == GPG_ERR_NO_DATA || error == 0
                              ? SignatureState::NotASignature
                              : SignatureState::NotChecked;
        return;
    }
    gpgme_signature_t chosen = result->signatures;
    for (gpgme_signature_t each = chosen->next; each != nullptr; each = each->next) {
        if (rank(stateOf(each)) < rank(stateOf(chosen))) {
            chosen = each;
        }
    }
    signature.state = stateOf(chosen);
    signature.fingerprint = grouped(chosen->fpr);
    signature.validity = validityWords(chosen->validity);
    gpgme_key_t key = nullptr;
    if (chosen->fpr != nullptr && gpgme_get_key(context, chosen->fpr, &key, 0) == 0) {
        if (key->uids != nullptr && key->uids->uid != nullptr) {
            signature.signer = key->uids->uid;
        }
        if (key->fpr != nullptr) {
            signature.fingerprint = grouped(key->fpr);
        }
        gpgme_key_unref(key);
    }
}

std::string dataText(gpgme_data_t data) {
    std::string text;
    gpgme_data_seek(data, 0, SEEK_SET);
    char buffer[4096];
    ssize_t count;
    while ((count = gpgme_data_read(data, buffer, sizeof buffer)) > 0) {
        text.append(buffer, static_cast<std::size_t>(count));
    }
    return text;
}

} // namespace

std::optional<ListSignature> checkListSignature(const std::string& folder,
                                                const std::string& listName) {
    const std::string listPath = joined(folder, listName);
    ListSignature signature;
    const bool clearsigned = isClearsigned(listPath);
    std::string signaturePath;
    if (clearsigned) {
        signature.file = listName;
    } else {
        for (const char* suffix : SIGNATURE_SUFFIXES) {
            std::uint64_t size;
            if (regularFileSize(joined(folder, listName + suffix).c_str(), size)) {
                signature.file = listName + suffix;
                signaturePath = joined(folder, signature.file);
                break;
            }
        }
        if (signature.file.empty()) {
            return std::nullopt;
        }
    }
    const Context context = openPgpContext();
    if (context == nullptr) {
        return signature; // NotChecked: gpg is not available
    }
    if (clearsigned) {
        const Data signedList = dataFromFile(listPath);
        gpgme_data_t plain = nullptr;
        if (signedList == nullptr || gpgme_data_new(&plain) != 0) {
            return signature;
        }
        const Data plainText(plain);
        const gpgme_error_t error =
            gpgme_op_verify(context.get(), signedList.get(), nullptr, plain);
        readVerification(context.get(), error, signature);
        // Entries before or after the signed text were never signed.
        std::string whole = dataText(signedList.get());
        std::string covered = dataText(plain);
        if (signature.state == SignatureState::Good && entriesIn(whole) != entriesIn(covered)) {
            signature.state = SignatureState::Bad;
            signature.problem = "the list holds entries outside its signed text";
        }
        return signature;
    }
    const Data detached = dataFromFile(signaturePath);
    const Data list = dataFromFile(listPath);
    if (detached == nullptr || list == nullptr) {
        return signature;
    }
    const gpgme_error_t error = gpgme_op_verify(context.get(), detached.get(), list.get(), nullptr);
    readVerification(context.get(), error, signature);
    return signature;
}

std::string signatureText(const ListSignature& signature) {
    const std::string by = signature.signer.empty() ? "" : " from " + signature.signer;
    switch (signature.state) {
    case SignatureState::Good:
        return "Good signature" + by + "; " + signature.validity;
    case SignatureState::Bad:
        return "BAD signature" + by + ": " +
               (signature.problem.empty() ? "the list changed after it was signed"
                                          : signature.problem);
    case SignatureState::KeyMissing:
        return "Signature not verified: the key is not in your keyring. Compare its fingerprint "
               "with the one the publisher gives, then import the key";
    case SignatureState::KeyExpired:
        return "Signature not valid" + by + ": the key or the signature has expired";
    case SignatureState::KeyRevoked:
        return "Signature not valid" + by + ": the key has been revoked";
    case SignatureState::NotASignature:
        return "Signature not checked: " + signature.file + " holds no OpenPGP signature";
    case SignatureState::NotChecked:
        break;
    }
    return "Signature not checked: gpg is not available";
}
