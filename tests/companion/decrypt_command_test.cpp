#include <gtest/gtest.h>

#include <cstdio>
#include <set>
#include <string>
#include <vector>

#include "decrypt/output_name.h"
#include "fixture_encryption.h"
#include "fixture_report.h"
#include "program_run.h"
#include "scratch_folder.h"

namespace {

TEST(DecryptOutputName, OnlyThePlainLastComponentOfTheReportsNameAlwaysAZip)
{
    struct Case {
        std::string reportName;
        std::string output; // empty: refused
    };
    const std::vector<Case> cases = {
        {"Vossel-Win-1.0.0.1-20261210_125501-host.zip", "Vossel-Win-1.0.0.1-20261210_125501-host.zip"},
        {"report.ZIP", "report.ZIP"},
        {"..\\..\\pwned.bat", "pwned.bat.zip"},
        {"../../pwned.bat", "pwned.bat.zip"},
        {"tool.exe", "tool.exe.zip"},
        {"desktop.ini", "desktop.ini.zip"},
        {"C:\\Windows\\Temp\\abs.zip", "abs.zip"},
        {"\\\\server\\share\\unc.zip", "unc.zip"},
        {"C:drive.zip", ""},
        {"report.zip:stream", ""},
        {"", ""},
        {".", ""},
        {"..", ""},
        {"sub\\..", ""},
        {"folder\\", ""},
        {"a|b.zip", ""},
        {"a?b.zip", ""},
        {"a\"b.zip", ""},
        {"tab\there.zip", ""},
        {"trailing.zip.", ""},
        {"trailing.zip ", ""},
        {"NUL", ""},
        {"nul.zip", ""},
        {"com1.zip", ""},
        {"COM1 .zip", ""},
        {"Lpt9", ""},
        {"COM0.zip", ""},
        {"COM\u00b9.zip", ""},
        {"lpt\u00b2.zip", ""},
        {"COM\u00b3", ""},
        {"CONIN$.zip", ""},
        {"console.zip", "console.zip"},
        {"COM10.zip", "COM10.zip"},
        {"Z\u00fcrich.zip", "Z\u00fcrich.zip"},
        {"bad\xff.zip", ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(defaultOutputName(c.reportName), c.output) << c.reportName;
    }
    EXPECT_EQ(nameWithSuffix("report.zip", "-decrypted"), "report-decrypted.zip");
    EXPECT_EQ(nameWithSuffix("report", "-decrypted"), "report-decrypted");
}

class DecryptCommand : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(std::filesystem::create_directories(inner()));
        ASSERT_TRUE(writeBytes(inner() / "key.pem", testKey().privateKeyPem));
        ASSERT_TRUE(writeBytes(inner() / "existing.zip", "kept"));
        plain_ = zipBytes({{"PRT.txt", "the plain report"}}, scratch_.path());
    }

    std::filesystem::path inner() const { return scratch_ / "outer" / "inner"; }
    ProgramRun run(const std::vector<std::string>& arguments) const
    {
        return runProgram(companionProgram(), arguments, scratch_.path());
    }
    std::string pathText(const std::filesystem::path& path) const { return path.string(); }

    CScratchFolder scratch_;
    std::string plain_;
};

// An encrypted report as anyone holding the public certificate could make one: its entries' names
// are not covered by the tag.
TEST_F(DecryptCommand, WritesOnlyTheOneOutputBesideTheReportAndNeverOverAnything)
{
    struct Case {
        std::string stem;
        std::string reportName; // the encrypted report's own file name in inner
        std::string written;    // the one file the companion makes in inner; empty: refused
    };
    const std::vector<Case> cases = {
        {"..\\..\\pwned.zip", "r1.zip", "pwned.zip"},
        {"../../pwned.zip", "r2.zip", "pwned.zip"},
        {"C:pwned.zip", "r3.zip", ""},
        {"C:\\Users\\Public\\pwned.zip", "r4.zip", "pwned.zip"},
        {"\\pwned.zip", "r5.zip", "pwned.zip"},
        {"", "r6.zip", ""},
        {"..", "r7.zip", ""},
        {"tool.exe", "r8.zip", "tool.exe.zip"},
        {"desktop.ini", "r9.zip", "desktop.ini.zip"},
        {"COM\u00b9.zip", "r10.zip", ""},
        {"key.pem", "r11.zip", "key.pem.zip"},
        {"existing.zip", "r12.zip", ""}, // an existing file is not replaced
        // The report kept its archive file name: the plain report gets another one.
        {"Vossel-Win-1.0.0.1-20261210_125501-host.zip", "Vossel-Win-1.0.0.1-20261210_125501-host.zip",
            "Vossel-Win-1.0.0.1-20261210_125501-host-decrypted.zip"},
    };
    for (const auto& c : cases) {
        const std::filesystem::path report = inner() / c.reportName;
        ASSERT_TRUE(writeZip(report, encryptedEntries(c.stem, plain_, testKey())));
        const std::string reportBytes = readBytes(report);
        std::set<std::string> expected = filesBelow(scratch_.path());
        if (!c.written.empty()) {
            expected.insert("outer/inner/" + c.written);
        }

        const ProgramRun result = run({pathText(report), pathText(inner() / "key.pem")});

        EXPECT_EQ(filesBelow(scratch_.path()), expected) << c.stem;
        EXPECT_EQ(result.exitCode, c.written.empty() ? 1 : 0) << c.stem << ": " << result.err;
        EXPECT_EQ(readBytes(report), reportBytes) << c.stem;
        EXPECT_EQ(readBytes(inner() / "key.pem"), testKey().privateKeyPem) << c.stem;
        EXPECT_EQ(readBytes(inner() / "existing.zip"), "kept") << c.stem;
        if (!c.written.empty()) {
            EXPECT_EQ(readBytes(inner() / c.written), plain_) << c.stem;
            std::filesystem::remove(inner() / c.written);
        } else {
            EXPECT_NE(result.err.find("Nothing was written"), std::string::npos) << c.stem << ": " << result.err;
        }
        std::filesystem::remove(report);
    }
}

TEST_F(DecryptCommand, TheVerbAndTheFirstFormWriteTheNamedOutputAndReplaceOnlyAFileTheUserNamed)
{
    const std::filesystem::path report = inner() / "report.zip";
    ASSERT_TRUE(writeZip(report, encryptedEntries("Vossel-report.zip", plain_, testKey())));
    const std::string key = pathText(inner() / "key.pem");
    for (const std::vector<std::string>& arguments :
        {std::vector<std::string>{pathText(report), key, pathText(inner() / "a.zip")},
            std::vector<std::string>{"decrypt", pathText(report), key, pathText(inner() / "b.zip")},
            std::vector<std::string>{"decrypt", pathText(report), key, pathText(inner() / "existing.zip")}}) {
        const ProgramRun result = run(arguments);
        EXPECT_EQ(result.exitCode, 0) << result.err;
        EXPECT_EQ(readBytes(arguments.back()), plain_);
        EXPECT_NE(result.out.find("wrote " + arguments.back()), std::string::npos) << result.out;
    }
    EXPECT_EQ(filesBelow(inner()), (std::set<std::string>{"a.zip", "b.zip", "existing.zip", "key.pem", "report.zip"}));

    // Wrong arguments, a wrong key, OUTPUT naming the report itself.
    EXPECT_EQ(run({pathText(report)}).exitCode, 2);
    EXPECT_EQ(run({"decrypt", pathText(report)}).exitCode, 2);
    ASSERT_TRUE(writeBytes(inner() / "other.pem", otherTestKey().privateKeyPem));
    const ProgramRun wrongKey = run({pathText(report), pathText(inner() / "other.pem"), pathText(inner() / "c.zip")});
    EXPECT_EQ(wrongKey.exitCode, 1);
    EXPECT_NE(wrongKey.err.find("the private key does not open this report"), std::string::npos) << wrongKey.err;
    const std::string reportBytes = readBytes(report);
    EXPECT_EQ(run({pathText(report), key, pathText(report)}).exitCode, 1);
    EXPECT_EQ(readBytes(report), reportBytes);
    EXPECT_EQ(run({pathText(report), key, key}).exitCode, 1);
    EXPECT_EQ(readBytes(key), testKey().privateKeyPem);
    EXPECT_FALSE(std::filesystem::exists(inner() / "c.zip"));
}

TEST_F(DecryptCommand, DecryptedBytesThatAreNoZipArchiveAreNeverWritten)
{
    const std::filesystem::path report = inner() / "report.zip";
    ASSERT_TRUE(writeZip(report, encryptedEntries("notazip.zip", "MZ\x90 an executable, not a report", testKey())));
    const std::set<std::string> before = filesBelow(scratch_.path());
    const ProgramRun result = run({pathText(report), pathText(inner() / "key.pem")});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_NE(result.err.find("not a zip archive"), std::string::npos) << result.err;
    EXPECT_EQ(filesBelow(scratch_.path()), before);
}

// The central directory's and the local header's uncompressed size of the first entry set to value.
std::string withDeclaredSize(std::string archive, std::uint32_t value)
{
    const std::size_t local = archive.find("PK\x03\x04");
    const std::size_t central = archive.find("PK\x01\x02");
    putLittleEndian(archive, local + 22, value, 4);
    putLittleEndian(archive, central + 24, value, 4);
    return archive;
}

TEST_F(DecryptCommand, AHugeDeclaredSizeIsRefusedBeforeAnythingIsReadInBoundedMemory)
{
    struct Case {
        const char* name;
        bool storedData;
    };
    for (const Case& c : {Case{"stored", true}, Case{"deflated", false}}) {
        std::vector<FixtureEntry> entries = encryptedEntries("r.zip", plain_, testKey());
        entries[0].stored = c.storedData;
        const std::filesystem::path report = inner() / "crafted.zip";
        ASSERT_TRUE(writeBytes(report, withDeclaredSize(zipBytes(entries, scratch_.path()), 0xFFFFFFF0u)));
        ASSERT_LT(std::filesystem::file_size(report), 4096u);
        const std::set<std::string> before = filesBelow(scratch_.path());

        const ProgramRun result = run({pathText(report), pathText(inner() / "key.pem"), pathText(inner() / "out.zip")});

        EXPECT_EQ(result.exitCode, 1) << c.name;
        EXPECT_NE(result.err.find("declares 4294967280 bytes"), std::string::npos) << c.name << ": " << result.err;
        EXPECT_NE(result.err.find("nothing of it was read"), std::string::npos) << c.name << ": " << result.err;
        EXPECT_EQ(filesBelow(scratch_.path()), before) << c.name;
        // What the process took at its peak: far below what was declared. Linux always tells;
        // Wine keeps no counters of a process that has ended, and there the refusal before any
        // read, above, is what shows it.
        std::printf("[ measured ] %s: the companion's peak memory %llu bytes\n", c.name,
            static_cast<unsigned long long>(result.peakMemoryBytes));
#ifndef _WIN32
        EXPECT_GT(result.peakMemoryBytes, 0u) << c.name;
#endif
        EXPECT_LT(result.peakMemoryBytes, 64u << 20) << c.name;
        std::filesystem::remove(report);
    }
}

} // namespace
