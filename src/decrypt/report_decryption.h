#pragma once

#include <string>
#include <string_view>

// Opening an encrypted problem report: a zip archive of exactly two entries, NAME.enc (12-byte
// nonce, AES-256-GCM ciphertext of the plain report, 16-byte tag) and NAME.esk (the AES key
// encrypted with the certificate's RSA key, OAEP with SHA-256).
struct DecryptedReport {
    bool ok = false;
    std::string error;     // what went wrong, for the user, when not ok
    std::string name;      // NAME: the plain report's archive file name
    std::string plainZip;  // the plain report's bytes, when ok
};

// The private key's text is only read; wiping it is the caller's. The session key is wiped here.
DecryptedReport decryptReport(const std::string& encryptedReport, std::string_view privateKeyPem);
