#include "support/test_certificate.h"

#include <windows.h>
#include <wincrypt.h>

#include <openssl/ec.h>
#include <openssl/evp.h>
#include <openssl/pem.h>
#include <openssl/x509.h>

#include <cstdio>
#include <cstdlib>
#include <random>

namespace {

[[noreturn]] void abortTest(const char* why)
{
    std::fprintf(stderr, "test certificate: %s\n", why);
    std::abort();
}

PCCERT_CONTEXT findSame(HCERTSTORE store, const std::string& der)
{
    CRYPT_DATA_BLOB blob = {static_cast<DWORD>(der.size()), reinterpret_cast<BYTE*>(const_cast<char*>(der.data()))};
    PCCERT_CONTEXT context = nullptr;
    while ((context = CertEnumCertificatesInStore(store, context)) != nullptr) {
        if (context->cbCertEncoded == blob.cbData && memcmp(context->pbCertEncoded, blob.pbData, blob.cbData) == 0) {
            return context;
        }
    }
    return nullptr;
}

// The user's own registry store of that name, without the stores a system store gathers with
// it, so that what a test adds it can also delete.
HCERTSTORE openUserStore(const std::wstring& storeName)
{
    return CertOpenStore(CERT_STORE_PROV_SYSTEM_REGISTRY_W, 0, 0, CERT_SYSTEM_STORE_CURRENT_USER, storeName.c_str());
}

} // namespace

TestCertificate makeTestCertificate(const std::string& commonName, bool rsa)
{
    TestCertificateOptions options;
    options.rsa = rsa;
    return makeTestCertificate(commonName, options);
}

TestCertificate makeTestCertificate(const std::string& commonName, const TestCertificateOptions& options)
{
    EVP_PKEY* key = options.rsa ? EVP_RSA_gen(static_cast<unsigned>(options.rsaBits)) : EVP_EC_gen("P-256");
    X509* certificate = X509_new();
    if (!key || !certificate) {
        abortTest("cannot make a key");
    }
    X509_set_version(certificate, 2);
    std::random_device random;
    ASN1_INTEGER_set(X509_get_serialNumber(certificate), static_cast<long>(random() & 0x7FFFFFFF) + 1);
    X509_gmtime_adj(X509_getm_notBefore(certificate), options.expired ? -3600L * 24 * 365 : -3600);
    X509_gmtime_adj(X509_getm_notAfter(certificate), options.expired ? -3600 : 3600L * 24 * 365);
    X509_set_pubkey(certificate, key);
    X509_NAME* name = X509_get_subject_name(certificate);
    X509_NAME_add_entry_by_txt(name, "CN", MBSTRING_UTF8,
        reinterpret_cast<const unsigned char*>(commonName.c_str()), -1, -1, 0);
    X509_set_issuer_name(certificate, name);
    if (X509_sign(certificate, key, EVP_sha256()) == 0) {
        abortTest("cannot sign");
    }

    TestCertificate result;
    unsigned char* der = nullptr;
    const int derLength = i2d_X509(certificate, &der);
    result.der.assign(reinterpret_cast<char*>(der), static_cast<size_t>(derLength));
    OPENSSL_free(der);

    BIO* pem = BIO_new(BIO_s_mem());
    PEM_write_bio_PrivateKey(pem, key, nullptr, nullptr, 0, nullptr, nullptr);
    char* pemText = nullptr;
    const long pemLength = BIO_get_mem_data(pem, &pemText);
    result.privateKeyPem.assign(pemText, static_cast<size_t>(pemLength));
    BIO_free(pem);
    X509_free(certificate);
    EVP_PKEY_free(key);
    return result;
}

ScopedStoreCertificate::ScopedStoreCertificate(const wchar_t* storeName, const std::string& der)
    : storeName_(storeName), der_(der)
{
    HCERTSTORE store = openUserStore(storeName_);
    if (!store) {
        abortTest("cannot open the store");
    }
    const BOOL added = CertAddEncodedCertificateToStore(store, X509_ASN_ENCODING,
        reinterpret_cast<const BYTE*>(der.data()), static_cast<DWORD>(der.size()), CERT_STORE_ADD_REPLACE_EXISTING, nullptr);
    CertCloseStore(store, 0);
    if (!added) {
        abortTest("cannot add the certificate");
    }
}

ScopedStoreCertificate::~ScopedStoreCertificate()
{
    HCERTSTORE store = openUserStore(storeName_);
    if (!store) {
        return;
    }
    if (PCCERT_CONTEXT context = findSame(store, der_)) {
        CertDeleteCertificateFromStore(context); // frees the context too
    }
    CertCloseStore(store, 0);
}

std::string firstInStoreOrder(const wchar_t* storeName, const std::vector<std::string>& candidates)
{
    HCERTSTORE store = CertOpenStore(CERT_STORE_PROV_SYSTEM_W, 0, 0, CERT_SYSTEM_STORE_CURRENT_USER, storeName);
    if (!store) {
        return {};
    }
    std::string first;
    PCCERT_CONTEXT context = nullptr;
    while (first.empty() && (context = CertEnumCertificatesInStore(store, context)) != nullptr) {
        const std::string der(reinterpret_cast<const char*>(context->pbCertEncoded), context->cbCertEncoded);
        for (const auto& candidate : candidates) {
            if (candidate == der) {
                first = der;
            }
        }
    }
    if (context) {
        CertFreeCertificateContext(context);
    }
    CertCloseStore(store, 0);
    return first;
}

std::unique_ptr<ScopedStoreCertificate> addEllipticCertificateBefore(const wchar_t* storeName,
    const std::string& commonName, const std::string& other)
{
    TestCertificateOptions elliptic;
    elliptic.rsa = false;
    // The store's order follows the certificates' hashes: about every second key comes first.
    for (int attempt = 0; attempt < 64; ++attempt) {
        const TestCertificate candidate = makeTestCertificate(commonName, elliptic);
        auto added = std::make_unique<ScopedStoreCertificate>(storeName, candidate.der);
        if (firstInStoreOrder(storeName, {candidate.der, other}) == candidate.der) {
            return added;
        }
    }
    return nullptr;
}
