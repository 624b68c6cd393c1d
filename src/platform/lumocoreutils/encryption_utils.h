#pragma once

#include <string>

#include "platform/lumocoreutils/api.h"

namespace LumoCoreUtils {

class LUMOCOREUTILS_API EncryptionUtils {
public:
    // Encrypts data for the certificate (Base64 of its DER encoding) into two files beside path
    // (UTF-8): path + ".enc" and path + ".esk". True when both were written; false, leaving
    // neither, when the certificate does not decode, its key is not RSA, or a file cannot be
    // written. The format is described in clientlibs/README.md.
    static bool publicKeyEncryptToFile(const std::string& certificate, const std::string& path,
        const std::string& data);
};

} // namespace LumoCoreUtils
