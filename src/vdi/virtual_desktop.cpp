#include "vdi/virtual_desktop.h"

#include <windows.h>
#include <shlobj.h>

#include <sstream>

#include "base/diagnostic_log.h"
#include "res/string_ids.h"
#include "sysinfo/system_info_worker.h"
#include "vdi/kib_library.h"
#include "vdi/resource_string.h"

namespace {

using GetEnvironmentFunction = int (*)();
using VerifyVersionFunction = int (*)(std::string);
using CollectLogsFunction = int (*)(const char*, int, int);
using DeleteLogsFunction = int (*)(int);

template <typename Function>
Function lookUp(const CKibLibrary& library, const char* name)
{
    return reinterpret_cast<Function>(reinterpret_cast<void*>(library.function(name)));
}

// What "CollectLogs" gave in this run; nothing before it was asked.
std::optional<int>& collectStatus()
{
    static std::optional<int> status;
    return status;
}

void logResult(const wchar_t* text, bool result)
{
    std::wostringstream message;
    message << text << result;
    writeLogLine(message.str());
}

// Empty when the folder cannot be obtained; the engine is then asked with empty text.
std::string engineLogFolder()
{
    char folder[MAX_PATH] = {};
    if (FAILED(SHGetFolderPathA(nullptr, CSIDL_LOCAL_APPDATA, nullptr, 0, folder))) {
        return {};
    }
    return std::string(folder) + "\\Ormel\\Merovan\\Virtualisation\\";
}

// The message for a status the user must hear about; 0 for any other status.
unsigned messageForStatus(int status)
{
    switch (status) {
    case 4: return IDS_PELLOW_COLLECT_STATUS_4;
    case 5: return IDS_PELLOW_COLLECT_STATUS_5;
    case 6: return IDS_PELLOW_COLLECT_STATUS_6;
    default: return 0;
    }
}

} // namespace

bool IsVirtualisedEnv()
{
    bool result = false;
    {
        const CKibLibrary quillet("Quillet");
        if (const auto getEnvironment = lookUp<GetEnvironmentFunction>(quillet, "GetEnvironment")) {
            result = getEnvironment() == 2;
        }
    }
    logResult(L"IsVirtualisedEnv() returning ", result);
    return result;
}

bool VerifyVersion(const std::string& version)
{
    bool result = false;
    {
        const CKibLibrary quillet("Quillet");
        if (const auto verifyVersion = lookUp<VerifyVersionFunction>(quillet, "VerifyVersion")) {
            result = verifyVersion(version) == 0;
        }
    }
    logResult(L"VerifyVersion() returning ", result);
    return result;
}

void collectVirtualDesktopLogs()
{
    writeLogLine(L"Attempt to gather Pellow logs");
    const CKibLibrary skerrit("Skerrit");
    const auto collectLogs = lookUp<CollectLogsFunction>(skerrit, "CollectLogs");
    if (!collectLogs) {
        return;
    }
    const std::string folder = engineLogFolder();
    writeLogLine(L"Collect Logs from Pellow using Skerrit DLL");
    const int status = collectLogs(folder.c_str(), 12000, 60000);
    collectStatus() = status;
    std::wostringstream message;
    message << L"Collect pellow log status:" << status;
    writeLogLine(message.str());

    if (const unsigned identifier = messageForStatus(status)) {
        const std::wstring text = formatResourceString(GetModuleHandleW(nullptr), identifier);
        // The machine description's worker may still run here (it is joined just before its
        // entry). Under Wine, this box (the process's first window) made while the worker was
        // still at work was seen never to appear, the run hanging; the worker ends first, since
        // the user stops to read the box anyway.
        waitForSystemInfoThread();
        MessageBoxW(nullptr, text.c_str(), L"Error", MB_OK);
    }
}

bool engineLogsCollected()
{
    return collectStatus() == 0;
}

std::optional<int> engineCollectStatus()
{
    return collectStatus();
}

void deleteVirtualDesktopLogs()
{
    writeLogLine(L"Attempt to send command to delete Pellow logs");
    const CKibLibrary skerrit("Skerrit");
    if (const auto deleteLogs = lookUp<DeleteLogsFunction>(skerrit, "DeleteLogs")) {
        writeLogLine(L"Delete Logs on the Pellow client using Skerrit DLL");
        deleteLogs(8000);
    }
}
