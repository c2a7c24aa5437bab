#pragma once

// The OpenPGP signature of a checksum list, verified offline against the user's keyring.

#include <optional>
#include <string>

/// What verifying a list's signature came to.
enum class SignatureState {
    Good,          ///< a good signature by a key in the keyring, neither expired nor revoked
    Bad,           ///< the list is not what was signed
    KeyMissing,    ///< made by a key that is not in the keyring
    KeyExpired,    ///< made by a key, or itself, past its expiry
    KeyRevoked,    ///< made by a key its owner revoked
    NotASignature, ///< the signature file holds no OpenPGP signature
    NotChecked,    ///< gpg is not available, or failed
};

/// One list's signature.
struct ListSignature {
    SignatureState state = SignatureState::NotChecked;
    std::string file;        ///< the signature's file name; a clearsigned list's own name
    std::string signer;      ///< the key's first user ID, when the key is in the keyring
    std::string fingerprint; ///< the key's fingerprint in groups of four, as gpg shows it
    std::string validity;    ///< what the keyring says of the key, in words
    std::string problem;     ///< why a list that is clearsigned is BAD although gpg says good
};

/// The signature of the checksum list listName in folder ("" for the current one): a
/// clearsigned list's own, else the first of listName.gpg, .sig, .sign and .asc beside it.
/// nullopt when the list has none. Verified through GPGME with gpg, offline: no key server is
/// asked, and the keyring is $GNUPGHOME or ~/.gnupg. A clearsigned list whose file holds entries
/// outside its signed text is BAD: those entries were never signed.
std::optional<ListSignature> checkListSignature(const std::string& folder,
                                                const std::string& listName);

/// The signature in words, as a row and the status strip say it: "Good signature from Alice
/// <alice@example.org>; the key is not certified: ...", "BAD signature: ...".
std::string signatureText(const ListSignature& signature);

/// The file names checked for a detached signature of a list, in order: ".gpg", ".sig", ".sign",
/// ".asc" after the list's name.
inline constexpr const char* SIGNATURE_SUFFIXES[] = {".gpg", ".sig", ".sign", ".asc"};
