#include "crypto/encryption_certificate.h"

#include <windows.h>
#include <wincrypt.h>

#include <vector>

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

std::string encodeCertificateBase64(const unsigned char* bytes, unsigned long length)
{
    DWORD chars = 0;
    const DWORD flags = CRYPT_STRING_BASE64 | CRYPT_STRING_NOCRLF;
    if (!CryptBinaryToStringA(bytes, length, flags, nullptr, &chars) || chars == 0) {
        return {};
    }
    std::vector<char> text(chars);
    if (!CryptBinaryToStringA(bytes, length, flags, text.data(), &chars)) {
        return {};
    }
    // Some implementations end the text with a line break even when asked not to.
    std::string base64(text.data(), chars);
    while (!base64.empty() && (base64.back() == '\0' || base64.back() == '\r' || base64.back() == '\n')) {
        base64.pop_back();
    }
    return base64;
}
