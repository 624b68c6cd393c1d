#include "app/console/usage.h"

#include <windows.h>

#include "app/console/console_output.h"
#include "base/diagnostic_log.h"
#include "base/temp_folder.h"
#include "platform/vosselutils/command_line_parser.h"

namespace {

std::wstring currentUsageText()
{
    return usageText(getTempFolder(512) + L"cmdlinePrt.zip", getLogFilePath());
}

} // namespace

bool isHelpRequested(const std::map<std::wstring, std::wstring>& options)
{
    for (const auto& [name, value] : options) {
        for (const wchar_t* help : {L"/?", L"/h", L"/help"}) {
            if (CompareStringOrdinal(name.c_str(), static_cast<int>(name.size()), help, -1, TRUE) == CSTR_EQUAL) {
                return true;
            }
        }
    }
    return false;
}

bool helpRequested()
{
    CWinCommandLineParser parser(nullptr);
    return parser.init() && isHelpRequested(parser.getOptions());
}

std::wstring usageText(const std::wstring& defaultReportPath, const std::wstring& logPath)
{
    return L"Usage: VosselPRT.exe [/option [value]]...\r\n"
           L"Makes a problem report of the Vossel client: one zip archive for support staff.\r\n"
           L"  /file PATH          where the report goes; an existing file there is replaced\r\n"
           L"  /overwrite 0|1      0 keeps an existing report file and makes no new one\r\n"
           L"  /summary TEXT       first line of the comment\r\n"
           L"  /comments TEXT      second line of the comment\r\n"
           L"  /contact TEXT       third line of the comment\r\n"
           L"  /ProblemArea TEXT   the area of the problem (default: other)\r\n"
           L"  /attach PATH        a file to add to the report\r\n"
           L"  /fulldump 0|1       0 writes no memory dumps\r\n"
           L"  /dntdmp 0|1         0 does not dump the meeting companion process\r\n"
           L"  /flushed            the client has flushed its material already (set by the client)\r\n"
           L"  /?, /h, /help       this text; nothing else is done\r\n"
           L"Option names are matched exactly, case included; quote values that hold spaces.\r\n"
           L"Without /flushed the running client is asked to flush its material first.\r\n"
           L"Report: the /file path, by default " + defaultReportPath + L"\r\n"
           L"Diagnostic log: " + logPath + L"\r\n"
           L"Progress goes to the standard error stream, the closing line to the standard output.\r\n";
}

void printHelp()
{
    writeConsoleText(STD_OUTPUT_HANDLE, currentUsageText());
}

void printUsage()
{
    writeConsoleText(STD_ERROR_HANDLE,
        L"VosselPRT: the command line could not be read: a word stands where no option precedes it.\r\n"
            + currentUsageText());
}
