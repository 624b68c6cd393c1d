#include "app/cmd_ap_report.h"

#include <windows.h>
#include <shlwapi.h>

#include <cwchar>
#include <sstream>

#include "app/diagnostic_log.h"
#include "base/temp_folder.h"
#include "sysinfo/gdi_census.h"
#include "sysinfo/process_dumps.h"
#include "sysinfo/system_info_worker.h"

bool CCmdApReport::parseCommandLine()
{
    writeLogLine(std::wstring(L"cmd line : ") + GetCommandLineW());
    return applyOptions();
}

bool CCmdApReport::applyOptions()
{
    return true;
}

std::wstring CCmdApReport::getOptionValue(const std::wstring& name, const std::wstring& fallback) const
{
    const auto found = options_.find(name);
    if (found == options_.end() || found->second.empty()) {
        return fallback;
    }
    return found->second;
}

bool CCmdApReport::getOptionFlag(const std::wstring& name) const
{
    const auto found = options_.find(name);
    if (found == options_.end() || found->second.empty()) {
        return true;
    }
    return std::wcstol(found->second.c_str(), nullptr, 10) != 0;
}

bool CCmdApReport::generateReport()
{
    const std::wstring outputPath = getOptionValue(L"/file", getTempFolder(512) + L"cmdlinePrt.zip");

    if (PathFileExistsW(outputPath.c_str())) {
        if (!getOptionFlag(L"/overwrite") || !DeleteFileW(outputPath.c_str())) {
            std::wostringstream message;
            message << L"output file[" << outputPath << L"] exists, fails to delete. exit application.";
            writeLogLine(message.str());
            return false;
        }
    }

    createDumpFiles(getOptionFlag(L"/fulldump"));
    waitForSystemInfoThread();
    collectGdiHandles();

    const std::wstring comment = getOptionValue(L"/summary", L"no summary") + L"\r\n"
        + getOptionValue(L"/comments", L"no comments") + L"\r\n"
        + getOptionValue(L"/contact", L"") + L"\r\n";
    writeUserComment(comment);
    setProblemArea(getOptionValue(L"/ProblemArea", L"other"));

    collectReport();
    saveReport();
    moveReportToOutput(outputPath);
    return false;
}
