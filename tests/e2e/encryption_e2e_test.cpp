#include <windows.h>

#include <algorithm>
#include <regex>
#include <string>
#include <vector>

#include "platform/lumocoreutils/text.h"
#include "support/test_certificate.h"
#include "support/zip_reader.h"
#include "tool_run_fixture.h"

namespace {

using Messages = std::vector<std::string>;

class EncryptedReport : public ToolRunTest {
protected:
    static void SetUpTestSuite() { certificate_ = new TestCertificate(makeTestCertificate("Vossel PRT E2E Support")); }
    static void TearDownTestSuite() { delete certificate_; }

    void writeEncryptionIni(const std::string& certificateName)
    {
        writeIni("[Config]\r\nEnablePRTEncryption=1\r\nPrtCertificateName=" + certificateName
            + "\r\n[AdditionalPrtPaths]\r\nNone=C:\\nowhere\r\n");
    }

    std::vector<std::wstring> filesInTemp(const std::wstring& pattern) const
    {
        std::vector<std::wstring> found;
        WIN32_FIND_DATAW data = {};
        HANDLE find = FindFirstFileW((temp() + pattern).c_str(), &data);
        if (find != INVALID_HANDLE_VALUE) {
            do {
                found.push_back(data.cFileName);
            } while (FindNextFileW(find, &data));
            FindClose(find);
        }
        return found;
    }

    static TestCertificate* certificate_;
};
TestCertificate* EncryptedReport::certificate_ = nullptr;

TEST_F(EncryptedReport, IsFoundInRootOrTrustAndOpensWithTheCompanion)
{
    for (const wchar_t* store : {L"Root", L"Trust"}) {
        ScopedStoreCertificate installed(store, certificate_->der);
        DeleteFileW((temp() + L"PRT.txt").c_str());
        writeEncryptionIni("vossel prt e2e SUPPORT");
        const std::wstring output = temp() + L"report.zip";
        runTool(L"/flushed /file \"" + output + L"\"");

        const Messages lines = logMessages();
        EXPECT_NE(std::find(lines.begin(), lines.end(), "Finished reading report ini"), lines.end()) << store;
        for (const char* failure : {"Failed to retrieve", "Failed to encrypt", "Failed to write", "Failed to rename"}) {
            EXPECT_FALSE(hasMessageStartingWith(lines, failure)) << store << ": " << failure;
        }

        const auto entries = readZipArchive(output);
        ASSERT_TRUE(entries.has_value()) << store;
        ASSERT_EQ(entries->size(), 2u) << store;
        const std::string name = (*entries)[0].name.substr(0, (*entries)[0].name.size() - 4);
        EXPECT_TRUE(std::regex_match(name, std::regex(R"(Vossel-Win-1\.0\.0\.1-\d{8}_\d{6}-[^ ]*\.zip)"))) << name;
        EXPECT_EQ(entryNames(*entries), (std::vector<std::string>{name + ".enc", name + ".esk"}));
        EXPECT_TRUE(filesInTemp(L"*.enc").empty());
        EXPECT_TRUE(filesInTemp(L"*.esk").empty());
        EXPECT_TRUE(filesInTemp(L"Vossel-Win-*").empty());

        ASSERT_TRUE(writeFileBytes(temp() + L"key.pem", certificate_->privateKeyPem));
        const std::wstring opened = temp() + L"opened.zip";
        EXPECT_EQ(runProgram(testBinaryFolder() + L"VosselPRTDecrypt.exe",
                      L"\"" + output + L"\" \"" + temp() + L"key.pem\" \"" + opened + L"\"", {}, 60000),
            0u);
        const auto plain = readZipArchive(opened);
        ASSERT_TRUE(plain.has_value()) << store;
        EXPECT_EQ(entryNames(*plain), (std::vector<std::string>{"VosselPRT.ini", "SystemInfo\\SystemInfo.txt", "user-comment.txt", "metadata.txt",
                                   "PRT.txt", "manifest.json"}));
        DeleteFileW(output.c_str());
        DeleteFileW(opened.c_str());
    }
}

// The client writes its settings file in UTF-16. The certificate's subject lies outside ASCII, and
// the first certificate that matches it has an EC key, which cannot be used: the next one is.
TEST_F(EncryptedReport, NonAsciiSubjectAndAnEllipticMatchBeforeTheRsaOne)
{
    const std::string subject = "Z\xc3\xbcrich Support Desk E2E";
    const TestCertificate rsa = makeTestCertificate(subject + " RSA");
    ScopedStoreCertificate rsaInTrust(L"Trust", rsa.der);
    const auto ecInTrust = addEllipticCertificateBefore(L"Trust", subject + " EC", rsa.der);
    ASSERT_NE(ecInTrust, nullptr);

    const std::wstring ini = LumoCoreUtils::toWideString("[Config]\r\nEnablePRTEncryption=1\r\nPrtCertificateName="
        + subject + "\r\n[AdditionalPrtPaths]\r\nNone=C:\\nowhere\r\n");
    std::string bytes = "\xFF\xFE";
    for (const wchar_t c : ini) {
        bytes += static_cast<char>(c & 0xFF);
        bytes += static_cast<char>(c >> 8);
    }
    writeIni(bytes);
    const std::wstring output = temp() + L"report.zip";
    runTool(L"/flushed /file \"" + output + L"\"");

    const Messages lines = logMessages();
    // The log holds one byte per character.
    EXPECT_NE(std::find(lines.begin(), lines.end(), "Skipping certificate without an RSA key: Z\xfcrich Support Desk E2E EC"),
        lines.end());
    EXPECT_NE(std::find(lines.begin(), lines.end(), "Finished reading report ini"), lines.end());
    const auto entries = readZipArchive(output);
    ASSERT_TRUE(entries.has_value());
    ASSERT_EQ(entries->size(), 2u);

    ASSERT_TRUE(writeFileBytes(temp() + L"key.pem", rsa.privateKeyPem));
    const std::wstring opened = temp() + L"opened.zip";
    EXPECT_EQ(runProgram(testBinaryFolder() + L"VosselPRTDecrypt.exe",
                  L"\"" + output + L"\" \"" + temp() + L"key.pem\" \"" + opened + L"\"", {}, 60000),
        0u);
    const auto plain = readZipArchive(opened);
    ASSERT_TRUE(plain.has_value());
    EXPECT_EQ(entryNames(*plain), (std::vector<std::string>{"VosselPRT.ini", "SystemInfo\\SystemInfo.txt",
                                  "user-comment.txt", "metadata.txt", "PRT.txt", "manifest.json"}));
}

TEST_F(EncryptedReport, WithoutACertificateNothingReachesTheOutput)
{
    struct Case {
        std::string name;
        std::string lookupLine;
    };
    const std::vector<Case> cases = {
        {"Vossel PRT Nobody Has This", "Read certificate Trust store failed"},
        {"", "No certificate name provided by config"},
    };
    for (const auto& c : cases) {
        DeleteFileW((temp() + L"PRT.txt").c_str());
        writeEncryptionIni(c.name);
        const std::wstring output = temp() + L"report.zip";
        runTool(L"/flushed /file \"" + output + L"\"");

        const Messages lines = logMessages();
        EXPECT_NE(std::find(lines.begin(), lines.end(), c.lookupLine), lines.end()) << c.name;
        EXPECT_EQ(std::find(lines.begin(), lines.end(), "Finished reading report ini"), lines.end()) << c.name;
        EXPECT_NE(std::find(lines.begin(), lines.end(), "Failed to retrieve the certificate for encryption"), lines.end());
        EXPECT_TRUE(hasMessageStartingWith(lines, "Failed to rename file from ")) << c.name;
        EXPECT_FALSE(fileExists(output)) << c.name;
        EXPECT_TRUE(filesInTemp(L"Vossel-Win-*").empty()) << c.name;
        EXPECT_TRUE(filesInTemp(L"*.enc").empty()) << c.name;
    }
}

TEST_F(EncryptedReport, TemporaryFolderTooLongForTheReportNameMakesNoReport)
{
    // Deep enough that the folder and the report's archive file name pass 260 characters together,
    // while the folder itself and its log still fit.
    std::wstring deep = temp();
    while (deep.size() < 200) {
        deep += L"nested-folder-for-a-long-path\\";
        ASSERT_TRUE(CreateDirectoryW(deep.c_str(), nullptr));
    }
    ASSERT_TRUE(writeFileBytes(deep + L"VosselPRT.ini", "[Config]\r\n"));
    const std::wstring output = temp() + L"report.zip";
    const auto exitCode = ::runTool(L"/flushed /file \"" + output + L"\"", deep);
    ASSERT_TRUE(exitCode.has_value());
    EXPECT_EQ(*exitCode, 0u);

    const Messages lines = readLogMessages(deep + L"PRT.txt");
    EXPECT_TRUE(hasMessageStartingWith(lines, "Temporary report path too long: "));
    EXPECT_FALSE(fileExists(output));
    WIN32_FIND_DATAW data = {};
    HANDLE find = FindFirstFileW((deep + L"Vossel-Win-*").c_str(), &data);
    EXPECT_EQ(find, INVALID_HANDLE_VALUE);
    if (find != INVALID_HANDLE_VALUE) {
        FindClose(find);
    }
}

} // namespace
