#include <windows.h>
#include <wincrypt.h>

#include <sstream>
#include <string>
#include <vector>

#include "base/diagnostic_log.h"
#include "crypto/encryption_certificate.h"
#include "platform/lumocoreutils/text.h"
#include "settings/ap_report_ini.h"

namespace {

// The report is encrypted for the certificate's RSA key; any other kind of key cannot be used.
bool hasRsaKey(PCCERT_CONTEXT certificate)
{
    const char* algorithm = certificate->pCertInfo->SubjectPublicKeyInfo.Algorithm.pszObjId;
    return algorithm && std::string(algorithm) == szOID_RSA_RSA;
}

std::wstring displayName(PCCERT_CONTEXT certificate)
{
    const DWORD length = CertGetNameStringW(certificate, CERT_NAME_SIMPLE_DISPLAY_TYPE, 0, nullptr, nullptr, 0);
    std::vector<wchar_t> name(length > 0 ? length : 1, L'\0');
    CertGetNameStringW(certificate, CERT_NAME_SIMPLE_DISPLAY_TYPE, 0, nullptr, name.data(), static_cast<DWORD>(name.size()));
    return name.data();
}

// A weak or outdated certificate is still used, since the administrator chose it; the log says so.
void logWeaknesses(PCCERT_CONTEXT certificate)
{
    const LONG validity = CertVerifyTimeValidity(nullptr, certificate->pCertInfo);
    if (validity > 0) {
        writeLogLine(L"Warning: the certificate " + displayName(certificate) + L" has expired");
    } else if (validity < 0) {
        writeLogLine(L"Warning: the certificate " + displayName(certificate) + L" is not valid yet");
    }
    const DWORD bits = CertGetPublicKeyLength(X509_ASN_ENCODING, &certificate->pCertInfo->SubjectPublicKeyInfo);
    if (bits < 2048) {
        std::wostringstream message;
        message << L"Warning: the certificate " << displayName(certificate) << L" has a key of only " << bits << L" bits";
        writeLogLine(message.str());
    }
}

} // namespace

bool CApReportIni::findCertificate(std::wstring storeName, std::string subject)
{
    certificate_.reset();
    certStore_.reset(CertOpenStore(CERT_STORE_PROV_SYSTEM_W, 0, 0, CERT_SYSTEM_STORE_CURRENT_USER, storeName.c_str()));
    if (!certStore_) {
        return false;
    }
    // The name is UTF-8; the narrow search would read it in the ANSI code page.
    const std::wstring wideSubject = LumoCoreUtils::toWideString(subject);
    PCCERT_CONTEXT match = nullptr;
    // Each call frees the context it is given to continue from.
    while ((match = CertFindCertificateInStore(certStore_.get(), X509_ASN_ENCODING | PKCS_7_ASN_ENCODING, 0,
                CERT_FIND_SUBJECT_STR_W, wideSubject.c_str(), match))
        != nullptr) {
        if (hasRsaKey(match)) {
            certificate_.reset(match);
            break;
        }
        writeLogLine(L"Skipping certificate without an RSA key: " + displayName(match));
    }
    if (!certificate_) {
        return false;
    }
    logWeaknesses(certificate_.get());
    setEncryptionCertificate(
        encodeCertificateBase64(certificate_.get()->pbCertEncoded, certificate_.get()->cbCertEncoded));
    return true;
}
