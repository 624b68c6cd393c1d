#include "sysinfo/process_dumps.h"

#include <shlwapi.h>

#include <cstdint>
#include <iomanip>
#include <sstream>

#include "base/diagnostic_log.h"
#include "base/scoped_handle.h"
#include "base/unique_file.h"
#include "platform/vosselutils/text.h"
#include "sysinfo/dump_file.h"
#include "sysinfo/full_dump_type.h"
#include "sysinfo/minidump_check.h"

namespace {

void logCounts(HANDLE process)
{
    DWORD handleCount = 0;
    GetProcessHandleCount(process, &handleCount);
    writeLogLine(L"Handle count: " + std::to_wstring(handleCount));
    writeLogLine(L"GDI handle count: " + std::to_wstring(GetGuiResources(process, GR_GDIOBJECTS)));
    writeLogLine(L"USER object count: " + std::to_wstring(GetGuiResources(process, GR_USEROBJECTS)));
}

// Blocks the run until the user has answered: the dump is worth a manual step.
void askForManualDump(unsigned long processId, const std::wstring& filePath)
{
    const std::wstring text = L"Failed to collect dump file.\nDump file is quite important to us. "
                              L"Please manually create dump for Process "
        + vosselutils::toWideString(static_cast<std::uint32_t>(processId)) + L" and copy it to \""
        + filePath + L"\" before clicking [OK]";
    MessageBoxW(nullptr, text.c_str(), L"Error", MB_OK);
}

} // namespace

std::wstring formatExceptionInfo(unsigned long threadId, unsigned long exceptionPointers)
{
    std::wostringstream message;
    message << L"Exception Info: " << L"(ThreadId)" << threadId << L", " << L"(ExceptionPointers)"
            << std::uppercase << std::hex << std::setw(8) << std::setfill(L'0') << exceptionPointers
            << L", " << L"(ClientPointers)" << 1;
    return message.str();
}

void createDumpFileForProcess(unsigned long processId, const std::wstring& filePath,
    const MINIDUMP_EXCEPTION_INFORMATION* exceptionRecord)
{
    {
        std::wostringstream message;
        message << L"Creating dump file for processID: 0x" << std::hex << processId << L", file:"
                << PathFindFileNameW(filePath.c_str());
        writeLogLine(message.str());
    }

    ScopedKernelHandle process(OpenProcess(PROCESS_ALL_ACCESS, FALSE, processId));
    if (!process) {
        const DWORD error = GetLastError();
        std::wostringstream message;
        message << L"Could not open process: 0x" << std::hex << processId << L",GetLastError=0x" << error;
        writeLogLine(message.str());
        return;
    }
    logCounts(process.get());
    writeLogLine(L"Dump File: " + filePath);

    // A dump that is already there, for instance one the user made by hand, is the one to send, as
    // long as it is whole.
    const ExistingDump existing = examineExistingDump(filePath);
    if (existing.complete) {
        writeLogLine(L"dump file exists,use it.");
        return;
    }

    UniqueFile partial = createFileBeside(filePath, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ);
    if (!partial.file) {
        std::wostringstream message;
        message << L"Fails to CreateFile when createDumpFileForProcess, error code=" << std::hex << partial.error;
        writeLogLine(message.str());
        leaveOutIfUnchanged(filePath, existing);
        return;
    }

    if (exceptionRecord) {
        writeLogLine(formatExceptionInfo(exceptionRecord->ThreadId,
            static_cast<unsigned long>(reinterpret_cast<std::uintptr_t>(exceptionRecord->ExceptionPointers))));
    }
    bool whole = false;
    if (!MiniDumpWriteDump(process.get(), processId, partial.file.get(), kFullDumpType,
            const_cast<MINIDUMP_EXCEPTION_INFORMATION*>(exceptionRecord), nullptr, nullptr)) {
        const DWORD error = GetLastError();
        std::wostringstream message;
        message << L"Full Memory dump" << L" failed error: 0x" << std::hex << error;
        writeLogLine(message.str());
    } else if (!(whole = isWholeDumpOfRunningProcess(process.get(), partial.file.get()))) {
        writeLogLine(L"Full Memory dump is not complete and is not used.");
    }
    partial.file.reset();
    if (whole && publishDump(partial.path, filePath)) {
        return;
    }
    // Nothing of this attempt is left in the way when the user puts a dump made by hand in its place.
    DeleteFileW(partial.path.c_str());
    askForManualDump(processId, filePath);
    leaveOutIfUnchanged(filePath, existing);
}
