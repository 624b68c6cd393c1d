#pragma once

#include <string>

// A self-signed certificate and its private key, made for a test.
struct TestCertificate {
    std::string der;           // the encoded certificate
    std::string privateKeyPem; // its RSA private key, PEM
};

// RSA (2048 bits) with the subject "CN=" + commonName; rsa false makes an EC key instead.
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
