#pragma once

#include <memory>
#include <string>
#include <vector>

// A self-signed certificate and its private key, made for a test.
struct TestCertificate {
    std::string der;           // the encoded certificate
    std::string privateKeyPem; // its RSA private key, PEM
};

struct TestCertificateOptions {
    bool rsa = true;      // false: an EC key (P-256)
    int rsaBits = 2048;
    bool expired = false; // valid until an hour ago
};

// Self-signed, with the subject "CN=" + commonName (UTF-8).
TestCertificate makeTestCertificate(const std::string& commonName, const TestCertificateOptions& options);
// RSA (2048 bits); rsa false makes an EC key instead.
TestCertificate makeTestCertificate(const std::string& commonName, bool rsa = true);

// The certificate in the current user's system store storeName ("Root", "Trust") for the life of
// the object; a test aborts when it cannot be added.
class ScopedStoreCertificate {
public:
    ScopedStoreCertificate(const wchar_t* storeName, const std::string& der);
    ~ScopedStoreCertificate();
    ScopedStoreCertificate(const ScopedStoreCertificate&) = delete;
    ScopedStoreCertificate& operator=(const ScopedStoreCertificate&) = delete;

private:
    std::wstring storeName_;
    std::string der_;
};

// Of the candidates (encoded certificates), the first that the user's system store storeName
// lists, in the store's own order; empty when none is there.
std::string firstInStoreOrder(const wchar_t* storeName, const std::vector<std::string>& candidates);

// Puts into storeName a certificate with an EC key and the subject "CN=" + commonName that the
// store lists before the certificate other (already in it): keys are made until one comes first.
// Null when none did after many tries.
std::unique_ptr<ScopedStoreCertificate> addEllipticCertificateBefore(const wchar_t* storeName,
    const std::string& commonName, const std::string& other);
