#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "archive/zip_archive.h"
#include "base/diagnostic_log.h"
#include "base/file_write.h"
#include "crypto/encryption_certificate.h"
#include "crypto/report_saving.h"
#include "settings/ap_report_ini.h"
#include "settings/report_options.h"
#include "support/scoped_temp_folder.h"
#include "support/test_certificate.h"
#include "support/test_files.h"
#include "support/zip_reader.h"

namespace {

using Messages = std::vector<std::string>;

class EncryptionSetting : public CApReportIni {
public:
    explicit EncryptionSetting(bool on) { values().prtEncryptionEnabled = on; }
    ~EncryptionSetting() override { values() = Values{}; }
};

const std::wstring kArchiveFileName = L"Vossel-Win-0-20240131_235959-Windows.zip";

std::string narrow(const std::wstring& text)
{
    return std::string(text.begin(), text.end());
}

// The disk takes only so many bytes of the report; lifted again however the test ends.
class ScopedWriteLimit {
public:
    explicit ScopedWriteLimit(std::optional<std::uint64_t> bytes) { limitFileWritesForTesting(bytes); }
    ~ScopedWriteLimit() { limitFileWritesForTesting(std::nullopt); }
};

class ReportSaving : public ::testing::Test {
protected:
    static void SetUpTestSuite() { certificate_ = new TestCertificate(makeTestCertificate("Vossel PRT Unit Saving")); }
    static void TearDownTestSuite() { delete certificate_; }

    static TestCertificate* certificate_;
    ScopedTempFolder temp_;
};
TestCertificate* ReportSaving::certificate_ = nullptr;

TEST_F(ReportSaving, ADiskThatFillsUpLeavesNoReportAndKeepsTheEarlierOne)
{
    // Random bytes do not compress: the archive is a little over 3 MiB.
    std::string dump(3 * 1024 * 1024, '\0');
    std::mt19937 random(3);
    std::generate(dump.begin(), dump.end(), [&] { return static_cast<char>(random()); });

    struct Case {
        const char* what;
        bool encrypted;
        std::optional<std::uint64_t> bytesLeft;
    };
    const std::vector<Case> cases = {
        {"plain, full at once", false, 0},
        {"plain, full part-way", false, 1024 * 1024},
        {"encrypted, full at once", true, 0},
        {"encrypted, full part-way", true, 2 * 1024 * 1024},
        {"plain, room enough", false, std::nullopt},
        {"encrypted, room enough", true, std::nullopt},
    };
    for (const auto& c : cases) {
        EncryptionSetting settings(c.encrypted);
        setEncryptionCertificate(c.encrypted ? encodeCertificateBase64(
                                     reinterpret_cast<const unsigned char*>(certificate_->der.data()),
                                     static_cast<unsigned long>(certificate_->der.size()))
                                             : "");
        const std::wstring output = temp_.path() + L"report.zip";
        ASSERT_TRUE(writeFileBytes(output, "earlier report"));
        const size_t linesBefore = readLogMessages(getLogFilePath()).size();

        CZipArchive archive;
        archive.beginArchive();
        archive.addMemoryToArchive(dump.data(), static_cast<std::uint32_t>(dump.size()), L"fulldump.dmp", L"");
        archive.finishArchive();
        std::wstring temporary;
        {
            ScopedWriteLimit limit(c.bytesLeft);
            temporary = saveReportArchive(archive, kArchiveFileName);
        }
        const bool reachedOutput = moveReportFile(temporary, output);
        setEncryptionCertificate("");

        const std::wstring saved = getReportFilePath();
        const Messages all = readLogMessages(getLogFilePath());
        const Messages lines(all.begin() + static_cast<long>(linesBefore), all.end());
        const std::string failedWrite = "Failed to write the report file " + narrow(saved) + ". Error: 112";
        EXPECT_FALSE(fileExists(saved)) << c.what;
        if (!c.bytesLeft) {
            EXPECT_TRUE(reachedOutput) << c.what;
            const auto entries = readZipArchive(output);
            ASSERT_TRUE(entries.has_value()) << c.what;
            EXPECT_EQ(entries->size(), c.encrypted ? 2u : 1u) << c.what;
            EXPECT_FALSE(fileExists(saved + L".enc")) << c.what;
            EXPECT_EQ(std::count(lines.begin(), lines.end(), failedWrite), 0) << c.what;
            continue;
        }
        EXPECT_FALSE(reachedOutput) << c.what;
        EXPECT_EQ(readFileBytes(output), "earlier report") << c.what;
        EXPECT_EQ(std::count(lines.begin(), lines.end(), failedWrite), 1) << c.what;
        if (c.encrypted) {
            // The two encrypted files are all that is left of the report: they stay.
            EXPECT_TRUE(fileExists(saved + L".enc")) << c.what;
            EXPECT_TRUE(fileExists(saved + L".esk")) << c.what;
            EXPECT_NE(std::find(lines.begin(), lines.end(), "Failed to write encrypt files to zip file"), lines.end());
            DeleteFileW((saved + L".enc").c_str());
            DeleteFileW((saved + L".esk").c_str());
        }
    }
}

TEST_F(ReportSaving, AnArchiveThatWasNeverFinishedIsNotSaved)
{
    EncryptionSetting settings(false);
    const std::wstring output = temp_.path() + L"report.zip";
    ASSERT_TRUE(writeFileBytes(output, "earlier report"));

    CZipArchive archive;
    archive.beginArchive();
    archive.addMemoryToArchive("half", 4, L"half.txt", L"");
    // The collection stopped here: the archive has no end.
    const bool reachedOutput = moveReportFile(saveReportArchive(archive, kArchiveFileName), output);

    EXPECT_FALSE(fileExists(getReportFilePath()));
    EXPECT_EQ(readFileBytes(output), "earlier report");
    EXPECT_FALSE(reachedOutput);
    archive.finishArchive();
}

} // namespace
