// Runs in which the report could be lost, cut short or made of what the settings should not steer,
// and the diagnostic log that must tell the truth about them.

#include <windows.h>
#include <aclapi.h>

#include <algorithm>
#include <string>
#include <vector>

#include "base/scoped_handle.h"
#include "support/zip_reader.h"
#include "tool_run_fixture.h"

namespace {

using Messages = std::vector<std::string>;
using Names = std::vector<std::string>;

std::string narrow(const std::wstring& text)
{
    return std::string(text.begin(), text.end());
}

std::string utf8(const std::wstring& text)
{
    const int size = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    std::string bytes(static_cast<size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), bytes.data(), size, nullptr, nullptr);
    return bytes;
}

// Makes the folders of path and writes bytes to it, in the long form, so that neither deep paths
// nor device-like names stop a test from laying out its files.
void putLong(const std::wstring& path, const std::string& bytes)
{
    const std::wstring full = L"\\\\?\\" + path;
    for (size_t slash = full.find(L'\\', 7); slash != std::wstring::npos; slash = full.find(L'\\', slash + 1)) {
        CreateDirectoryW(full.substr(0, slash).c_str(), nullptr);
    }
    ScopedFileHandle file(CreateFileW(full.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    ASSERT_TRUE(file.isValid()) << narrow(path);
    DWORD written = 0;
    ASSERT_TRUE(WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr));
}

class Integrity : public ToolRunTest {
protected:
    std::wstring output() const { return temp() + L"report.zip"; }

    std::vector<ZipEntry> runAndRead(const std::wstring& args)
    {
        runTool(L"/flushed /file \"" + output() + L"\" " + args);
        auto entries = readZipArchive(output());
        EXPECT_TRUE(entries.has_value()) << "no readable report";
        return entries.value_or(std::vector<ZipEntry>{});
    }

    static const ZipEntry* find(const std::vector<ZipEntry>& entries, const std::string& name)
    {
        const auto it = std::find_if(entries.begin(), entries.end(), [&](const ZipEntry& e) { return e.name == name; });
        return it == entries.end() ? nullptr : &*it;
    }
};

TEST_F(Integrity, ALineEndInsideAMessagePlantsNoLine)
{
    writeIni("[Config]\r\n");
    const std::wstring forged = L"[2030-01-01 00:00:00,000] PRT material flush completes.";
    runTool(L"/flushed /summary \"x\r\n" + forged + L"\" /comments \"y\n" + forged + L"\"");

    const Messages lines = logMessages();
    EXPECT_EQ(std::count(lines.begin(), lines.end(), "PRT material flush completes."), 0);
    for (const auto& line : lines) {
        if (line.rfind("cmd line : ", 0) != 0) {
            EXPECT_EQ(line.find("[2030-"), std::string::npos) << line;
        }
    }
    const auto commandLine = std::find_if(lines.begin(), lines.end(),
        [](const std::string& line) { return line.rfind("cmd line : ", 0) == 0; });
    ASSERT_NE(commandLine, lines.end());
    EXPECT_NE(commandLine->find("x  " + narrow(forged) + "\" /comments \"y " + narrow(forged)), std::string::npos)
        << *commandLine;
}

TEST_F(Integrity, AnInstanceInAnotherSecurityContextStillCounts)
{
    // A mutex that nobody may open stands for one made by an elevated instance of the session.
    SECURITY_DESCRIPTOR descriptor = {};
    ASSERT_TRUE(InitializeSecurityDescriptor(&descriptor, SECURITY_DESCRIPTOR_REVISION));
    ACL emptyAcl = {};
    ASSERT_TRUE(InitializeAcl(&emptyAcl, sizeof(emptyAcl), ACL_REVISION));
    ASSERT_TRUE(SetSecurityDescriptorDacl(&descriptor, TRUE, &emptyAcl, FALSE));
    SECURITY_ATTRIBUTES attributes = {sizeof(attributes), &descriptor, FALSE};
    ScopedKernelHandle held(CreateMutexW(&attributes, FALSE, L"Local\\OrmelVossel-PRTMutex"));
    ASSERT_TRUE(held.isValid());
    SetLastError(0);
    ScopedKernelHandle probe(CreateMutexW(nullptr, FALSE, L"Local\\OrmelVossel-PRTMutex"));
    if (probe.isValid() || GetLastError() != ERROR_ACCESS_DENIED) {
        GTEST_SKIP() << "this system lets anyone open the mutex";
    }

    writeIni("[Config]\r\n");
    runTool(L"/flushed /file \"" + output() + L"\"");
    EXPECT_EQ(logMessages(), Messages{"only single instance is allowned."});
    EXPECT_FALSE(fileExists(output()));
}

TEST_F(Integrity, AnEarlierOutputFileOutlivesARunThatMakesNoReport)
{
    // Encryption on without a certificate: the run makes no report.
    writeIni("[Config]\r\nEnablePRTEncryption=1\r\nPrtCertificateName=Vossel PRT Nobody Has This One\r\n");
    ASSERT_TRUE(writeFileBytes(output(), "earlier report"));
    runTool(L"/flushed /file \"" + output() + L"\"");
    EXPECT_EQ(readFileBytes(output()), "earlier report");
    EXPECT_TRUE(hasMessageStartingWith(logMessages(), "Failed to rename file from "));
}

TEST_F(Integrity, AnOutputPathNamingAClientLogCollectsThatLogFirst)
{
    const std::wstring logs = temp() + L"clientlogs\\";
    ScopedClientProfile::put(logs + L"vossel.log", "the client's log");
    writeIni("[Config]\r\nVosselLogDirectory=" + narrow(logs) + "\r\n");
    runTool(L"/flushed /file \"" + logs + L"vossel.log\"");

    const auto entries = readZipArchive(logs + L"vossel.log");
    ASSERT_TRUE(entries.has_value());
    const auto log = std::find_if(entries->begin(), entries->end(), [](const ZipEntry& e) { return e.name == "vossel.log"; });
    ASSERT_NE(log, entries->end());
    EXPECT_EQ(log->bytes, "the client's log");
}

TEST_F(Integrity, FurtherFoldersCannotSteerTheCollection)
{
    const std::wstring base = temp() + L"further\\";
    // Enough folders to pass the 32767 characters a single read of the section gives.
    std::string section = "[AdditionalPrtPaths]\r\n";
    Names expected;
    for (int i = 0; i < 160; ++i) {
        const std::wstring name = L"Folder" + std::to_wstring(100 + i);
        const std::wstring folder = base + name + L"-" + std::wstring(200, L'f');
        putLong(folder + L"\\f.txt", narrow(name));
        section += narrow(name) + "=" + narrow(folder) + "\r\n";
        expected.push_back(narrow(name) + "\\f.txt");
    }
    ASSERT_GT(section.size(), 40000u);
    putLong(base + L"evil\\e.txt", "evil");
    putLong(base + L"abs\\a.txt", "abs");
    putLong(base + L"empty\\sub\\n.txt", "empty name");
    putLong(base + L"umlaut\\\u00e4.txt", "umlaut");
    std::wstring deep = base + L"deep\\";
    while (deep.size() < temp().size() + 300) {
        deep += L"level-" + std::to_wstring(deep.size()) + L"\\";
    }
    putLong(deep + L"one\\deepfile.txt", "one");
    putLong(deep + L"two\\deepfile.txt", "two");
    putLong(base + L"devices\\aux.txt", "not a device");
    putLong(base + L"devices\\plain.txt", "plain");
    section += "..\\..\\evil=" + narrow(base) + "evil\r\n";
    section += "C:\\abs=" + narrow(base) + "abs\r\n";
    section += "=" + narrow(base) + "empty\r\n";
    section += "\xDC" "ber=" + narrow(base) + "umlaut\r\n";
    section += "Deep=" + narrow(base) + "deep\r\n";
    section += "Devices=" + narrow(base) + "devices\r\n";
    section += "WholeDrive=C:\r\n";
    // As UTF-16 with its byte-order mark, so that the name "\u00dcber" reads the same on any code page.
    std::string text = "\xFF\xFE";
    for (unsigned char c : "[Config]\r\n" + section) {
        text += static_cast<char>(c);
        text += '\0';
    }
    writeIni(text);

    const auto entries = runAndRead(L"");
    Names names = entryNames(entries);
    for (const auto& name : expected) {
        EXPECT_NE(std::find(names.begin(), names.end(), name), names.end()) << name;
    }
    for (const auto& name : {std::string("evil\\e.txt"), std::string("abs\\a.txt"), std::string("sub\\n.txt"),
             std::string("Deep\\") + narrow(deep.substr(base.size() + 5)) + "one\\deepfile.txt",
             std::string("Deep\\") + narrow(deep.substr(base.size() + 5)) + "two\\deepfile.txt",
             std::string("Devices\\plain.txt"), utf8(L"\u00dcber\\\u00e4.txt")}) {
        EXPECT_NE(std::find(names.begin(), names.end(), name), names.end()) << name;
    }
    for (const auto& name : names) {
        EXPECT_NE(name[0], '\\') << name;
        EXPECT_EQ(name.find(".."), std::string::npos) << name;
        EXPECT_EQ(name.find(':'), std::string::npos) << name;
        EXPECT_EQ(name.rfind("WholeDrive", 0), std::string::npos) << name;
        EXPECT_EQ(name.find("aux.txt"), std::string::npos) << name;
    }
    const Messages lines = logMessages();
    EXPECT_NE(std::find(lines.begin(), lines.end(), "Further path refused, it names a whole drive: WholeDrive=C:"), lines.end());
    EXPECT_NE(std::find(lines.begin(), lines.end(), "Skipping " + narrow(base) + "devices\\aux.txt, it is no regular disk file."),
        lines.end());
}

TEST_F(Integrity, AnUnquotedProgramPathWithBlanksStillMakesAReport)
{
    // The tool and its libraries, installed where a user would have them.
    const std::wstring installed = temp() + L"Program Files\\Vossel\\";
    putLong(installed + L"placeholder", "");
    WIN32_FIND_DATAW found = {};
    HANDLE search = FindFirstFileW((testBinaryFolder() + L"*.dll").c_str(), &found);
    ASSERT_NE(search, INVALID_HANDLE_VALUE);
    do {
        ASSERT_TRUE(CopyFileW((testBinaryFolder() + found.cFileName).c_str(), (installed + found.cFileName).c_str(), FALSE));
    } while (FindNextFileW(search, &found));
    FindClose(search);
    ASSERT_TRUE(CopyFileW((testBinaryFolder() + L"VosselPRT.exe").c_str(), (installed + L"VosselPRT.exe").c_str(), FALSE));

    writeIni("[Config]\r\n");
    StartedProgram tool = startProgramWithCommandLine(installed + L"VosselPRT.exe",
        installed + L"VosselPRT.exe /flushed /file \"" + output() + L"\" /summary \"/dev/null keeps crashing\"",
        {{L"TMP", temp()}, {L"TEMP", temp()}});
    ASSERT_EQ(tool.wait(120000), 0u);

    const auto entries = readZipArchive(output());
    ASSERT_TRUE(entries.has_value());
    const ZipEntry* comment = find(*entries, "user-comment.txt");
    ASSERT_NE(comment, nullptr);
    std::string expected = "\xFF\xFE";
    for (char c : std::string("/dev/null keeps crashing\r\nno comments\r\n\r\n")) {
        expected += c;
        expected += '\0';
    }
    EXPECT_EQ(comment->bytes, expected);
}

// The archive's room is capped through the data stream's test hook, as an address space that runs
// out would cap it.
TEST_F(Integrity, AnArchiveWithoutRoomGivesOneLineAndKeepsTheEarlierReport)
{
    struct Case {
        const wchar_t* limit;
        bool reportMade;
    };
    // Below the first 16 MiB no archive begins (61001); above it the 24 MiB file does not fit and
    // is left out of a report that is made all the same.
    const std::vector<Case> cases = {{L"1048576", false}, {L"20971520", true}};
    std::string noise(24 * 1024 * 1024, '\0');
    unsigned state = 1;
    for (auto& c : noise) {
        state = state * 1103515245u + 12345u;
        c = static_cast<char>(state >> 24);
    }
    putLong(temp() + L"big\\noise.bin", noise);
    writeIni("[Config]\r\n[AdditionalPrtPaths]\r\nBig=" + narrow(temp()) + "big\r\n");
    for (const auto& c : cases) {
        DeleteFileW((temp() + L"PRT.txt").c_str());
        ASSERT_TRUE(writeFileBytes(output(), "earlier report"));
        StartedProgram tool = startProgram(testBinaryFolder() + L"VosselPRT.exe",
            L"/flushed /file \"" + output() + L"\"",
            {{L"TMP", temp()}, {L"TEMP", temp()}, {L"VOSSEL_PRT_TEST_ARCHIVE_LIMIT", c.limit}});
        ASSERT_EQ(tool.wait(120000), 0u);

        const Messages lines = logMessages();
        const auto begun = std::count(lines.begin(), lines.end(),
            "The report archive could not be begun (61001); no report is made.");
        if (!c.reportMade) {
            EXPECT_EQ(begun, 1) << narrow(c.limit);
            EXPECT_EQ(readFileBytes(output()), "earlier report");
            WIN32_FIND_DATAW found = {};
            HANDLE search = FindFirstFileW((temp() + L"Vossel-Win-*").c_str(), &found);
            EXPECT_EQ(search, INVALID_HANDLE_VALUE) << "a report file was made";
            if (search != INVALID_HANDLE_VALUE) {
                FindClose(search);
            }
            continue;
        }
        EXPECT_EQ(begun, 0);
        EXPECT_EQ(std::count_if(lines.begin(), lines.end(),
                      [](const std::string& line) { return line.rfind("Failed to write ", 0) == 0; }),
            0);
        const auto entries = readZipArchive(output());
        ASSERT_TRUE(entries.has_value()) << "the report does not read back";
        EXPECT_EQ(find(*entries, "Big\\noise.bin"), nullptr);
        EXPECT_NE(find(*entries, "VosselPRT.ini"), nullptr);
    }
}

} // namespace
