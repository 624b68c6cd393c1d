#include <windows.h>

#include <algorithm>
#include <optional>
#include <regex>
#include <string>
#include <vector>

#include "support/client_double.h"
#include "support/zip_reader.h"
#include "tool_run_fixture.h"

namespace {

using Names = std::vector<std::string>;

std::string utf16(const std::string& ascii)
{
    std::string bytes = "\xFF\xFE";
    for (char c : ascii) {
        bytes += c;
        bytes += '\0';
    }
    return bytes;
}

const ZipEntry* findEntry(const std::vector<ZipEntry>& entries, const std::string& name)
{
    const auto found = std::find_if(entries.begin(), entries.end(), [&](const ZipEntry& e) { return e.name == name; });
    return found == entries.end() ? nullptr : &*found;
}

class ReportArchive : public ToolRunTest {
protected:
    std::wstring put(const std::wstring& name, const std::string& bytes)
    {
        const std::wstring path = temp() + name;
        EXPECT_TRUE(writeFileBytes(path, bytes));
        return path;
    }
};

TEST_F(ReportArchive, HoldsTheSingleFilesInTheirFixedOrder)
{
    writeIni("[Config]\r\nProductMode=desk\r\n");
    put(L"dntcolex.dmp", "32-bit companion dump");
    put(L"dntcolex64.dmp", "64-bit companion dump");
    put(L"gdi.txt", utf16("Handle,Type\r\n"));
    for (const wchar_t* shot : {L"Vossel_Screenshot3.png", L"Vossel_Screenshot1.png", L"Vossel_Screenshot2.png"}) {
        put(shot, std::string("png ") + char('0' + shot[17] - L'0'));
    }
    put(L"OrmelVosselInstaller.LOG", "installer log");
    ASSERT_TRUE(CreateDirectoryW((temp() + L"attachments").c_str(), nullptr));
    const std::wstring attachment = put(L"attachments\\notes.txt", "what I saw");
    ASSERT_TRUE(CreateDirectoryW((temp() + L"out").c_str(), nullptr));
    const std::wstring output = temp() + L"out\\report.zip";

    runTool(L"/flushed /file \"" + output + L"\" /attach \"" + attachment
        + L"\" /summary Audio /contact \"jo@example.invalid\" /ProblemArea audio");

    const auto entries = readZipArchive(output);
    ASSERT_TRUE(entries.has_value());
    EXPECT_EQ(entryNames(*entries),
        (Names{"VosselPRT.ini", "dntcolex.dmp", "dntcolex64.dmp", "SystemInfo\\SystemInfo.txt", "user-comment.txt",
            "metadata.txt", "gdi.txt",
            "notes.txt", "Vossel_Screenshot1.png", "Vossel_Screenshot2.png", "Vossel_Screenshot3.png",
            "OrmelVosselInstaller.LOG", "PRT.txt", "manifest.json"}));
    ASSERT_EQ(entries->size(), 14u);
    EXPECT_EQ((*entries)[0].bytes, "[Config]\r\nProductMode=desk\r\n");
    EXPECT_EQ((*entries)[1].bytes, "32-bit companion dump");
    EXPECT_EQ((*entries)[4].bytes, utf16("Audio\r\nno comments\r\njo@example.invalid\r\n"));
    EXPECT_EQ((*entries)[5].bytes, utf16(",audio,0,1.0.0.1,desk,\nVossel Version: 1.0.0.0 (Build 1)"));
    EXPECT_EQ((*entries)[7].bytes, "what I saw");
    EXPECT_EQ((*entries)[8].bytes, "png 1");
    EXPECT_EQ((*entries)[10].bytes, "png 3");
    for (const auto& entry : *entries) {
        EXPECT_EQ(entry.dosDate, (*entries)[0].dosDate) << entry.name;
    }

    // The log in the report is the log on disk as it stood when it was added.
    const std::string disk = readFileBytes(temp() + L"PRT.txt").value_or("");
    const std::string& archived = (*entries)[entries->size() - 2].bytes;
    EXPECT_EQ(disk.compare(0, archived.size(), archived), 0);
    const std::vector<std::string> archivedLines = [&] {
        put(L"archived-log.txt", archived);
        return readLogMessages(temp() + L"archived-log.txt");
    }();
    ASSERT_FALSE(archivedLines.empty());
    EXPECT_EQ(archivedLines.back(), "Adding " + tempText() + "PRT.txt to zip stream.");
}

TEST_F(ReportArchive, DefaultSettingsHaveNoSettingsFileAndNoScreenshots)
{
    RunningClientDouble client;
    put(L"Vossel_Screenshot1.png", "png");
    runTool(L"/flushed /fulldump 0");

    const auto entries = readZipArchive(temp() + L"cmdlinePrt.zip");
    ASSERT_TRUE(entries.has_value());
    EXPECT_EQ(entryNames(*entries), (Names{"SystemInfo\\SystemInfo.txt", "user-comment.txt", "metadata.txt", "PRT.txt",
                                       "manifest.json"}));
    ASSERT_NE(findEntry(*entries, "user-comment.txt"), nullptr);
    EXPECT_EQ(findEntry(*entries, "user-comment.txt")->bytes, utf16("no summary\r\nno comments\r\n\r\n"));
    EXPECT_EQ(findEntry(*entries, "metadata.txt")->bytes,
        utf16(",other,0,1.0.0.1,default,\nVossel Version: 1.0.0.0 (Build 1)"));
}

TEST_F(ReportArchive, LinesAfterTheLogWasAddedStayOutOfTheReport)
{
    writeIni("[Config]\r\n");
    const std::wstring output = temp() + L"missing-folder\\report.zip";
    runTool(L"/flushed /file \"" + output + L"\"");

    // The move failed, so the report stays in the temporary folder under its archive file name.
    WIN32_FIND_DATAW found = {};
    HANDLE find = FindFirstFileW((temp() + L"Vossel-Win-*.zip").c_str(), &found);
    ASSERT_NE(find, INVALID_HANDLE_VALUE);
    FindClose(find);
    const std::wstring name = found.cFileName;
    const std::string narrowName(name.begin(), name.end());
    EXPECT_TRUE(std::regex_match(narrowName, std::regex(R"(Vossel-Win-1\.0\.0\.1-\d{8}_\d{6}-[^ ]*\.zip)")))
        << narrowName;

    const std::string renameLine = "Failed to rename file from " + tempText() + narrowName + " to "
        + std::string(output.begin(), output.end());
    const auto disk = logMessages();
    EXPECT_NE(std::find(disk.begin(), disk.end(), renameLine), disk.end());

    const auto entries = readZipArchive(temp() + name);
    ASSERT_TRUE(entries.has_value());
    ASSERT_NE(findEntry(*entries, "PRT.txt"), nullptr);
    EXPECT_EQ(findEntry(*entries, "PRT.txt")->bytes.find("Failed to rename"), std::string::npos);
}

TEST_F(ReportArchive, AnEntryThatFindsNoRoomIsLeftOutAndTheReportStaysValid)
{
    // The reservation for the archive is capped far below the dump's size: the dump is left out
    // with one log line; the files before and after it, and the log, are in a report every reader
    // opens.
    ASSERT_TRUE(CreateDirectoryW((temp() + L"material").c_str(), nullptr));
    put(L"material\\a-before.txt", "before");
    std::string noise(40 * 1024 * 1024, '\0');
    unsigned state = 5;
    for (auto& c : noise) {
        state = state * 1103515245u + 12345u;
        c = static_cast<char>(state >> 24);
    }
    const std::wstring dump = put(L"material\\b-fulldump.dmp", noise);
    put(L"material\\c-after.txt", "after");
    writeIni("[Config]\r\n[AdditionalPrtPaths]\r\nMaterial=" + tempText() + "material\r\n");
    const std::wstring output = temp() + L"report.zip";
    // Kept for the test to read: the clean-up deletes it once the report has reached the output.
    DiagnosticLogHold log(temp());
    const auto exitCode = runProgram(testBinaryFolder() + L"VosselPRT.exe", L"/flushed /file \"" + output + L"\"",
        {{L"TMP", temp()}, {L"TEMP", temp()}, {L"VOSSEL_PRT_TEST_ARCHIVE_LIMIT", std::to_wstring(24 * 1024 * 1024)}},
        120000);
    ASSERT_EQ(exitCode, std::optional<unsigned long>(0));

    const auto entries = readZipArchive(output);
    ASSERT_TRUE(entries.has_value());
    const Names names = entryNames(*entries);
    EXPECT_EQ(std::count(names.begin(), names.end(), "Material\\b-fulldump.dmp"), 0);
    ASSERT_NE(findEntry(*entries, "Material\\a-before.txt"), nullptr);
    EXPECT_EQ(findEntry(*entries, "Material\\a-before.txt")->bytes, "before");
    ASSERT_NE(findEntry(*entries, "Material\\c-after.txt"), nullptr);
    EXPECT_EQ(findEntry(*entries, "Material\\c-after.txt")->bytes, "after");
    ASSERT_NE(findEntry(*entries, "PRT.txt"), nullptr);
    const auto lines = logMessages();
    const std::string dumpText(dump.begin(), dump.end());
    EXPECT_EQ(std::count(lines.begin(), lines.end(), "Not enough memory to add " + dumpText + " to the zip stream."), 1);
}

} // namespace
