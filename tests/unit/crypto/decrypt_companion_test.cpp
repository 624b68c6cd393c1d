#include <windows.h>

#include <gtest/gtest.h>
#include <minizip/zip.h>

#include <set>
#include <string>
#include <vector>

#include "crypto/encryption_certificate.h"
#include "decrypt/output_name.h"
#include "platform/lumocoreutils/encryption_utils.h"
#include "platform/lumocoreutils/text.h"
#include "support/scoped_temp_folder.h"
#include "support/test_certificate.h"
#include "support/test_files.h"
#include "support/tool_runner.h"

namespace {

TEST(DecryptOutputName, OnlyThePlainLastComponentOfTheReportsName)
{
    struct Case {
        std::wstring reportName;
        std::wstring output; // empty: refused
    };
    const std::vector<Case> cases = {
        {L"Vossel-Win-1.0.0.1-20261210_125501-host.zip", L"Vossel-Win-1.0.0.1-20261210_125501-host.zip"},
        {L"..\\..\\pwned.bat", L"pwned.bat"},
        {L"../../pwned.bat", L"pwned.bat"},
        {L"C:\\Windows\\Temp\\abs.zip", L"abs.zip"},
        {L"\\\\server\\share\\unc.zip", L"unc.zip"},
        {L"C:drive.zip", L""},
        {L"report.zip:stream", L""},
        {L"", L""},
        {L".", L""},
        {L"..", L""},
        {L"sub\\..", L""},
        {L"folder\\", L""},
        {L"a|b.zip", L""},
        {L"a?b.zip", L""},
        {L"a\"b.zip", L""},
        {L"tab\there.zip", L""},
        {L"trailing.zip.", L""},
        {L"trailing.zip ", L""},
        {L"NUL", L""},
        {L"nul.zip", L""},
        {L"com1.zip", L""},
        {L"Lpt9", L""},
        {L"console.zip", L"console.zip"},
        {L"Z\u00fcrich.zip", L"Z\u00fcrich.zip"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(defaultOutputName(c.reportName), c.output) << LumoCoreUtils::toString(c.reportName);
    }
    EXPECT_EQ(nameWithSuffix(L"report.zip", L"-decrypted"), L"report-decrypted.zip");
    EXPECT_EQ(nameWithSuffix(L"report", L"-decrypted"), L"report-decrypted");
}

// Every file below folder, as paths relative to it.
void listFiles(const std::wstring& folder, const std::wstring& relative, std::set<std::wstring>& files)
{
    WIN32_FIND_DATAW data = {};
    HANDLE find = FindFirstFileW((folder + relative + L"*").c_str(), &data);
    if (find == INVALID_HANDLE_VALUE) {
        return;
    }
    do {
        const std::wstring name = data.cFileName;
        if (name == L"." || name == L"..") {
            continue;
        }
        if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            listFiles(folder, relative + name + L"\\", files);
        } else {
            files.insert(relative + name);
        }
    } while (FindNextFileW(find, &data));
    FindClose(find);
}

// An encrypted report as anyone holding the public certificate could make one, its two entries
// named stem + ".enc" and stem + ".esk" exactly as given (written with minizip itself, so that
// nothing of the tool's own writer tidies the names).
bool writeForgedReport(const std::wstring& path, const std::string& stem, const std::string& encrypted,
    const std::string& key)
{
    zipFile zip = zipOpen(LumoCoreUtils::toString(path).c_str(), APPEND_STATUS_CREATE);
    if (!zip) {
        return false;
    }
    bool ok = true;
    for (const auto& [name, bytes] : {std::pair{stem + ".enc", encrypted}, std::pair{stem + ".esk", key}}) {
        zip_fileinfo info = {};
        ok = ok && zipOpenNewFileInZip(zip, name.c_str(), &info, nullptr, 0, nullptr, 0, nullptr, Z_DEFLATED, 6) == ZIP_OK
            && zipWriteInFileInZip(zip, bytes.data(), static_cast<unsigned>(bytes.size())) == ZIP_OK
            && zipCloseFileInZip(zip) == ZIP_OK;
    }
    return zipClose(zip, nullptr) == ZIP_OK && ok;
}

TEST(DecryptCompanion, WritesOnlyBesideTheReportAndNeverOverItsInput)
{
    const TestCertificate certificate = makeTestCertificate("Vossel PRT Unit Companion Names");
    ScopedTempFolder temp;
    const std::wstring outer = temp.path() + L"outer\\";
    const std::wstring inner = outer + L"inner\\";
    ASSERT_TRUE(CreateDirectoryW(outer.c_str(), nullptr));
    ASSERT_TRUE(CreateDirectoryW(inner.c_str(), nullptr));
    ASSERT_TRUE(writeFileBytes(inner + L"key.pem", certificate.privateKeyPem));
    ASSERT_TRUE(writeFileBytes(inner + L"existing.zip", "kept"));

    const std::wstring base = temp.path() + L"sealed";
    const std::string plain = "PK plain report bytes";
    const std::string base64 = encodeCertificateBase64(
        reinterpret_cast<const unsigned char*>(certificate.der.data()), static_cast<unsigned long>(certificate.der.size()));
    ASSERT_TRUE(LumoCoreUtils::EncryptionUtils::publicKeyEncryptToFile(base64, LumoCoreUtils::toString(base), plain));
    const std::string encrypted = readFileBytes(base + L".enc").value_or("");
    const std::string key = readFileBytes(base + L".esk").value_or("");
    DeleteFileW((base + L".enc").c_str());
    DeleteFileW((base + L".esk").c_str());

    struct Case {
        std::string stem;
        std::wstring reportName; // the encrypted report's own file name in inner
        std::wstring written;    // the file the companion makes in inner; empty: refused
    };
    const std::vector<Case> cases = {
        {"..\\..\\pwned.bat", L"r1.zip", L"pwned.bat"},
        {"../../pwned.bat", L"r2.zip", L"pwned.bat"},
        {"C:pwned.zip", L"r3.zip", L""},
        {"C:\\Users\\Public\\pwned.zip", L"r4.zip", L"pwned.zip"},
        {"\\pwned.zip", L"r5.zip", L"pwned.zip"},
        {"", L"r6.zip", L""},
        {"..", L"r7.zip", L""},
        {"key.pem", L"r8.zip", L""},      // an existing file is not replaced
        {"existing.zip", L"r9.zip", L""},
        // The report kept its archive file name: the plain report gets another one.
        {"Vossel-Win-1.0.0.1-20261210_125501-host.zip", L"Vossel-Win-1.0.0.1-20261210_125501-host.zip",
            L"Vossel-Win-1.0.0.1-20261210_125501-host-decrypted.zip"},
    };
    const std::wstring companion = testBinaryFolder() + L"VosselPRTDecrypt.exe";
    for (const auto& c : cases) {
        const std::wstring report = inner + c.reportName;
        ASSERT_TRUE(writeForgedReport(report, c.stem, encrypted, key));
        const std::string reportBytes = readFileBytes(report).value_or("");
        std::set<std::wstring> before;
        listFiles(temp.path(), L"", before);

        const auto exitCode = startProgram(companion, L"\"" + report + L"\" \"" + inner + L"key.pem\"", {},
            temp.path() + L"messages.txt").wait(60000);
        const std::string messages = readFileBytes(temp.path() + L"messages.txt").value_or("");
        DeleteFileW((temp.path() + L"messages.txt").c_str());

        std::set<std::wstring> expected = before;
        if (!c.written.empty()) {
            expected.insert(L"outer\\inner\\" + c.written);
        }
        std::set<std::wstring> after;
        listFiles(temp.path(), L"", after);
        EXPECT_EQ(after, expected) << c.stem;
        EXPECT_EQ(exitCode, c.written.empty() ? 1u : 0u) << c.stem << ": " << messages;
        EXPECT_EQ(readFileBytes(report), reportBytes) << c.stem;
        EXPECT_EQ(readFileBytes(inner + L"key.pem"), certificate.privateKeyPem) << c.stem;
        EXPECT_EQ(readFileBytes(inner + L"existing.zip"), "kept") << c.stem;
        if (!c.written.empty()) {
            EXPECT_EQ(readFileBytes(inner + c.written), plain) << c.stem;
            DeleteFileW((inner + c.written).c_str());
        } else {
            EXPECT_NE(messages.find("Nothing was written"), std::string::npos) << c.stem << ": " << messages;
        }
        DeleteFileW(report.c_str());
    }

    // An output named by the user that is the report itself, spelled in another case.
    const std::wstring report = inner + L"Report.zip";
    ASSERT_TRUE(writeForgedReport(report, "Report.zip", encrypted, key));
    const std::string reportBytes = readFileBytes(report).value_or("");
    EXPECT_EQ(runProgram(companion, L"\"" + report + L"\" \"" + inner + L"key.pem\" \"" + inner + L"REPORT.ZIP\"", {}, 60000),
        1u);
    EXPECT_EQ(readFileBytes(report), reportBytes);
}

} // namespace
