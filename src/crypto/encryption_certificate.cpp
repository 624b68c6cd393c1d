#include "crypto/encryption_certificate.h"

namespace {
std::string& encryptionCertificate()
{
    static std::string certificate;
    return certificate;
}
} // namespace

std::string getEncryptionCertificate()
{
    return encryptionCertificate();
}

void setEncryptionCertificate(const std::string& base64)
{
    encryptionCertificate() = base64;
}
