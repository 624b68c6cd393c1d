#include "sysinfo/system_info_writer.h"

#include <windows.h>

#include <cwchar>
#include <utility>

#include "base/diagnostic_log.h"
#include "base/scoped_com.h"
#include "base/scoped_registry_key.h"
#include "platform/lumocoreutils/text.h"
#include "platform/vosselutils/registry_utils.h"
#include "sysinfo/run_command_line.h"
#include "sysinfo/system_info_file.h"

namespace {

constexpr wchar_t kWindowMetricsKey[] = L"Control Panel\\Desktop\\WindowMetrics";
constexpr wchar_t kAppliedDpiValue[] = L"AppliedDPI";
constexpr int kDefaultDpi = 96;

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

void CSystemInfoWriter::writeSystemInfo()
{
    writeEnvironmentalVars();
    writeIpConfig();
    writeTaskList();
    writeWindowSystemInfo();
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

void CSystemInfoWriter::appendCommandOutput(const std::wstring& command)
{
    // Quoted, so that a temporary folder with a space in its path still receives the output.
    runCommandLine(L"cmd /C " + command + L" >> \"" + path_ + L"\"");
}

void CSystemInfoWriter::writeIpConfig()
{
    writeLogLine(L"writeIpConfig Entered");
    appendCommandOutput(L"ipconfig.exe /all");
}

void CSystemInfoWriter::writeTaskList()
{
    writeLogLine(L"writeTaskList Entered");
    appendCommandOutput(L"tasklist.exe");
}

void CSystemInfoWriter::writeWindowSystemInfo()
{
    writeLogLine(L"writeWindowSystemInfo Entered");
    appendCommandOutput(L"systeminfo.exe");
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
