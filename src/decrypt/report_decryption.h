#pragma once

#include <string>
#include <string_view>

#include "decrypt/zip_entries.h"

// Opening an encrypted problem report: a zip archive of exactly two entries, NAME.enc (12-byte
// nonce, AES-256-GCM ciphertext of the plain report, 16-byte tag) and NAME.esk (the AES key
// encrypted with the certificate's RSA key, OAEP with SHA-256).
struct DecryptedReport {
    bool ok = false;
    std::string error;    // what went wrong, for the user, when not ok
    std::string name;     // NAME: the plain report's archive file name, as the report gives it
    std::string plainZip; // the plain report's bytes, when ok: a readable zip archive
};

// Whether the archive has the shape of an encrypted report (NAME.enc then NAME.esk, nothing else).
bool isEncryptedReport(const CZipReader& archive);

// The encrypted data is read and deciphered in pieces, so memory follows what the archive really
// holds, not what it declares; the plain bytes count only once the tag verifies and they form a
// zip archive. The private key's text is only read; the session key is wiped here.
DecryptedReport decryptReport(CZipReader& encrypted, std::string_view privateKeyPem);
// The same for an encrypted report held in memory.
DecryptedReport decryptReport(const std::string& encryptedReport, std::string_view privateKeyPem);
