#include <windows.h>
#include <wincrypt.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/diagnostic_log.h"
#include "crypto/encryption_certificate.h"
#include "settings/ap_report_ini.h"
#include "support/test_certificate.h"
#include "support/test_files.h"

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

TEST(CertificateLookup, NonAsciiSubjectIsFoundInTrust)
{
    const std::string name = "Z\xc3\xbcrich Support Desk Unit";
    const TestCertificate certificate = makeTestCertificate(name);
    ScopedStoreCertificate inTrust(L"Trust", certificate.der);

    LookupUnderTest settings;
    EXPECT_FALSE(settings.findCertificate(L"Root", name));
    ASSERT_TRUE(settings.findCertificate(L"Trust", name));
    EXPECT_TRUE(decodeBase64(getEncryptionCertificate()) == certificate.der);
    setEncryptionCertificate("");
    // Without regard to case (Wine folds the case of ASCII letters only).
    ASSERT_TRUE(settings.findCertificate(L"Trust", "z\xc3\xbcRICH support DESK"));
    EXPECT_TRUE(decodeBase64(getEncryptionCertificate()) == certificate.der);
    setEncryptionCertificate("");
}

TEST(CertificateLookup, AMatchWithoutAnRsaKeyIsSkippedForTheNextOne)
{
    const std::string name = "Vossel PRT Unit Pair";
    const TestCertificate rsa = makeTestCertificate(name + " RSA");
    ScopedStoreCertificate rsaInTrust(L"Trust", rsa.der);
    const auto ecInTrust = addEllipticCertificateBefore(L"Trust", name + " EC", rsa.der);
    ASSERT_NE(ecInTrust, nullptr);
    const size_t linesBefore = readLogMessages(getLogFilePath()).size();

    LookupUnderTest settings;
    ASSERT_TRUE(settings.findCertificate(L"Trust", name));
    EXPECT_TRUE(decodeBase64(getEncryptionCertificate()) == rsa.der);
    setEncryptionCertificate("");
    const auto lines = readLogMessages(getLogFilePath());
    EXPECT_EQ(std::vector<std::string>(lines.begin() + static_cast<long>(linesBefore), lines.end()),
        std::vector<std::string>{"Skipping certificate without an RSA key: " + name + " EC"});

    // Only EC matches: nothing is found.
    EXPECT_FALSE(settings.findCertificate(L"Trust", name + " EC"));
    EXPECT_EQ(getEncryptionCertificate(), "");
}

TEST(CertificateLookup, ExpiredOrShortKeysAreUsedWithAWarning)
{
    struct Case {
        std::string name;
        TestCertificateOptions options;
        std::string warning;
    };
    TestCertificateOptions expired;
    expired.expired = true;
    TestCertificateOptions shortKey;
    shortKey.rsaBits = 1024;
    const std::vector<Case> cases = {
        {"Vossel PRT Unit Expired", expired, "Warning: the certificate Vossel PRT Unit Expired has expired"},
        {"Vossel PRT Unit Short Key", shortKey, "Warning: the certificate Vossel PRT Unit Short Key has a key of only 1024 bits"},
        {"Vossel PRT Unit Sound", TestCertificateOptions{}, ""},
    };
    for (const auto& c : cases) {
        const TestCertificate certificate = makeTestCertificate(c.name, c.options);
        ScopedStoreCertificate inRoot(L"Root", certificate.der);
        const size_t linesBefore = readLogMessages(getLogFilePath()).size();
        LookupUnderTest settings;
        ASSERT_TRUE(settings.findCertificate(L"Root", c.name)) << c.name;
        EXPECT_TRUE(decodeBase64(getEncryptionCertificate()) == certificate.der) << c.name;
        setEncryptionCertificate("");
        const auto lines = readLogMessages(getLogFilePath());
        const std::vector<std::string> added(lines.begin() + static_cast<long>(linesBefore), lines.end());
        EXPECT_EQ(added, c.warning.empty() ? std::vector<std::string>{} : std::vector<std::string>{c.warning}) << c.name;
    }
}

} // namespace
