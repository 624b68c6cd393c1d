#include "sysinfo/process_dumps.h"

#include <shlobj.h>

#include <cstdint>
#include <vector>

#include "base/diagnostic_log.h"
#include "platform/vosselutils/system_utils.h"
#include "settings/ap_report_ini.h"
#include "settings/report_options.h"

namespace {

std::wstring& crashDumpPath()
{
    static std::wstring path;
    return path;
}

} // namespace

void createDumpFiles(bool stageFlag)
{
    if (!stageFlag) {
        return;
    }
    if (CApReportIni::isDumpFileDisabled()) {
        writeLogLine(L"No dump file will be created");
        return;
    }

    // The 32-bit companion is dumped directly; only when it is not running is the 64-bit one
    // handed to the dump program.
    if (isDntDumpEnabled()) {
        const auto companions = vosselutils::SystemUtils::getProcessIDByName(L"dntcolex.exe", true);
        if (!companions.empty()) {
            createDumpFileForProcess(companions.front(), CApReportIni::getDntDumpFilePath(false), nullptr);
        } else {
            const auto companions64 = vosselutils::SystemUtils::getProcessIDByName(L"dntcolex64.exe", true);
            if (!companions64.empty()) {
                createDumpFileFor64BitProcess(companions64.front(), CApReportIni::getDntDumpFilePath(true));
            }
        }
    }

    const std::wstring clientDump = getCrashDumpFilePath(kClientDumpFileName);
    const unsigned long exceptionAddress = CApReportIni::getExceptionAddress();
    if (exceptionAddress == 0) {
        createDumpFileForProcess(CApReportIni::getProcessId(), clientDump, nullptr);
        return;
    }
    // The address lies in the client's address space, so the dump writer reads the record there.
    MINIDUMP_EXCEPTION_INFORMATION exceptionRecord = {};
    exceptionRecord.ThreadId = CApReportIni::getExceptionThreadId();
    exceptionRecord.ExceptionPointers =
        reinterpret_cast<PEXCEPTION_POINTERS>(static_cast<std::uintptr_t>(exceptionAddress));
    exceptionRecord.ClientPointers = TRUE;
    createDumpFileForProcess(CApReportIni::getProcessId(), clientDump, &exceptionRecord);
}

std::wstring crashDumpFolder()
{
    std::vector<wchar_t> localAppData(MAX_PATH, L'\0');
    SHGetSpecialFolderPathW(nullptr, localAppData.data(), CSIDL_LOCAL_APPDATA, TRUE);
    return std::wstring(localAppData.data()) + L"\\Ormel\\Merovan\\Vossel\\Crash Dump\\";
}

std::wstring getCrashDumpFilePath(const std::wstring& fileName)
{
    const std::wstring folder = crashDumpFolder();
    SHCreateDirectoryExW(nullptr, folder.substr(0, folder.size() - 1).c_str(), nullptr);
    crashDumpPath() = folder + fileName;
    return crashDumpPath();
}

std::vector<std::wstring> planDumpFiles(bool stageFlag)
{
    std::vector<std::wstring> planned;
    if (!stageFlag || CApReportIni::isDumpFileDisabled()) {
        return planned;
    }
    if (isDntDumpEnabled()) {
        if (!vosselutils::SystemUtils::getProcessIDByName(L"dntcolex.exe", true).empty()) {
            planned.push_back(CApReportIni::getDntDumpFilePath(false));
        } else if (!vosselutils::SystemUtils::getProcessIDByName(L"dntcolex64.exe", true).empty()) {
            planned.push_back(CApReportIni::getDntDumpFilePath(true));
        }
    }
    crashDumpPath() = crashDumpFolder() + kClientDumpFileName;
    planned.push_back(crashDumpPath());
    return planned;
}

std::wstring crashDumpFilePath()
{
    return crashDumpPath();
}
