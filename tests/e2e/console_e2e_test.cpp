#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

#include "tool_run_fixture.h"

namespace {

std::string narrow(const std::wstring& text)
{
    return std::string(text.begin(), text.end());
}

std::vector<std::wstring> filesIn(const std::wstring& folder)
{
    std::vector<std::wstring> found;
    WIN32_FIND_DATAW data = {};
    HANDLE find = FindFirstFileW((folder + L"*").c_str(), &data);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            const std::wstring name = data.cFileName;
            if (name != L"." && name != L"..") {
                found.push_back(name);
            }
        } while (FindNextFileW(find, &data));
        FindClose(find);
    }
    std::sort(found.begin(), found.end());
    return found;
}

// A run whose standard output and standard error are kept apart, as "VosselPRT.exe ... >
// result.txt" at a console keeps them.
class ConsoleRun : public ToolRunTest {
protected:
    void runToolApart(const std::wstring& args)
    {
        const std::wstring outputFile = temp() + L"stdout.txt";
        const std::wstring errorFile = temp() + L"stderr.txt";
        const auto exitCode = ::runTool(args, temp(), ProgramStreams{outputFile, errorFile, false});
        ASSERT_TRUE(exitCode.has_value()) << "the tool did not end";
        EXPECT_EQ(*exitCode, 0u);
        standardOutput_ = readFileBytes(outputFile).value_or("");
        standardError_ = readFileBytes(errorFile).value_or("");
        DeleteFileW(outputFile.c_str());
        DeleteFileW(errorFile.c_str());
    }

    std::string standardOutput_;
    std::string standardError_;
};

TEST_F(ConsoleRun, HelpPrintsTheUsageAndTouchesNothing)
{
    writeIni("[Config]\r\nProductMode=test\r\n");
    // With "/flushed" and a settings file a run would make a report at once; without "/flushed" it
    // would first look for the client and log that.
    for (const wchar_t* args : {L"/?", L"/help", L"/H", L"/flushed /help", L"/flushed /file out.zip /hElP"}) {
        runToolApart(args);
        EXPECT_EQ(standardOutput_.rfind("Usage: VosselPRT.exe", 0), 0u) << narrow(args) << standardOutput_;
        EXPECT_NE(standardOutput_.find("by default " + tempText() + "cmdlinePrt.zip\r\n"), std::string::npos);
        EXPECT_NE(standardOutput_.find("Diagnostic log: " + tempText() + "PRT.txt\r\n"), std::string::npos);
        EXPECT_EQ(standardError_, "") << narrow(args);
        // No log, no report, no dump, no working file: the folder holds the settings file alone.
        EXPECT_EQ(filesIn(temp()), std::vector<std::wstring>{L"VosselPRT.ini"}) << narrow(args);
    }
}

} // namespace
