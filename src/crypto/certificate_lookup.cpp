#include <windows.h>
#include <wincrypt.h>

#include <string>

#include "crypto/encryption_certificate.h"
#include "settings/ap_report_ini.h"

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
