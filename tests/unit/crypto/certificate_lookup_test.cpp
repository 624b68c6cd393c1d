#include <windows.h>
#include <wincrypt.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "crypto/encryption_certificate.h"
#include "settings/ap_report_ini.h"
#include "support/test_certificate.h"

namespace {

std::string decodeBase64(const std::string& text)
{
    DWORD size = 0;
    CryptStringToBinaryA(text.c_str(), 0, CRYPT_STRING_BASE64, nullptr, &size, nullptr, nullptr);
    std::string bytes(size, '\0');
    CryptStringToBinaryA(text.c_str(), 0, CRYPT_STRING_BASE64, reinterpret_cast<BYTE*>(bytes.data()), &size, nullptr, nullptr);
    bytes.resize(size);
    return bytes;
}

// The first certificate of the store, in the store's own order, whose subject holds subject.
std::string firstInStoreOrder(const wchar_t* storeName, const std::vector<std::string>& candidates)
{
    HCERTSTORE store = CertOpenStore(CERT_STORE_PROV_SYSTEM_W, 0, 0, CERT_SYSTEM_STORE_CURRENT_USER, storeName);
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

class LookupUnderTest : public CApReportIni {
};

TEST(CertificateLookup, SubjectMatchesWithoutRegardToCaseAndGivesTheEncodedCertificate)
{
    const TestCertificate certificate = makeTestCertificate("Vossel PRT Lookup Alpha");
    ScopedStoreCertificate inRoot(L"Root", certificate.der);

    LookupUnderTest settings;
    ASSERT_TRUE(settings.findCertificate(L"Root", "vossel prt LOOKUP alpha"));
    const std::string text = getEncryptionCertificate();
    EXPECT_EQ(text.find_first_of("\r\n"), std::string::npos);
    EXPECT_EQ(text.size() % 4, 0u);
    EXPECT_TRUE(decodeBase64(text) == certificate.der);

    setEncryptionCertificate("");
    EXPECT_FALSE(settings.findCertificate(L"Trust", "Vossel PRT Lookup Alpha"));
    EXPECT_FALSE(settings.findCertificate(L"Root", "Vossel PRT Lookup Nobody"));
    EXPECT_EQ(getEncryptionCertificate(), "");
}

TEST(CertificateLookup, FirstMatchInStoreOrderWins)
{
    const TestCertificate one = makeTestCertificate("Vossel PRT Shared One");
    const TestCertificate two = makeTestCertificate("Vossel PRT Shared Two");
    ScopedStoreCertificate first(L"Trust", one.der);
    ScopedStoreCertificate second(L"Trust", two.der);
    const std::string expected = firstInStoreOrder(L"Trust", {one.der, two.der});
    ASSERT_FALSE(expected.empty());

    LookupUnderTest settings;
    ASSERT_TRUE(settings.findCertificate(L"Trust", "prt shared"));
    EXPECT_TRUE(decodeBase64(getEncryptionCertificate()) == expected);
    setEncryptionCertificate("");
}

} // namespace
