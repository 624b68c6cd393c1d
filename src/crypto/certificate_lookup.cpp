#include <windows.h>
#include <wincrypt.h>

#include <string>
#include <vector>

#include "crypto/encryption_certificate.h"
#include "settings/ap_report_ini.h"

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

bool CApReportIni::findCertificate(std::wstring storeName, std::string subject)
{
    certificate_.reset();
    certStore_.reset(CertOpenStore(CERT_STORE_PROV_SYSTEM_W, 0, 0, CERT_SYSTEM_STORE_CURRENT_USER, storeName.c_str()));
    if (!certStore_) {
        return false;
    }
    certificate_.reset(CertFindCertificateInStore(certStore_.get(), X509_ASN_ENCODING | PKCS_7_ASN_ENCODING, 0,
        CERT_FIND_SUBJECT_STR_A, subject.c_str(), nullptr));
    if (!certificate_) {
        return false;
    }
    setEncryptionCertificate(
        encodeCertificateBase64(certificate_.get()->pbCertEncoded, certificate_.get()->cbCertEncoded));
    return true;
}
