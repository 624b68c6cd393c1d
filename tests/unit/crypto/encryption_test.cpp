#include <windows.h>
#include <wincrypt.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "archive/data_stream.h"
#include "archive/zip_archive.h"
#include "crypto/encryption_certificate.h"
#include "crypto/report_saving.h"
#include "decrypt/report_decryption.h"
#include "platform/lumocoreutils/encryption_utils.h"
#include "platform/lumocoreutils/text.h"
#include "settings/ap_report_ini.h"
#include "settings/report_options.h"
#include "support/scoped_temp_folder.h"
#include "support/test_certificate.h"
#include "support/test_files.h"
#include "support/tool_runner.h"
#include "support/zip_reader.h"

namespace {

using LumoCoreUtils::EncryptionUtils;

std::string base64Of(const std::string& der)
{
    return encodeCertificateBase64(reinterpret_cast<const unsigned char*>(der.data()), static_cast<unsigned long>(der.size()));
}

// Settings as a run with encryption on would have them.
class EncryptionOn : public CApReportIni {
public:
    EncryptionOn() { values().prtEncryptionEnabled = true; }
    ~EncryptionOn() override { values() = Values{}; }
};

// An archive written by the tool's own writer from named byte blocks.
std::string zipOf(const std::vector<std::pair<std::wstring, std::string>>& entries)
{
    CZipArchive archive;
    archive.beginArchive();
    for (const auto& [name, bytes] : entries) {
        archive.addMemoryToArchive(bytes.data(), static_cast<std::uint32_t>(bytes.size()), name, L"");
    }
    archive.finishArchive();
    return std::string(reinterpret_cast<const char*>(theDataStream().buffer()), theDataStream().length());
}

class Encryption : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        certificate_ = new TestCertificate(makeTestCertificate("Vossel PRT Unit Encryption"));
        other_ = new TestCertificate(makeTestCertificate("Vossel PRT Unit Other"));
    }
    static void TearDownTestSuite()
    {
        delete certificate_;
        delete other_;
    }

    std::string sealedPair(const std::string& data, const std::wstring& base)
    {
        EXPECT_TRUE(EncryptionUtils::publicKeyEncryptToFile(base64Of(certificate_->der), LumoCoreUtils::toString(base), data));
        return zipOf({{L"Vossel-Win-test.zip.enc", readFileBytes(base + L".enc").value_or("")},
            {L"Vossel-Win-test.zip.esk", readFileBytes(base + L".esk").value_or("")}});
    }

    static TestCertificate* certificate_;
    static TestCertificate* other_;
    ScopedTempFolder temp_;
};
TestCertificate* Encryption::certificate_ = nullptr;
TestCertificate* Encryption::other_ = nullptr;

TEST_F(Encryption, RoundTripsAndUsesAFreshKeyAndNonceEachTime)
{
    const std::string data = std::string("PK\x03\x04", 4) + std::string(1000, '\0') + "report bytes";
    const std::string first = sealedPair(data, temp_.path() + L"first");
    const DecryptedReport opened = decryptReport(first, certificate_->privateKeyPem);
    ASSERT_TRUE(opened.ok) << opened.error;
    EXPECT_EQ(opened.plainZip, data);
    EXPECT_EQ(opened.name, "Vossel-Win-test.zip");

    sealedPair(data, temp_.path() + L"second");
    EXPECT_NE(readFileBytes(temp_.path() + L"first.enc"), readFileBytes(temp_.path() + L"second.enc"));
    EXPECT_NE(readFileBytes(temp_.path() + L"first.esk"), readFileBytes(temp_.path() + L"second.esk"));
    EXPECT_EQ(readFileBytes(temp_.path() + L"first.enc").value_or("").size(), 12 + data.size() + 16);
}

TEST_F(Encryption, CertificatesWithoutAnRsaKeyWriteNothing)
{
    const TestCertificate elliptic = makeTestCertificate("Vossel PRT Unit Elliptic", false);
    for (const std::string& certificate : {std::string("not base64!"), std::string("QUJD"), base64Of(elliptic.der), std::string()}) {
        const std::wstring base = temp_.path() + L"report";
        EXPECT_FALSE(EncryptionUtils::publicKeyEncryptToFile(certificate, LumoCoreUtils::toString(base), "data"));
        EXPECT_FALSE(fileExists(base + L".enc"));
        EXPECT_FALSE(fileExists(base + L".esk"));
    }
}

TEST_F(Encryption, DamagedReportsAndWrongKeysAreRefused)
{
    const std::string data = "plain report";
    const std::string sealed = sealedPair(data, temp_.path() + L"good");
    const std::string enc = readFileBytes(temp_.path() + L"good.enc").value_or("");
    const std::string esk = readFileBytes(temp_.path() + L"good.esk").value_or("");
    std::string flipped = enc;
    flipped[14] ^= 1;

    struct Case {
        const char* what;
        std::string report;
        std::string key;
    };
    const std::vector<Case> cases = {
        {"wrong key", sealed, other_->privateKeyPem},
        {"no key", sealed, "not a key"},
        {"truncated data", zipOf({{L"r.zip.enc", enc.substr(0, 20)}, {L"r.zip.esk", esk}}), certificate_->privateKeyPem},
        {"data cut short", zipOf({{L"r.zip.enc", enc.substr(0, enc.size() - 1)}, {L"r.zip.esk", esk}}), certificate_->privateKeyPem},
        {"changed data", zipOf({{L"r.zip.enc", flipped}, {L"r.zip.esk", esk}}), certificate_->privateKeyPem},
        {"missing key entry", zipOf({{L"r.zip.enc", enc}}), certificate_->privateKeyPem},
        {"names that differ", zipOf({{L"a.zip.enc", enc}, {L"b.zip.esk", esk}}), certificate_->privateKeyPem},
        {"not a zip", "just text", certificate_->privateKeyPem},
    };
    for (const auto& c : cases) {
        const DecryptedReport result = decryptReport(c.report, c.key);
        EXPECT_FALSE(result.ok) << c.what;
        EXPECT_FALSE(result.error.empty()) << c.what;
        EXPECT_TRUE(result.plainZip.empty()) << c.what;
    }
}

TEST_F(Encryption, SavedReportDecryptsToThePlainArchiveByteForByte)
{
    EncryptionOn settings;
    setEncryptionCertificate(base64Of(certificate_->der));
    CZipArchive archive;
    archive.beginArchive();
    const std::string dump(3 * 1024 * 1024, 'd');
    archive.addMemoryToArchive(dump.data(), static_cast<std::uint32_t>(dump.size()), L"fulldump.dmp", L"");
    archive.addMemoryToArchive("ini", 3, L"VosselPRT.ini", L"");
    archive.finishArchive();
    const std::string plain(reinterpret_cast<const char*>(theDataStream().buffer()), theDataStream().length());

    saveReportArchive(archive, L"Vossel-Win-0-20240131_235959-Windows.zip");
    setEncryptionCertificate("");
    const std::wstring saved = getReportFilePath();
    ASSERT_FALSE(saved.empty());
    const std::wstring name = saved.substr(saved.find_last_of(L'\\') + 1);
    EXPECT_FALSE(fileExists(saved + L".enc"));
    EXPECT_FALSE(fileExists(saved + L".esk"));
    const auto entries = readZipArchive(saved);
    ASSERT_TRUE(entries.has_value());
    const std::string narrowName(name.begin(), name.end());
    EXPECT_EQ(entryNames(*entries), (std::vector<std::string>{narrowName + ".enc", narrowName + ".esk"}));

    // The companion program, as support staff run it.
    ASSERT_TRUE(writeFileBytes(temp_.path() + L"key.pem", certificate_->privateKeyPem));
    const std::wstring output = temp_.path() + L"opened.zip";
    EXPECT_EQ(runProgram(testBinaryFolder() + L"VosselPRTDecrypt.exe",
                  L"\"" + saved + L"\" \"" + temp_.path() + L"key.pem\" \"" + output + L"\"", {}, 60000),
        0u);
    EXPECT_TRUE(readFileBytes(output) == plain);

    // A wrong key: a clear message, a failing exit and nothing written.
    ASSERT_TRUE(writeFileBytes(temp_.path() + L"other.pem", other_->privateKeyPem));
    const std::wstring refused = temp_.path() + L"refused.zip";
    const std::wstring messages = temp_.path() + L"messages.txt";
    const auto exitCode = startProgram(testBinaryFolder() + L"VosselPRTDecrypt.exe",
        L"\"" + saved + L"\" \"" + temp_.path() + L"other.pem\" \"" + refused + L"\"", {}, messages).wait(60000);
    EXPECT_EQ(exitCode, 1u);
    EXPECT_NE(readFileBytes(messages).value_or("").find("private key does not open this report"), std::string::npos);
    EXPECT_FALSE(fileExists(refused));
    EXPECT_FALSE(fileExists(refused + L".partial"));
    DeleteFileW(saved.c_str());
}

TEST(CertificateText, IsBase64WithoutLineBreaks)
{
    const std::string bytes(200, '\xAB');
    const std::string text = encodeCertificateBase64(reinterpret_cast<const unsigned char*>(bytes.data()), 200);
    EXPECT_EQ(text.size() % 4, 0u);
    EXPECT_EQ(text.find_first_of("\r\n"), std::string::npos);
    EXPECT_EQ(encodeCertificateBase64(reinterpret_cast<const unsigned char*>("hello"), 5), "aGVsbG8=");
}

} // namespace
