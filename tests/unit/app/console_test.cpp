#include <windows.h>

#include <gtest/gtest.h>
#include <minizip/zip.h>

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "app/console/closing_line.h"
#include "app/console/console_output.h"
#include "app/console/console_progress.h"
#include "app/console/usage.h"
#include "app/run_outcome.h"
#include "support/scoped_temp_folder.h"
#include "support/test_files.h"

namespace {

TEST(ConsoleStream, IsUsedOnlyWhenTheHandleLeadsSomewhere)
{
    struct Case {
        const char* name;
        bool handleSet;
        DWORD fileType;
        bool consoleModeRead;
        ConsoleStreamKind kind;
    };
    const std::vector<Case> cases = {
        {"no handle (started without console or redirection)", false, FILE_TYPE_UNKNOWN, false, ConsoleStreamKind::None},
        {"a copied handle value that names nothing", true, FILE_TYPE_UNKNOWN, false, ConsoleStreamKind::None},
        {"a console window", true, FILE_TYPE_CHAR, true, ConsoleStreamKind::Console},
        {"redirected to a file", true, FILE_TYPE_DISK, false, ConsoleStreamKind::Redirected},
        {"piped to another program", true, FILE_TYPE_PIPE, false, ConsoleStreamKind::Redirected},
        {"redirected to NUL", true, FILE_TYPE_CHAR, false, ConsoleStreamKind::Redirected},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(classifyConsoleStream(c.handleSet, c.fileType, c.consoleModeRead), c.kind) << c.name;
    }
}

TEST(ConsoleStream, RedirectedTextKeepsWhatTheCodePageHolds)
{
    EXPECT_EQ(encodeForRedirectedStream(L"C:\\Temp\\r.zip", CP_UTF8), "C:\\Temp\\r.zip");
    EXPECT_EQ(encodeForRedirectedStream(L"\u00dcber", CP_UTF8), "\xc3\x9c" "ber");
    EXPECT_EQ(encodeForRedirectedStream(L"\u00dcber", 1252), "\xdc" "ber");
    EXPECT_EQ(encodeForRedirectedStream(L"\u20ac\u4e2d", 437), "??");
    EXPECT_EQ(encodeForRedirectedStream(L"", CP_UTF8), "");
}

TEST(Help, IsAskedForByItsThreeNamesInAnyCase)
{
    struct Case {
        std::map<std::wstring, std::wstring> options;
        bool help;
    };
    const std::vector<Case> cases = {
        {{{L"/?", L""}}, true},
        {{{L"/h", L""}}, true},
        {{{L"/H", L""}}, true},
        {{{L"/help", L""}}, true},
        {{{L"/HeLp", L""}}, true},
        {{{L"/file", L"x.zip"}, {L"/?", L""}}, true},
        {{}, false},
        {{{L"/summary", L"/?"}}, false},
        {{{L"/hel", L""}}, false},
        {{{L"/helps", L""}}, false},
        {{{L"?", L""}}, false},
    };
    for (size_t i = 0; i < cases.size(); ++i) {
        EXPECT_EQ(isHelpRequested(cases[i].options), cases[i].help) << "case " << i;
    }
}

TEST(Help, NamesEveryOptionAndWhereThingsGo)
{
    const std::wstring text = usageText(L"C:\\T\\cmdlinePrt.zip", L"C:\\T\\PRT.txt");
    for (const wchar_t* option : {L"/file", L"/overwrite", L"/summary", L"/comments", L"/contact", L"/ProblemArea",
             L"/attach", L"/fulldump", L"/dntdmp", L"/flushed", L"/?"}) {
        EXPECT_NE(text.find(L"  " + std::wstring(option)), std::wstring::npos) << option;
    }
    EXPECT_NE(text.find(L"C:\\T\\cmdlinePrt.zip\r\n"), std::wstring::npos);
    EXPECT_NE(text.find(L"C:\\T\\PRT.txt\r\n"), std::wstring::npos);
}

TEST(ClosingLine, SaysWhereTheReportIsOrWhyThereIsNone)
{
    RunOutcome plain;
    plain.reportWritten = true;
    plain.outputPath = L"C:\\r\\report.zip";
    plain.entries = 23;
    plain.bytes = 1572864;
    EXPECT_EQ(formatClosingLine(plain, L"C:\\T\\PRT.txt"), L"Report written to C:\\r\\report.zip (23 entries, 1.50 MB)");

    RunOutcome encrypted = plain;
    encrypted.certificateSubject = L"Vossel Support";
    encrypted.entries = 1;
    encrypted.bytes = 52428800;
    EXPECT_EQ(formatClosingLine(encrypted, L"C:\\T\\PRT.txt"),
        L"Report encrypted for Vossel Support and written to C:\\r\\report.zip (1 entry, 50.0 MB)");

    RunOutcome none;
    none.reason = NoReportReason::OutputFileKept;
    none.outputPath = L"C:\\r\\report.zip";
    EXPECT_EQ(formatClosingLine(none, L"C:\\T\\PRT.txt"),
        L"No report was made: the output file C:\\r\\report.zip exists and \"/overwrite 0\" keeps it. "
        L"See the diagnostic log C:\\T\\PRT.txt");

    RunOutcome partial = plain;
    partial.leftOut = 2;
    EXPECT_EQ(formatClosingLine(partial, L"C:\\T\\PRT.txt"), L"Report written to C:\\r\\report.zip (23 entries, 1.50 MB); "
        L"2 entries were left out, the diagnostic log PRT.txt in it names them");
    partial.leftOut = 1;
    EXPECT_EQ(formatClosingLine(partial, L"C:\\T\\PRT.txt"), L"Report written to C:\\r\\report.zip (23 entries, 1.50 MB); "
        L"1 entry was left out, the diagnostic log PRT.txt in it names them");

    RunOutcome unmoved;
    unmoved.reason = NoReportReason::MoveFailed;
    unmoved.outputPath = L"C:\\r\\report.zip";
    unmoved.keptReportPath = L"C:\\T\\Vossel-Win-1.zip";
    EXPECT_EQ(formatClosingLine(unmoved, L"C:\\T\\PRT.txt"),
        L"No report was made: the report could not be moved to C:\\r\\report.zip; the report is kept at "
        L"C:\\T\\Vossel-Win-1.zip. See the diagnostic log C:\\T\\PRT.txt");

    RunOutcome noTemporaryFolder;
    noTemporaryFolder.reason = NoReportReason::NoTemporaryFolder;
    EXPECT_EQ(formatClosingLine(noTemporaryFolder, L""),
        L"No report was made: " + reasonText(NoReportReason::NoTemporaryFolder, L""));
}

TEST(ClosingLine, EveryReasonHasItsOwnText)
{
    std::map<std::wstring, int> seen;
    for (int reason = static_cast<int>(NoReportReason::NoTemporaryFolder);
         reason <= static_cast<int>(NoReportReason::EndedEarly); ++reason) {
        const std::wstring text = reasonText(static_cast<NoReportReason>(reason), L"C:\\out.zip");
        EXPECT_FALSE(text.empty()) << reason;
        EXPECT_TRUE(seen.emplace(text, reason).second) << reason << " says the same as " << seen[text];
    }
}

TEST(ClosingLine, SizeInMegabytes)
{
    EXPECT_EQ(formatReportSize(0), L"0.00 MB");
    EXPECT_EQ(formatReportSize(1), L"less than 0.01 MB");
    EXPECT_EQ(formatReportSize(5242), L"less than 0.01 MB");
    EXPECT_EQ(formatReportSize(20480), L"0.02 MB");
    EXPECT_EQ(formatReportSize(10485760 - 1), L"10.00 MB");
    EXPECT_EQ(formatReportSize(10485760), L"10.0 MB");
    EXPECT_EQ(formatReportSize(1610612736), L"1536.0 MB");
}

std::string zipOfEntries(const std::wstring& folder, int count)
{
    const std::wstring path = folder + L"entries.zip";
    zipFile archive = zipOpen64(std::string(path.begin(), path.end()).c_str(), APPEND_STATUS_CREATE);
    EXPECT_NE(archive, nullptr);
    for (int i = 0; i < count; ++i) {
        const std::string name = "entry" + std::to_string(i);
        zipOpenNewFileInZip(archive, name.c_str(), nullptr, nullptr, 0, nullptr, 0, nullptr, Z_DEFLATED, Z_DEFAULT_COMPRESSION);
        zipWriteInFileInZip(archive, name.data(), static_cast<unsigned>(name.size()));
        zipCloseFileInZip(archive);
    }
    zipClose(archive, nullptr);
    return readFileBytes(path).value_or("");
}

std::optional<std::uint64_t> countOf(const std::string& bytes)
{
    return countArchiveEntries(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size());
}

void putLittleEndian(std::string& bytes, std::size_t at, std::uint64_t value, int count)
{
    for (int i = 0; i < count; ++i) {
        bytes[at + i] = static_cast<char>((value >> (8 * i)) & 0xFF);
    }
}

TEST(ArchiveEntryCount, ReadsTheEndRecord)
{
    ScopedTempFolder temp;
    EXPECT_EQ(countOf(zipOfEntries(temp.path(), 0)), 0u);
    EXPECT_EQ(countOf(zipOfEntries(temp.path(), 3)), 3u);

    // More than 65535 entries: the end record says 0xFFFF and the zip64 record has the count.
    std::string zip64(56 + 20 + 22, '\0');
    putLittleEndian(zip64, 0, 0x06064b50, 4);
    putLittleEndian(zip64, 32, 70000, 8);
    putLittleEndian(zip64, 56, 0x07064b50, 4);
    putLittleEndian(zip64, 56 + 8, 0, 8);
    putLittleEndian(zip64, 76, 0x06054b50, 4);
    putLittleEndian(zip64, 76 + 10, 0xFFFF, 2);
    EXPECT_EQ(countOf(zip64), 70000u);
    // A locator that points outside the data leaves the end record's own count.
    putLittleEndian(zip64, 56 + 8, 1000, 8);
    EXPECT_EQ(countOf(zip64), 0xFFFFu);

    EXPECT_EQ(countOf(""), std::nullopt);
    EXPECT_EQ(countOf(std::string(40, 'x')), std::nullopt);
    EXPECT_EQ(countArchiveEntries(nullptr, 100), std::nullopt);
}

TEST(EntryProgress, ConsoleRedrawsOneLineAtMostFourTimesASecond)
{
    const std::uint64_t total = 100ull * 1024 * 1024;
    CEntryProgressMeter meter;
    EXPECT_EQ(meter.update(L"fulldump.dmp", 0, total, 1000, true), L"\r  fulldump.dmp 0%  ");
    // Too soon after the last redraw, then due, then a percentage that has not changed.
    EXPECT_EQ(meter.update(L"fulldump.dmp", total / 10, total, 1100, true), L"");
    EXPECT_EQ(meter.update(L"fulldump.dmp", total / 10 + 1, total, 1400, true), L"\r  fulldump.dmp 10%  ");
    EXPECT_EQ(meter.update(L"fulldump.dmp", total / 10 + 2, total, 1700, true), L"");
    EXPECT_EQ(meter.update(L"fulldump.dmp", total / 2, total, 1700, true), L"\r  fulldump.dmp 50%  ");
    EXPECT_EQ(meter.update(L"fulldump.dmp", total, total, 1701, true), L"\r  fulldump.dmp 100%  \r\n");
    EXPECT_EQ(meter.finishLine(), L"");

    // A line left open is closed before the next entry, or before anything else is written.
    EXPECT_EQ(meter.update(L"a.log", 1, total, 5000, true), L"\r  a.log 0%  ");
    EXPECT_EQ(meter.update(L"b.log", 1, total, 5001, true), L"\r\n\r  b.log 0%  ");
    EXPECT_EQ(meter.finishLine(), L"\r\n");
    EXPECT_EQ(meter.finishLine(), L"");
}

TEST(EntryProgress, RedirectedWritesALineAtEveryTenth)
{
    const std::uint64_t total = 20ull * 1024 * 1024;
    CEntryProgressMeter meter;
    std::wstring written;
    for (std::uint64_t done = 0; done <= total; done += 512 * 1024) {
        written += meter.update(L"big.bin", done, total, 0, false);
    }
    EXPECT_EQ(written,
        L"  big.bin 0%\r\n  big.bin 10%\r\n  big.bin 20%\r\n  big.bin 30%\r\n  big.bin 40%\r\n  big.bin 50%\r\n"
        L"  big.bin 60%\r\n  big.bin 70%\r\n  big.bin 80%\r\n  big.bin 90%\r\n  big.bin 100%\r\n");
    EXPECT_EQ(meter.update(L"big.bin", total, total, 0, false), L"");
    EXPECT_EQ(meter.finishLine(), L"");
    // The same name again is a new entry, shown from its start.
    EXPECT_EQ(meter.update(L"big.bin", 0, total, 0, false), L"  big.bin 0%\r\n");
}

TEST(EntryProgress, EntriesOf16MiBOrLessAreNotShown)
{
    CEntryProgressMeter meter;
    EXPECT_EQ(meter.update(L"small.log", 0, 16ull * 1024 * 1024, 0, false), L"");
    EXPECT_EQ(meter.update(L"small.log", 16ull * 1024 * 1024, 16ull * 1024 * 1024, 0, true), L"");
    EXPECT_EQ(meter.update(L"empty.log", 0, 0, 0, true), L"");
}

} // namespace
