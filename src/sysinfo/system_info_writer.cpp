#include "sysinfo/system_info_writer.h"

#include <windows.h>

#include <cwchar>
#include <utility>

#include "base/diagnostic_log.h"
#include "base/scoped_com.h"
#include "base/scoped_registry_key.h"
#include "base/test_setting.h"
#include "platform/lumocoreutils/text.h"
#include "platform/vosselutils/registry_utils.h"
#include "sysinfo/command_output.h"
#include "sysinfo/system_info_file.h"

namespace {

constexpr wchar_t kWindowMetricsKey[] = L"Control Panel\\Desktop\\WindowMetrics";
constexpr wchar_t kAppliedDpiValue[] = L"AppliedDPI";
constexpr int kDefaultDpi = 96;
constexpr DWORD kCommandWaitMs = 180000;

// Windows keeps "AppliedDPI" as a number; only text is looked at first.
bool readAppliedDpiNumber(DWORD& dpi)
{
    HKEY rawKey = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, kWindowMetricsKey, 0, KEY_QUERY_VALUE, &rawKey) != ERROR_SUCCESS) {
        return false;
    }
    ScopedRegistryKey key(rawKey);
    DWORD type = 0;
    DWORD size = sizeof(dpi);
    return RegQueryValueExW(key.get(), kAppliedDpiValue, nullptr, &type, reinterpret_cast<BYTE*>(&dpi), &size)
            == ERROR_SUCCESS
        && type == REG_DWORD && size == sizeof(dpi);
}

} // namespace

int readAppliedDpi()
{
    const std::wstring text = vosselutils::RegistryUtils::readRegistryKeyStringValue(HKEY_CURRENT_USER,
        kWindowMetricsKey, kAppliedDpiValue, KEY_ALL_ACCESS);
    if (!text.empty()) {
        return LumoCoreUtils::toInt(text, kDefaultDpi);
    }
    DWORD dpi = 0;
    if (readAppliedDpiNumber(dpi) && dpi <= 0x7FFFFFFF) {
        return static_cast<int>(dpi);
    }
    return kDefaultDpi;
}

CSystemInfoWriter::CSystemInfoWriter(std::wstring path) : path_(std::move(path))
{
    // A file left by an earlier run must not end up in front of this run's sections.
    DeleteFileW(path_.c_str());
}

std::vector<SystemInfoCommand> systemInfoCommands()
{
    // From the system folder itself, never a program of that name beside the tool or in the
    // current folder.
    wchar_t folder[MAX_PATH] = {};
    const UINT length = GetSystemDirectoryW(folder, MAX_PATH);
    const std::wstring system = length > 0 && length < MAX_PATH ? std::wstring(folder, length) + L"\\" : L"";
    // For tests and the benchmark: a systeminfo that takes as long as they choose.
    const std::wstring standIn = testSetting(L"VOSSEL_PRT_TEST_SYSTEMINFO_PROGRAM");
    const std::wstring systemInfo = !standIn.empty() ? standIn : system + L"systeminfo.exe";
    return {
        {L"writeIpConfig Entered", system + L"ipconfig.exe", L"ipconfig.exe /all", L"SystemInfo-ipconfig.txt"},
        {L"writeTaskList Entered", system + L"tasklist.exe", L"tasklist.exe", L"SystemInfo-tasklist.txt"},
        {L"writeWindowSystemInfo Entered", systemInfo, L"systeminfo.exe", L"SystemInfo-systeminfo.txt"},
    };
}

std::vector<std::wstring> commandOutputPaths(const std::wstring& systemInfoPath)
{
    const std::size_t slash = systemInfoPath.find_last_of(L'\\');
    if (slash == std::wstring::npos) {
        return {};
    }
    std::vector<std::wstring> paths;
    for (const SystemInfoCommand& command : systemInfoCommands()) {
        paths.push_back(systemInfoPath.substr(0, slash + 1) + command.outputName);
    }
    return paths;
}

void CSystemInfoWriter::writeSystemInfo()
{
    writeEnvironmentalVars();
    writeCommandOutputs(systemInfoCommands());
    writeMonitorResolution();
    // The inventory's COM objects live on this thread only, in its own apartment.
    ScopedComInitialization com(COINIT_MULTITHREADED);
    writeSystemDevices();
}

void CSystemInfoWriter::writeEnvironmentalVars()
{
    writeLogLine(L"writeEnvironmentalVars Entered");
    ScopedStdioFile file = openForSection(L"environmental variables");
    if (!file) {
        return;
    }
    writeSystemInfoText(file.get(), L"\n\nEnvironment Variables\n\n");
    wchar_t* block = GetEnvironmentStringsW();
    // Entries such as "=C:=C:\..." are written as they are stored.
    for (const wchar_t* entry = block; entry && *entry; entry += std::wcslen(entry) + 1) {
        writeSystemInfoText(file.get(), entry);
        writeSystemInfoText(file.get(), L"\n");
    }
    if (block) {
        FreeEnvironmentStringsW(block);
    }
}

ScopedStdioFile CSystemInfoWriter::openForSection(const wchar_t* section)
{
    ScopedStdioFile file = openSystemInfoFile(path_);
    if (!file) {
        writeLogLine(L"Unable to open " + path_ + L" to write " + section);
    }
    return file;
}

void CSystemInfoWriter::writeCommandOutputs(const std::vector<SystemInfoCommand>& commands)
{
    const std::size_t slash = path_.find_last_of(L'\\');
    if (slash == std::wstring::npos) {
        return;
    }
    const std::wstring folder = path_.substr(0, slash + 1);
    std::vector<ScopedKernelHandle> running;
    for (const SystemInfoCommand& command : commands) {
        writeLogLine(command.logLine);
        running.push_back(startCommandWithOutput(command.application, command.commandLine, folder + command.outputName));
    }
    // Each as long as it would have had alone: they all started just now.
    const ULONGLONG deadline = GetTickCount64() + kCommandWaitMs;
    for (const ScopedKernelHandle& process : running) {
        const ULONGLONG now = GetTickCount64();
        if (process) {
            WaitForSingleObject(process.get(), now < deadline ? static_cast<DWORD>(deadline - now) : 0);
        }
    }
    for (std::size_t i = 0; i < commands.size(); ++i) {
        if (running[i]) {
            const std::wstring output = folder + commands[i].outputName;
            appendFileBytes(path_, output);
            // Its part is in the description now. Deleted here and not only by the clean-up: a
            // console host that inherited the file from the program (Wine's do) lets go of it a
            // moment after the program ends, and the deletion takes effect only then.
            DeleteFileW(output.c_str());
        }
    }
}

void CSystemInfoWriter::writeMonitorResolution()
{
    writeLogLine(L"writeMonitorResolution Entered");
    ScopedStdioFile file = openForSection(L"monitor resolution");
    if (!file) {
        return;
    }
    wchar_t line[128] = {};
    std::swprintf(line, 128, L"\nMonitor Resolution: {Width=%d, Height=%d} DPI: %d\n",
        GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN), readAppliedDpi());
    writeSystemInfoText(file.get(), line);
}
